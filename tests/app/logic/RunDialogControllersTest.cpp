// SPDX-License-Identifier: GPL-3.0-or-later
// The confirmation and order-tasks windows' decisions: which operations are struck out however
// the list has shrunk, the kinds of the lines, and the order of tasks with its messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/runs/ConfirmChangesController.h"
#include "app/runs/OrderTasksController.h"
#include "app/runs/RunStatusHost.h"
#include "app/support/FakeAppPrompt.h"

namespace duvanto {
namespace {

using test::FakeAppPrompt;
using test::IsMessage;

std::vector<PlannedOperation> Plan(int count) {
    std::vector<PlannedOperation> plan;
    for (int i = 1; i <= count; ++i) {
        FileOp op;
        op.FileName = "file " + std::to_string(i) + ".txt";
        op.SourceFolder = "/src/";
        op.TargetFolder = "/dst/";
        plan.push_back(PlannedOperationFromFileOp(op));
    }
    return plan;
}

TEST(ConfirmChangesControllerTest, StrikingOutFollowsThePlanNotTheShrunkenList) {
    FakeAppPrompt prompt;
    ConfirmChangesController controller({"Photos", Plan(6), true}, prompt, {});
    // Operation 2, then operation 5, which by then stands fourth in the list.
    EXPECT_TRUE(controller.RemoveSelected({1}));
    EXPECT_EQ(controller.Key(3), "K5");
    EXPECT_TRUE(controller.RemoveSelected({3}));
    EXPECT_EQ(controller.SkipFlags(), (std::vector<bool>{false, true, false, false, true, false}));
    ASSERT_EQ(controller.Count(), 4);
    EXPECT_EQ(controller.Key(2), "K4");
    EXPECT_EQ(controller.Entry(3).FileName, "file 6.txt");

    // Rows in any order, repeated, or outside the list: each entry once, the rest ignored.
    EXPECT_TRUE(controller.RemoveSelected({3, 0, 3, 9, -1}));
    EXPECT_EQ(controller.SkipFlags(), (std::vector<bool>{true, true, false, false, true, true}));
    EXPECT_TRUE(controller.RemoveSelected({1, 0}));
    EXPECT_EQ(controller.Count(), 0);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(6, true));
    EXPECT_TRUE(prompt.messages.shown.empty());
}

TEST(ConfirmChangesControllerTest, NothingSelectedTellsTheUserAndChangesNothing) {
    FakeAppPrompt prompt;
    ConfirmChangesController controller({"Photos", Plan(3), true}, prompt, {});
    EXPECT_FALSE(controller.RemoveSelected({}));
    EXPECT_FALSE(controller.RemoveSelected({3, -1}));
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[0], "Duvanto",
                          "Please select a file operation to remove from the list.",
                          MessageIcon::Exclamation));
    EXPECT_EQ(controller.Count(), 3);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(3, false));
}

TEST(ConfirmChangesControllerTest, TotalsCountWhatIsLeftInTheList) {
    FakeAppPrompt prompt;
    std::vector<PlannedOperation> plan;
    const auto add = [&plan](FileOpType kind, const std::string& name, uint64_t bytes) {
        FileOp op{name, "/src/", "/dst/", kind, bytes};
        plan.push_back(PlannedOperationFromFileOp(op));
    };
    add(CreateFolder, "", 0);
    add(CopyFile, "big.iso", 3ULL << 30);
    add(CopyFile, "small.txt", 512ULL << 20);
    add(DeleteFile, "old.txt", 700);  // a deletion's size copies nothing
    add(DeleteFolder, "", 0);
    ConfirmChangesController controller({"Photos", std::move(plan), true}, prompt, {});
    EXPECT_EQ(controller.TotalsText(), "2 copies, 1 new folder, 2 deletions; 3.5 GB to copy");
    EXPECT_TRUE(controller.RemoveSelected({1, 3, 4}));
    EXPECT_EQ(controller.TotalsText(), "1 copy, 1 new folder, 0 deletions; 512.0 MB to copy");
    EXPECT_TRUE(controller.RemoveSelected({0, 1}));
    EXPECT_EQ(controller.TotalsText(), "0 copies, 0 new folders, 0 deletions; 0 bytes to copy");
}

TEST(ConfirmChangesControllerTest, CancelStopsTheRunOnceAndStrikesOutEverything) {
    FakeAppPrompt prompt;
    int cancels = 0;
    ConfirmChangesController controller({"Photos", Plan(3), true}, prompt, {},
                                        [&cancels] { ++cancels; });
    EXPECT_TRUE(controller.RemoveSelected({1}));
    EXPECT_FALSE(controller.Cancelled());
    controller.Cancel();
    controller.Cancel();  // Escape, then the close box
    EXPECT_TRUE(controller.Cancelled());
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(controller.SkipFlags(), std::vector<bool>(3, true));
}

TEST(ConfirmChangesControllerTest, KindsAndReasonsComeFromTheOperation) {
    // The kind comes from the operation, never from its line: a deleted file whose name holds
    // the words of a copy stays a deletion.
    FileOp deletion{"x   COPY FILE  y", "", "/t/", DeleteFile};
    deletion.Reason = OpReason::FolderInSource;
    const PlannedOperation planned = PlannedOperationFromFileOp(deletion);
    EXPECT_EQ(planned.Kind, DeleteFile);
    EXPECT_EQ(planned.Reason, "the Source holds a folder of this name");
}

TEST(OrderTasksControllerTest, TheTasksOfferedAreAllOrTheCheckedOnesTopToBottom) {
    const std::vector<TaskRowChoice> rows = {{"Mail", false}, {"Photos", true}, {"Music", true}};
    EXPECT_EQ(TasksToOrder(rows, OrderWhat::AllTasks),
              (std::vector<std::string>{"Mail", "Photos", "Music"}));
    EXPECT_EQ(TasksToOrder(rows, OrderWhat::CheckedTasks),
              (std::vector<std::string>{"Photos", "Music"}));
}

TEST(OrderTasksControllerTest, MovesStopAtTheEndsAndKeepTheEntrySelected) {
    test::PromptAndReporter world;
    FakeAppPrompt& prompt = world.prompt;
    OrderTasksController controller({"A", "B", "C"}, prompt, world.reporter);
    EXPECT_EQ(controller.FirstSelection(), 0);
    EXPECT_EQ(controller.MoveUp(0), 0);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(controller.MoveDown(0), 1);
    EXPECT_EQ(controller.MoveDown(1), 2);
    EXPECT_EQ(controller.MoveDown(2), 2);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(controller.MoveUp(1), 0);
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_TRUE(prompt.messages.shown.empty());

    EXPECT_EQ(controller.MoveUp(-1), -1);
    EXPECT_EQ(controller.MoveDown(3), -1);
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    for (const test::ShownMessage& shown : prompt.messages.shown) {
        EXPECT_TRUE(IsMessage(shown, "No Task Selected", "Please select a task first.",
                              MessageIcon::Information));
    }
    EXPECT_EQ(controller.Names(), (std::vector<std::string>{"C", "B", "A"}));
}

TEST(OrderTasksControllerTest, RemovedTasksDoNotRunAndTheRestRunAsShown) {
    test::PromptAndReporter world;
    FakeAppPrompt& prompt = world.prompt;
    OrderTasksController controller({"Mail", "Photos", "Music"}, prompt, world.reporter);
    EXPECT_EQ(controller.Remove(-1), -1);
    ASSERT_EQ(prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[0], "Remove Task", "No task is selected",
                          MessageIcon::Exclamation));

    // The entry that takes the removed one's place is selected next; at the end, the new last.
    EXPECT_EQ(controller.Remove(0), 0);
    EXPECT_EQ(controller.MoveDown(0), 1);
    EXPECT_EQ(controller.OK(), (std::vector<std::string>{"Music", "Photos"}));
    EXPECT_EQ(controller.Remove(1), 0);
    EXPECT_EQ(controller.Remove(0), -1);
    EXPECT_EQ(controller.FirstSelection(), -1);
    EXPECT_TRUE(controller.OK().empty());
}

TEST(MassDeleteQuestionTest, TheUserIsAskedWithNoAsDefaultAndTheSchedulerIsRefused) {
    FakeAppPrompt prompt;
    const std::string why = "150 of 151 Target files would be deleted, more than the 50% allowed";
    EXPECT_FALSE(AskMassDelete(prompt, true, why));
    EXPECT_TRUE(prompt.messages.shown.empty());

    EXPECT_FALSE(AskMassDelete(prompt, false, why));  // nothing answered: the default
    prompt.messages.answers.push_back(MessageAnswer::Yes);
    EXPECT_TRUE(AskMassDelete(prompt, false, why));
    ASSERT_EQ(prompt.messages.shown.size(), 2u);
    EXPECT_TRUE(IsMessage(prompt.messages.shown[1], kMassDeleteTitle,
                          why + ".\r\n\r\nDelete them all the same?", MessageIcon::Exclamation,
                          MessageButtons::YesNoDefaultNo));
}

}  // namespace
}  // namespace duvanto
