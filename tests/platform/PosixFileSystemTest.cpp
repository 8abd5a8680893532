// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const Result<std::vector<DirEntry>>& listing) {
    std::vector<std::string> names;
    for (const DirEntry& entry : listing.value()) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = temp / "S/";
        target = temp / "T/";
        WriteFile(source + "a.txt", "a");
        fs::create_directories(target + "sub");
        Result<std::unique_ptr<IHeldRoots>> opened = fileSystem.OpenRoots({source, target});
        ASSERT_TRUE(opened.ok());
        roots = std::move(opened.value());
    }
    TempDir temp;
    PosixFileSystem fileSystem;
    std::unique_ptr<IHeldRoots> roots;  // a run's, on source and target
    std::string source, target;
};

TEST_F(PosixFileSystemTest, AFolderSwappedForALinkFailsInsteadOfRedirecting) {
    const std::string outside = temp / "outside/";
    WriteFile(outside + "a.txt", "a");
    fs::remove(target + "sub");
    ASSERT_EQ(symlink(outside.c_str(), (target + "sub").c_str()), 0);

    EXPECT_FALSE(roots->CopyFile(source + "a.txt", target + "sub/b.txt", {}, {}).ok());
    EXPECT_FALSE(roots->MakeFolder(target + "sub/new/").ok());
    EXPECT_FALSE(roots->ListFolder(target + "sub/", true).ok());
    // Reads too: a compare would otherwise judge the Target by a file elsewhere.
    EXPECT_EQ(roots->CompareContents(source + "a.txt", target + "sub/a.txt", {}).status().code(),
              ELOOP);
    EXPECT_EQ(roots->Crc32(target + "sub/a.txt", {}).status().code(), ELOOP);
    EXPECT_EQ(FolderNames(outside), std::vector<std::string>{"a.txt"});
    // The link itself is an entry like any other.
    Result<DirEntry> link = roots->GetEntry(target + "sub");
    ASSERT_TRUE(link.ok());
    EXPECT_EQ(link.value().kind, EntryKind::Link);
}

TEST_F(PosixFileSystemTest, ARemovedAndRecreatedFolderIsReachedAnewOrFailsVisibly) {
    ASSERT_TRUE(roots->CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    ASSERT_TRUE(roots->RemoveFile(target + "sub/a.txt").ok());
    ASSERT_TRUE(roots->RemoveFolder(target + "sub/").ok());
    ASSERT_TRUE(roots->MakeFolder(target + "sub/").ok());
    ASSERT_TRUE(roots->CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    EXPECT_EQ(ReadFile(target + "sub/a.txt"), "a");

    // Replaced behind its back.
    ASSERT_TRUE(roots->CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    fs::remove_all(target + "sub");
    fs::create_directories(target + "sub");
    // Either the new folder receives the copy or the copy fails; nothing vanishes silently.
    Status copied = roots->CopyFile(source + "a.txt", target + "sub/b.txt", {}, {});
    EXPECT_EQ(copied.ok(), fs::exists(target + "sub/b.txt"));
}

// A FIFO without a writer would block a plain open or read forever; a link or a folder is no
// file to read either.
TEST_F(PosixFileSystemTest, ReadersRefuseWhatIsNotARegularFile) {
    ASSERT_EQ(mkfifo((source + "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("a.txt", (source + "link").c_str()), 0);
    fs::create_directories(source + "folder");
    EXPECT_EQ(roots->CompareContents(source + "a.txt", source + "missing", {}).status().code(),
              ENOENT);
    EXPECT_EQ(roots->Crc32(source + "missing", {}).status().code(), ENOENT);
    for (const std::string& other : {source + "fifo", source + "link", source + "folder"}) {
        EXPECT_FALSE(roots->CompareContents(other, source + "a.txt", {}).ok()) << other;
        EXPECT_FALSE(roots->CompareContents(source + "a.txt", other, {}).ok()) << other;
        EXPECT_FALSE(roots->Crc32(other, {}).ok()) << other;
    }
}

// Nothing above the folders of a run is ever changed: the paths that lead there are not the
// run's, and another user may bend them.
TEST_F(PosixFileSystemTest, ChangesAboveTheRootsAreRefused) {
    WriteFile(temp / "beside.txt", "b");
    const std::vector<std::pair<const char*, Status>> changes = {
        {"make a folder beside the roots", roots->MakeFolder(temp / "new/")},
        {"make a root anew", roots->MakeFolderLike(temp / "U/", source).status()},
        {"remove a file beside them", roots->RemoveFile(temp / "beside.txt")},
        {"wipe a file beside them", roots->WipeFile(temp / "beside.txt")},
        {"copy beside them", roots->CopyFile(source + "a.txt", temp / "copy.txt", {}, {})},
        {"move a file out", roots->Rename(source + "a.txt", temp / "moved.txt")},
        {"move a file in", roots->Rename(temp / "beside.txt", target + "beside.txt")},
        {"remove a root", roots->RemoveFolder(target)},
    };
    for (const auto& [what, status] : changes) {
        EXPECT_EQ(status.code(), EPERM) << what;
    }
    EXPECT_EQ(FolderNames(temp.Path()), (std::vector<std::string>{"S", "T", "beside.txt"}));
    EXPECT_EQ(FolderNames(source), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(FolderNames(target), std::vector<std::string>{"sub"});
}

TEST_F(PosixFileSystemTest, ARootIsHeldWhileItIsStillTheFolderItsPathNames) {
    EXPECT_TRUE(roots->CheckRootHeld(source).ok());
    EXPECT_TRUE(roots->CheckRootHeld(target.substr(0, target.size() - 1)).ok());
    EXPECT_EQ(roots->CheckRootHeld(temp.Path()).code(), ENOENT) << "never held";

    fs::rename(target, temp / "T-moved");
    fs::create_directories(target);
    EXPECT_EQ(roots->CheckRootHeld(target).code(), ENOENT) << "another folder in its place";
    fs::remove_all(target);
    EXPECT_EQ(roots->CheckRootHeld(target).code(), ENOENT) << "moved away";

    fs::remove_all(source);
    EXPECT_EQ(roots->CheckRootHeld(source).code(), ENOENT) << "removed";
    fs::create_directories(source);
    EXPECT_EQ(roots->CheckRootHeld(source).code(), ENOENT) << "removed and made anew";
}

// The file system keeps nothing of a run: each run's roots are its own, and a change through
// the file system itself, or through another run's roots, is one outside the roots.
TEST_F(PosixFileSystemTest, EachRunHoldsItsOwnRoots) {
    const std::string other = temp / "U/";
    fs::create_directories(other);
    Result<std::unique_ptr<IHeldRoots>> opened = fileSystem.OpenRoots({other});
    ASSERT_TRUE(opened.ok());
    IHeldRoots& second = *opened.value();

    EXPECT_EQ(fileSystem.MakeFolder(target + "by-the-file-system/").code(), EPERM);
    EXPECT_EQ(second.MakeFolder(target + "by-the-second/").code(), EPERM);
    EXPECT_EQ(roots->MakeFolder(other + "by-the-first/").code(), EPERM);
    EXPECT_EQ(second.CheckRootHeld(source).code(), ENOENT);
    EXPECT_TRUE(roots->CheckRootHeld(source).ok()) << "the second run's roots replaced them";
    EXPECT_TRUE(roots->MakeFolder(target + "first/").ok());
    EXPECT_TRUE(second.MakeFolder(other + "second/").ok());
    EXPECT_EQ(FolderNames(target), (std::vector<std::string>{"first", "sub"}));
    EXPECT_EQ(FolderNames(other), std::vector<std::string>{"second"});
}

// One file system serves runs on several threads at once, each through its own roots, and
// callers outside any run beside them.
TEST_F(PosixFileSystemTest, OneFileSystemServesRunsOnSeveralThreads) {
    constexpr int kRuns = 3;
    constexpr int kFiles = 40;
    std::vector<std::string> sources, targets;
    for (int run = 0; run < kRuns; ++run) {
        const std::string folder = temp / ("run" + std::to_string(run) + "/");
        sources.push_back(folder + "S/");
        targets.push_back(folder + "T/");
        for (int i = 0; i < kFiles; ++i) {
            WriteFile(sources[run] + "sub/f" + std::to_string(i), std::to_string(run * 100 + i));
        }
        fs::create_directories(targets[run]);
    }
    std::vector<Status> outcomes(kRuns + 1);
    std::vector<std::thread> threads;
    for (int run = 0; run < kRuns; ++run) {
        threads.emplace_back([&, run] {
            Result<std::unique_ptr<IHeldRoots>> held =
                fileSystem.OpenRoots({sources[run], targets[run]});
            Status status = held.status();
            for (int i = 0; status.ok() && i < kFiles; ++i) {
                if (i == 0) {
                    status = held.value()->MakeFolder(targets[run] + "sub/");
                }
                const std::string name = "sub/f" + std::to_string(i);
                if (status.ok()) {
                    status =
                        held.value()->CopyFile(sources[run] + name, targets[run] + name, {}, {});
                }
            }
            outcomes[run] = status;
        });
    }
    threads.emplace_back([&] {
        for (int i = 0; i < 200 && outcomes[kRuns].ok(); ++i) {
            outcomes[kRuns] = fileSystem.ListFolder(source, true).status();
        }
    });
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int run = 0; run <= kRuns; ++run) {
        EXPECT_TRUE(outcomes[run].ok()) << run << ": " << outcomes[run].message();
    }
    for (int run = 0; run < kRuns; ++run) {
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_EQ(ReadFile(targets[run] + "sub/f" + std::to_string(i)),
                      std::to_string(run * 100 + i));
        }
    }
}

// Removed and replaced files are let go on helper threads while the run goes on: a copy that
// needs their room still finds it, and none is held once the run's roots are gone.
TEST_F(PosixFileSystemTest, ARemovedFilesRoomServesTheNextCopyAndNothingStaysHeld) {
    const std::string small = temp / "small/";
    fs::create_directories(small);
    // Room for five files with the folder itself: a copy's temporary file needs the room of a
    // file removed a moment before, and at once.
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m,nr_inodes=5") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno) << ")";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};
    const auto room = [&] {
        struct statvfs info {};
        EXPECT_EQ(statvfs(small.c_str(), &info), 0);
        return std::pair(info.f_bfree, info.f_ffree);
    };
    const auto empty = room();
    const std::string fresh(160 * 1024, 'n');
    WriteFile(source + "new.bin", fresh);
    // Each round is a run of its own, whose helpers start with its first removal.
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        for (const char* name : {"old.bin", "replaced.bin", "renamed.bin", "filler.bin"}) {
            WriteFile(small + name, std::string(8 * 1024, name[2]));
        }
        Result<std::unique_ptr<IHeldRoots>> run = fileSystem.OpenRoots({source, small});
        ASSERT_TRUE(run.ok());
        ASSERT_TRUE(run.value()->RemoveFile(small + "old.bin").ok());
        ASSERT_TRUE(run.value()->CopyFile(source + "new.bin", small + "new.bin", {}, {}).ok());
        fs::remove(small + "filler.bin");
        ASSERT_TRUE(run.value()->CopyFile(source + "a.txt", small + "replaced.bin", {}, {}).ok());
        ASSERT_TRUE(run.value()->Rename(small + "renamed.bin", small + "replaced.bin").ok());
        run.value().reset();
        EXPECT_EQ(ReadFile(small + "new.bin"), fresh);
        EXPECT_EQ(ReadFile(small + "replaced.bin"), std::string(8 * 1024, 'n'));
        fs::remove(small + "new.bin");
        fs::remove(small + "replaced.bin");
        EXPECT_EQ(room(), empty);
    }
}

TEST_F(PosixFileSystemTest, ListingAPairGivesWhatTwoListingsGive) {
    for (int i = 0; i < 50; ++i) {
        WriteFile(target + "f" + std::to_string(i), "x");
    }
    for (int round = 0; round < 3; ++round) {
        auto [first, second] = roots->ListFolderPair(target, source, true);
        ASSERT_TRUE(first.ok());
        ASSERT_TRUE(second.ok());
        EXPECT_EQ(Names(first), Names(roots->ListFolder(target, true)));
        EXPECT_EQ(Names(second), std::vector<std::string>{"a.txt"});
    }
    auto [missing, present] = roots->ListFolderPair(temp / "nothere/", source, false);
    EXPECT_EQ(missing.status().code(), ENOENT);
    EXPECT_TRUE(present.ok());
}

// Sizes by name, to tell a listing with status from one without.
std::vector<std::pair<std::string, uint64_t>> Sizes(const Result<std::vector<DirEntry>>& listing) {
    std::vector<std::pair<std::string, uint64_t>> sizes;
    for (const DirEntry& entry : listing.value()) {
        sizes.emplace_back(entry.name, entry.size);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

class ListAheadTest : public PosixFileSystemTest {
protected:
    void SetUp() override {
        PosixFileSystemTest::SetUp();
        for (const std::string name : {"one", "two", "three"}) {
            for (int i = 0; i < 30; ++i) {
                WriteFile(target + name + "/f" + std::to_string(i), std::string(i + 1, 'x'));
            }
            folders.push_back(target + name + "/");
        }
    }
    std::vector<std::string> folders;
};

TEST_F(ListAheadTest, AnnouncedFoldersListAsTheyWouldUnannounced) {
    std::vector<std::vector<std::pair<std::string, uint64_t>>> now;
    for (const std::string& folder : folders) {
        now.push_back(Sizes(roots->ListFolder(folder, true)));
        ASSERT_EQ(now.back().size(), 30u);
    }
    for (int round = 0; round < 20; ++round) {
        for (const std::string& folder : folders) {
            roots->ListAhead(folder, true);
        }
        for (std::size_t i = 0; i < folders.size(); ++i) {
            Result<std::vector<DirEntry>> listed = roots->ListFolder(folders[i], true);
            ASSERT_TRUE(listed.ok());
            EXPECT_EQ(Sizes(listed), now[i]) << folders[i] << " in round " << round;
        }
    }
}

TEST_F(ListAheadTest, AFolderAskedForWithOtherStatusOrAfterItsTurnIsListedAnew) {
    roots->ListAhead(folders[0], false);
    roots->ListAhead(folders[1], true);
    roots->ListAhead(folders[2], true);
    // Without status a file's size is unknown, so a listing made ahead without it would show 0.
    Result<std::vector<DirEntry>> withStatus = roots->ListFolder(folders[0], true);
    ASSERT_TRUE(withStatus.ok());
    EXPECT_EQ(Sizes(withStatus).front(), (std::pair<std::string, uint64_t>{"f0", 1}));
    // Asking for the third passes the second over; a later ask for it sees the folder as it is
    // by then.
    ASSERT_TRUE(roots->ListFolder(folders[2], true).ok());
    WriteFile(folders[1] + "late", "late");
    EXPECT_EQ(roots->ListFolder(folders[1], true).value().size(), 31u);
}

TEST_F(ListAheadTest, DroppedListingsAreNeverHandedOut) {
    for (const std::string& folder : folders) {
        roots->ListAhead(folder, true);
    }
    // Give the helper time to list them all, so that only dropping can keep them out.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    roots->DropListedAhead();
    for (const std::string& folder : folders) {
        WriteFile(folder + "late", "late");
    }
    for (const std::string& folder : folders) {
        EXPECT_EQ(roots->ListFolder(folder, true).value().size(), 31u) << folder;
    }
}

TEST_F(ListAheadTest, FailuresComeWithTheirFolderAndRootsGoWithListingsPending) {
    roots->ListAhead(target + "nothere/", true);
    roots->ListAhead(folders[0], true);
    Result<std::vector<DirEntry>> missing = roots->ListFolder(target + "nothere/", true);
    EXPECT_EQ(missing.status().code(), ENOENT);
    EXPECT_TRUE(roots->ListFolder(folders[0], true).ok());
    for (int i = 0; i < 200; ++i) {
        roots->ListAhead(folders[i % 3], true);
    }
    // A change keeps the folder it changes open for the next one.
    ASSERT_TRUE(roots->CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    roots.reset();
    EXPECT_FALSE(HoldsOpen(source));
    EXPECT_FALSE(HoldsOpen(target));
}

}  // namespace
}  // namespace duvanto::test
