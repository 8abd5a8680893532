// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProgramOptions.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystemQueries.h"
#include "support/FaultyFileSystem.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "util/FileUtilities.h"

namespace duvanto::test {
namespace {

// One set of the objects the options belong to, as the program makes them at start-up.
struct Owners {
    explicit Owners(const std::string& appPath)
        : fileSystem(TrashInside(appPath)),
          reporter(appPath, prompt, clock, fileSystem),
          log(appPath, clock, reporter, prompt, fileSystem),
          rules(reporter),
          options(appPath, {settings, log, rules, nullptr}, reporter, fileSystem) {}

    RecordingPrompt prompt;
    FixedClock clock;
    FaultyFileSystem fileSystem;
    ErrorReporter reporter;
    CloneSettings settings;
    cCloneLog log;
    cPriorityRules rules;
    ProgramOptions options;
};

class ProgramOptionsTest : public ::testing::Test {
public:
    ScopedTimeLocale locale{"C"};
    TempDir dir;

    std::string IniPath() const { return dir / "duvanto.ini"; }
    // Fresh objects that have read the file.
    std::unique_ptr<Owners> Read() {
        auto owners = std::make_unique<Owners>(dir.Path());
        owners->options.ReadProgramOptionsFromIniFile();
        return owners;
    }
    std::unique_ptr<Owners> ReadFrom(const std::string& text) {
        WriteFile(IniPath(), text);
        return Read();
    }
};

// The file a save of the first-run options creates, in the order written.
std::string FirstRunFile(const std::string& appPath) {
    return "[Log]\r\nMaxSize=500\r\nLogOnlyErrors=False\r\n"
           "[Comparison]\r\nCompareType=DateTime\r\nIgnore2SecDiff=True\r\n"
           "IgnoreDaylightSavings=False\r\nIgnoreSystemFolders=True\r\nIgnoreHiddenFolders=True\r\n"
           "[Priority Rules]\r\nNumRules=1\r\nPriorityRule1=12:00:00 AM,11:59:00 PM,64\r\n"
           "[Reminders]\r\nSysTray=True\r\nScheduledSyncsMsg=True\r\nSendToRecycleBinMsg=True\r\n"
           "[TaskList]\r\nTaskListFileSpec=" +
           appPath +
           "Default Task List.dvt\r\n"
           "[Form Dimensions]\r\nHeight=0000005220\r\nWidth=0000009330\r\n"
           "[ColumnWidths]\r\nColumnOne=0000000150\r\nColumnTwo=0000000100\r\n"
           "ColumnThree=0000000100\r\nColumnFour=0000000125\r\nColumnFive=0000000125\r\n"
           "[Miscellaneous]\r\nRunOnWindowsStartup=AllUsers\r\nPromptToInsertRemovableDrive="
           "False\r\n"
           "ShowToolbar=Show\r\nCopyMethod=0\r\nDeleteMethod=1\r\nDelayBeforeFirstTask=0\r\n"
           "CopyOnlyIfNewer=False\r\nConfirmSyncActions=False\r\n"
           "[Safety]\r\nMaxDeletePercent=50\r\n"
           "[Scheduler]\r\nWaitForDrives=True\r\n";
}

TEST_F(ProgramOptionsTest, AFirstRunHasTheDefaultsAndSavesEveryKeyInOrder) {
    auto o = Read();
    EXPECT_TRUE(o->options.FirstRun);
    // The saved text below shows the other values; this one is not written as it is.
    EXPECT_EQ(o->log.MaxLogFileSize(), 512000);
    EXPECT_TRUE(o->prompt.shown.empty());

    const std::string rendered = o->options.RenderSavedText();
    EXPECT_FALSE(FileExists(IniPath()));
    ASSERT_TRUE(o->options.SaveProgramOptionsToIniFile().ok());
    EXPECT_EQ(ReadFile(IniPath()), FirstRunFile(dir.Path()));
    EXPECT_EQ(rendered, ReadFile(IniPath()));
    EXPECT_FALSE(Read()->options.FirstRun);
}

// The options file a save would write after reading `text` into fresh objects, rendered onto no
// file so that only the values show.
std::string Effective(ProgramOptionsTest& test, const std::string& text);

// The run options' plain values are in tests/cli/OptionWordsTest.cpp, with their flags and
// plan names.
TEST_F(ProgramOptionsTest, EachKeyHasItsReadRule) {
    // Section, the line read, and the line a save writes for it (the rest stays the default).
    const std::vector<std::array<std::string, 3>> cases = {
        {"Log", "MaxSize=300", ""},
        {"Log", "MaxSize=1000", "MaxSize=1000"},
        {"Log", "MaxSize= 200 kb", "MaxSize=200"},
        {"Log", "LogOnlyErrors=false", "LogOnlyErrors=True"},
        {"Comparison", "CompareType=size", "CompareType=DateTime"},
        {"Comparison", "Ignore2SecDiff=true", "Ignore2SecDiff=False"},
        {"Reminders", "SysTray=Yes", "SysTray=False"},
        {"Reminders", "ScheduledSyncsMsg=False", "ScheduledSyncsMsg=False"},
        {"Reminders", "SendToRecycleBinMsg=False", "SendToRecycleBinMsg=False"},
        {"TaskList", "TaskListFileSpec=/data/my tasks.dvt", "TaskListFileSpec=/data/my tasks.dvt"},
        {"Form Dimensions", "Height=100", "Height=0000005220"},
        {"Form Dimensions", "Width=9331.5", "Width=0000009332"},
        {"ColumnWidths", "ColumnThree=42", "ColumnThree=0000000042"},
        {"ColumnWidths", "ColumnFive=-7", "ColumnFive=0000000000"},
        {"Miscellaneous", "RunOnWindowsStartup=True", "RunOnWindowsStartup=AllUsers"},
        {"Miscellaneous", "RunOnWindowsStartup=CurrentUser", "RunOnWindowsStartup=CurrentUser"},
        {"Miscellaneous", "RunOnWindowsStartup=currentuser", "RunOnWindowsStartup=False"},
        {"Miscellaneous", "ShowToolbar=hide", "ShowToolbar=Show"},
        {"Miscellaneous", "ShowToolbar=Hide", "ShowToolbar=Hide"},
        {"Miscellaneous", "DeleteMethod=3.0", "DeleteMethod=3"},
        {"Miscellaneous", "PromptToInsertRemovableDrive=True", "PromptToInsertRemovableDrive=True"},
        {"Miscellaneous", "DelayBeforeFirstTask=2.6", "DelayBeforeFirstTask=3"},
        {"Miscellaneous", "DelayBeforeFirstTask=2.5", "DelayBeforeFirstTask=2"},
        {"Miscellaneous", "DelayBeforeFirstTask=soon", "DelayBeforeFirstTask=0"},
        {"Safety", "MaxDeletePercent=0", "MaxDeletePercent=0"},
        {"Safety", "MaxDeletePercent=100", "MaxDeletePercent=100"},
        {"Scheduler", "WaitForDrives=False", "WaitForDrives=False"},
        {"Scheduler", "WaitForDrives=yes", "WaitForDrives=False"},
    };
    for (const auto& [section, line, written] : cases) {
        std::string expected = FirstRunFile(dir.Path());
        const std::size_t at = expected.find("\n" + line.substr(0, line.find('=') + 1)) + 1;
        const std::size_t end = expected.find("\r\n", at);
        expected.replace(at, end + 2 - at, written.empty() ? "" : written + "\r\n");
        EXPECT_EQ(Effective(*this, "[" + section + "]\n" + line + "\n"), expected) << line;
    }
    EXPECT_EQ(ReadFrom("[Log]\nMaxSize=1000\n")->log.MaxLogFileSize(), 1024000);

    // An empty value counts as missing, for every key.
    const std::string defaults = FirstRunFile(dir.Path());
    std::string section;
    for (std::size_t at = 0; at < defaults.size(); at = defaults.find("\r\n", at) + 2) {
        const std::string line = defaults.substr(at, defaults.find("\r\n", at) - at);
        if (line[0] == '[') {
            section = line;
        } else {
            const std::string text = section + "\n" + line.substr(0, line.find('=') + 1) + "\n";
            EXPECT_EQ(Effective(*this, text), defaults) << line;
        }
    }
}

std::string Effective(ProgramOptionsTest& test, const std::string& text) {
    auto owners = test.ReadFrom(text);
    EXPECT_TRUE(owners->prompt.shown.empty()) << text;
    EXPECT_TRUE(RemoveFile(test.IniPath()).ok());
    return owners->options.RenderSavedText();
}

TEST_F(ProgramOptionsTest, AnUnreadableValueEndsTheReadAtItsKey) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"CopyMethod=abc", "Error: Type mismatch\r\n"},
        {"CopyMethod=1.5", "Error: Control array element '1.5' doesn't exist\r\n"},
        {"DeleteMethod=9", "Error: Control array element '9' doesn't exist\r\n"},
        {"DeleteMethod=-1", "Error: Control array element '-1' doesn't exist\r\n"},
        {"DeleteMethod=1e300", "Error: Control array element '1e300' doesn't exist\r\n"},
        {"DelayBeforeFirstTask=1e20", "Error: Overflow\r\n"},
    };
    for (const auto& [line, error] : cases) {
        auto o = ReadFrom("[Form Dimensions]\nHeight=7000\n[Miscellaneous]\n" + line +
                          "\nConfirmSyncActions=True\n");
        EXPECT_EQ(o->options.FormHeight, 7000) << line;
        EXPECT_FALSE(o->settings.ConfirmSyncActions) << line;
        if (line.starts_with("DeleteMethod")) {
            // The object keeps what it started with: neither the value nor the file's default.
            EXPECT_EQ(o->settings.DeleteMethod, DeleteMethodType::RegularDelete) << line;
        }
        ASSERT_EQ(o->prompt.shown.size(), 1u) << line;
        EXPECT_EQ(o->prompt.shown[0].title,
                  "Unexpected Error in modIniFile.ReadProgramOptionsFromIniFile");
        EXPECT_NE(o->prompt.shown[0].text.find(error), std::string::npos) << line;
    }

    // The guard's share: a value it cannot mean stops the read.
    for (const std::string value : {"-5", "101", "12.5", "half"}) {
        auto safety = ReadFrom("[Safety]\nMaxDeletePercent=" + value + "\n");
        ASSERT_TRUE(safety->options.ReadFailure.has_value()) << value;
        EXPECT_EQ(safety->options.ReadFailure->Key, "MaxDeletePercent");
        EXPECT_EQ(safety->settings.MaxDeletePercent, 50) << value;
    }

    auto o = ReadFrom("[Form Dimensions]\nHeight=x\nWidth=10000\n");
    EXPECT_EQ(o->options.FormWidth, 9330);
    EXPECT_EQ(o->rules.Count(), 1);  // read before the failure
    ASSERT_EQ(o->prompt.shown.size(), 1u);
    EXPECT_NE(o->prompt.shown[0].text.find("Error: Type mismatch\r\n"), std::string::npos);

    o = ReadFrom("[Log]\nMaxSize=3000000\nLogOnlyErrors=True\n");
    EXPECT_FALSE(o->log.LogOnlyErrors());
    EXPECT_EQ(o->prompt.shown.size(), 1u);
}

// A front end that acts on the options must know the read stopped, and where: the keys after
// it keep their start values, which may do what the file says not to.
TEST_F(ProgramOptionsTest, AStoppedReadTellsTheKeyAndLine) {
    auto o = ReadFrom("[Log]\nMaxSize=99999999999999999999\n[Miscellaneous]\r\nDeleteMethod=2\r\n");
    ASSERT_TRUE(o->options.ReadFailure.has_value());
    EXPECT_EQ(o->options.ReadFailure->Section, "Log");
    EXPECT_EQ(o->options.ReadFailure->Key, "MaxSize");
    EXPECT_EQ(o->options.ReadFailure->Line, 2u);
    EXPECT_EQ(o->options.ReadFailure->Value, "99999999999999999999");
    EXPECT_EQ(o->options.ReadFailure->Reason, "Overflow");
    // The file's "Do Not Delete" was never read: the engine would delete for good.
    EXPECT_EQ(o->settings.DeleteMethod, DeleteMethodType::RegularDelete);

    // Deep in the rules, the very key is named.
    o = ReadFrom(
        "[Priority Rules]\nNumRules=2\nPriorityRule1=1:00:00 AM,2:00:00 AM,64\n"
        "PriorityRule2=soon,later,32\n");
    ASSERT_TRUE(o->options.ReadFailure.has_value());
    EXPECT_EQ(o->options.ReadFailure->Key, "PriorityRule2");
    EXPECT_EQ(o->options.ReadFailure->Line, 4u);
    EXPECT_EQ(o->options.ReadFailure->Reason, "Type mismatch");

    o = ReadFrom("\xEF\xBB\xBF[Miscellaneous]\nDeleteMethod=2\n");
    EXPECT_FALSE(o->options.ReadFailure.has_value());
    EXPECT_EQ(o->settings.DeleteMethod, DeleteMethodType::DoNotDelete)
        << "a byte-order mark hides no section";
}

TEST_F(ProgramOptionsTest, ASavedFileGoesThroughItsLink) {
    const std::string kept = dir / "dotfiles/duvanto.ini";
    WriteFile(kept, "; mine\n[Miscellaneous]\nDeleteMethod=2\n");
    ASSERT_EQ(symlink("dotfiles/duvanto.ini", IniPath().c_str()), 0);
    auto o = Read();
    o->settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    ASSERT_TRUE(o->options.SaveProgramOptionsToIniFile().ok());
    EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
    const std::string text = ReadFile(kept);
    EXPECT_TRUE(text.starts_with("; mine\r\n")) << text;
    EXPECT_NE(text.find("CopyMethod=1\r\n"), std::string::npos) << text;
}

TEST_F(ProgramOptionsTest, AFailedWriteKeepsTheOldFileAndTheOptionsForTheNextSave) {
    const std::string old = "[Miscellaneous]\r\nDeleteMethod=2\r\n";
    auto o = ReadFrom(old);
    o->settings.CopyMethod = CopyMethodType::SafeCopyMethod;
    o->fileSystem.Fail(FsOp::WriteFile, IniPath(), ENOSPC);
    EXPECT_EQ(o->options.SaveProgramOptionsToIniFile().code(), ENOSPC);
    EXPECT_TRUE(o->prompt.shown.empty()) << "the caller words the failure";
    EXPECT_EQ(ReadFile(IniPath()), old);

    o->fileSystem.ClearFaults();
    ASSERT_TRUE(o->options.SaveProgramOptionsToIniFile().ok());
    EXPECT_NE(ReadFile(IniPath()).find("CopyMethod=1\r\n"), std::string::npos);
}

TEST_F(ProgramOptionsTest, AHandEditedFileKeepsEverythingButTheProgramsValues) {
    const std::string edited =
        "; my settings\n"
        "[LOG]\n"
        "maxsize = 300\n"
        "logonlyerrors=false\n"
        "\n"
        "[Mine]\n"
        "Colour=blue\n"
        "[form dimensions]\n"
        "HEIGHT=100\n"
        "; keep this width note\n"
        "[Priority Rules]\n"
        "NumRules=1\n"
        "PriorityRule1=10:00:00 PM,6:00:00 AM,128\n"
        "PriorityRule2=1:00:00 AM,2:00:00 AM,32\n";
    auto o = ReadFrom(edited);
    EXPECT_EQ(o->log.MaxLogFileSize(), 307200);
    ASSERT_EQ(o->rules.Count(), 1);
    o->options.FormHeight = 6100;
    o->settings.CompareMethod = CompareMethodType::Size;
    ASSERT_TRUE(o->options.SaveProgramOptionsToIniFile().ok());
    const std::string saved = ReadFile(IniPath());
    const std::string expectedStart =
        "; my settings\r\n"
        "[LOG]\r\n"
        "maxsize = 300\r\n"
        "logonlyerrors=True\r\n"
        "\r\n"
        "[Mine]\r\n"
        "Colour=blue\r\n"
        "[form dimensions]\r\n"
        "HEIGHT=0000006100\r\n"
        "Width=0000009330\r\n"
        "; keep this width note\r\n"
        "[Priority Rules]\r\n"
        "NumRules=1\r\n"
        "PriorityRule1=10:00:00 PM,6:00:00 AM,128\r\n"
        "PriorityRule2=1:00:00 AM,2:00:00 AM,32\r\n"
        "[Comparison]\r\n"
        "CompareType=Size\r\n";
    EXPECT_EQ(saved.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(saved.find("MaxSize="), std::string::npos);

    auto again = Read();
    EXPECT_EQ(again->options.FormHeight, 6100);
    EXPECT_EQ(again->settings.CompareMethod, CompareMethodType::Size);
    EXPECT_EQ(again->log.MaxLogFileSize(), 307200);
    EXPECT_TRUE(again->prompt.shown.empty());
}

TEST_F(ProgramOptionsTest, AFileThatCannotBeReadIsNeverReplaced) {
    ASSERT_TRUE(std::filesystem::create_directory(IniPath()));
    auto o = Read();
    EXPECT_FALSE(o->options.FirstRun);
    EXPECT_FALSE(o->options.SaveProgramOptionsToIniFile().ok());
    EXPECT_TRUE(FolderExists(IniPath()));
}

}  // namespace
}  // namespace duvanto::test
