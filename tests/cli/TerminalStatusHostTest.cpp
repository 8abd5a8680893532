// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line of a run on a terminal.

#include "cli/TerminalStatusHost.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/TestSupport.h"
#include "tasks/Trees.h"

namespace duvanto::test {
namespace {

using namespace std::chrono_literals;

class ProgressLineTest : public ::testing::Test {
protected:
    ProgressLineTest() {
        WriteFile(temp / "S/big", std::string(3000, 'b'));
        WriteFile(temp / "S/small", std::string(1000, 's'));
        const std::string s = temp / "S/";
        const std::string t = temp / "T/";
        plan = {{"big", s, t, CopyFile, 3000},
                {"orphan", "", t, DeleteFile},
                {"", "", t + "sub/", CreateFolder},
                {"small", s, t, CopyFile, 1000}};
    }

    TerminalStatusHost Host(bool progress) {
        return TerminalStatusHost(in, out, progress, 80, [this] { return now; });
    }

    // What the terminal shows at each redraw, blanks at the end dropped.
    std::vector<std::string> Frames() const {
        std::vector<std::string> frames = SplitLines(out.str(), "\r");
        for (std::string& frame : frames) {
            frame.erase(frame.find_last_not_of(' ') + 1);
        }
        return frames;
    }

    // The engine's calls while it performs the plan: the phase, "0%" and the totals, then per
    // item its percentage and, once a file operation is done, the figures.
    void Perform(TerminalStatusHost& host) {
        host.SetStatusText(1, "Cloning folder \"" + temp / "S/" + "\".  Press ESC to Cancel...");
        host.SetStatusText(2, "0%");
        RunProgress progress{0, 3, 0, 4000};
        host.Progress(progress);
        const char* percents[] = {"25%", "50%", "75%", "100%"};
        for (std::size_t i = 0; i < plan.size(); ++i) {
            now += 1s;
            host.SetStatusText(2, percents[i]);
            if (plan[i].Operation == CopyFile || plan[i].Operation == DeleteFile) {
                ++progress.FilesDone;
                progress.BytesDone += static_cast<int64_t>(plan[i].Bytes);
                host.Progress(progress);
            }
        }
    }

    TempDir temp;
    std::vector<FileOp> plan;
    std::istringstream in;
    std::ostringstream out;
    std::chrono::steady_clock::time_point now{};
};

TEST_F(ProgressLineTest, ShowsThePhaseFilesBytesRateAndTimeLeftThenClearsItself) {
    {
        TerminalStatusHost host = Host(true);
        host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
        host.SetStatusText(2, "0 files");
        now += 1s;
        host.SetStatusText(2, "4 files");
        Perform(host);
        host.Finish();
    }
    const std::vector<std::string> frames = Frames();
    const std::string phase = "Cloning folder \"" + temp / "S/" + "\"";
    ASSERT_GE(frames.size(), 6u) << out.str();
    // Long names are cut to the terminal's width.
    const auto shown = [&](const std::string& figures) {
        return (phase + "  " + figures).substr(0, 79);
    };
    // One second in, the big file is under way; at two it is done: 1,500 bytes a second,
    // 1,000 to go.
    EXPECT_EQ(
        std::vector<std::string>(frames.begin() + 1, frames.begin() + 6),
        (std::vector<std::string>{"Comparing folders", "Comparing folders  4 files",
                                  shown("0/3 files  0 B/3.9 KiB"), shown("0/3 files  0 B/3.9 KiB"),
                                  shown("1/3 files  2.9 KiB/3.9 KiB  1.5 KiB/s  0:01 left")}));
    // Cleared at the end: the last thing written is a blank line the cursor stands at the
    // start of.
    EXPECT_TRUE(out.str().ends_with("\r" + std::string(79, ' ') + "\r"));
    EXPECT_EQ(frames.back(), "");
}

TEST_F(ProgressLineTest, RedrawsAFewTimesASecondAtMost) {
    TerminalStatusHost host = Host(true);
    host.SetStatusText(1, "Comparing folders. Press ESC to Cancel...");
    for (int i = 0; i < 100; ++i) {
        now += 10ms;
        host.SetStatusText(2, std::to_string(i) + " files");
        host.Pump();
    }
    // One second of updates every 10 ms: the phase, then one frame per 200 ms.
    EXPECT_EQ(Frames().size(), 1u + 1u + 5u);
}

TEST(TransferTextTest, RateAndTimeLeftOnlyOnceTheyMeanSomething) {
    EXPECT_EQ(TerminalStatusHost::TransferText({0, 10, 0, 5000, 0.5}), "0/10 files  0 B/4.9 KiB");
    // Empty files and deletions: no bytes to tell of.
    EXPECT_EQ(TerminalStatusHost::TransferText({2, 10, 0, 0, 30}), "2/10 files");
    EXPECT_EQ(TerminalStatusHost::TransferText({5, 10, 1u << 30, 3u << 30, 8}),
              "5/10 files  1.0 GiB/3.0 GiB  128.0 MiB/s  0:16 left");
    EXPECT_EQ(TerminalStatusHost::TransferText({9, 10, 1000, 1000 + 4000 * 3600, 1}),
              "9/10 files  1000 B/13.7 MiB  1000 B/s  4:00:00 left");
}

}  // namespace
}  // namespace duvanto::test
