// The restore window's decisions over real folders: the first of two Targets, a Source that
// was deleted, nothing checked, the engine's settings afterwards, Escape, and the progress.

#include "app/logic/RestoreController.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/support/TaskEditWorld.h"

namespace duvanto {
namespace {

namespace fs = std::filesystem;

class QuietRun : public ITaskRunEffects, public IRestoreWindow {
public:
    void SetStatusText(int, const std::string&) override {}
    void Pump() override {}
    int32_t RowCount() override { return 0; }
    std::string RowText(int32_t) override { return ""; }
    int32_t RowIcon(int32_t) override { return 0; }
    void SetRowIcon(int32_t, int32_t) override {}
    void SetRowItems(int32_t, const std::string&, const std::vector<std::string>&) override {}
    void SetCaption(const std::string&) override {}
    void SetTrayTooltip(const std::string&) override {}
    void SetTopLevelMenusEnabled(bool) override {}
    void SetTrayIcon(TrayIcon) override {}
    void SetButtonsEnabled(bool) override {}
    void SetStatusLabel(const std::string&) override {}
};

class RestoreControllerTest : public ::testing::Test {
protected:
    RestoreControllerTest() : app(world.Folder("home"), world.clock, world.prompt, runFileSystem) {
        first = world.Folder("First");
        second = world.Folder("Second");
        source = world.Folder("Source");
        test::WriteFile(first + "a.txt", "a from first");
        test::WriteFile(first + "docs/b.txt", "b from first");
        test::WriteFile(second + "a.txt", "a from second");
        task.TaskName = "Photos";
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = first + "<:>" + second;
    }

    std::unique_ptr<RestoreController> Open() {
        std::optional<cRestore> restore = RestoreController::Prepare(app, &task);
        if (!restore) {
            return nullptr;
        }
        auto controller = std::make_unique<RestoreController>(app, *restore, world.Services());
        controller->Tree().Activate();
        controller->Tree().OpenFolder(controller->Tree().Root());
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
    std::string LastMessage() const {
        const auto& shown = world.prompt.messages.shown;
        return shown.empty() ? "" : shown.back().title + "|" + shown.back().text;
    }

    test::TaskEditWorld world;
    PosixFileSystem runFileSystem;  // a run sets its roots on its own file system
    Application app;
    QuietRun quiet;
    cCloneTask task;
    std::string first, second, source;
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

TEST_F(RestoreControllerTest, TheFirstOfTwoTargetsIsShownAndRestoredIntoADeletedSource) {
    fs::remove_all(source);
    app.Clone.DeleteMethod = SecureDelete;
    app.Clone.CopyOnlyIfNewer = true;
    {
        std::unique_ptr<RestoreController> controller = Open();
        ASSERT_TRUE(controller);
        EXPECT_TRUE(app.RestoreInProgress);
        EXPECT_EQ(controller->Caption(), "RESTORE SOURCE: Photos");
        EXPECT_EQ(controller->Tree().Root().Text, first);
        ASSERT_EQ(controller->Tree().Root().Children.size(), 2u);  // docs/, a.txt
        controller->Tree().SetChecked(Node(*controller, 0), true);
        EXPECT_EQ(controller->SelectedItems(), first + "docs/");

        EXPECT_EQ(Run(*controller), RestoreOutcome::Completed);
        EXPECT_TRUE(controller->Finished(RestoreOutcome::Completed));
        EXPECT_EQ(test::ReadFile(source + "docs/b.txt"), "b from first");
        EXPECT_FALSE(fs::exists(source + "a.txt"));
        EXPECT_EQ(LastMessage(), "Restore Source|Restore successfully completed.");
        EXPECT_EQ(app.Clone.DeleteMethod, SecureDelete);
        EXPECT_TRUE(app.Clone.CopyOnlyIfNewer);
        // The run let go of the scheduler's flag at its end; the window holds it until it goes.
        EXPECT_TRUE(app.RestoreInProgress);
    }
    EXPECT_FALSE(app.RestoreInProgress);
}

TEST_F(RestoreControllerTest, NothingCheckedKeepsTheWindowOpenAndTheRootMeansEverything) {
    std::unique_ptr<RestoreController> controller = Open();
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->SelectedItems(), "");
    const RestoreOutcome refused = Run(*controller);
    EXPECT_EQ(refused, RestoreOutcome::Refused);
    EXPECT_EQ(LastMessage(),
              "Restore Source|No files or folders have been selected to be Restored.");
    EXPECT_FALSE(controller->Finished(refused));
    EXPECT_TRUE(app.RestoreInProgress);

    controller->Tree().SetChecked(Node(*controller, 1), true);
    controller->Tree().SetChecked(controller->Tree().Root(), true);
    EXPECT_EQ(controller->SelectedItems(), first);
}

TEST_F(RestoreControllerTest, EscapeStopsARunningRestoreAndOtherwiseCloses) {
    std::unique_ptr<RestoreController> controller = Open();
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->Escape());
    EXPECT_FALSE(app.Flags.EscPressed);
    ASSERT_TRUE(controller->StartRestore());
    EXPECT_FALSE(controller->StartRestore());  // one restore at a time
    EXPECT_FALSE(controller->Escape());
    EXPECT_TRUE(app.Flags.EscPressed);
    controller->Finished(RestoreOutcome::Cancelled);
    EXPECT_TRUE(controller->Escape());
}

TEST(RestoreProgressTest, OnlyAWholePercentageIsProgress) {
    EXPECT_EQ(RestoreController::PercentDone("0%"), 0);
    EXPECT_EQ(RestoreController::PercentDone("45%"), 45);
    EXPECT_EQ(RestoreController::PercentDone("100%"), 100);
    for (const char* text : {"", "%", "12 files", "101%", "4x%", "-3%", " 5%"}) {
        EXPECT_EQ(RestoreController::PercentDone(text), -1) << text;
    }
}

}  // namespace
}  // namespace duvanto
