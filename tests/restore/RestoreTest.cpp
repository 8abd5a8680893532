// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/Restore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

uid_t OwnerOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_uid;
}

class RecordingRestoreWindow : public IRestoreWindow {
public:
    void SetButtonsEnabled(bool enabled) override { events.push_back(enabled ? "on" : "off"); }
    void SetStatusLabel(const std::string& text) override { events.push_back("label:" + text); }
    std::vector<std::string> events;
};

class RestoreTest : public ::testing::Test {
protected:
    RestoreTest()
        : fileSystem(TrashInside(temp.Path())), app(temp / "home/", clock, prompt, fileSystem) {
        runWindow.flags = &app.Flags;
        fs::create_directories(temp / "home");
        source = temp / "Source/";
        first = temp / "First/";
        second = temp / "Second/";
        WriteFile(first + "a.txt", "a from first");
        WriteFile(first + "docs/b.txt", "b from first");
        WriteFile(second + "a.txt", "a from second");
        fs::create_directories(source);
        task.TaskName = "Photos";
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = first + "<:>" + second;
    }

    RestoreOutcome Restore(const std::vector<std::string>& selected) {
        cRestore restore;
        if (!PrepareRestore(app, task, restore)) {
            return RestoreOutcome::Refused;
        }
        return RunRestore(app, restore, selected, runWindow, restoreWindow);
    }
    std::string LastMessage() const {
        return prompt.shown.empty() ? ""
                                    : prompt.shown.back().title + "|" + prompt.shown.back().text;
    }

    TempDir temp;
    FixedClock clock{37959.6932407407};
    RecordingPrompt prompt;
    FaultyFileSystem fileSystem;
    Application app;
    RecordingWindow runWindow;
    RecordingRestoreWindow restoreWindow;
    cCloneTask task;
    std::string source, first, second;
};

TEST_F(RestoreTest, RestoresChosenItemsFromTheFirstTargetOnly) {
    EXPECT_EQ(Restore({first + "a.txt"}), RestoreOutcome::Completed);
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from first");
    EXPECT_FALSE(fs::exists(source + "docs"));
    EXPECT_EQ(LastMessage(), "Restore Source|Restore successfully completed.");
    EXPECT_EQ(restoreWindow.events,
              (std::vector<std::string>{"off", "label:Restore in Progress. Press ESC to Cancel...",
                                        "label:", "on"}));
    std::string log = ReadFile(temp / "home/clone.log");
    EXPECT_NE(log.find("<Begin: RESTORE SOURCE: Photos>"), std::string::npos) << log;
}

// As private as the Target it comes back from, whatever the umask (cron's may be 0); as root,
// the Source is its owner's again, while the parents made for it stay the run's.
TEST_F(RestoreTest, RecreatesADeletedSourceWithItsParentsAsPrivateAsTheTarget) {
    ASSERT_EQ(chmod(first.c_str(), 0750), 0);
    if (RunningAsRoot()) {
        ASSERT_EQ(chown(first.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    }
    task.SourceFolderSpec = source = temp / "gone/deeper/Source/";
    const mode_t umaskBefore = umask(0);
    const RestoreOutcome outcome = Restore({first + "docs/"});
    umask(umaskBefore);
    EXPECT_EQ(outcome, RestoreOutcome::Completed);
    EXPECT_EQ(ReadFile(source + "docs/b.txt"), "b from first");
    for (const std::string& made : {temp / "gone", temp / "gone/deeper", source}) {
        struct stat info {};
        ASSERT_EQ(stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 07777, 0750u) << made;
        EXPECT_EQ(info.st_uid, made == source ? OwnerOf(first) : getuid()) << made;
    }
}

// A hand-edited list may name a Source whose path holds the three characters that join a
// task's Targets: the restore goes into that folder, never into the two it would split into.
TEST_F(RestoreTest, ASourcePathHoldingTheTargetSeparatorIsOneFolder) {
    const std::string joined = temp / "a<:>";
    task.SourceFolderSpec = source = joined + temp.Path() + "b/";
    fs::create_directories(source);
    fs::create_directories(temp / "b");
    EXPECT_EQ(Restore({first + "a.txt"}), RestoreOutcome::Completed);
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from first");
    EXPECT_FALSE(fs::exists(temp / "b/a.txt"));
    EXPECT_FALSE(fs::exists(temp / "a"));
}

TEST_F(RestoreTest, TheTargetPathAloneRestoresEverythingAndDeletesNothing) {
    WriteFile(source + "only-in-source.txt", "keep");
    WriteFile(source + "a.txt", "newer in the Source");
    SetModificationTime(source + "a.txt", 2'000'000'000);
    SetModificationTime(first + "a.txt", 1'000'000'000);
    app.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
    app.Settings.CopyOnlyIfNewer = true;

    EXPECT_EQ(Restore({first}), RestoreOutcome::Completed);
    EXPECT_EQ(ReadFile(source + "a.txt"), "a from first");
    EXPECT_EQ(ReadFile(source + "docs/b.txt"), "b from first");
    EXPECT_EQ(ReadFile(source + "only-in-source.txt"), "keep");
    EXPECT_EQ(app.Settings.DeleteMethod, DeleteMethodType::RegularDelete);
    EXPECT_TRUE(app.Settings.CopyOnlyIfNewer);
}

TEST_F(RestoreTest, RefusalsTellWhyAndChangeNothing) {
    EXPECT_EQ(Restore({}), RestoreOutcome::Refused);
    EXPECT_EQ(LastMessage(),
              "Restore Source|No files or folders have been selected to be Restored.");

    task.TargetFolderSpec = "";
    EXPECT_EQ(Restore({first + "a.txt"}), RestoreOutcome::Refused);
    EXPECT_EQ(LastMessage(), "Restore Source|Problems determining the Target Folder.");

    task.TargetFolderSpec = temp / "missing/";
    EXPECT_EQ(Restore({first + "a.txt"}), RestoreOutcome::Refused);
    EXPECT_EQ(LastMessage(),
              "Restore Source|Make sure that the Target folder exists and that you have "
              "permission to access it.");
    EXPECT_FALSE(fs::exists(source + "a.txt"));
    EXPECT_FALSE(app.RestoreInProgress);
}

TEST_F(RestoreTest, ErrorsAndCancellationHaveTheirOwnMessages) {
    EXPECT_EQ(Restore({first + "missing.txt"}), RestoreOutcome::CompletedWithErrors);
    EXPECT_EQ(LastMessage(), "Restore Source|Restore complete with errors.  See Log for details.");

    for (int i = 0; i < 20; ++i) {
        WriteFile(first + "many/" + std::to_string(i), "x");
    }
    runWindow.escapeAtPump = 3;
    EXPECT_EQ(Restore({first + "many/"}), RestoreOutcome::Cancelled);
    EXPECT_EQ(LastMessage(), "Restore Source|Restore cancelled by user");
    EXPECT_EQ(restoreWindow.events.back(), "on");
}

}  // namespace
}  // namespace duvanto::test
