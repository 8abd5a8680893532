// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/PosixFileSystem.h"
#include "platform/ProcessPaths.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"
#include "util/FileUtilities.h"

namespace duvanto::test {
namespace {

// The Exec line of an entry.
std::string ExecLine(const std::string& entry) {
    const std::size_t at = entry.find("\nExec=");
    return at == std::string::npos ? "" : entry.substr(at + 1, entry.find('\n', at + 1) - at - 1);
}

class AutostartTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock;
    PosixFileSystem fileSystem;
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};
    AutostartFolders folders{dir / "home/.config/autostart/", dir / "etc/xdg/autostart/"};
    cStartupEntries entries{folders, reporter, fileSystem};
    const StartupCommand command{"/opt/duvanto/duvanto", ""};

    bool HasEntry(int32_t scope) const { return FileExists(entries.EntryPath(scope)); }
    RunAtLoginChange Choose(RunOnStartupChoice chosen) {
        return ChooseRunOnStartup(chosen, entries, command);
    }
};

TEST_F(AutostartTest, EachChoiceLeavesOnlyItsOwnEntry) {
    // What already holds, or no choice, does nothing.
    EXPECT_FALSE(Choose(RunOnStartupChoice::NoRun).acted);
    EXPECT_FALSE(Choose(RunOnStartupChoice::None).acted);
    EXPECT_FALSE(FolderExists(folders.allUsers) || FolderExists(folders.currentUser));

    EXPECT_TRUE(Choose(RunOnStartupChoice::AllUsers).acted);
    EXPECT_EQ(entries.Current(command), (StartupState{false, true}));
    EXPECT_FALSE(HasEntry(CurrentUserScope));

    const RunAtLoginChange change = Choose(RunOnStartupChoice::CurrentUser);
    EXPECT_TRUE(change.acted);
    EXPECT_EQ(change.failedScope, -1);
    EXPECT_EQ(change.keptScope, -1);
    EXPECT_FALSE(HasEntry(AllUsersScope));
    EXPECT_EQ(ReadFile(entries.EntryPath(CurrentUserScope)),
              "[Desktop Entry]\nType=Application\nName=Duvanto\nExec=/opt/duvanto/duvanto\n"
              "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_FALSE(Choose(RunOnStartupChoice::CurrentUser).acted);

    EXPECT_TRUE(Choose(RunOnStartupChoice::NoRun).acted);
    EXPECT_FALSE(HasEntry(AllUsersScope) || HasEntry(CurrentUserScope));
    EXPECT_TRUE(prompt.shown.empty());
}

// An entry counts for this program only when it would start it, with its program folder; one
// that is switched off, or that starts something else, does not.
TEST_F(AutostartTest, OnlyAnEntryThatStartsThisProgramCounts) {
    const StartupCommand elsewhere{"/opt/duvanto/duvanto", "/srv/other home/"};
    ASSERT_TRUE(entries.ShowatStartup(elsewhere, CurrentUserScope).ok());
    ASSERT_TRUE(entries.ShowatStartup(command, AllUsersScope).ok());
    EXPECT_EQ(entries.Current(command), (StartupState{false, true}));
    EXPECT_EQ(entries.Current(elsewhere), (StartupState{true, false}));
    EXPECT_EQ(ChoiceOf(entries.Current(elsewhere)), RunOnStartupChoice::CurrentUser);
    EXPECT_EQ(ChoiceOf(entries.Current(command)), RunOnStartupChoice::AllUsers);
    EXPECT_EQ(ChoiceOf({}), RunOnStartupChoice::NoRun);

    const std::string entry = DesktopEntryText(command);
    for (const std::string& off : {entry + "Hidden=true\n",
                                   "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\r\nExec=" +
                                       DesktopExecValue(command) + "\r\n",
                                   "[Other Group]\nExec=" + DesktopExecValue(command) + "\n"}) {
        WriteFile(entries.EntryPath(AllUsersScope), off);
        EXPECT_FALSE(entries.Current(command).allUsers) << off;
    }
    // Choosing the scope replaces another program folder's entry with this one's.
    EXPECT_TRUE(Choose(RunOnStartupChoice::CurrentUser).acted);
    EXPECT_EQ(entries.Current(command), (StartupState{true, false}));
}

// The entry names the program by its absolute path; a relative one is refused.
TEST_F(AutostartTest, ExecHoldsTheAbsolutePath) {
    ASSERT_FALSE(ExecutablePath().empty());
    ASSERT_TRUE(entries.ShowatStartup({ExecutablePath(), ""}, CurrentUserScope).ok());
    const std::string written = "Exec=" + DesktopExecValue(ExecutablePath());
    EXPECT_EQ(ExecLine(ReadFile(entries.EntryPath(CurrentUserScope))), written);
    EXPECT_EQ(written[5], '/');

    EXPECT_FALSE(entries.ShowatStartup({"duvanto", ""}, CurrentUserScope).ok());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in modDuvanto.ShowatStartup");
    EXPECT_EQ(ExecLine(ReadFile(entries.EntryPath(CurrentUserScope))), written);
}

// The value is read by undoing the string escapes (\\ \n \t), then the quoting, in which \", \`,
// \$ and \\ stand for the character, and %% for %. A program folder of its own is handed to the
// program at login, each argument quoted alone.
TEST_F(AutostartTest, ExecQuotesEachArgumentAsTheFormatWants) {
    const std::pair<StartupCommand, std::string> cases[] = {
        {{"/opt/my apps/duvanto", ""}, "\"/opt/my apps/duvanto\""},
        {{"/opt/100%/duvanto", ""}, "/opt/100%%/duvanto"},
        {{"/a b/$x\\y", ""}, "\"/a b/\\\\$x\\\\\\\\y\""},
        {{"/q\"uote/`tick`/it's/duvanto", ""}, "\"/q\\\\\"uote/\\\\`tick\\\\`/it's/duvanto\""},
        {{"/tab\there/new\nline/d", ""}, "\"/tab\\there/new\\nline/d\""},
        {{"/opt/duvanto/duvanto", "/home/ann/backups/"},
         "/opt/duvanto/duvanto --home /home/ann/backups/"},
        {{"/opt/my apps/duvanto", "/home/ann/My Duvanto/"},
         "\"/opt/my apps/duvanto\" --home \"/home/ann/My Duvanto/\""},
        {{"/opt/duvanto/duvanto", "/srv/100%/$x/"},
         "/opt/duvanto/duvanto --home \"/srv/100%%/\\\\$x/\""},
    };
    for (const auto& [given, value] : cases) {
        EXPECT_EQ(DesktopExecValue(given), value) << given.programFolder;
    }
    EXPECT_EQ(DesktopExecValue(command), "/opt/duvanto/duvanto");
}

TEST(LoginHomeArgumentTest, OnlyAFolderTheProgramWouldNotFindByItselfIsNamed) {
    TempDir dir;
    PosixFileSystem fileSystem;
    ASSERT_TRUE(CreateFolderPath(fileSystem, dir / "config/duvanto/").ok());
    ASSERT_EQ(symlink((dir / "config/duvanto").c_str(), (dir / "link").c_str()), 0);
    ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    // A login start has no DUVANTO_HOME: a folder named only by it must be passed on.
    ScopedEnv home("DUVANTO_HOME", dir / "other/");

    EXPECT_EQ(LoginHomeArgument(dir / "config/duvanto/"), "");
    EXPECT_EQ(LoginHomeArgument(dir / "link/"), "");
    EXPECT_EQ(LoginHomeArgument(dir / "other/"), dir / "other/");
    EXPECT_EQ(LoginHomeArgument(dir / "config/"), dir / "config/");
}

TEST_F(AutostartTest, TheAllUsersEntryAsAnOrdinaryUserChangesNothing) {
    // Root ignores permission bits, so the refused part runs as an ordinary user; everything it
    // reaches must be searchable by others.
    ASSERT_TRUE(CreateFolderPath(fileSystem, folders.allUsers).ok());
    ASSERT_TRUE(CreateFolderPath(fileSystem, dir / "user/").ok());
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "etc/").c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "etc/xdg/").c_str(), 0755), 0);
    ASSERT_EQ(chmod(folders.allUsers.c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "user/").c_str(), 0777), 0);

    int result = RunUnprivileged([&] {
        RecordingPrompt childPrompt;
        ErrorReporter childReporter(dir / "user/", childPrompt, clock, fileSystem);
        cStartupEntries childEntries({dir / "user/autostart/", folders.allUsers}, childReporter,
                                     fileSystem);
        if (!ChooseRunOnStartup(RunOnStartupChoice::CurrentUser, childEntries, command).acted) {
            return 1;
        }
        // The working entry of the user stays when the new one cannot be written.
        const RunAtLoginChange change =
            ChooseRunOnStartup(RunOnStartupChoice::AllUsers, childEntries, command);
        if (!change.acted || change.failedScope != AllUsersScope ||
            !change.writeFailure.IsAccessDenied() || change.keptScope != -1) {
            return 2;
        }
        if (childEntries.Current(command) != StartupState{true, false} ||
            !childPrompt.shown.empty()) {
            return 3;
        }
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(HasEntry(AllUsersScope));

    // An entry for every user, made by root, stays where an ordinary user chooses otherwise.
    ASSERT_TRUE(entries.ShowatStartup(command, AllUsersScope).ok());
    ASSERT_EQ(chmod(entries.EntryPath(AllUsersScope).c_str(), 0644), 0);
    result = RunUnprivileged([&] {
        RecordingPrompt childPrompt;
        ErrorReporter childReporter(dir / "user/", childPrompt, clock, fileSystem);
        cStartupEntries childEntries({dir / "user/autostart/", folders.allUsers}, childReporter,
                                     fileSystem);
        const RunAtLoginChange change =
            ChooseRunOnStartup(RunOnStartupChoice::NoRun, childEntries, command);
        if (change.keptScope != AllUsersScope || !change.removeFailure.IsAccessDenied() ||
            change.failedScope != -1) {
            return 1;
        }
        return childEntries.Current(command) == StartupState{false, true} ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(HasEntry(AllUsersScope));
}

}  // namespace
}  // namespace duvanto::test
