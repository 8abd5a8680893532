// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's options: read once from AppPath + "duvanto.ini" at start-up, applied to the
// objects that use them, and saved once at the end. Every key is declared once, in one table,
// with its section, default, read rule and written form.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/CloneSettings.h"
#include "log/CloneLog.h"
#include "platform/Status.h"
#include "settings/IniFile.h"
#include "settings/PriorityRules.h"
#include "util/ErrorReporter.h"

namespace duvanto {

inline constexpr char kIniFileName[] = "duvanto.ini";
// The task list's five visible columns before anyone widened them, in pixels.
inline constexpr std::array<int32_t, 5> kDefaultColumnWidths = {150, 100, 100, 125, 125};

// The "Reset Log At Size" items; None when the file named a size that has no item.
enum class LogSizeItem { None, Kb100, Kb200, Kb500, Meg1 };
// Each item with its size in KiB, the number the options file holds; in the menu's order.
struct LogSizeChoice {
    LogSizeItem item;
    int32_t kib;
};
inline constexpr LogSizeChoice kLogSizes[] = {
    {LogSizeItem::Kb100, 100},
    {LogSizeItem::Kb200, 200},
    {LogSizeItem::Kb500, 500},
    {LogSizeItem::Meg1, 1000},
};
// The "Run on Windows Startup" items; None when the file named none of them.
enum class RunOnStartupChoice { None, AllUsers, CurrentUser, NoRun };

// The objects whose settings the options file holds.
struct OptionTargets {
    // The options in force; each run takes its own copy when it starts.
    CloneSettings& settings;
    cCloneLog& log;
    cPriorityRules& rules;
    // The removable-drive prompt flag that the runs read, where a front end keeps one: the
    // options then hold that very flag, so a change from the menu reaches the next run.
    // Without one the options keep the flag themselves.
    bool* removableDrivePrompt = nullptr;
    // The same for waiting for drives that are away.
    bool* waitForDrives = nullptr;
};

// Where the reading of the options file stopped: the key whose value could not be read, its
// line (0 when the key is missing) and why.
struct OptionsReadFailure {
    std::string Section;
    std::string Key;
    std::size_t Line = 0;
    std::string Value;
    std::string Reason;
};

class ProgramOptions {
    bool m_ownRemovableDrivePrompt = false;  // declared first: PromptToInsertRemovableDrive
                                             // may refer to it
    bool m_ownWaitForDrives = true;          // and WaitForDrives to this
public:
    // appPath ends in "/". The options file, and the autostart entries of whoever shows these
    // options, are read and written through fileSystem.
    ProgramOptions(std::string appPath, OptionTargets targets, ErrorReporter& reporter,
                   IFileSystem& fileSystem);
    // A copy would share the flag of the original, or hold its own by mistake.
    ProgramOptions(const ProgramOptions&) = delete;
    ProgramOptions& operator=(const ProgramOptions&) = delete;

    // Values with no object of their own yet, at their first-run defaults.
    std::string TaskListFileSpec;
    bool SysTrayReminder = true;
    bool ScheduledSyncsMsg = true;
    bool SendToRecycleBinMsg = true;
    bool& PromptToInsertRemovableDrive;  // the targets' flag, or the options' own
    bool& WaitForDrives;                 // the same
    int32_t DelayBeforeFirstTask = 0;    // minutes
    int32_t FormHeight = 5220;           // twips
    int32_t FormWidth = 9330;
    std::array<int32_t, 5> ColumnWidths = kDefaultColumnWidths;  // pixels
    // The three choices held only as menu check marks.
    LogSizeItem LogSize = LogSizeItem::Kb500;
    RunOnStartupChoice RunOnStartup = RunOnStartupChoice::AllUsers;
    bool ShowToolbar = true;

    // Set by a read that found no options file: the program's first run.
    bool FirstRun = false;
    // Set by a read that stopped at a value: the options after it kept their start values, so
    // acting on them could do what the file says not to (delete where it says keep).
    std::optional<OptionsReadFailure> ReadFailure;

    std::string IniFileSpec() const { return m_appPath + kIniFileName; }

    // Reads every key in the table's order and applies it. A value that cannot be read is
    // reported under "modIniFile.ReadProgramOptionsFromIniFile" and ends the read there; the
    // options not yet read keep their values, and ReadFailure tells where it stopped.
    void ReadProgramOptionsFromIniFile();
    // Writes every key into the file with one write, keeping its other lines. A failure while
    // building is reported under "modIniFile.SaveProgramOptionsToIniFile" and the keys before
    // it are still written. An existing file that cannot be read is left alone. The Status
    // tells the caller whether the file was written.
    Status SaveProgramOptionsToIniFile();
    // The file's text as a save would leave it, without writing it.
    std::string RenderSavedText();

    const std::string& AppPath() const { return m_appPath; }
    OptionTargets& Targets() { return m_targets; }
    const OptionTargets& Targets() const { return m_targets; }
    IFileSystem& FileSystem() const { return m_fs; }

private:
    // In the handler of the failure that stopped the read: records and reports it.
    void ReadStoppedAt(const IniDocument& document, const std::string& section,
                       const std::string& key);
    // The document a save writes; nothing when even the file could not be loaded.
    std::optional<IniDocument> BuildSavedDocument(Status& loadStatus);

    std::string m_appPath;
    OptionTargets m_targets;
    ErrorReporter& m_reporter;
    IFileSystem& m_fs;
};

}  // namespace duvanto
