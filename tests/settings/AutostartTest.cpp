#include "settings/Autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/ProcessPaths.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"
#include "util/FileUtilities.h"

namespace duvanto::test {
namespace {

constexpr char kRegistryText[] =
    "Unable to read required information from the System\r\n"
    "Registry due to the security rules in place on this computer.\r\n"
    "All users on this computer must be granted Read Access to the Registry.\r\n"
    "\r\n"
    "See your System Administrator for assistance.";

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
    ErrorReporter reporter{dir.Path(), prompt, clock};
    AutostartFolders folders{dir / "home/.config/autostart/", dir / "etc/xdg/autostart/"};
    cStartupEntries entries{folders, reporter};
    const std::string exe = "/opt/duvanto/duvanto";

    bool HasEntry(int32_t scope) const { return FileExists(entries.EntryPath(scope)); }
};

TEST_F(AutostartTest, EachChoiceLeavesOnlyItsOwnEntry) {
    // The checked choice, or none, does nothing.
    RunOnStartupChoice choice = RunOnStartupChoice::NoRun;
    EXPECT_FALSE(ChooseRunOnStartup(choice, RunOnStartupChoice::NoRun, entries, exe));
    EXPECT_FALSE(ChooseRunOnStartup(choice, RunOnStartupChoice::None, entries, exe));
    EXPECT_EQ(choice, RunOnStartupChoice::NoRun);
    EXPECT_FALSE(FolderExists(folders.allUsers) || FolderExists(folders.currentUser));

    EXPECT_TRUE(ChooseRunOnStartup(choice, RunOnStartupChoice::AllUsers, entries, exe));
    EXPECT_TRUE(HasEntry(AllUsersScope));
    EXPECT_FALSE(HasEntry(CurrentUserScope));

    EXPECT_TRUE(ChooseRunOnStartup(choice, RunOnStartupChoice::CurrentUser, entries, exe));
    EXPECT_EQ(choice, RunOnStartupChoice::CurrentUser);
    EXPECT_FALSE(HasEntry(AllUsersScope));
    EXPECT_EQ(ReadFile(entries.EntryPath(CurrentUserScope)),
              "[Desktop Entry]\nType=Application\nName=Duvanto\nExec=/opt/duvanto/duvanto\n"
              "Terminal=false\nX-GNOME-Autostart-enabled=true\n");

    EXPECT_TRUE(ChooseRunOnStartup(choice, RunOnStartupChoice::NoRun, entries, exe));
    EXPECT_FALSE(HasEntry(AllUsersScope) || HasEntry(CurrentUserScope));
    EXPECT_TRUE(prompt.shown.empty());
}

// The value is read by undoing the string escapes (\\ \n \t), then the quoting, in which \", \`,
// \$ and \\ stand for the character, and %% for %.
TEST_F(AutostartTest, ExecHoldsTheAbsolutePathQuotedAsTheFormatWants) {
    entries.ShowatStartup(ExecutablePath(), CurrentUserScope);
    const std::string written = "Exec=" + DesktopExecValue(ExecutablePath());
    ASSERT_FALSE(ExecutablePath().empty());
    EXPECT_EQ(ExecLine(ReadFile(entries.EntryPath(CurrentUserScope))), written);
    EXPECT_EQ(written[5], '/');

    const std::pair<std::string, std::string> cases[] = {
        {"/opt/duvanto/duvanto", "/opt/duvanto/duvanto"},
        {"/opt/my apps/duvanto", "\"/opt/my apps/duvanto\""},
        {"/opt/100%/duvanto", "/opt/100%%/duvanto"},
        {"/a b/$x\\y", "\"/a b/\\\\$x\\\\\\\\y\""},
        {"/q\"uote/`tick`/it's/duvanto", "\"/q\\\\\"uote/\\\\`tick\\\\`/it's/duvanto\""},
        {"/tab\there/new\nline/d", "\"/tab\\there/new\\nline/d\""},
        {"/back\\slash/100% & more/(x)", "\"/back\\\\\\\\slash/100%% & more/(x)\""},
    };
    for (const auto& [path, value] : cases) {
        entries.ShowatStartup(path, AllUsersScope);
        EXPECT_EQ(ExecLine(ReadFile(entries.EntryPath(AllUsersScope))), "Exec=" + value) << path;
    }

    entries.ShowatStartup("duvanto", CurrentUserScope);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in modDuvanto.ShowatStartup");
    EXPECT_EQ(ExecLine(ReadFile(entries.EntryPath(CurrentUserScope))), written);
}

TEST_F(AutostartTest, ARefusedAllUsersFolderIsTheRegistrysAccessDenial) {
    // Root ignores permission bits, so the refused part runs as an ordinary user; everything it
    // reaches must be searchable by others.
    ASSERT_TRUE(CreateFolderPath(folders.allUsers).ok());
    ASSERT_TRUE(CreateFolderPath(dir / "user/").ok());
    WriteFile(entries.EntryPath(AllUsersScope), "[Desktop Entry]\n");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "etc/").c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "etc/xdg/").c_str(), 0755), 0);
    ASSERT_EQ(chmod(folders.allUsers.c_str(), 0555), 0);
    ASSERT_EQ(chmod((dir / "user/").c_str(), 0777), 0);

    const int result = RunUnprivileged([&] {
        RecordingPrompt childPrompt;
        ErrorReporter childReporter(dir.Path(), childPrompt, clock);
        cStartupEntries childEntries({dir / "user/autostart/", folders.allUsers}, childReporter);
        RunOnStartupChoice choice = RunOnStartupChoice::NoRun;
        ChooseRunOnStartup(choice, RunOnStartupChoice::AllUsers, childEntries, exe);
        if (childPrompt.shown.size() != 1 ||
            childPrompt.shown[0].title != "Unexpected Error in modDuvanto.ShowatStartup" ||
            childPrompt.shown[0].text != kRegistryText ||
            childPrompt.shown[0].icon != MessageIcon::Exclamation) {
            return 1;
        }
        // Removing the entry it cannot touch is silent; the current user's entry is written.
        ChooseRunOnStartup(choice, RunOnStartupChoice::CurrentUser, childEntries, exe);
        if (childPrompt.shown.size() != 1 || !FileExists(dir / "user/autostart/duvanto.desktop")) {
            return 2;
        }
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(entries.EntryPath(AllUsersScope)), "[Desktop Entry]\n");
}

}  // namespace
}  // namespace duvanto::test
