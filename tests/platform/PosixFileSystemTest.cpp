#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

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
    PosixFileSystemTest() {
        source = temp / "S/";
        target = temp / "T/";
        WriteFile(source + "a.txt", "a");
        fs::create_directories(target + "sub");
        EXPECT_TRUE(fileSystem.SetRoots({source, target}).ok());
    }
    TempDir temp;
    PosixFileSystem fileSystem;
    std::string source, target;
};

TEST_F(PosixFileSystemTest, AFolderSwappedForALinkFailsInsteadOfRedirecting) {
    const std::string outside = temp / "outside/";
    fs::create_directories(outside);
    fs::remove(target + "sub");
    ASSERT_EQ(symlink(outside.c_str(), (target + "sub").c_str()), 0);

    EXPECT_FALSE(fileSystem.CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    EXPECT_FALSE(fileSystem.MakeFolder(target + "sub/new/").ok());
    EXPECT_FALSE(fileSystem.ListFolder(target + "sub/", true).ok());
    EXPECT_TRUE(fs::is_empty(outside));
    // The link itself is an entry like any other.
    Result<DirEntry> link = fileSystem.GetEntry(target + "sub");
    ASSERT_TRUE(link.ok());
    EXPECT_EQ(link.value().kind, EntryKind::Link);
}

TEST_F(PosixFileSystemTest, ARemovedAndRecreatedFolderIsReachedAnewOrFailsVisibly) {
    ASSERT_TRUE(fileSystem.CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    ASSERT_TRUE(fileSystem.RemoveFile(target + "sub/a.txt").ok());
    ASSERT_TRUE(fileSystem.RemoveFolder(target + "sub/").ok());
    ASSERT_TRUE(fileSystem.MakeFolder(target + "sub/").ok());
    ASSERT_TRUE(fileSystem.CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    EXPECT_EQ(ReadFile(target + "sub/a.txt"), "a");

    // Replaced behind its back.
    ASSERT_TRUE(fileSystem.CopyFile(source + "a.txt", target + "sub/a.txt", {}, {}).ok());
    fs::remove_all(target + "sub");
    fs::create_directories(target + "sub");
    // Either the new folder receives the copy or the copy fails; nothing vanishes silently.
    Status copied = fileSystem.CopyFile(source + "a.txt", target + "sub/b.txt", {}, {});
    EXPECT_EQ(copied.ok(), fs::exists(target + "sub/b.txt"));
}

TEST_F(PosixFileSystemTest, ListingAPairGivesWhatTwoListingsGive) {
    for (int i = 0; i < 50; ++i) {
        WriteFile(target + "f" + std::to_string(i), "x");
    }
    for (int round = 0; round < 3; ++round) {
        auto [first, second] = fileSystem.ListFolderPair(target, source, true);
        ASSERT_TRUE(first.ok());
        ASSERT_TRUE(second.ok());
        EXPECT_EQ(Names(first), Names(fileSystem.ListFolder(target, true)));
        EXPECT_EQ(Names(second), std::vector<std::string>{"a.txt"});
    }
    auto [missing, present] = fileSystem.ListFolderPair(temp / "nothere/", source, false);
    EXPECT_EQ(missing.status().code(), ENOENT);
    EXPECT_TRUE(present.ok());
}

}  // namespace
}  // namespace duvanto::test
