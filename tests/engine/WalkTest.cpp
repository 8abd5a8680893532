#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/EngineFixture.h"
#include "platform/PosixFileSystem.h"

namespace duvanto::test {
namespace {

using Lines = std::vector<std::string>;
constexpr int64_t kOld = 1'000'000'000;
constexpr int64_t kNew = 1'000'000'500;

class WalkTest : public EngineFixture {};

TEST_F(WalkTest, IdenticalTreesPlanNothing) {
    File(source + "a.txt", "same");
    File(target + "a.txt", "same");
    File(source + "d/b.txt", "same");
    File(target + "d/b.txt", "same");
    EXPECT_EQ(PlanAll(), Lines{});
    EXPECT_TRUE(lastPlanOk);
    EXPECT_EQ(host.panel1, "Comparing folders. Press ESC to Cancel...");
}

TEST_F(WalkTest, MixedPlanFollowsBothPassesInOrder) {
    File(source + "changed.txt", "new", kNew);
    File(target + "changed.txt", "old", kOld);
    File(source + "new.txt", "n");
    File(source + "both/kept.txt", "k");
    File(target + "both/kept.txt", "k");
    File(target + "both/orphan.txt", "o");
    File(target + "both/gone/g.txt", "g");
    File(target + "both/gone/inner/i.txt", "i");
    File(source + "newdir/n.txt", "n");
    File(source + "newdir/deeper/d.txt", "d");

    EXPECT_EQ(PlanAll(), (Lines{
                             "     COPY FILE     \"changed.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     COPY FILE     \"new.txt\"  FROM  ~/S/  TO  ~/T/",
                             "     DELETE FILE     \"orphan.txt\"  FROM  ~/T/both/",
                             "     DELETE FILE     \"g.txt\"  FROM  ~/T/both/gone/",
                             "     DELETE FOLDER     ~/T/both/gone/",
                             "     DELETE FILE     \"i.txt\"  FROM  ~/T/both/gone/inner/",
                             "     DELETE FOLDER     ~/T/both/gone/inner/",
                             "     CREATE FOLDER     ~/T/newdir/",
                             "     COPY FILE     \"n.txt\"  FROM  ~/S/newdir/  TO  ~/T/newdir/",
                             "     CREATE FOLDER     ~/T/newdir/deeper/",
                             "     COPY FILE     \"d.txt\"  FROM  ~/S/newdir/deeper/  TO  "
                             "~/T/newdir/deeper/",
                         }));
    EXPECT_TRUE(lastPlanOk);
    const FileOp& copy = clone.Plan().Ops[0];
    EXPECT_EQ(copy.SourceFileSpec(), source + "changed.txt");
    EXPECT_EQ(copy.TargetFileSpec(), target + "changed.txt");
    const FileOp& remove = clone.Plan().Ops[2];
    EXPECT_EQ(remove.TargetFileSpec(), target + "both/orphan.txt");
    EXPECT_EQ(remove.SourceFileSpec(), "");
}

TEST_F(WalkTest, DoNotDeletePlansNoDeletion) {
    clone.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    File(target + "orphan.txt", "o");
    File(target + "gone/g.txt", "g");
    File(source + "new.txt", "n");
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"new.txt\"  FROM  ~/S/  TO  ~/T/"});
}

TEST_F(WalkTest, WithoutSubfoldersOnlyTheTopFolderCounts) {
    File(source + "a.txt", "a");
    File(source + "sub/b.txt", "b");
    File(target + "old/c.txt", "c");
    EXPECT_EQ(PlanAll(false), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/"});
}

TEST_F(WalkTest, HiddenTargetFolderIsKeptWholeWhenHiddenFoldersAreIgnored) {
    File(target + ".cache/orphan.txt", "o");
    File(target + ".cache/deep/x.txt", "x");
    File(source + ".config/new.txt", "n");
    compare.IgnoreHiddenFolders = true;
    EXPECT_EQ(PlanAll(), Lines{});

    compare.IgnoreHiddenFolders = false;
    EXPECT_EQ(PlanAll(), (Lines{
                             "     DELETE FILE     \"orphan.txt\"  FROM  ~/T/.cache/",
                             "     DELETE FOLDER     ~/T/.cache/",
                             "     DELETE FILE     \"x.txt\"  FROM  ~/T/.cache/deep/",
                             "     DELETE FOLDER     ~/T/.cache/deep/",
                             "     CREATE FOLDER     ~/T/.config/",
                             "     COPY FILE     \"new.txt\"  FROM  ~/S/.config/  TO  ~/T/.config/",
                         }));
}

TEST_F(WalkTest, HiddenRootsAreStillCloned) {
    source = temp / ".src/";
    target = temp / ".dst/";
    File(source + "a.txt", "a");
    MakeFolder(target);
    compare.IgnoreHiddenFolders = true;
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/.src/  TO  ~/.dst/"});
}

TEST_F(WalkTest, CopyOnlyIfNewerNeedsANewerSource) {
    clone.Settings.CopyOnlyIfNewer = true;
    File(source + "a.txt", "source", kOld);
    File(target + "a.txt", "target", kNew);
    EXPECT_EQ(PlanAll(), Lines{});
    File(source + "a.txt", "source", kNew + 10);
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/"});
}

TEST_F(WalkTest, TwoSecondToleranceAndSizeMethod) {
    compare.IgnoreFAT_NTFS_TwoSecDiff = true;
    File(source + "a.txt", "12345", kOld);
    File(target + "a.txt", "12345", kOld - 2);
    EXPECT_EQ(PlanAll(), Lines{});

    compare.IgnoreFAT_NTFS_TwoSecDiff = false;
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/"});

    compare.CompareMethod = CompareMethodType::Size;
    File(target + "a.txt", "54321", kOld - 5000);
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(WalkTest, ContentMethodsReadTheBytes) {
    File(source + "same.bin", "identical", kOld);
    File(target + "same.bin", "identical", kNew);
    File(source + "diff.bin", "aaaa", kOld);
    File(target + "diff.bin", "bbbb", kOld);
    for (const CompareMethodType method : {CompareMethodType::Contents, CompareMethodType::CRC32}) {
        compare.CompareMethod = method;
        EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"diff.bin\"  FROM  ~/S/  TO  ~/T/"})
            << static_cast<int>(method);
    }
}

// Deletes the Source file just before its contents are read.
class VanishingFileSystem : public PosixFileSystem {
public:
    Result<bool> CompareContents(const std::string& a, const std::string& b, const ChunkPump& pump,
                                 uint64_t* firstDifference = nullptr) override {
        unlink(a.c_str());
        return PosixFileSystem::CompareContents(a, b, pump, firstDifference);
    }
};

TEST_F(WalkTest, SourceThatVanishesBeforeContentComparisonIsLoggedAndCopied) {
    VanishingFileSystem vanishing;
    cClone engine(compare, log, vanishing, flags, reporter);
    engine.Settings.CompareMethod = CompareMethodType::Contents;
    File(source + "v.txt", "data");
    File(target + "v.txt", "data");
    EXPECT_FALSE(engine.PlanAll(host, source, target, true));
    ASSERT_EQ(engine.Plan().Ops.size(), 1u);
    EXPECT_EQ(engine.Plan().Ops[0].Operation, CopyFile);
    EXPECT_EQ(Short(log.InMemoryString()),
              "12/4/2003 4:38:16 PM *Content Compare Error: 2 No such file or directory "
              "Comparing v.txt in ~/S/ and ~/T/\r\n");
}

TEST_F(WalkTest, LinksAreComparedByTheirTextAndNeverFollowed) {
    const std::string outside = temp / "outside/";
    File(outside + "secret.txt", "s");
    ASSERT_EQ(symlink(outside.c_str(), (source + "to-outside").c_str()), 0);
    ASSERT_EQ(symlink("a", (source + "same-link").c_str()), 0);
    ASSERT_EQ(symlink("a", (target + "same-link").c_str()), 0);
    ASSERT_EQ(symlink("a", (source + "moved-link").c_str()), 0);
    ASSERT_EQ(symlink("b", (target + "moved-link").c_str()), 0);
    ASSERT_EQ(symlink(outside.c_str(), (target + "orphan-link").c_str()), 0);
    compare.CompareMethod = CompareMethodType::Size;  // the link text decides whatever the method

    Lines lines = PlanAll();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{
                         "     COPY FILE     \"moved-link\"  FROM  ~/S/  TO  ~/T/",
                         "     COPY FILE     \"to-outside\"  FROM  ~/S/  TO  ~/T/",
                         "     DELETE FILE     \"orphan-link\"  FROM  ~/T/",
                     }));
}

TEST_F(WalkTest, SpecialFilesAreSkippedOnBothSides) {
    ASSERT_EQ(mkfifo((source + "pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((target + "stale-pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((target + "name.txt").c_str(), 0600), 0);
    File(source + "name.txt", "a file replaces the pipe");
    compare.CompareMethod =
        CompareMethodType::Contents;  // would block on a FIFO if one were opened
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"name.txt\"  FROM  ~/S/  TO  ~/T/"});
    EXPECT_TRUE(lastPlanOk);
}

TEST_F(WalkTest, KindConflictsResolveInOneRun) {
    File(source + "x/inside.txt", "folder in the Source");
    File(target + "x", "file in the Target");
    EXPECT_EQ(PlanAll(), (Lines{
                             "     DELETE FILE     \"x\"  FROM  ~/T/",
                             "     CREATE FOLDER     ~/T/x/",
                             "     COPY FILE     \"inside.txt\"  FROM  ~/S/x/  TO  ~/T/x/",
                         }));
}

TEST_F(WalkTest, EscapeStopsTheWalkAndLogsOneCancellation) {
    for (int i = 0; i < 30; ++i) {
        File(source + "d" + std::to_string(i) + "/f.txt", "x");
    }
    host.escapeAfterPumps = 5;
    PlanAll();
    EXPECT_FALSE(lastPlanOk);
    EXPECT_EQ(log.InMemoryString(), "12/4/2003 4:38:16 PM *User Cancelled Error: \r\n");
    EXPECT_TRUE(flags.CloneCancelled);
}

TEST_F(WalkTest, ProgressCountsEveryTwentyFiveEntries) {
    for (int i = 0; i < 30; ++i) {
        File(source + "f" + std::to_string(i), "x");
    }
    PlanAll();
    EXPECT_EQ(clone.Plan().FilesScanned, 30);
    EXPECT_NE(std::find(host.texts.begin(), host.texts.end(), "2:25 files"), host.texts.end());
    EXPECT_EQ(std::find(host.texts.begin(), host.texts.end(), "2:30 files"), host.texts.end());
}

TEST_F(WalkTest, DescriptionsKeepBlanksInsideTheQuotes) {
    FileOp op{"my file .txt", "/s/", "/t/", CopyFile};
    EXPECT_EQ(cClone::DescribeFileOp(op),
              "     COPY FILE     \"my file .txt\"  FROM  /s/  TO  /t/");
    File(source + "a b.txt", "x");
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a b.txt\"  FROM  ~/S/  TO  ~/T/"});
}

}  // namespace
}  // namespace duvanto::test
