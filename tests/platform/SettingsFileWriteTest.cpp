// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFileWrite.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFileWriteTest, ChainsOfLinksLeadToTheFileTheyName) {
    TempDir dir;
    WriteFile(dir / "repo/real.ini", "old");
    fs::create_directories(dir / "home");
    fs::create_symlink("../repo/real.ini", dir / "home/middle.ini");
    fs::create_symlink(dir / "home/middle.ini", dir / "home/duvanto.ini");
    ASSERT_TRUE(WriteFileThroughLinks(dir / "home/duvanto.ini", "new").ok());
    EXPECT_EQ(ReadFile(dir / "repo/real.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "home/duvanto.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "home/middle.ini"));
}

TEST(SettingsFileWriteTest, PlainFilesDanglingLinksAndLoops) {
    TempDir dir;
    ASSERT_TRUE(WriteFileThroughLinks(dir / "plain.dvt", "a").ok());
    EXPECT_EQ(ReadFile(dir / "plain.dvt"), "a");

    // A link whose file is not made yet: the file is made where the link points.
    fs::create_directories(dir / "repo");
    fs::create_symlink(dir / "repo/later.dvt", dir / "later.dvt");
    ASSERT_TRUE(WriteFileThroughLinks(dir / "later.dvt", "b").ok());
    EXPECT_EQ(ReadFile(dir / "repo/later.dvt"), "b");
    EXPECT_TRUE(fs::is_symlink(dir / "later.dvt"));

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    EXPECT_EQ(WriteFileThroughLinks(dir / "loop-a", "c").code(), ELOOP);
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

TEST(SettingsFileWriteTest, ANewFileNeverReplacesAnything) {
    TempDir dir;
    ASSERT_TRUE(WriteNewFile(dir / "list.bak", "kept").ok());
    EXPECT_EQ(ReadFile(dir / "list.bak"), "kept");
    EXPECT_EQ(WriteNewFile(dir / "list.bak", "other").code(), EEXIST);
    EXPECT_EQ(ReadFile(dir / "list.bak"), "kept");
    // Not even through a dangling link, which would write somewhere else.
    fs::create_symlink(dir / "elsewhere", dir / "link.bak");
    EXPECT_EQ(WriteNewFile(dir / "link.bak", "x").code(), EEXIST);
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
}

}  // namespace
}  // namespace duvanto::test
