// SPDX-License-Identifier: GPL-3.0-or-later
// Whose a copy is and who may open it: owners carried only where the run may set them, and
// special bits only with them; folders as private as their Source; no mode changed on a file,
// least of all one that other names share. Cases a normal user meets run as one (root ignores
// permission bits), in a forked child.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/EngineFixture.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

constexpr int64_t kOld = 1'000'000'000;
constexpr int64_t kNew = 1'500'000'000;

class PermissionsTest : public EngineFixture {
protected:
    static struct stat Stat(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
        return st;
    }
    static unsigned Mode(const std::string& path) { return Stat(path).st_mode & 07777; }
    // The temporary folder and the Target reachable, and the Target writable, for the
    // unprivileged user.
    void OpenUpForTheUnprivilegedUser() {
        ASSERT_EQ(chmod(temp.Path().c_str(), 0755), 0);
        if (RunningAsRoot()) {
            ASSERT_EQ(chown(target.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        }
    }
    using Checks = std::vector<bool>;
    // The checks run in their order as the unprivileged user; the child's exit code names
    // the first that failed, counted from 1.
    static void ExpectUnprivileged(const std::function<Checks()>& checks) {
        int result = RunUnprivileged([&] {
            const Checks passed = checks();
            const auto failed = std::find(passed.begin(), passed.end(), false);
            return failed == passed.end() ? 0 : static_cast<int>(failed - passed.begin()) + 1;
        });
        ASSERT_NE(result, 255) << "could not drop privileges";
        EXPECT_EQ(result, 0) << "the first check that failed, counted from 1";
    }
};

TEST_F(PermissionsTest, RootCarriesOwnerAndGroupAndOnlyThenSpecialBits) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root may give a copy another owner";
    }
    File(source + "tool", "#!/bin/sh\n");
    ASSERT_EQ(chown((source + "tool").c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    ASSERT_EQ(chmod((source + "tool").c_str(), 06755), 0);
    File(source + "team/plan.txt", "p");
    ASSERT_EQ(chown((source + "team").c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    ASSERT_EQ(chmod((source + "team").c_str(), 02770), 0);
    ASSERT_EQ(symlink("tool", (source + "link").c_str()), 0);
    ASSERT_EQ(lchown((source + "link").c_str(), kUnprivilegedId, kUnprivilegedId), 0);

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    for (const char* name : {"tool", "team", "link"}) {
        struct stat st = Stat(target + name);
        EXPECT_EQ(st.st_uid, kUnprivilegedId) << name;
        EXPECT_EQ(st.st_gid, kUnprivilegedId) << name;
    }
    EXPECT_EQ(Mode(target + "tool"), 06755u);
    EXPECT_EQ(Mode(target + "team"), 02770u);
}

// Set-user-ID and set-group-ID would hand the Source owner's rights to the run's user; the
// sticky bit hands nothing, and without it every user could replace the others' files in a
// shared folder's copy.
TEST_F(PermissionsTest, WithoutTheOwnerOnlyTheStickyBitIsKept) {
    File(source + "tool", "#!/bin/sh\n");
    ASSERT_EQ(chmod((source + "tool").c_str(), 04755), 0);
    File(source + "team/plan.txt", "p");
    ASSERT_EQ(chmod((source + "team").c_str(), 02775), 0);
    File(source + "drop/box.txt", "b");
    ASSERT_EQ(chmod((source + "drop").c_str(), 01777), 0);
    OpenUpForTheUnprivilegedUser();
    ExpectUnprivileged([&]() -> Checks {
        return {CloneAll() == StepResult::Ok, Mode(target + "tool") == 0755u,
                Mode(target + "team") == 0775u, Mode(target + "drop") == 01777u};
    });
}

TEST_F(PermissionsTest, CreatedFoldersGetTheSourceFolderBits) {
    Files(source,
          {"private/secret.txt=s", "shared/a.txt=a", "frozen/f.txt=f", "frozen/inner/g.txt=g"});
    // The Source belongs to the unprivileged user, so that its private folders stay readable.
    if (RunningAsRoot()) {
        ASSERT_EQ(lchown(source.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
            ASSERT_EQ(lchown(entry.path().c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        }
    }
    ASSERT_EQ(chmod((source + "private").c_str(), 0700), 0);
    ASSERT_EQ(chmod((source + "shared").c_str(), 0751), 0);
    ASSERT_EQ(chmod((source + "frozen/inner").c_str(), 0555), 0);
    ASSERT_EQ(chmod((source + "frozen").c_str(), 0555), 0);
    OpenUpForTheUnprivilegedUser();
    // As an ordinary user, whom a read-only folder really keeps out while it is filled.
    ExpectUnprivileged([&]() -> Checks {
        return {
            CloneAll() == StepResult::Ok,           Mode(target + "private") == 0700u,
            Mode(target + "shared") == 0751u,       Mode(target + "frozen") == 0555u,
            Mode(target + "frozen/inner") == 0555u, ReadFile(target + "frozen/inner/g.txt") == "g"};
    });

    // A later file goes into the read-only copy, which is closed again behind it.
    ASSERT_EQ(chmod((source + "frozen").c_str(), 0755), 0);
    File(source + "frozen/later.txt", "l");
    ASSERT_EQ(chmod((source + "frozen").c_str(), 0555), 0);
    ExpectUnprivileged([&]() -> Checks {
        return {CloneAll() == StepResult::Ok, ReadFile(target + "frozen/later.txt") == "l",
                Mode(target + "frozen") == 0555u};
    });
}

TEST_F(PermissionsTest, ReplacingOrRemovingAReadOnlyFileChangesNoMode) {
    const std::string outside = temp / "outside.txt";
    const std::string outsideOrphan = temp / "outside-orphan.txt";
    File(outside, "old", kOld);
    File(outsideOrphan, "orphan");
    ASSERT_EQ(chmod(outside.c_str(), 0444), 0);
    ASSERT_EQ(chmod(outsideOrphan.c_str(), 0444), 0);
    ASSERT_EQ(link(outside.c_str(), (target + "linked.txt").c_str()), 0);
    ASSERT_EQ(link(outsideOrphan.c_str(), (target + "orphan.txt").c_str()), 0);
    File(source + "linked.txt", "new", kNew);

    EXPECT_EQ(CloneAll(), StepResult::Ok);
    EXPECT_EQ(ReadTree(target), Tree{"linked.txt=new"});
    EXPECT_EQ(ReadFile(outside), "old");
    EXPECT_EQ(Mode(outside), 0444u);
    EXPECT_EQ(Mode(outsideOrphan), 0444u);
    EXPECT_EQ(fileSystem.Calls(FsOp::Copy), 1);
    EXPECT_EQ(fileSystem.Calls(FsOp::MakeWritable), 0);
    EXPECT_EQ(LogLines().size(), 2u);
}

TEST_F(PermissionsTest, SecureDeleteOfAReadOnlyFileSparesEveryOtherName) {
    clone.Settings.DeleteMethod = DeleteMethodType::SecureDelete;
    const std::string outside = temp / "outside.txt";
    File(outside, "shared bytes");
    ASSERT_EQ(link(outside.c_str(), (target + "shared.txt").c_str()), 0);
    File(target + "alone.txt", "only here");
    if (RunningAsRoot()) {
        ASSERT_EQ(chown((target + "alone.txt").c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    }
    ASSERT_EQ(chmod(outside.c_str(), 0444), 0);
    ASSERT_EQ(chmod((target + "alone.txt").c_str(), 0444), 0);
    OpenUpForTheUnprivilegedUser();
    // As an ordinary user, who cannot write a read-only file without changing its mode.
    ExpectUnprivileged([&]() -> Checks {
        return {CloneAll() == StepResult::Ok, FolderNames(target).empty(),
                ReadFile(outside) == "shared bytes", Mode(outside) == 0444u};
    });
}

TEST_F(PermissionsTest, SecureDeleteOverwritesNothingItMayNotRemove) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "needs files of another user, which only root can make";
    }
    clone.Settings.DeleteMethod = DeleteMethodType::SecureDelete;
    // Files the unprivileged user may write but not remove: in root's folder, and in a
    // sticky folder open to all.
    const struct {
        const char* folder;
        unsigned mode;
        const char* line;
    } cases[] = {
        {"locked/", 0755, " *Delete Error: 13 Dx - Permission denied f from ~/T/locked/"},
        {"sticky/", 01777, " *Delete Error: 1 Dx - Operation not permitted f from ~/T/sticky/"},
    };
    for (const auto& c : cases) {
        MakeFolder(source + c.folder);
        File(target + c.folder + "f", "precious bytes");
        ASSERT_EQ(chmod((target + c.folder + "f").c_str(), 0666), 0);
        ASSERT_EQ(chmod((target + c.folder).c_str(), c.mode), 0);
    }
    OpenUpForTheUnprivilegedUser();
    ExpectUnprivileged([&]() -> Checks {
        const StepResult result = CloneAll();
        const Lines logged = Sorted(LogLines());
        return {result == StepResult::Failed, logged == Sorted({cases[0].line, cases[1].line})};
    });
    for (const auto& c : cases) {
        EXPECT_EQ(ReadTree(target + c.folder), Tree{"f=precious bytes"}) << c.folder;
    }
}

TEST_F(PermissionsTest, AReadOnlyTargetFolderIsOpenedForTheStepAndClosedAgain) {
    File(source + "ro/changed.txt", "new", kNew);
    Files(target, {"ro/changed.txt=old", "ro/orphan.txt=o"}, kOld);
    OpenUpForTheUnprivilegedUser();
    if (RunningAsRoot()) {
        for (const char* path : {"ro", "ro/changed.txt", "ro/orphan.txt"}) {
            ASSERT_EQ(chown((target + path).c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        }
    }
    ASSERT_EQ(chmod((target + "ro").c_str(), 0555), 0);
    // Copy and removal each lift the mark for their own step only.
    ExpectUnprivileged([&]() -> Checks {
        return {CloneAll() == StepResult::Ok, FolderNames(target + "ro/") == Lines{"changed.txt"},
                ReadFile(target + "ro/changed.txt") == "new", Mode(target + "ro") == 0555u,
                fileSystem.Calls(FsOp::MakeWritable) == 2};
    });
}

}  // namespace
}  // namespace duvanto::test
