// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "engine/EngineFixture.h"

namespace duvanto::test {
namespace {

class SelectedItemsTest : public EngineFixture {
protected:
    Lines PlanSelected(const std::vector<std::string>& selection, const std::string& masks,
                       bool subfolders = true) {
        lastPlan = clone.PlanSelected(host, source, target, subfolders, selection, masks);
        return PlannedLines();
    }
};

TEST_F(SelectedItemsTest, ANameHoldingASeparatorIsItselfAndMasksAddMatches) {
    Files(source,
          {"a=a", "b=b", "a,b=ab", "x=x", "y=y", "x<:>y=xy", "sub/c.TXT=c", ".hidden/d.txt=d"});
    // Each item is one name, whatever it holds; masks match without case, below dot-folders
    // never.
    EXPECT_EQ(Sorted(PlanSelected({source + "a,b", source + "x<:>y"}, "*.txt")),
              (Lines{
                  "     COPY FILE     \"a,b\"  FROM  ~/S/  TO  ~/T/",
                  "     COPY FILE     \"c.TXT\"  FROM  ~/S/sub/  TO  ~/T/sub/",
                  "     COPY FILE     \"x<:>y\"  FROM  ~/S/  TO  ~/T/",
                  "     CREATE FOLDER     ~/T/sub/",
              }));
    EXPECT_EQ(lastPlan, StepResult::Ok);
    EXPECT_EQ(clone.CloneSelected(host, source, target, true, {source + "a,b"}, ""),
              StepResult::Ok);
    EXPECT_EQ(LogLines(), Lines{" - Copied: a,b from ~/S/ to ~/T/"});
}

TEST_F(SelectedItemsTest, FilesInMissingFoldersGetTheirFoldersAndParents) {
    Files(source, {"new/a.txt=a", "new/b.txt=b", "x/y/z/f.txt=f", "x/y/g.txt=g"});
    const std::vector<std::string> selection = {source + "new/a.txt", source + "new/b.txt",
                                                source + "x/y/z/f.txt", source + "x/y/g.txt"};
    // Each missing folder is planned once, before the first file that goes into it.
    EXPECT_EQ(PlanSelected(selection, ""),
              (Lines{
                  "     CREATE FOLDER     ~/T/new/",
                  "     COPY FILE     \"a.txt\"  FROM  ~/S/new/  TO  ~/T/new/",
                  "     COPY FILE     \"b.txt\"  FROM  ~/S/new/  TO  ~/T/new/",
                  "     CREATE FOLDER     ~/T/x/y/z/",
                  "     COPY FILE     \"f.txt\"  FROM  ~/S/x/y/z/  TO  ~/T/x/y/z/",
                  "     CREATE FOLDER     ~/T/x/y/",
                  "     COPY FILE     \"g.txt\"  FROM  ~/S/x/y/  TO  ~/T/x/y/",
              }));
    EXPECT_EQ(lastPlan, StepResult::Ok);
    // The creation of x/y/z/ makes its missing parents too; x/y/ then finds itself there and
    // counts as done.
    EXPECT_EQ(clone.CloneSelected(host, source, target, true, selection, ""), StepResult::Ok);
    EXPECT_EQ(LogLines(), (Lines{
                              " - Created Folder: ~/T/new/",
                              " - Copied: a.txt from ~/S/new/ to ~/T/new/",
                              " - Copied: b.txt from ~/S/new/ to ~/T/new/",
                              " - Created Folder: ~/T/x/y/z/",
                              " - Copied: f.txt from ~/S/x/y/z/ to ~/T/x/y/z/",
                              " - Created Folder: ~/T/x/y/",
                              " - Copied: g.txt from ~/S/x/y/ to ~/T/x/y/",
                          }));
    EXPECT_EQ(ReadFile(target + "x/y/z/f.txt"), "f");
}

TEST_F(SelectedItemsTest, FilesMatchingMasksCreateTheirMissingFolderOnce) {
    // Ten songs in a folder the Target lacks, found by the masks alone, and a selected folder
    // whose files the masks find once more.
    for (int song = 1; song <= 10; ++song) {
        File(source + "M\xC3\xBAsica/track" + std::to_string(song) + ".mp3", "m");
    }
    Files(source, {"Albums/cover.mp3=c", "Albums/notes.txt=n"});
    const std::string music = "~/T/M\xC3\xBAsica/";
    const auto count = [](const Lines& lines, const std::string& line) {
        return std::count(lines.begin(), lines.end(), line);
    };
    const Lines plan = PlanSelected({source + "Albums/"}, "*.mp3");
    EXPECT_EQ(lastPlan, StepResult::Ok);
    EXPECT_EQ(count(plan, "     CREATE FOLDER     " + music), 1);
    EXPECT_EQ(count(plan, "     CREATE FOLDER     ~/T/Albums/"), 1);
    EXPECT_EQ(plan.size(), 2u + 12u) << "two folders made, and twelve files copied once each";

    EXPECT_EQ(clone.CloneSelected(host, source, target, true, {source + "Albums/"}, "*.mp3"),
              StepResult::Ok);
    const Lines logged = LogLines();
    EXPECT_EQ(count(logged, " - Created Folder: " + music), 1);
    EXPECT_EQ(count(logged, " - Created Folder: ~/T/Albums/"), 1);
    EXPECT_EQ(ReadFile(target + "M\xC3\xBAsica/track10.mp3"), "m");

    // The selected folder, now in the Target, is compared whole; its orphan and its changed
    // file, which the masks find as well, are each planned once.
    NextRun();
    File(target + "Albums/old.mp3", "o");
    File(source + "Albums/cover.mp3", "new cover", 1'100'000'000);
    EXPECT_EQ(Sorted(PlanSelected({source + "Albums/"}, "*.mp3")),
              (Lines{
                  "     COPY FILE     \"cover.mp3\"  FROM  ~/S/Albums/  TO  ~/T/Albums/",
                  "     DELETE FILE     \"old.mp3\"  FROM  ~/T/Albums/",
              }));
    EXPECT_EQ(lastPlan, StepResult::Ok);
}

TEST_F(SelectedItemsTest, UnusableItemsAreLoggedAndTheOthersPlanned) {
    Files(source, {"here.txt=h", "sub/y.txt=y"});
    File(temp / "elsewhere/x.txt", "x");
    // Missing, outside the Source, or climbing out of it and back.
    EXPECT_EQ(PlanSelected({source + "gone.txt", source + "nothere/", temp / "elsewhere/x.txt",
                            source + "sub/../sub/y.txt", source + "here.txt"},
                           ""),
              Lines{"     COPY FILE     \"here.txt\"  FROM  ~/S/  TO  ~/T/"});
    EXPECT_EQ(lastPlan, StepResult::Failed);
    EXPECT_EQ(LogLines(),
              (Lines{" *Include Filter Error: The file does not exist  ~/S/gone.txt",
                     " *Include Filter Error: The subfolder does not exist  ~/S/nothere/",
                     " *Include Filter Error: The file does not exist  ~/elsewhere/x.txt",
                     " *Include Filter Error: The file does not exist  ~/S/sub/../sub/y.txt"}));
}

TEST_F(SelectedItemsTest, SelectedFolderIsComparedWholeOrCreatedDepthFirst) {
    Files(source, {"docs/a.txt=a", "docs/inner/b.txt=b", "docs/.git/c=c"});
    // Dot-folders are left out; the order of a.txt and inner/ follows the listing, each
    // folder's creation comes before its contents.
    Lines lines = PlanSelected({source + "docs/"}, "");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "     CREATE FOLDER     ~/T/docs/");
    auto at = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_LT(at("     CREATE FOLDER     ~/T/docs/inner/"),
              at("     COPY FILE     \"b.txt\"  FROM  ~/S/docs/inner/  TO  ~/T/docs/inner/"));
    EXPECT_LT(at("     COPY FILE     \"a.txt\"  FROM  ~/S/docs/  TO  ~/T/docs/"), 4);

    // Once the folder exists in the Target, the full comparison runs for it.
    Files(target, {"docs/a.txt=a", "docs/inner/b.txt=b", "docs/stale.txt=s"});
    EXPECT_EQ(PlanSelected({source + "docs/"}, ""),
              Lines{"     DELETE FILE     \"stale.txt\"  FROM  ~/T/docs/"});
}

TEST_F(SelectedItemsTest, MaskOrphansAreDeletedAndOtherTargetFilesKept) {
    File(source + "keep.txt", "k");
    Files(target, {"keep.txt=k", "orphan.txt=o", "sub/orphan2.TXT=o", "unrelated.doc=u"});
    EXPECT_EQ(Sorted(PlanSelected({}, "*.txt")),
              (Lines{
                  "     DELETE FILE     \"orphan.txt\"  FROM  ~/T/",
                  "     DELETE FILE     \"orphan2.TXT\"  FROM  ~/T/sub/",
              }));
    EXPECT_EQ(lastPlan, StepResult::Ok);
    // Nothing selected and no masks: no orphans either.
    EXPECT_EQ(PlanSelected({}, ""), Lines{});
    EXPECT_EQ(lastPlan, StepResult::Ok);
    // Without deletions the Target is never scanned.
    clone.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    host.texts.clear();
    EXPECT_EQ(PlanSelected({}, "*.txt"), Lines{});
    EXPECT_EQ(std::find(host.texts.begin(), host.texts.end(), "1:Scanning Target folder..."),
              host.texts.end());
}

// A folder the mask scan cannot list is logged, on either side; neither its Source files are
// cloned nor its Target files judged, and the rest of the run goes on.
TEST_F(SelectedItemsTest, AFolderTheMaskScanCannotListIsLoggedAndTheRestCloned) {
    Files(source, {"a.txt=a", "locked/b.txt=b", "open/c.txt=c"});
    Files(target, {"orphan.txt=o", "tlocked/kept.txt=k", "locked/b.txt=old"});
    fileSystem.Fail(FsOp::List, source + "locked/", EACCES);
    fileSystem.Fail(FsOp::List, target + "tlocked/", EACCES);
    EXPECT_EQ(clone.CloneSelected(host, source, target, true, {}, "*.txt"), StepResult::Failed);
    EXPECT_EQ(Sorted(LogLines()),
              Sorted({
                  " *Get SubFolders Error: 70 Permission is Denied ~/S/locked/",
                  " *Get SubFolders Error: 70 Permission is Denied ~/T/tlocked/",
                  " - Copied: a.txt from ~/S/ to ~/T/",
                  " - Created Folder: ~/T/open/",
                  " - Copied: c.txt from ~/S/open/ to ~/T/open/",
                  " - Deleted: orphan.txt from ~/T/",
              }));
    EXPECT_EQ(ReadFile(target + "locked/b.txt"), "old");
    EXPECT_EQ(ReadFile(target + "tlocked/kept.txt"), "k");
}

TEST_F(SelectedItemsTest, SelectedFileFollowsTheComparisonRules) {
    File(source + "a.txt", "source", 2'000'000'000);
    File(target + "a.txt", "target", 2'000'000'500);
    clone.Settings.CopyOnlyIfNewer = true;
    EXPECT_EQ(PlanSelected({source + "a.txt"}, ""), Lines{});
    clone.Settings.CopyOnlyIfNewer = false;
    EXPECT_EQ(PlanSelected({source + "a.txt"}, ""),
              Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/"});
}

}  // namespace
}  // namespace duvanto::test
