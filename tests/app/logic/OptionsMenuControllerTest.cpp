// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/OptionsMenuController.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/mainwindow/MainWindowController.h"
#include "app/support/FakeAppPrompt.h"
#include "support/FaultyFileSystem.h"
#include "support/ScopedLocale.h"
#include "support/Unprivileged.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {
namespace {

using Cmd = MenuCommand;
using test::FakeAppPrompt;
using test::FixedClock;
using test::IsMessage;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr char kExe[] = "/opt/duvanto/duvanto";

// The objects whose settings the options file holds, and the menus over them.
struct Program {
    Program(const std::string& appPath, const AutostartFolders& folders,
            const std::string& programFolder = "")
        : fileSystem(test::TrashInside(appPath)),
          reporter(appPath, prompt, clock, fileSystem),
          log(appPath, clock, reporter, prompt, fileSystem),
          rules(reporter),
          options(appPath, {settings, log, rules, nullptr}, reporter, fileSystem),
          menus(options, prompt, reporter, clock, flags, {folders, kExe, programFolder},
                {[this] { opened.push_back("priority rules"); },
                 [this] { opened.push_back("log viewer"); },
                 [this](bool show) { opened.push_back(show ? "toolbar" : "no toolbar"); },
                 [this](bool all) { opened.push_back(all ? "reset all" : "reset selected"); }}) {
        options.ReadProgramOptionsFromIniFile();
    }

    FakeAppPrompt prompt;
    FixedClock clock{37959.6932407407};
    test::FaultyFileSystem fileSystem;
    ErrorReporter reporter;
    CloneSettings settings;
    RunFlags flags;
    cCloneLog log;
    cPriorityRules rules;
    ProgramOptions options;
    std::vector<std::string> opened;
    OptionsMenuController menus;

    const std::vector<test::ShownMessage>& Shown() const { return prompt.messages.shown; }
};

// The commands of both menus, in the order of their enumeration.
std::vector<Cmd> AllCommands() {
    std::vector<Cmd> all;
    for (int c = static_cast<int>(Cmd::CompareDateTime); c <= static_cast<int>(Cmd::LogSaveAs);
         ++c) {
        all.push_back(static_cast<Cmd>(c));
    }
    return all;
}

class OptionsMenuControllerTest : public ::testing::Test {
protected:
    test::ScopedTimeLocale locale{"C"};
    TempDir dir;
    AutostartFolders folders{dir / "home/.config/autostart/", dir / "etc/xdg/autostart/"};

    std::unique_ptr<Program> Start(const std::string& ini = "") {
        if (!ini.empty()) {
            WriteFile(dir / "duvanto.ini", ini);
        }
        return std::make_unique<Program>(dir.Path(), folders);
    }
    // The options file's value of a key, as a fresh start reads it.
    std::string Saved(const std::string& section, const std::string& key) const {
        PosixFileSystem fileSystem;
        return LoadIniDocument(fileSystem, dir / "duvanto.ini")
            .document.GetString(section, key, "<none>");
    }
    // The checked items among the commands.
    static std::vector<Cmd> Checked(const Program& p, std::vector<Cmd> commands = AllCommands()) {
        std::erase_if(commands, [&p](Cmd command) { return !p.menus.State(command).checked; });
        return commands;
    }
};

void Collect(const MenuEntry& entry, std::vector<const MenuEntry*>& items) {
    items.push_back(&entry);
    for (const MenuEntry& child : entry.children) {
        Collect(child, items);
    }
}

TEST(OptionsMenuTablesTest, EveryCommandHasOneItemWithTheLinuxWords) {
    std::vector<const MenuEntry*> items;
    Collect(OptionsMenuEntries(), items);
    Collect(LogMenuEntries(), items);
    std::map<Cmd, int> commands;
    std::map<std::string, std::string> captions;
    for (const MenuEntry* item : items) {
        if (item->kind == MenuEntryKind::Separator) {
            continue;
        }
        EXPECT_TRUE(captions.emplace(item->name, item->caption).second) << item->name;
        EXPECT_EQ(item->caption.find("Recycle Bin"), std::string::npos) << item->caption;
        EXPECT_EQ(item->caption.find("Windows"), std::string::npos) << item->caption;
        EXPECT_EQ(item->kind == MenuEntryKind::Submenu, item->command == Cmd::None) << item->name;
        ++commands[item->command];
    }
    for (const Cmd command : AllCommands()) {
        EXPECT_EQ(commands[command], 1) << "command " << static_cast<int>(command);
    }
    EXPECT_EQ(captions["mnuOptionsDeleteMethod_1"], "Send To Trash");
    EXPECT_EQ(captions["mnuOptionsRunOnWindowsStartup"], "Run at &Login");
    EXPECT_EQ(captions["mnuLogSize1Meg"], "1 &Meg");
}

// The first-run warning sends the user to a menu by its name: that menu must be there, with
// the item the warning names.
TEST(OptionsMenuTablesTest, TheFirstRunWarningNamesTheDeleteMenuAsItIs) {
    const std::string text = kImportantText;
    const std::size_t from = text.find("'Do Not Delete' from the ");
    const std::size_t to = text.find(" menu", from);
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    const std::size_t nameAt = from + std::string("'Do Not Delete' from the ").size();
    const std::string named = text.substr(nameAt, to - nameAt);

    std::vector<const MenuEntry*> items;
    Collect(OptionsMenuEntries(), items);
    const auto menu = std::find_if(items.begin(), items.end(), [&](const MenuEntry* item) {
        return item->kind == MenuEntryKind::Submenu &&
               ReplaceString(item->caption, "&", "") == named;
    });
    ASSERT_NE(menu, items.end()) << named;
    EXPECT_TRUE(std::any_of((*menu)->children.begin(), (*menu)->children.end(),
                            [](const MenuEntry& item) { return item.caption == "Do Not Delete"; }));
}

// Run at login shows the entries on disk, and there are none here.
TEST_F(OptionsMenuControllerTest, CheckMarksFollowTheOptionsFile) {
    EXPECT_EQ(Checked(*Start()),
              (std::vector<Cmd>{Cmd::CompareDateTime, Cmd::IgnoreTwoSecDiff,
                                Cmd::IgnoreSystemFolders, Cmd::IgnoreHiddenFolders,
                                Cmd::RunAtLoginNoRun, Cmd::CopyRegular, Cmd::DeleteToTrash,
                                Cmd::WaitForDrives, Cmd::ToolbarShow, Cmd::LogSize500}));

    const auto p = Start(
        "[Log]\r\nMaxSize=300\r\nLogOnlyErrors=yes\r\n[Comparison]\r\nCompareType=CRC32\r\n"
        "Ignore2SecDiff=true\r\nIgnoreDaylightSavings=True\r\nIgnoreHiddenFolders=False\r\n"
        "[Miscellaneous]\r\nRunOnWindowsStartup=CurrentUser\r\nShowToolbar=Hide\r\n"
        "CopyMethod=2\r\nDeleteMethod=3\r\nPromptToInsertRemovableDrive=True\r\n"
        "ConfirmSyncActions=True\r\n[Scheduler]\r\nWaitForDrives=False\r\n");
    EXPECT_EQ(
        Checked(*p),
        (std::vector<Cmd>{Cmd::CompareCRC32, Cmd::IgnoreDaylightSavings, Cmd::IgnoreSystemFolders,
                          Cmd::RunAtLoginNoRun, Cmd::CopyRetainCreateTimestamp, Cmd::DeleteSecure,
                          Cmd::PromptToInsertRemovableDrive, Cmd::ConfirmSyncActions,
                          Cmd::ToolbarHide, Cmd::LogOnlyErrors}));
    EXPECT_TRUE(p->menus.MenusEnabled());
    p->flags.CloneInProgress = true;
    EXPECT_FALSE(p->menus.MenusEnabled());
    EXPECT_FALSE(p->menus.State(Cmd::CompareCRC32).enabled);
}

TEST_F(OptionsMenuControllerTest, EveryChangeIsSavedAtOnce) {
    const auto p = Start();
    p->menus.Run(Cmd::CompareDateTime);  // already checked: nothing to save
    p->menus.Run(Cmd::ToolbarShow);
    EXPECT_FALSE(FileExists(dir / "duvanto.ini"));

    p->menus.Run(Cmd::CompareContents);
    EXPECT_EQ(Saved("Comparison", "CompareType"), "Contents");
    for (const Cmd command :
         {Cmd::IgnoreHiddenFolders, Cmd::IgnoreDaylightSavings, Cmd::CopySafe, Cmd::CopyOnlyIfNewer,
          Cmd::ConfirmSyncActions, Cmd::PromptToInsertRemovableDrive, Cmd::LogSize1Meg,
          Cmd::ToolbarHide, Cmd::WaitForDrives}) {
        p->menus.Run(command);
    }
    EXPECT_EQ(Saved("Scheduler", "WaitForDrives"), "False");
    EXPECT_EQ(p->log.MaxLogFileSize(), 1024000);
    EXPECT_EQ(p->settings.CopyMethod, CopyMethodType::SafeCopyMethod);

    EXPECT_EQ(Checked(*Start()),
              (std::vector<Cmd>{Cmd::CompareContents, Cmd::IgnoreTwoSecDiff,
                                Cmd::IgnoreDaylightSavings, Cmd::IgnoreSystemFolders,
                                Cmd::RunAtLoginNoRun, Cmd::CopySafe, Cmd::DeleteToTrash,
                                Cmd::PromptToInsertRemovableDrive, Cmd::CopyOnlyIfNewer,
                                Cmd::ConfirmSyncActions, Cmd::ToolbarHide, Cmd::LogSize1Meg}));
    EXPECT_EQ(p->opened, (std::vector<std::string>{"no toolbar"}));
    EXPECT_TRUE(p->Shown().empty());
}

TEST_F(OptionsMenuControllerTest, AnOptionsFileThatCannotBeWrittenIsReportedAndTheChoiceHolds) {
    const auto p = Start();
    p->fileSystem.Fail(test::FsOp::WriteFile, dir / "duvanto.ini", ENOSPC);
    p->menus.Run(Cmd::CompareContents);
    ASSERT_EQ(p->Shown().size(), 1u);
    EXPECT_EQ(p->Shown()[0].title, "Unexpected Error in modIniFile.SaveProgramOptionsToIniFile");
    EXPECT_FALSE(FileExists(dir / "duvanto.ini"));
    EXPECT_TRUE(p->menus.State(Cmd::CompareContents).checked);
    // The next change that can be saved saves it too.
    p->fileSystem.ClearFaults();
    p->menus.Run(Cmd::CopySafe);
    EXPECT_EQ(Saved("Comparison", "CompareType"), "Contents");
}

TEST_F(OptionsMenuControllerTest, TheTrashWarningIsShownOnceEvenAfterNoAndYesTakesIt) {
    const auto p = Start("[Miscellaneous]\r\nDeleteMethod=0\r\n");
    p->prompt.messages.answers = {MessageAnswer::No};
    p->menus.Run(Cmd::DeleteToTrash);
    ASSERT_EQ(p->Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(p->Shown()[0], "Send To Trash",
                          "Files on removeable drives and network drives are not sent \r\n"
                          "to the Trash in your home folder.  They go to the trash folder\r\n"
                          "of their own drive, or stay where they are when none can be\r\n"
                          "made there.  This is determined by the operating system;\r\n"
                          "Duvanto has no control over this.\r\n\r\n"
                          "Do you still wish to select this Delete Method?",
                          MessageIcon::Information, MessageButtons::YesNo));
    EXPECT_EQ(p->settings.DeleteMethod, DeleteMethodType::RegularDelete);
    EXPECT_EQ(Saved("Reminders", "SendToRecycleBinMsg"), "False");
    EXPECT_EQ(Saved("Miscellaneous", "DeleteMethod"), "0");

    // The next start has read the cleared flag: no warning, the method is taken.
    const auto next = Start();
    next->menus.Run(Cmd::DeleteToTrash);
    EXPECT_TRUE(next->Shown().empty());
    EXPECT_EQ(Checked(*next, {Cmd::DeleteRegular, Cmd::DeleteToTrash}),
              (std::vector<Cmd>{Cmd::DeleteToTrash}));
    EXPECT_EQ(Saved("Miscellaneous", "DeleteMethod"), "1");

    // A new options file warns again; Yes takes the method, and other methods never warn.
    const auto fresh = Start("[Miscellaneous]\r\nDeleteMethod=2\r\n");
    fresh->menus.Run(Cmd::DeleteSecure);
    EXPECT_TRUE(fresh->Shown().empty());
    fresh->prompt.messages.answers = {MessageAnswer::Yes};
    fresh->menus.Run(Cmd::DeleteToTrash);
    EXPECT_EQ(fresh->Shown().size(), 1u);
    EXPECT_EQ(fresh->settings.DeleteMethod, DeleteMethodType::SendToRecycleBin);
    EXPECT_EQ(Saved("Miscellaneous", "DeleteMethod"), "1");
}

TEST_F(OptionsMenuControllerTest, TheDelayMustBeAPositiveNumber) {
    const auto p = Start();
    const auto ask = [&](const char* typed) {
        p->prompt.answers = {std::string(typed)};
        p->prompt.messages.shown.clear();
        p->menus.Run(Cmd::DelayBeforeFirstTask);
        return p->Shown().size() == 1 ? p->Shown()[0] : test::ShownMessage{};
    };
    const std::string notPositive =
        " is not a valid delay input.\r\n\r\nThe delay value must be a positive number.";
    for (const char* typed : {"0", "-3", " 0.4 "}) {
        EXPECT_TRUE(IsMessage(ask(typed), "Invalid Delay Input",
                              "\"" + Trim(typed) + "\"" + notPositive, MessageIcon::Exclamation));
    }
    EXPECT_EQ(ask("abc").text,
              "\"abc\" is not a valid numeric input.\r\n\r\nFor example, enter \"5\" (without "
              "the quotes)\r\nfor a five minute delay.");
    EXPECT_FALSE(FileExists(dir / "duvanto.ini"));
    EXPECT_EQ(p->prompt.asked,
              std::vector<test::AskedQuestion>(
                  4, {"text", "Delay Duration",
                      "How many minutes should pass after Duvanto startup before the first task "
                      "is executed?\r\n\r\nEnter only numeric values.",
                      "1"}));

    EXPECT_TRUE(IsMessage(ask("2.6"), "Delay",
                          "This change will take effect the next time Duvanto is launched.",
                          MessageIcon::Information));
    EXPECT_EQ(p->options.DelayBeforeFirstTask, 3);
    EXPECT_EQ(Saved("Miscellaneous", "DelayBeforeFirstTask"), "3");

    EXPECT_EQ(ask("   ").title, "");  // blank, like Cancel, changes nothing
    p->prompt.messages.shown.clear();
    p->menus.Run(Cmd::DelayBeforeFirstTask);  // no answer queued: cancelled
    EXPECT_TRUE(p->Shown().empty());
    EXPECT_EQ(p->prompt.asked.back().proposed, "3");
    EXPECT_EQ(ask("1e12").title, "Unexpected Error in mnuOptionsDelayBeforeFirstTask_Click");
    EXPECT_EQ(p->options.DelayBeforeFirstTask, 3);
}

TEST_F(OptionsMenuControllerTest, LogOnlyErrorsTellsWhenEntriesWaitInMemory) {
    const auto p = Start();
    p->menus.Run(Cmd::LogOnlyErrors);
    EXPECT_TRUE(p->log.LogOnlyErrors());
    EXPECT_EQ(Saved("Log", "LogOnlyErrors"), "True");
    p->menus.Run(Cmd::LogOnlyErrors);
    EXPECT_TRUE(p->Shown().empty());

    p->log.Add({.Type = Begin, .TaskName = "Nightly"});
    p->menus.Run(Cmd::LogOnlyErrors);
    ASSERT_EQ(p->Shown().size(), 1u);
    EXPECT_TRUE(
        IsMessage(p->Shown()[0], "Log Only Errors",
                  "This change will be applied only to tasks that are run after this point.\r\n\r\n"
                  "If you wish, you can Clear your log file of previous activity.\r\n"
                  "The Clear Log option is available in the Log menu",
                  MessageIcon::Information));
    p->menus.Run(Cmd::LogOnlyErrors);  // turning it off says nothing
    EXPECT_EQ(p->Shown().size(), 1u);
}

TEST_F(OptionsMenuControllerTest, LogCommandsBeepWhileACloneRuns) {
    const auto p = Start("[Log]\r\nMaxSize=300\r\n");
    p->menus.Run(Cmd::LogSize500);
    EXPECT_EQ(p->log.MaxLogFileSize(), 512000);
    EXPECT_EQ(Saved("Log", "MaxSize"), "500");

    WriteFile(p->log.LogFileSpec(), "entries\r\n");
    p->flags.CloneInProgress = true;
    for (const Cmd command : {Cmd::LogView, Cmd::LogClear, Cmd::LogSaveAs}) {
        p->menus.Run(command);
    }
    EXPECT_EQ(p->prompt.messages.beeps, 3);
    EXPECT_TRUE(p->opened.empty() && p->prompt.asked.empty());
    EXPECT_TRUE(FileExists(p->log.LogFileSpec()));

    p->flags.CloneInProgress = false;
    p->prompt.answers = {dir / "copy.log"};
    p->menus.Run(Cmd::LogSaveAs);
    EXPECT_EQ(ReadFile(dir / "copy.log"), "entries\r\n");
    p->menus.Run(Cmd::LogClear);
    EXPECT_FALSE(FileExists(p->log.LogFileSpec()));
    for (const Cmd command : {Cmd::LogView, Cmd::PriorityRules, Cmd::ResetErrorAllTasks}) {
        p->menus.Run(command);
    }
    EXPECT_EQ(p->opened, (std::vector<std::string>{"log viewer", "priority rules", "reset all"}));
    EXPECT_EQ(Saved("Priority Rules", "NumRules"), "1");
}

const std::vector<Cmd> kRunAtLogin = {Cmd::RunAtLoginCurrentUser, Cmd::RunAtLoginAnyUser,
                                      Cmd::RunAtLoginNoRun};

// The marks are the entries on disk, as they are when the menu opens, whatever the options
// file remembers; the file is given what the entries do.
TEST_F(OptionsMenuControllerTest, RunAtLoginMarksAreTheEntriesThatExist) {
    // A new program folder: the file's default would say "AllUsers", and no entry exists.
    const auto p = Start();
    EXPECT_EQ(Checked(*p, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginNoRun});
    WriteFile(folders.allUsers + "duvanto.desktop", DesktopEntryText({kExe, ""}));
    EXPECT_EQ(Checked(*p, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginAnyUser});

    const auto q = Start("[Miscellaneous]\r\nRunOnWindowsStartup=CurrentUser\r\n");
    EXPECT_EQ(Checked(*q, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginAnyUser});
    q->menus.Run(Cmd::CompareSize);
    EXPECT_EQ(Saved("Miscellaneous", "RunOnWindowsStartup"), "AllUsers");

    // The user's own entry of another program folder starts something else.
    WriteFile(folders.currentUser + "duvanto.desktop",
              DesktopEntryText({kExe, "/srv/other duvanto/"}));
    EXPECT_EQ(Checked(*q, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginAnyUser});
    EXPECT_TRUE(q->Shown().empty());
}

TEST_F(OptionsMenuControllerTest, RunAtLoginWritesOneEntryInTheChosenScope) {
    const auto p = Start("[Miscellaneous]\r\nRunOnWindowsStartup=False\r\n");
    // Which entries a choice leaves, and what they hold, is the autostart entries' own.
    p->menus.Run(Cmd::RunAtLoginCurrentUser);
    EXPECT_TRUE(FileExists(folders.currentUser + "duvanto.desktop"));
    EXPECT_EQ(Saved("Miscellaneous", "RunOnWindowsStartup"), "CurrentUser");
    p->menus.Run(Cmd::RunAtLoginAnyUser);  // as root, or wherever the folder is writable
    EXPECT_EQ(Saved("Miscellaneous", "RunOnWindowsStartup"), "AllUsers");
    EXPECT_EQ(Checked(*p, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginAnyUser});
    p->menus.Run(Cmd::RunAtLoginNoRun);
    EXPECT_EQ(Saved("Miscellaneous", "RunOnWindowsStartup"), "False");
    EXPECT_EQ(Checked(*p, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginNoRun});
    EXPECT_TRUE(p->Shown().empty());
}

TEST_F(OptionsMenuControllerTest, AProgramFolderOfItsOwnIsStartedWithHome) {
    Program own(dir.Path(), folders, dir.Path());
    own.menus.Run(Cmd::RunAtLoginCurrentUser);
    EXPECT_NE(ReadFile(folders.currentUser + "duvanto.desktop")
                  .find("\nExec=" + std::string(kExe) + " --home " + dir.Path() + "\n"),
              std::string::npos);
    EXPECT_EQ(Checked(own, kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginCurrentUser});
    // The program started from its usual folder is not what that entry starts.
    EXPECT_EQ(Checked(*Start(), kRunAtLogin), std::vector<Cmd>{Cmd::RunAtLoginNoRun});
}

TEST_F(OptionsMenuControllerTest, AnyUserAsAnOrdinaryUserNeedsAdministratorRights) {
    // Root ignores permission bits, so the refusal runs as an ordinary user, in a program
    // folder and a home it may write.
    PosixFileSystem fileSystem;
    ASSERT_TRUE(CreateFolderPath(fileSystem, folders.allUsers).ok());
    ASSERT_TRUE(CreateFolderPath(fileSystem, dir / "user/").ok());
    const std::pair<std::string, mode_t> modes[] = {{dir.Path(), 0755},
                                                    {dir / "etc/", 0755},
                                                    {dir / "etc/xdg/", 0755},
                                                    {folders.allUsers, 0755},
                                                    {dir / "user/", 0777}};
    for (const auto& [folder, mode] : modes) {
        ASSERT_EQ(chmod(folder.c_str(), mode), 0) << folder;
    }
    WriteFile(dir / "user/duvanto.ini", "[Miscellaneous]\r\nRunOnWindowsStartup=False\r\n");
    const AutostartFolders mine{dir / "user/autostart/", folders.allUsers};
    const std::string userEntry = mine.currentUser + "duvanto.desktop";
    const std::string allEntry = folders.allUsers + "duvanto.desktop";

    int result = test::RunUnprivileged([&] {
        Program p(dir / "user/", mine);
        p.menus.Run(Cmd::RunAtLoginCurrentUser);
        if (!FileExists(userEntry) || !p.Shown().empty()) {
            return 1;
        }
        // The user's working entry stays, and the marks and the file say so.
        p.menus.Run(Cmd::RunAtLoginAnyUser);
        if (p.Shown().size() != 1 ||
            !IsMessage(p.Shown()[0], "Run at Login",
                       "Starting Duvanto when any user logs on needs administrator rights: only "
                       "root may write the autostart entry " +
                           allEntry +
                           ".\r\n\r\nNothing was changed. To make this choice, run Duvanto as "
                           "root; to start Duvanto when you log on, choose \"When Current User "
                           "is Logged On\".",
                       MessageIcon::Exclamation, MessageButtons::OK)) {
            return 2;
        }
        if (!FileExists(userEntry) ||
            Checked(p, kRunAtLogin) != std::vector<Cmd>{Cmd::RunAtLoginCurrentUser}) {
            return 3;
        }
        return LoadIniDocument(fileSystem, dir / "user/duvanto.ini")
                           .document.GetString("Miscellaneous", "RunOnWindowsStartup", "") ==
                       "CurrentUser"
                   ? 0
                   : 4;
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(FileExists(allEntry));

    // An entry for every user, made by root, is not the user's to remove.
    WriteFile(allEntry, DesktopEntryText({kExe, ""}));
    ASSERT_EQ(chmod(allEntry.c_str(), 0644), 0);
    result = test::RunUnprivileged([&] {
        Program p(dir / "user/", mine);
        p.menus.Run(Cmd::RunAtLoginNoRun);
        if (p.Shown().size() != 1 ||
            !IsMessage(p.Shown()[0], "Run at Login",
                       "The autostart entry " + allEntry +
                           " could not be removed: that needs administrator rights. It still "
                           "starts Duvanto when any user logs on, you included.",
                       MessageIcon::Exclamation, MessageButtons::OK)) {
            return 1;
        }
        return !FileExists(userEntry) &&
                       Checked(p, kRunAtLogin) == std::vector<Cmd>{Cmd::RunAtLoginAnyUser}
                   ? 0
                   : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(FileExists(allEntry));
}

}  // namespace
}  // namespace duvanto
