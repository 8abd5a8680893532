// SPDX-License-Identifier: GPL-3.0-or-later
// What the runner alone can show: a root run that an ordinary user races by swapping folders for
// links, and a log kept whole when the runner is told to end. The runner's other safety rules are
// checked where they are kept: nested folders in FolderCheckTest, names that could break a line
// or drive a terminal in LoggingTest, folders swapped for links within one process in
// FoldersAndLinksTest.

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

class SafetyCliTest : public CliFolders {
protected:
    SafetyCliTest() { fs::create_directories(home); }
};

// An ordinary user's move during a root run, at the moment the run opens a folder: a child that
// has dropped to the unprivileged user waits for the folder to be opened (inotify), then acts.
class AttackerOnOpen {
public:
    AttackerOnOpen(const std::string& watched, const std::function<void()>& attack) {
        int ready[2];
        if (pipe(ready) != 0) {
            return;
        }
        m_child = fork();
        if (m_child == 0) {
            close(ready[0]);
            const int watch = inotify_init1(IN_CLOEXEC);
            const bool dropped = setgroups(0, nullptr) == 0 && setgid(kUnprivilegedId) == 0 &&
                                 setuid(kUnprivilegedId) == 0;
            const bool watching =
                dropped && watch >= 0 && inotify_add_watch(watch, watched.c_str(), IN_OPEN) >= 0;
            const char told = watching ? 'y' : 'n';
            (void)!write(ready[1], &told, 1);
            if (!watching) {
                _exit(1);
            }
            alignas(inotify_event) char events[4096];
            (void)!read(watch, events, sizeof events);
            attack();
            _exit(0);
        }
        close(ready[1]);
        char told = 'n';
        m_ready = m_child > 0 && read(ready[0], &told, 1) == 1 && told == 'y';
        close(ready[0]);
    }
    ~AttackerOnOpen() {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
    }
    bool Ready() const { return m_ready; }
    // Whether the attack was made: the child was woken and finished.
    bool Made() {
        int status = 0;
        const bool made = m_child > 0 && waitpid(m_child, &status, 0) == m_child &&
                          WIFEXITED(status) && WEXITSTATUS(status) == 0;
        m_child = -1;
        return made;
    }

private:
    pid_t m_child = -1;
    bool m_ready = false;
};

// Root backs up into a folder an ordinary user owns. As the run opens its Target subfolder,
// the user swaps it for a link to a folder of root's holding the Source's very bytes: a
// comparison that read through the link would judge every stale file up to date (and reveal
// what root's files hold).
TEST_F(SafetyCliTest, ARootRunComparesNothingThroughAFolderAUserSwapsForALink) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root, to run as root with an ordinary user beside it";
    }
    const std::string rootsOwn = temp / "roots-own/";
    constexpr int kFiles = 200;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "sub/f" + std::to_string(i);
        WriteFile(source + name, "new " + std::to_string(i));
        WriteFile(target + name, "old " + std::to_string(i));
        WriteFile(rootsOwn + name, "new " + std::to_string(i));
    }
    ASSERT_EQ(chmod(rootsOwn.c_str(), 0700), 0);
    ASSERT_EQ(chmod(temp.Path().c_str(), 0755), 0);
    ASSERT_EQ(chown(target.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    AttackerOnOpen attacker(target + "sub", [&] {
        (void)!rename((target + "sub").c_str(), (target + "sub-moved").c_str());
        (void)!symlink((rootsOwn + "sub").c_str(), (target + "sub").c_str());
    });
    ASSERT_TRUE(attacker.Ready()) << "the ordinary user could not watch the folder";

    Run({"plan", source, target, "--compare", "contents"});
    ASSERT_TRUE(attacker.Made()) << "the run never opened the folder";
    // Each stale file is either compared where it is (and planned for copying) or not
    // compared at all (an error): none is taken for the copy of root's file.
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i);
        const bool planned = out.find("\"" + name + "\"") != std::string::npos;
        const bool failed = err.find(" " + name + " in ~/S/sub/") != std::string::npos;
        EXPECT_TRUE(planned || failed) << name << " was judged the same as root's copy";
    }
}

// A root run that cannot make a Target folder never makes "missing parents" above its Target:
// an ordinary user who owns a folder up there swaps it for a link to a folder of root's while
// the run waits for its confirmation.
TEST_F(SafetyCliTest, ARootRunMakesNoFolderAboveItsTargetWhateverAUserSwaps) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs root, to run as root with an ordinary user beside it";
    }
    const std::string usersOwn = temp / "users-own/";
    const std::string deepTarget = usersOwn + "F/T/";
    const std::string rootsOwn = temp / "roots-own/";
    WriteFile(source + "ro/new/file.txt", "f");
    fs::create_directories(deepTarget + "ro");
    fs::create_directories(rootsOwn);
    ASSERT_EQ(chmod(rootsOwn.c_str(), 0700), 0);
    ASSERT_EQ(chmod(temp.Path().c_str(), 0755), 0);
    ASSERT_EQ(chown(usersOwn.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    // A folder even root cannot make anything in: the run's own attempt fails.
    const std::string readOnly = deepTarget + "ro";
    if (mount(readOnly.c_str(), readOnly.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, readOnly.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        umount2(readOnly.c_str(), MNT_DETACH);
        GTEST_SKIP() << "cannot make a read-only bind mount here";
    }
    ASSERT_EQ(RunUnprivileged([] { return 0; }), 0) << "cannot run as the ordinary user";
    // The confirmation is answered only after the user's swap.
    struct SwapOnRead : std::streambuf {
        std::function<void()> swap;
        std::string text;
        int_type underflow() override {
            if (swap) {
                swap();
                swap = nullptr;
                setg(text.data(), text.data(), text.data() + text.size());
                return traits_type::to_int_type(text[0]);
            }
            return traits_type::eof();
        }
    } input;
    input.text = "\n";
    input.swap = [&] {
        RunUnprivileged([&] {
            return rename((usersOwn + "F").c_str(), (usersOwn + "F-moved").c_str()) == 0 &&
                           symlink(rootsOwn.c_str(), (usersOwn + "F").c_str()) == 0
                       ? 0
                       : 1;
        });
    };
    std::istream in(&input);
    std::ostringstream outStream, errStream;
    const int code = RunCli({"duvanto-cli", "--home", home, "clone", source, deepTarget,
                             "--confirm", "--delete", "none"},
                            CliStreams{in, outStream, errStream, fileSystem, false});
    umount2((usersOwn + "F-moved/T/ro").c_str(), MNT_DETACH);
    umount2(readOnly.c_str(), MNT_DETACH);
    EXPECT_TRUE(fs::is_symlink(usersOwn + "F")) << "the user's swap was not made";
    EXPECT_EQ(code, 1);
    EXPECT_EQ(ReadTree(rootsOwn), Tree{});
}

int CountLines(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(SafetyCliTest, TerminationSignalsKeepTheLogWhole) {
    // The runner as a process of its own, so that a signal can reach it.
    const char* dir = std::getenv("DUVANTO_TEST_BINARY_DIR");
    const std::string binary = std::string(dir != nullptr ? dir : "") + "/src/cli/duvanto-cli";
    if (dir == nullptr || access(binary.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "duvanto-cli is not built beside the tests";
    }
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i) {
        WriteFile(source + "f" + std::to_string(i), "content " + std::to_string(i));
    }
    for (int signal : {SIGTERM, SIGHUP}) {
        fs::remove(home + "clone.log");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(binary.c_str(), binary.c_str(), "--home", home.c_str(), "clone", source.c_str(),
                  target.c_str(), "--quiet", "--delete", "regular", static_cast<char*>(nullptr));
            _exit(127);
        }
        // As soon as the run has copied something new, it is told to end.
        const std::size_t before = std::distance(fs::directory_iterator(target), {});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (static_cast<std::size_t>(std::distance(fs::directory_iterator(target), {})) <=
                   before &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself: " << signal;
        const std::string log = ReadFile(home + "clone.log");
        EXPECT_EQ(WEXITSTATUS(status), 1) << signal;
        EXPECT_EQ(CountLines(log, "*Application Shutdown Error: The clone task was aborted"), 1)
            << signal;
        EXPECT_EQ(CountLines(log, "<End: Unknown Task Name>"), 1) << signal;
        EXPECT_EQ(CountLines(log, "<End: "), 1) << signal;
        // Every file the run copied has its line.
        int copied = 0;
        for (const auto& entry : fs::directory_iterator(target)) {
            EXPECT_TRUE(entry.path().filename().string().starts_with("f"))
                << entry.path().filename();
            ++copied;
        }
        EXPECT_EQ(CountLines(log, " - Copied: "), copied - static_cast<int>(before)) << signal;
        EXPECT_LT(copied, kFiles) << "the run was not stopped: " << signal;
    }
}

}  // namespace
}  // namespace duvanto::test
