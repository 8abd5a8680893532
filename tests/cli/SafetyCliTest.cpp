// The runner's share of the safety rules: nested folders refused however they are named, one
// names that cannot break a line or drive a terminal, and a log
// kept whole when the process is told to end.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
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

class SafetyCliTest : public CliFolders {
protected:
    SafetyCliTest() { fs::create_directories(home); }
};

TEST_F(SafetyCliTest, ABindMountedTargetInsideTheSourceIsRefused) {
    WriteFile(source + "top.txt", "t");
    WriteFile(source + "inner/only-here.txt", "the Source's only copy");
    if (mount((source + "inner").c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount here";
    }
    const int code = Run({"clone", source, target, "--delete", "regular", "--quiet"});
    umount2(target.c_str(), MNT_DETACH);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(err,
              "The Target folder \"~/T/\" lies inside the Source folder \"~/S/\". A folder "
              "cannot be cloned into itself.\n");
    EXPECT_EQ(ReadFile(source + "inner/only-here.txt"), "the Source's only copy");

    // The other way round: the Source is a Target subfolder under another name.
    WriteFile(target + "sub/kept.txt", "k");
    const std::string alias = temp / "alias/";
    fs::create_directories(alias);
    ASSERT_EQ(mount((target + "sub").c_str(), alias.c_str(), nullptr, MS_BIND, nullptr), 0);
    const int reverse = Run({"clone", alias, target, "--delete", "regular", "--quiet"});
    umount2(alias.c_str(), MNT_DETACH);
    EXPECT_EQ(reverse, 2);
    EXPECT_NE(err.find("contains the Source folder"), std::string::npos) << err;
    EXPECT_EQ(ReadFile(target + "sub/kept.txt"), "k");
}

TEST_F(SafetyCliTest, PlanAndConfirmationShowNamesEscaped) {
    WriteFile(source + "two\nlines", "1");
    WriteFile(source + "red\x1b[31m", "2");
    // How each name is written is LoggingTest's; here the runner prints it so.
    EXPECT_EQ(Run({"plan", source, target}), 0) << err;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);

    EXPECT_EQ(Run({"clone", source, target, "--confirm", "--quiet"}, "\n"), 0) << err;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_NE(out.find("     COPY FILE     \"two\\x0Alines\""), std::string::npos) << out;
    EXPECT_EQ(ReadFile(target + "two\nlines"), "1");
}

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
