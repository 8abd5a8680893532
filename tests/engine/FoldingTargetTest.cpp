// SPDX-License-Identifier: GPL-3.0-or-later
// Targets whose file system folds letter case or refuses names (a USB stick, a memory card, a
// Windows share), played on the test's own disk by giving the run that file system's rules: the
// plan and the run must never put two Source files onto one Target name, must rename rather than
// copy again what differs in case alone, and must refuse, in words, what cannot be held.

#include <sys/stat.h>

#include <filesystem>

#include "engine/EngineFixture.h"
#include "platform/NameRules.h"

namespace duvanto::test {
namespace {

constexpr int64_t kT0 = 1'000'000'000;

class FoldingTargetTest : public EngineFixture {
protected:
    FoldingTargetTest() {
        fileSystem.InjectNameRules(RulesOfType("exfat"));
        fileSystem.SortListings(true);
    }
    static ino_t Inode(const std::string& path) {
        struct stat info {};
        return lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    }
};

const char kCollision[] =
    " *Target Name Error: a.txt and A.txt differ only in letter case; the Target folder cannot "
    "hold both  a.txt from ~/S/ to ~/T/";

TEST_F(FoldingTargetTest, NamesThatFoldToOneGiveOneCopyAndTheSameErrorOnEveryRun) {
    File(source + "a.txt", "small", kT0);
    File(source + "A.txt", "CAPITAL", kT0);
    EXPECT_EQ(PlanAll(), (Lines{
                             "     CANNOT COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"A.txt\"  FROM  ~/S/  TO  ~/T/",
                         }));
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), (Lines{kCollision, " - Copied: A.txt from ~/S/ to ~/T/"}));
    EXPECT_EQ(FolderNames(target), Lines{"A.txt"});
    EXPECT_EQ(ReadFile(target + "A.txt"), "CAPITAL");

    // The second run writes nothing and says the same.
    const ino_t copied = Inode(target + "A.txt");
    NextRun();
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(), Lines{kCollision});
    EXPECT_EQ(Inode(target + "A.txt"), copied);

    // A Target that holds the other name (an earlier version copied both onto it): it stands
    // for the name that is copied, takes that name and its contents, and is never deleted.
    Fresh();
    NextRun();
    File(source + "a.txt", "small", kT0);
    File(source + "A.txt", "CAPITAL", kT0);
    File(target + "a.txt", "small", kT0);
    EXPECT_EQ(PlanAll(), (Lines{
                             "     CANNOT COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     RENAME FILE     \"a.txt\"  TO  \"A.txt\"  IN  ~/T/",
                             "     COPY FILE     \"A.txt\"  FROM  ~/S/  TO  ~/T/",
                         }));
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(FolderNames(target), Lines{"A.txt"});
    EXPECT_EQ(ReadFile(target + "A.txt"), "CAPITAL");
}

TEST_F(FoldingTargetTest, ACaseOnlyRenameMovesNoDataAndChangedContentsFollowIt) {
    Files(source, {"photo.jpg=same", "notes.txt=new text"}, kT0);
    Files(target, {"Photo.JPG=same"}, kT0);
    File(target + "NOTES.TXT", "old", kT0 - 50);
    const ino_t photo = Inode(target + "Photo.JPG");
    EXPECT_EQ(PlanAll(), (Lines{
                             "     RENAME FILE     \"NOTES.TXT\"  TO  \"notes.txt\"  IN  ~/T/",
                             "     COPY FILE     \"notes.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     RENAME FILE     \"Photo.JPG\"  TO  \"photo.jpg\"  IN  ~/T/",
                         }));
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(LogLines(), (Lines{
                              " - Renamed: NOTES.TXT to notes.txt in ~/T/",
                              " - Copied: notes.txt from ~/S/ to ~/T/",
                              " - Renamed: Photo.JPG to photo.jpg in ~/T/",
                          }));
    EXPECT_EQ(FolderNames(target), (Lines{"notes.txt", "photo.jpg"}));
    EXPECT_EQ(Inode(target + "photo.jpg"), photo);
    EXPECT_EQ(ReadFile(target + "notes.txt"), "new text");
    NextRun();
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(FoldingTargetTest, FoldersAreRenamedLastAndDeepestFirstWithTheirContentsKept) {
    Files(source, {"photos/Sub/x.txt=x", "photos/new.txt=n", "photos/Sub/Deeper/d.txt=d"}, kT0);
    Files(target, {"Photos/sub/x.txt=x", "Photos/sub/DEEPER/d.txt=d", "Photos/gone.txt=g"}, kT0);
    EXPECT_EQ(PlanAll(), (Lines{
                             "     RENAME FOLDER     \"Photos\"  TO  \"photos\"  IN  ~/T/",
                             "     RENAME FOLDER     \"sub\"  TO  \"Sub\"  IN  ~/T/Photos/",
                             "     DELETE FILE     \"gone.txt\"  FROM  ~/T/Photos/",
                             "     COPY FILE     \"new.txt\"  FROM  ~/S/photos/  TO  ~/T/Photos/",
                             "     RENAME FOLDER     \"DEEPER\"  TO  \"Deeper\"  IN  "
                             "~/T/Photos/sub/",
                         }));
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(LogLines(), (Lines{
                              " - Deleted: gone.txt from ~/T/Photos/",
                              " - Copied: new.txt from ~/S/photos/ to ~/T/Photos/",
                              " - Renamed: DEEPER to Deeper in ~/T/Photos/sub/",
                              " - Renamed: sub to Sub in ~/T/Photos/",
                              " - Renamed: Photos to photos in ~/T/",
                          }));
    EXPECT_EQ(ReadFile(target + "photos/Sub/Deeper/d.txt"), "d");
    EXPECT_EQ(ReadFile(target + "photos/new.txt"), "n");
    NextRun();
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(FoldingTargetTest, NamesTheTargetRefusesAreNamedWithTheReasonAndNothingBelowIsTried) {
    compare.IgnoreHiddenFolders = true;
    Files(source,
          {"bad:name?.txt=b", "ok.txt=o", "dir?/inner.txt=i", "fine/x|y=z", ".hidden?/h.txt=h"},
          kT0);
    EXPECT_EQ(PlanAll(), (Lines{
                             "     CANNOT COPY FILE     \"bad:name?.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     CANNOT CREATE FOLDER     \"dir?\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"ok.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     CREATE FOLDER     ~/T/fine/",
                             "     CANNOT COPY FILE     \"x|y\"  FROM  ~/S/fine/  TO  ~/T/fine/",
                         }));
    EXPECT_EQ(CloneAll(), StepResult::Failed);
    EXPECT_EQ(LogLines(),
              (Lines{
                  " *Target Name Error: the Target's file system cannot hold this name (it has : "
                  "?)  bad:name?.txt from ~/S/ to ~/T/",
                  " *Target Name Error: the Target's file system cannot hold this name (it has ?)"
                  "  dir? from ~/S/ to ~/T/",
                  " - Copied: ok.txt from ~/S/ to ~/T/",
                  " - Created Folder: ~/T/fine/",
                  " *Target Name Error: the Target's file system cannot hold this name (it has |)"
                  "  x|y from ~/S/fine/ to ~/T/fine/",
              }));
    EXPECT_EQ(FolderNames(target), (Lines{"fine", "ok.txt"}));

    // Without subfolders only the files are weighed.
    NextRun();
    EXPECT_EQ(PlanAll(false),
              (Lines{"     CANNOT COPY FILE     \"bad:name?.txt\"  FROM  ~/S/  TO  ~/T/"}));
}

TEST_F(FoldingTargetTest, ASavedPlanRenamesOnlyWhatIsStillAsItWasPlanned) {
    Files(source, {"photo.jpg=p", "video.mp4=v", "a.txt=1", "A.txt=2"}, kT0);
    Files(target, {"Photo.JPG=p", "VIDEO.MP4=v", "A.txt=2"}, kT0);
    clone.StampAllEntries = true;
    PlanAll();
    ASSERT_EQ(lastPlan, StepResult::Ok);
    const ClonePlan saved = clone.Plan();
    File(target + "VIDEO.MP4", "changed", kT0 + 9);
    NextRun();
    EXPECT_EQ(clone.PerformSavedPlan(host, saved, {}), StepResult::Failed);
    EXPECT_EQ(
        LogLines(),
        (Lines{
            kCollision,
            " - Renamed: Photo.JPG to photo.jpg in ~/T/",
            " *Rename Error: 0 Changed since the plan was made VIDEO.MP4 to video.mp4 in ~/T/",
        }));
    EXPECT_EQ(FolderNames(target), (Lines{"A.txt", "VIDEO.MP4", "photo.jpg"}));
}

// Selected items and masks reach names one by one, not by listings: the same rules hold.
TEST_F(FoldingTargetTest, SelectedItemsAreWeighedAsTheWholeFolderIs) {
    Files(source, {"photo.jpg=p", "bad:x.jpg=b", "A.jpg=1", "a.jpg=2", "dir?/in.jpg=i"}, kT0);
    Files(target, {"Photo.JPG=p"}, kT0);
    const std::vector<std::string> selection = {source + "photo.jpg", source + "dir?/"};
    lastPlan = clone.PlanSelected(host, source, target, true, selection, "*.jpg");
    EXPECT_EQ(Sorted(PlannedLines()),
              (Lines{
                  "     CANNOT COPY FILE     \"a.jpg\"  FROM  ~/S/  TO  ~/T/",
                  "     CANNOT COPY FILE     \"bad:x.jpg\"  FROM  ~/S/  TO  ~/T/",
                  "     CANNOT CREATE FOLDER     \"dir?\"  FROM  ~/S/  TO  ~/T/",
                  "     COPY FILE     \"A.jpg\"  FROM  ~/S/  TO  ~/T/",
                  "     RENAME FILE     \"Photo.JPG\"  TO  \"photo.jpg\"  IN  ~/T/",
              }));
    EXPECT_EQ(clone.CloneSelected(host, source, target, true, selection, "*.jpg"),
              StepResult::Failed);
    // The Target's photo is renamed, never taken for an orphan.
    EXPECT_EQ(FolderNames(target), (Lines{"A.jpg", "photo.jpg"}));
}

TEST_F(FoldingTargetTest, WhereCaseCountsBothNamesAreKeptAsBefore) {
    fileSystem.InjectNameRules(std::nullopt);
    Files(source, {"a.txt=1", "A.txt=2", "photo.jpg=p", "bad:name.txt=b"}, kT0);
    Files(target, {"Photo.JPG=p"}, kT0);
    EXPECT_EQ(PlanAll(), (Lines{
                             "     DELETE FILE     \"Photo.JPG\"  FROM  ~/T/",
                             "     COPY FILE     \"A.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"bad:name.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"photo.jpg\"  FROM  ~/S/  TO  ~/T/",
                         }));
}

}  // namespace
}  // namespace duvanto::test
