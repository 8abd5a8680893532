// SPDX-License-Identifier: GPL-3.0-or-later
// A scheduled task whose Target drive is unplugged when it falls due: it waits (no error, no
// run), says what it waits for, and runs within seconds of the drive's mount when the runner
// watches (a task run whenever its drive is connected runs once per mounting: RunQueueTest's).
// The drive is a file system image mounted under a media folder of its own in /media, as a
// desktop mounts a USB disk.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "cli/CliRunner.h"
#include "platform/InstanceLock.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class WatchCliTest : public CliFolders {
protected:
    void SetUp() override {
        if (!RunningAsRoot()) {
            GTEST_SKIP() << "mounting a drive image under /media needs root";
        }
        const char* dir = std::getenv("DUVANTO_TEST_BINARY_DIR");
        m_binary = std::string(dir != nullptr ? dir : "") + "/src/cli/duvanto-cli";
        if (dir == nullptr || access(m_binary.c_str(), X_OK) != 0) {
            GTEST_SKIP() << "duvanto-cli is not built beside the tests";
        }
        m_media = "/media/duvanto-test-" + std::to_string(getpid()) + "/";
        m_drive = m_media + "DISK/";
        ASSERT_TRUE(Shell("truncate -s 16M '" + m_image + "'"));
        if (!Shell("mkfs.ext4 -q -F '" + m_image + "'")) {
            GTEST_SKIP() << "mkfs.ext4 is missing";
        }
        fs::create_directories(home);
        WriteFile(source + "a.txt", "a");
        // Hourly, due since 2003, its Target on the unplugged disk.
        WriteFile(home + "Default Task List.dvt",
                  "Disk~!@#" + source + "~!@#" + m_drive +
                      "backup/~!@#True~!@#12:00:00 PM~!@#2~!@#1~!@#12/1/2003 8:00:00 AM~!@#12/1/"
                      "2003 9:00:00 AM~!@#False~!@#True~!@#127~!@#\r\n");
    }
    void TearDown() override {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        if (m_mounted) {
            Shell("umount '" + m_drive + "'");
        }
        if (!m_media.empty()) {
            fs::remove_all(m_media);
        }
    }

    // The disk plugged in: mounted on its media folder, the Target's folder on it.
    void PlugIn() {
        fs::create_directories(m_drive);
        ASSERT_TRUE(Shell("mount -o loop '" + m_image + "' '" + m_drive + "'"));
        m_mounted = true;
        fs::create_directories(m_drive + "backup");
    }

    ScopedTimeLocale locale{"C"};
    std::string m_binary, m_media, m_drive;
    std::string m_image = temp / "disk.img";
    bool m_mounted = false;
    pid_t m_child = -1;
};

// Starts `watch` in a process of its own, its output into `output`.
pid_t StartWatch(const std::string& binary, const std::string& home, const std::string& output) {
    const pid_t child = fork();
    if (child == 0) {
        // One file for both streams, at one offset, in the order they are written.
        if (freopen(output.c_str(), "w", stdout) == nullptr || dup2(fileno(stdout), 2) < 0) {
            _exit(126);
        }
        execl(binary.c_str(), binary.c_str(), "--home", home.c_str(), "watch", "--quiet",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Whether the run's line is in the watch's output within 5 s: the run is over.
bool RunEndedIn(const std::string& output) {
    const auto start = std::chrono::steady_clock::now();
    while (ReadFile(output).find("Clone Complete - Disk\n") == std::string::npos) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool AppearsWithin(const std::string& path, std::chrono::seconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!fs::exists(path) && std::chrono::steady_clock::now() - start < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fs::exists(path);
}

TEST_F(WatchCliTest, ATaskWaitsForItsDriveAndRunsWithinSecondsOfItsMount) {
    const std::string waiting = "Waiting for " + m_drive.substr(0, m_drive.size() - 1);
    EXPECT_EQ(Run({"list"}), 0) << err;
    EXPECT_EQ(out,
              "Disk\t~/S/\t" + m_drive + "backup/\t" + waiting + "\t12/1/2003 8:00:00 AM\tok\n");
    // Due, but waiting: not run, not failed, nothing in the log.
    EXPECT_EQ(Run({"due"}), 0) << err;
    EXPECT_EQ(out, "nothing due\n");
    EXPECT_FALSE(fs::exists(home + "clone.log"));
    // With the option off it runs and fails, as it always did.
    WriteFile(home + "duvanto.ini", "[Scheduler]\r\nWaitForDrives=False\r\n");
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.find("Waiting"), std::string::npos) << out;
    fs::remove(home + "duvanto.ini");

    const std::string output = temp / "watch.out";
    m_child = StartWatch(m_binary, home, output);
    ASSERT_GE(m_child, 0);
    // The watch has looked once and found the task waiting.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(fs::exists(home + "clone.log"));

    ASSERT_NO_FATAL_FAILURE(PlugIn());
    EXPECT_TRUE(AppearsWithin(m_drive + "backup/a.txt", std::chrono::seconds(5)))
        << "not run within 5 s of the mount";
    EXPECT_TRUE(RunEndedIn(output));

    kill(m_child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(m_child, &status, 0), m_child);
    m_child = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadFile(output),
              "watching the scheduled tasks and the drives\nClone Complete - Disk\nwatching "
              "ended\n");
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.find("Waiting"), std::string::npos) << out;
    EXPECT_NE(out.find("\tok\n"), std::string::npos) << out;
}

// The desktop program (here: the test) holds the program folder's lock: the watch leaves the
// tasks to it, says so once however often it looks, and takes over once the lock is free.
TEST_F(WatchCliTest, WhileTheLockIsHeldElsewhereTheWatchSaysSoOnceAndRunsNothing) {
    Result<InstanceLock> held = InstanceLock::Acquire(home);
    ASSERT_TRUE(held.ok());
    const std::string output = temp / "watch.out";
    m_child = StartWatch(m_binary, home, output);
    ASSERT_GE(m_child, 0);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_NO_FATAL_FAILURE(PlugIn());
    // A look after the mount: still held.
    EXPECT_FALSE(AppearsWithin(m_drive + "backup/a.txt", std::chrono::seconds(3)));

    held.value().Release();
    ASSERT_TRUE(Shell("umount '" + m_drive + "'"));
    m_mounted = false;
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(Shell("mount -o loop '" + m_image + "' '" + m_drive + "'"));
    m_mounted = true;
    EXPECT_TRUE(AppearsWithin(m_drive + "backup/a.txt", std::chrono::seconds(5)));
    EXPECT_TRUE(RunEndedIn(output));

    kill(m_child, SIGTERM);
    ASSERT_EQ(waitpid(m_child, nullptr, 0), m_child);
    m_child = -1;
    EXPECT_EQ(ReadFile(output),
              "watching the scheduled tasks and the drives\nDuvanto is already running\nClone "
              "Complete - Disk\nwatching ended\n");
}

}  // namespace
}  // namespace duvanto::test
