// SPDX-License-Identifier: GPL-3.0-or-later
// A log kept whole when the runner is told to end. The runner's other safety rules are checked
// where they are kept: nested folders in FolderCheckTest, names that could break a line or
// drive a terminal in LoggingTest, folders swapped for links in FoldersAndLinksTest.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

using SafetyCliTest = CliFolders;

// The runner as a process of its own, so that a signal can reach it.
std::string CliBinary() {
    const char* dir = std::getenv("DUVANTO_TEST_BINARY_DIR");
    const std::string path = std::string(dir != nullptr ? dir : "") + "/src/cli/duvanto-cli";
    return dir != nullptr && access(path.c_str(), X_OK) == 0 ? path : "";
}

int CountLines(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(SafetyCliTest, TerminationSignalsKeepTheLogWhole) {
    const std::string binary = CliBinary();
    if (binary.empty()) {
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
