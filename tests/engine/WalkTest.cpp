// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include "engine/EngineFixture.h"

namespace duvanto::test {
namespace {

constexpr int64_t kOld = 1'000'000'000;
constexpr int64_t kNew = 1'000'000'500;

class WalkTest : public EngineFixture {
protected:
    static int64_t MTime(const std::string& path) {
        struct stat st {};
        lstat(path.c_str(), &st);
        return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    }
};

TEST_F(WalkTest, MixedPlanFollowsBothPassesInOrder) {
    File(source + "changed.txt", "new", kNew);
    SetModificationTime(source + "changed.txt", kNew, 123'456'789);  // kept to the nanosecond
    File(target + "changed.txt", "old", kOld);
    Files(source, {"new.txt=n", "both/kept.txt=k", "newdir/n.txt=n", "newdir/deeper/d.txt=d"});
    Files(target,
          {"both/kept.txt=k", "both/orphan.txt=o", "both/gone/g.txt=g", "both/gone/inner/i.txt=i"});

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
    EXPECT_EQ(lastPlan, StepResult::Ok);
    EXPECT_EQ(host.panel1, "Comparing folders. Press ESC to Cancel...");
    const FileOp& copy = clone.Plan().Ops[0];
    EXPECT_EQ(copy.SourceFileSpec(), source + "changed.txt");
    EXPECT_EQ(copy.TargetFileSpec(), target + "changed.txt");
    const FileOp& remove = clone.Plan().Ops[2];
    EXPECT_EQ(remove.TargetFileSpec(), target + "both/orphan.txt");
    EXPECT_EQ(remove.SourceFileSpec(), "");

    // Performed in that order, but each folder removed after what it holds.
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(LogLines(), (Lines{
                              " - Copied: changed.txt from ~/S/ to ~/T/",
                              " - Copied: new.txt from ~/S/ to ~/T/",
                              " - Deleted: orphan.txt from ~/T/both/",
                              " - Deleted: g.txt from ~/T/both/gone/",
                              " - Deleted: i.txt from ~/T/both/gone/inner/",
                              " - Created Folder: ~/T/newdir/",
                              " - Copied: n.txt from ~/S/newdir/ to ~/T/newdir/",
                              " - Created Folder: ~/T/newdir/deeper/",
                              " - Copied: d.txt from ~/S/newdir/deeper/ to ~/T/newdir/deeper/",
                              " - Deleted Folder: ~/T/both/gone/inner/",
                              " - Deleted Folder: ~/T/both/gone/",
                          }));
    EXPECT_EQ(ReadFile(target + "changed.txt"), "new");
    EXPECT_EQ(MTime(target + "changed.txt"), MTime(source + "changed.txt"));
    EXPECT_FALSE(PathExists(target + "both/gone"));
    EXPECT_EQ(ReadFile(target + "newdir/deeper/d.txt"), "d");
    EXPECT_TRUE(clone.Plan().Ops.empty()) << "the plan is erased at the end of the run";
    EXPECT_EQ(PlanAll(), Lines{});
}

// A name is bytes: one in Latin-1, no UTF-8 at all, is cloned as it stands.
TEST_F(WalkTest, NamesThatAreNoUtf8AreClonedAsTheirBytes) {
    Files(source, {"\xe9t\xe9/caf\xe9=latin-1", "\xed\xa0\x80=a surrogate"});
    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadFile(target + "\xe9t\xe9/caf\xe9"), "latin-1");
    EXPECT_EQ(ReadFile(target + "\xed\xa0\x80"), "a surrogate");
    EXPECT_EQ(PlanAll(), Lines{});
}

TEST_F(WalkTest, DoNotDeleteAndNoSubfoldersPlanOnlyWhatTheyAllow) {
    Files(target, {"orphan.txt=o", "gone/g.txt=g"});
    Files(source, {"new.txt=n", "sub/b.txt=b"});
    const Lines topCopy{"     COPY FILE     \"new.txt\"  FROM  ~/S/  TO  ~/T/"};
    EXPECT_EQ(PlanAll(false),
              (Lines{"     DELETE FILE     \"orphan.txt\"  FROM  ~/T/", topCopy[0]}));
    clone.Settings.DeleteMethod = DeleteMethodType::DoNotDelete;
    EXPECT_EQ(PlanAll(false), topCopy);
    EXPECT_EQ(PlanAll(), (Lines{topCopy[0], "     CREATE FOLDER     ~/T/sub/",
                                "     COPY FILE     \"b.txt\"  FROM  ~/S/sub/  TO  ~/T/sub/"}));
}

TEST_F(WalkTest, HiddenTargetFolderIsKeptWholeWhenHiddenFoldersAreIgnored) {
    Files(target, {".cache/orphan.txt=o", ".cache/deep/x.txt=x"});
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
    // The roots are the user's choice, hidden or not.
    source = temp / ".src/";
    target = temp / ".dst/";
    File(source + "a.txt", "a");
    MakeFolder(target);
    compare.IgnoreHiddenFolders = true;
    EXPECT_EQ(PlanAll(), Lines{"     COPY FILE     \"a.txt\"  FROM  ~/.src/  TO  ~/.dst/"});
}

TEST_F(WalkTest, EachComparisonRuleDecidesWhatIsCopied) {
    using enum CompareMethodType;
    const struct {
        CompareMethodType method;
        bool twoSeconds, dst, onlyIfNewer;
        const char* sourceBytes;
        int64_t sourceTime;
        const char* targetBytes;
        int64_t targetTime;
        bool copied;
    } cases[] = {
        // Older Source, only if newer.
        {DateTime, false, false, true, "s", kOld, "t", kNew, false},
        // Newer Source, only if newer.
        {DateTime, false, false, true, "s", kNew + 10, "t", kNew, true},
        // 2 s apart, tolerated.
        {DateTime, true, false, false, "12345", kOld, "12345", kOld - 2, false},
        // 2 s apart.
        {DateTime, false, false, false, "12345", kOld, "12345", kOld - 2, true},
        // Same size.
        {Size, false, false, false, "12345", kOld, "54321", kOld - 5000, false},
        // Same bytes.
        {Contents, false, false, false, "same", kOld, "same", kNew, false},
        // Same CRC.
        {CRC32, false, false, false, "same", kOld, "same", kNew, false},
        // A file of another size is never up to date: a copy that a power cut left short
        // carries the Source's time. Only a newer Target stays under "only if newer".
        // Same time, other size.
        {DateTime, false, false, false, "12345", kOld, "", kOld, true},
        // 2 s apart, tolerated, other size.
        {DateTime, true, false, false, "12345", kOld, "123", kOld - 2, true},
        // Same time, other size, only if newer.
        {DateTime, false, false, true, "12345", kOld, "", kOld, true},
        // An hour apart, tolerated, other size.
        {DateTime, false, true, false, "12345", kOld, "123", kOld + 3600, true},
        // Newer Target, other size, only if newer.
        {DateTime, false, false, true, "12345", kOld, "", kNew, false},
        // Same time, same size, other bytes.
        {DateTime, false, false, true, "12345", kOld, "54321", kOld, false},
    };
    for (const auto& c : cases) {
        compare.CompareMethod = c.method;
        compare.IgnoreFAT_NTFS_TwoSecDiff = c.twoSeconds;
        compare.IgnoreFAT_NTFS_DaylightSavings = c.dst;
        compare.CopyOnlyIfNewer = c.onlyIfNewer;
        File(source + "a.txt", c.sourceBytes, c.sourceTime);
        File(target + "a.txt", c.targetBytes, c.targetTime);
        EXPECT_EQ(PlanAll(),
                  c.copied ? Lines{"     COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/T/"} : Lines{})
            << "case " << &c - cases;
    }
}

TEST_F(WalkTest, SourceThatVanishesBeforeContentComparisonIsLoggedAndCopied) {
    cClone engine(compare, log, fileSystem, flags, reporter);
    engine.Settings.CompareMethod = CompareMethodType::Contents;
    File(source + "v.txt", "data");
    // Deleted just before its contents are read.
    fileSystem.Before(FsOp::Compare, source + "v.txt", [&] { unlink((source + "v.txt").c_str()); });
    File(target + "v.txt", "data");
    EXPECT_EQ(engine.PlanAll(host, source, target, true), StepResult::Failed);
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

    EXPECT_EQ(Sorted(PlanAll()), (Lines{
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
    EXPECT_EQ(lastPlan, StepResult::Ok);
}

TEST_F(WalkTest, KindConflictsResolveInOneRun) {
    Files(source, {"x/inside.txt=folder in the Source"});
    Files(target, {"x=file in the Target"});
    EXPECT_EQ(PlanAll(), (Lines{
                             "     DELETE FILE     \"x\"  FROM  ~/T/",
                             "     CREATE FOLDER     ~/T/x/",
                             "     COPY FILE     \"inside.txt\"  FROM  ~/S/x/  TO  ~/T/x/",
                         }));
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

}  // namespace
}  // namespace duvanto::test
