// SPDX-License-Identifier: GPL-3.0-or-later
// The folder-differences report command: its refusals, the page made on a worker thread against
// the task's first Target and handed to the browser host, the message when a folder
// fails, and the scheduler waiting while a report is made.

#include "app/logic/MessageCheck.h"
#include "app/restore/FolderReportCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <thread>

#include "app/support/MainWindowWorld.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

using test::MainWindowWorld;
using test::MakeTask;

class RecordingStatus : public IStatusHost {
public:
    void SetStatusText(int panel, const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex);
        texts.push_back(std::to_string(panel) + ":" + text);
    }
    void Pump() override {}
    std::string Last() {
        std::lock_guard<std::mutex> lock(mutex);
        return texts.empty() ? "" : texts.back();
    }
    std::mutex mutex;
    std::vector<std::string> texts;
};

// Notes too what the status bar said when the page was handed over.
class RecordingBrowser : public IBrowserHost {
public:
    explicit RecordingBrowser(RecordingStatus& status) : m_status(status) {}
    OpenResult OpenFile(const std::string& fileSpec) override {
        opened.push_back(fileSpec);
        statusWhenOpened.push_back(m_status.Last());
        thread = std::this_thread::get_id();
        return answer;
    }
    OpenResult answer = OpenResult::Opened;
    std::vector<std::string> opened;
    std::vector<std::string> statusWhenOpened;
    std::thread::id thread;

private:
    RecordingStatus& m_status;
};

class FolderReportCommandTest : public ::testing::Test {
protected:
    FolderReportCommandTest() {
        source = world.home / "Source/";
        first = world.home / "Backup/";
        test::WriteFile(source + "new.txt", "only in the Source");
        test::WriteFile(source + "both.txt", "same");
        test::WriteFile(first + "both.txt", "same");
        test::WriteFile(first + "old/gone.txt", "only in the first Target");
        test::WriteFile(world.home / "Mirror/mirror-only.txt", "only in the second Target");
        task = MakeTask("Documents");
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = first + "<:>" + world.home / "Mirror/";
        world.App();
    }

    // The job's run on a thread of its own, as the window runs it.
    std::string RunOnWorker(const FolderReportJob& job) {
        std::string page;
        std::thread worker([&] { page = command.Run(job, world.fileSystem, status, browser); });
        worker.join();
        command.Finished();
        return page;
    }

    MainWindowWorld world;
    FolderReportCommand command{world.App(), world.prompt};
    RecordingStatus status;
    RecordingBrowser browser{status};
    cCloneTask task;
    std::string source, first;
};

TEST_F(FolderReportCommandTest, RefusesWithoutATaskAndBeepsWhileACloneOrAReportRuns) {
    EXPECT_FALSE(command.Start(nullptr));
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(test::IsMessage(world.prompt.messages.shown[0],
                                "Create a Report of Folder Differences",
                                "Please select a task first", MessageIcon::Information));

    world.App().Flags.CloneInProgress = true;
    EXPECT_FALSE(command.Start(&task));
    EXPECT_EQ(world.prompt.messages.beeps, 1);
    world.App().Flags.CloneInProgress = false;

    ASSERT_TRUE(command.Start(&task));
    EXPECT_TRUE(command.Running());
    EXPECT_FALSE(command.Start(&task));  // one report at a time
    EXPECT_EQ(world.prompt.messages.beeps, 2);
    command.Finished();
    EXPECT_FALSE(command.Running());
    EXPECT_TRUE(command.Start(&task));
    EXPECT_EQ(world.prompt.messages.shown.size(), 1u);
}

TEST_F(FolderReportCommandTest, ThePageComparesTheFirstTargetOnTheWorkerAndOpensThere) {
    std::optional<FolderReportJob> job = command.Start(&task);
    ASSERT_TRUE(job);
    // Settings changed after the start are not the report's: it compares as it was asked to.
    world.App().Settings.CompareMethod = CompareMethodType::Contents;
    EXPECT_NE(job->Compare.CompareMethod, CompareMethodType::Contents);

    const std::string page = RunOnWorker(*job);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(browser.opened, std::vector<std::string>{page});
    EXPECT_NE(browser.thread, std::this_thread::get_id());
    EXPECT_EQ(status.texts, (std::vector<std::string>{"1:Creating Report...", "1:"}));
    const std::string html = test::ReadFile(page);
    // What the page says is the report's own (tested with it); here, that it is the first
    // Target's.
    EXPECT_NE(html.find(source + "old/gone.txt"), std::string::npos);
    EXPECT_EQ(html.find("mirror-only"), std::string::npos);
    EXPECT_TRUE(world.prompt.messages.shown.empty());
    std::remove(page.c_str());
}

// Which folder fails how, and a browser that fails, are ReportTest's; here the message reaches
// the user and the command ends all the same.
TEST_F(FolderReportCommandTest, AMissingFolderIsToldAndTheCommandEndsAllTheSame) {
    task.SourceFolderSpec = world.home / "NoSuchSource/";
    std::optional<FolderReportJob> job = command.Start(&task);
    ASSERT_TRUE(job);
    EXPECT_EQ(RunOnWorker(*job), "");
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_EQ(world.prompt.messages.shown[0].title, "Create Report");
    EXPECT_EQ(world.prompt.messages.shown[0].text, "Problems processing the Source folder.");
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_FALSE(command.Running());
}

// The page is made whether or not a browser shows it: the user learns where it is, and the
// status bar no longer says that it is being made.
TEST_F(FolderReportCommandTest, WithoutABrowserTheUserIsToldWhereThePageIs) {
    browser.answer = IBrowserHost::OpenResult::Failed;
    std::optional<FolderReportJob> job = command.Start(&task);
    ASSERT_TRUE(job);
    const std::string page = RunOnWorker(*job);
    ASSERT_FALSE(page.empty());
    EXPECT_NE(test::ReadFile(page).find(source + "new.txt"), std::string::npos);
    EXPECT_EQ(browser.statusWhenOpened, std::vector<std::string>{"1:"});
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(test::IsMessage(world.prompt.messages.shown[0], "Duvanto",
                                "Web Page not opened\r\n\r\nThe report was saved as\r\n" + page +
                                    "\r\nOpen that file with a web browser to read it.",
                                MessageIcon::Information));
    EXPECT_EQ(status.texts, (std::vector<std::string>{"1:Creating Report...", "1:"}));
    EXPECT_FALSE(command.Running());
    std::remove(page.c_str());
}

}  // namespace
}  // namespace duvanto
