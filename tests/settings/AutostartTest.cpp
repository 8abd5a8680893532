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

// Undoes the string escapes, then the quoting, as a desktop-entry reader does.
std::string ReadExecProgram(const std::string& value) {
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            unescaped += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
        } else {
            unescaped += value[i];
        }
    }
    std::string program;
    const bool quoted = !unescaped.empty() && unescaped[0] == '"';
    for (std::size_t i = quoted ? 1 : 0; i < unescaped.size(); ++i) {
        const char c = unescaped[i];
        if (quoted && c == '"') {
            break;
        }
        if (quoted && c == '\\' && i + 1 < unescaped.size()) {
            program += unescaped[++i];
        } else if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
            program += unescaped[++i];
        } else {
            program += c;
        }
    }
    return program;
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

TEST_F(AutostartTest, ExecHoldsTheAbsolutePathQuotedAsTheFormatWants) {
    entries.ShowatStartup(ExecutablePath(), CurrentUserScope);
    const std::string line = ExecLine(ReadFile(entries.EntryPath(CurrentUserScope)));
    ASSERT_FALSE(ExecutablePath().empty());
    EXPECT_EQ(ReadExecProgram(line.substr(5)), ExecutablePath());
    EXPECT_EQ(line[5], '/');

    EXPECT_EQ(DesktopExecValue("/opt/my apps/duvanto"), "\"/opt/my apps/duvanto\"");
    EXPECT_EQ(DesktopExecValue("/opt/100%/duvanto"), "/opt/100%%/duvanto");
    EXPECT_EQ(DesktopExecValue("/a b/$x\\y"), "\"/a b/\\\\$x\\\\\\\\y\"");
    for (const std::string path : {"/opt/my apps/duvanto", "/q\"uote/`tick`/it's/duvanto",
                                   "/tab\there/new\nline/d", "/back\\slash/100% & more/(x)"}) {
        entries.ShowatStartup(path, AllUsersScope);
        const std::string written = ExecLine(ReadFile(entries.EntryPath(AllUsersScope)));
        EXPECT_EQ(ReadExecProgram(written.substr(5)), path) << written;
    }

    entries.ShowatStartup("duvanto", CurrentUserScope);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in modDuvanto.ShowatStartup");
    EXPECT_EQ(ReadExecProgram(ExecLine(ReadFile(entries.EntryPath(CurrentUserScope))).substr(5)),
              ExecutablePath());
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
