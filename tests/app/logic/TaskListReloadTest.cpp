// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/TaskListReload.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/mainwindow/TaskColumns.h"
#include "app/support/FakeMainWindowView.h"
#include "app/support/MainWindowWorld.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

using test::MainWindowWorld;
using test::MakeTask;

struct ReloadWorld {
    ReloadWorld() : tasks(world.Started().Tasks()), reload(tasks, view, [this] { ++loaded; }) {
        world.SaveTasks({MakeTask("Photos")});
        tasks.Open(DefaultTaskListFileSpec(world.home.Path()));
    }
    // Another program writes the list: Photos, and Mail after it.
    void EditByHand() { world.SaveTasks({MakeTask("Photos"), MakeTask("Mail")}); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TaskRowView& row : TaskRowsOf(tasks.List())) {
            names.push_back(row.Name());
        }
        return names;
    }

    MainWindowWorld world;
    test::FakeMainWindowView view;
    TaskListService& tasks;
    int loaded = 0;
    TaskListReload reload;
};

TEST(TaskListReloadTest, AListChangedByHandIsReadAgainAndTheStatusBarSaysSo) {
    ReloadWorld w;
    // The program's own save is no change.
    ASSERT_TRUE(w.tasks.Save());
    w.reload.FileChanged(false);
    EXPECT_EQ(w.view.refreshed, 0);
    EXPECT_TRUE(w.view.panels.empty());

    w.EditByHand();
    w.reload.FileChanged(false);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(w.view.refreshed, 1);
    EXPECT_EQ(w.view.panels[2], kTaskListReloaded);
    EXPECT_EQ(w.loaded, 1);
    // The next save keeps what was written by hand.
    w.world.App().CloneTasks.Item("Photos")->ErrorOnLastClone = true;
    ASSERT_TRUE(w.tasks.Save());
    w.tasks.Reload();
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
}

// While a run holds the list nothing is read; the run's end reads the change before its
// outcome is applied.
TEST(TaskListReloadTest, AChangeDuringARunIsReadWhenTheRunEnds) {
    ReloadWorld w;
    w.EditByHand();
    w.reload.FileChanged(true);
    EXPECT_EQ(w.Names(), std::vector<std::string>{"Photos"});
    EXPECT_TRUE(w.reload.Pending());
    EXPECT_EQ(w.view.refreshed, 0);

    w.reload.RunEnded();
    EXPECT_FALSE(w.reload.Pending());
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Photos", "Mail"}));
    EXPECT_EQ(w.view.panels[2], kTaskListReloaded);
}

}  // namespace
}  // namespace duvanto
