// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window's decisions over real folders: the first of two Targets, a Source that
// was deleted, nothing checked, the engine's settings afterwards, one restore at a time, and
// the progress. The folder-differences report command: its refusals, the page made on a worker
// thread against the task's first Target and handed to the browser host, the message when a
// folder fails.

#include "app/restore/RestoreController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/logic/MessageCheck.h"
#include "app/restore/FolderReportCommand.h"
#include "app/support/MainWindowWorld.h"
#include "app/support/RestoreWorld.h"
#include "support/ScopedLocale.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

namespace fs = std::filesystem;

class RestoreControllerTest : public ::testing::Test, protected test::RestoreWorld {
protected:
    std::unique_ptr<RestoreController> OpenWithTopLevel() {
        std::unique_ptr<RestoreController> controller = Open();
        if (controller) {
            controller->Tree().Activate();
            controller->Tree().OpenFolder(controller->Tree().Root());
        }
        return controller;
    }
    static const SelectionNode& Node(RestoreController& controller, std::size_t row) {
        return *controller.Tree().Root().Children.at(row);
    }
    RestoreOutcome Run(RestoreController& controller) {
        std::optional<RestoreJob> job = controller.StartRestore();
        EXPECT_TRUE(job);
        return job ? RestoreController::Run(app, *job, quiet, quiet) : RestoreOutcome::Refused;
    }

    test::QuietRunEffects quiet;
};

TEST_F(RestoreControllerTest, TheCommandRefusesWhatTheWindowCannotDo) {
    app.Flags.CloneInProgress = true;
    EXPECT_FALSE(RestoreController::Prepare(app, &task));
    EXPECT_EQ(world.prompt.messages.beeps, 1);
    EXPECT_TRUE(world.prompt.messages.shown.empty());
    app.Flags.CloneInProgress = false;

    EXPECT_FALSE(RestoreController::Prepare(app, nullptr));
    EXPECT_EQ(LastMessage(), "Restore Source|Please select a task first.");
    EXPECT_EQ(world.prompt.messages.shown.back().icon, MessageIcon::Information);
    EXPECT_FALSE(app.RestoreInProgress);
}

// What a restore does to the Source, its messages and the settings it leaves are the restore's
// own, tested with it; here the window's tree, its choice and the run it hands them to.
TEST_F(RestoreControllerTest, TheFirstOfTwoTargetsIsShownAndRestoredIntoADeletedSource) {
    {
        std::unique_ptr<RestoreController> controller = OpenWithTopLevel();
        ASSERT_TRUE(controller);
        EXPECT_TRUE(app.RestoreInProgress);
        EXPECT_EQ(controller->Caption(), "RESTORE SOURCE: Photos");
        EXPECT_EQ(controller->Tree().Root().Text, first);
        ASSERT_EQ(controller->Tree().Root().Children.size(), 3u);  // 2023/, 2024/, notes.txt
        controller->Tree().SetChecked(Node(*controller, 0), true);
        controller->Tree().SetChecked(Node(*controller, 2), true);
        EXPECT_EQ(controller->SelectedItems(),
                  (std::vector<std::string>{first + "2023/", first + "notes.txt"}));

        EXPECT_EQ(Run(*controller), RestoreOutcome::Completed);
        EXPECT_TRUE(controller->Finished(RestoreOutcome::Completed));
        EXPECT_EQ(test::ReadFile(source + "2023/harbour.jpg"), "2023/harbour.jpg");
        EXPECT_EQ(test::ReadFile(source + "notes.txt"), "notes.txt");
        EXPECT_FALSE(fs::exists(source + "2024"));
        // The run let go of the scheduler's flag at its end; the window holds it until it goes.
        EXPECT_TRUE(app.RestoreInProgress);
    }
    EXPECT_FALSE(app.RestoreInProgress);
}

// A name holding the separator is restored as itself; the file its first piece names (here an
// older x in the Target) stays out of it.
TEST_F(RestoreControllerTest, ANameHoldingTheSeparatorIsRestoredAsItself) {
    test::WriteFile(first + "x<:>y", "the chosen one");
    test::WriteFile(first + "x", "an older x");
    test::WriteFile(source + "x", "the Source's x");
    test::SetModificationTime(first + "x", 1'000'000'000);
    std::unique_ptr<RestoreController> controller = OpenWithTopLevel();
    ASSERT_TRUE(controller);
    const std::vector<std::unique_ptr<SelectionNode>>& nodes = controller->Tree().Root().Children;
    const auto chosen = std::find_if(nodes.begin(), nodes.end(),
                                     [](const auto& node) { return node->Text == "x<:>y"; });
    ASSERT_NE(chosen, nodes.end());
    controller->Tree().SetChecked(**chosen, true);
    EXPECT_EQ(controller->SelectedItems(), std::vector<std::string>{first + "x<:>y"});

    EXPECT_EQ(Run(*controller), RestoreOutcome::Completed);
    EXPECT_EQ(test::ReadFile(source + "x<:>y"), "the chosen one");
    EXPECT_EQ(test::ReadFile(source + "x"), "the Source's x");
}

TEST_F(RestoreControllerTest, NothingCheckedKeepsTheWindowOpenAndTheRootMeansEverything) {
    std::unique_ptr<RestoreController> controller = OpenWithTopLevel();
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->SelectedItems().empty());
    EXPECT_FALSE(controller->Finished(Run(*controller)));
    EXPECT_TRUE(app.RestoreInProgress);

    controller->Tree().SetChecked(Node(*controller, 1), true);
    controller->Tree().SetChecked(controller->Tree().Root(), true);
    EXPECT_EQ(controller->SelectedItems(), std::vector<std::string>{first});
}

TEST_F(RestoreControllerTest, OneRestoreAtATimeWhichEscapeStopsAndTheHelpPage) {
    std::unique_ptr<RestoreController> controller = Open();
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->Escape());  // nothing runs: the window closes
    EXPECT_FALSE(app.Flags.EscPressed);
    ASSERT_TRUE(controller->StartRestore());
    EXPECT_FALSE(controller->StartRestore());
    EXPECT_FALSE(controller->Escape());
    EXPECT_TRUE(app.Flags.EscPressed);
    controller->Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{64});
}

// A Source whose notes were edited after the backup, and whose beach picture is older than the
// backup's. The trash is a folder of the test's own, set before the run's file system reads it.
struct NewerSourceWorld {
    NewerSourceWorld() {
        test::WriteFile(world.source + "notes.txt", "edited after the backup");
        test::SetModificationTime(world.first + "notes.txt", 1'000'000'000);
        test::WriteFile(world.source + "2023/beach.jpg", "an older beach");
        test::SetModificationTime(world.source + "2023/beach.jpg", 1'000'000'000);
    }
    RestoreOutcome Restore() {
        std::unique_ptr<RestoreController> controller = world.Open();
        EXPECT_TRUE(controller);
        if (!controller) {
            return RestoreOutcome::Refused;
        }
        controller->Tree().SetChecked(controller->Tree().Root(), true);
        std::optional<RestoreJob> job = controller->StartRestore();
        EXPECT_TRUE(job);
        return job ? RestoreController::Run(world.app, *job, quiet, quiet)
                   : RestoreOutcome::Refused;
    }
    std::string Trashed(const std::string& name) const {
        return test::ReadFile(data.Path() + "/Trash/files/" + name);
    }

    test::TempDir data;
    test::ScopedEnv trash{"XDG_DATA_HOME", data.Path()};
    test::RestoreWorld world;
    test::QuietRunEffects quiet;
};

// Before anything is copied the user learns how many Source files are newer than the copies
// that would replace them; No does nothing, Yes restores and every Source version replaced is
// in the trash.
TEST(RestoreNewerSourceTest, TheUserIsToldOfNewerSourceFilesAndTheirVersionsGoToTheTrash) {
    NewerSourceWorld w;
    std::deque<MessageAnswer>& answers = w.world.world.prompt.messages.answers;
    answers = {MessageAnswer::No};
    EXPECT_EQ(w.Restore(), RestoreOutcome::Refused);
    ASSERT_EQ(w.world.world.prompt.messages.shown.size(), 1u);
    const test::ShownMessage& question = w.world.world.prompt.messages.shown[0];
    EXPECT_EQ(question.title, "Restore Source");
    EXPECT_EQ(question.text,
              "1 file in the Source is newer than the Target's copy that would replace it.\r\n\r\n"
              "Every Source file that the restore replaces goes to the trash first.\r\n\r\n"
              "Restore all the same?");
    EXPECT_EQ(question.buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(test::ReadFile(w.world.source + "notes.txt"), "edited after the backup");
    EXPECT_FALSE(fs::exists(w.world.source + "2024"));

    answers = {MessageAnswer::Yes, MessageAnswer::OK};
    EXPECT_EQ(w.Restore(), RestoreOutcome::Completed);
    EXPECT_EQ(test::ReadFile(w.world.source + "notes.txt"), "notes.txt");
    EXPECT_EQ(test::ReadFile(w.world.source + "2023/beach.jpg"), "2023/beach.jpg");
    EXPECT_EQ(w.Trashed("notes.txt"), "edited after the backup");
    EXPECT_EQ(w.Trashed("beach.jpg"), "an older beach");
}

TEST(RestoreProgressTest, OnlyAWholePercentageIsProgress) {
    EXPECT_EQ(RestoreController::PercentDone("0%"), 0);
    EXPECT_EQ(RestoreController::PercentDone("45%"), 45);
    EXPECT_EQ(RestoreController::PercentDone("100%"), 100);
    for (const char* text : {"", "%", "12 files", "101%", "4x%", "-3%", " 5%"}) {
        EXPECT_EQ(RestoreController::PercentDone(text), -1) << text;
    }
}

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
