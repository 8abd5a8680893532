// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Options and Log menus of the main window: their items in order, each item's check mark
// read from the program options, and what each command decides and says. Every change is
// saved to the options file at once; a run reads the settings as they stand when it starts,
// and the menus are disabled while one lasts, so a change always applies to the next run.
// The window builds its menus from the tables below and forwards each click to Run.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "engine/EngineOptions.h"
#include "engine/StatusHost.h"
#include "settings/Autostart.h"
#include "settings/ProgramOptions.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"

namespace duvanto {

enum class MenuCommand {
    None,  // submenus and separators
    CompareDateTime,
    CompareSize,
    CompareContents,
    CompareCRC32,
    IgnoreTwoSecDiff,
    IgnoreDaylightSavings,
    IgnoreSystemFolders,
    IgnoreHiddenFolders,
    PriorityRules,
    RunAtLoginCurrentUser,
    RunAtLoginAnyUser,
    RunAtLoginNoRun,
    CopyRegular,
    CopySafe,
    CopyRetainCreateTimestamp,
    DeleteRegular,
    DeleteToTrash,
    DeleteNone,
    DeleteSecure,
    PromptToInsertRemovableDrive,
    WaitForDrives,
    DelayBeforeFirstTask,
    CopyOnlyIfNewer,
    ConfirmSyncActions,
    ResetErrorSelectedTask,
    ResetErrorAllTasks,
    ToolbarShow,
    ToolbarHide,
    LogView,
    LogSize100,
    LogSize200,
    LogSize500,
    LogSize1Meg,
    LogOnlyErrors,
    LogClear,
    LogSaveAs,
};

enum class MenuEntryKind {
    Command,  // an action
    Toggle,   // a check mark of its own
    Radio,    // one checked item of its submenu
    Submenu,  // holds children
    Separator,
};

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Command;
    std::string name;  // the item's name ("mnuOptionsCompMethodDateTime"); arrays add "_<index>"
    std::string caption;
    MenuCommand command = MenuCommand::None;
    std::vector<MenuEntry> children;
    // The run option an item sets, and for a radio item the choice it stands for.
    std::optional<EngineOptionId> option;
    int32_t choice = 0;
};

// "&Options" and "&Log" with their items in order.
const MenuEntry& OptionsMenuEntries();
const MenuEntry& LogMenuEntries();

struct MenuItemState {
    bool checked = false;
    bool enabled = true;
};

// What the menus open or change outside the options: the main window hands these in.
struct OptionsMenuWindows {
    std::function<void()> openPriorityRules;
    std::function<void()> openLogViewer;
    std::function<void(bool show)> showToolbar;
    std::function<void(bool allTasks)> resetErrorIndicators;
};

// Where run at login writes: the autostart folders (tests hand in temporary ones) and the
// program that an entry starts, with the program folder it is to be told with --home ("" when
// it finds its folder by itself; LoginHomeArgument).
struct RunAtLoginSetup {
    AutostartFolders folders;
    std::string executablePath;
    std::string programFolder;
};

class OptionsMenuController {
public:
    OptionsMenuController(ProgramOptions& options, IAppPrompt& prompt, ErrorReporter& reporter,
                          const IClock& clock, const RunFlags& flags, RunAtLoginSetup runAtLogin,
                          OptionsMenuWindows windows);

    // The menus are off while a clone runs.
    bool MenusEnabled() const { return !m_flags.CloneInProgress; }
    MenuItemState State(MenuCommand command) const;
    void Run(MenuCommand command);

private:
    // The registry's messages with the words of the autostart entries that replace it.
    class AutostartWording : public IPrompt {
    public:
        explicit AutostartWording(IAppPrompt& prompt) : m_prompt(prompt) {}
        MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon, MessageButtons buttons) override;
        void Beep() override { m_prompt.Beep(); }

    private:
        IAppPrompt& m_prompt;
    };

    // The size of a "Reset Log At Size" item.
    static const LogSizeChoice& LogSizeOf(MenuCommand command);

    void Save();
    // Sets a setting from a click and saves when it changed.
    template <typename T>
    void Set(T& setting, T value);
    void SetOption(EngineOptionId id, int32_t value);
    void ChooseDeleteMethod(DeleteMethodType method);
    void ChooseLogSize(const LogSizeChoice& size);
    void ToggleLogOnlyErrors();
    void AskDelayBeforeFirstTask();
    void ChooseRunAtLogin(RunOnStartupChoice choice);
    // Tells why a choice could not be carried out in full.
    void TellRunAtLoginProblems(RunOnStartupChoice choice, const RunAtLoginChange& change);
    void ChooseToolbar(bool show);
    // Runs `command` unless a clone runs, when it only beeps.
    void UnlessBusy(const std::function<void()>& command);

    ProgramOptions& m_options;
    IAppPrompt& m_prompt;
    ErrorReporter& m_reporter;
    const RunFlags& m_flags;
    OptionsMenuWindows m_windows;
    StartupCommand m_startupCommand;
    AutostartWording m_autostartWording;
    ErrorReporter m_autostartReporter;
    cStartupEntries m_startupEntries;
};

}  // namespace duvanto
