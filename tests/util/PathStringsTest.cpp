// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/PathStrings.h"

#include <gtest/gtest.h>

namespace duvanto {
namespace {

TEST(PathStringsTest, RemaindersAndReplacements) {
    EXPECT_EQ(RemainingString("/src/photos/2003/", "/src/"), "photos/2003/");
    EXPECT_EQ(RemainingString("/src/", "/src/"), "");
    EXPECT_EQ(RemainingString("/src/a", ""), "/src/a");
    // Not a prefix, even when the text occurs later or differs only in case.
    EXPECT_EQ(RemainingString("/other/src/a", "/src/"), "");
    EXPECT_EQ(RemainingString("/SRC/a", "/src/"), "");
    EXPECT_EQ(RemainingString("/sr", "/src/"), "");

    // Every occurrence replaced once.
    EXPECT_EQ(ReplaceString("line one\r\nline two\r\n", "\r\n", "  "), "line one  line two  ");
    EXPECT_EQ(ReplaceString("aaaa", "aa", "a"), "aa");  // no rescan of replaced text
    EXPECT_EQ(ReplaceString("abc", "b", "bb"), "abbc");
    EXPECT_EQ(ReplaceString("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceString("abc", "x", "y"), "abc");

    // Each listed byte replaced.
    EXPECT_EQ(ReplaceMultipleChars("a:b*c?d", "\\/:*?\"<>|", "_"), "a_b_c_d");
    EXPECT_EQ(ReplaceMultipleChars("a:b", ":", ""), "ab");
    EXPECT_EQ(ReplaceMultipleChars("a:b", ":", "--"), "a--b");
    EXPECT_EQ(ReplaceMultipleChars("abc", "", "_"), "abc");
}

TEST(PathStringsTest, PartsOfAPath) {
    EXPECT_EQ(GetLastItemInPath("/home/ann/tasks.dvt"), "tasks.dvt");
    EXPECT_EQ(GetLastItemInPath("/home/ann/"), "");
    EXPECT_EQ(GetLastItemInPath("tasks.dvt"), "tasks.dvt");

    EXPECT_EQ(RemoveFilenameExtension("/home/ann/tasks.dvt"), "/home/ann/tasks");
    EXPECT_EQ(RemoveFilenameExtension("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(RemoveFilenameExtension("/home/.profile"), "/home/.profile");
    EXPECT_EQ(RemoveFilenameExtension("/my.folder/README"), "/my.folder/README");
    EXPECT_EQ(RemoveFilenameExtension("name."), "name");

    EXPECT_EQ(ReplaceExtension("dv_1a2b.tmp", "html"), "dv_1a2b.html");
    EXPECT_EQ(ReplaceExtension("/my.folder/README", "txt"), "/my.folder/README.txt");
    EXPECT_EQ(ReplaceExtension(".profile", "bak"), ".profile.bak");

    EXPECT_EQ(FolderPartOf("/home/ann/file.txt"), "/home/ann/");
    EXPECT_EQ(NamePartOf("/home/ann/file.txt"), "file.txt");
    EXPECT_EQ(FolderPartOf("/file"), "/");
    EXPECT_EQ(FolderPartOf("/home/ann/"), "/home/ann/");
    EXPECT_EQ(NamePartOf("/home/ann/"), "");
    EXPECT_EQ(FolderPartOf("file.txt"), "file.txt");
    EXPECT_EQ(NamePartOf("file.txt"), "file.txt");
}

TEST(PathStringsTest, GetNextSlashPosCountsFromOne) {
    EXPECT_EQ(GetNextSlashPos("/home/ann", 1), 1u);
    EXPECT_EQ(GetNextSlashPos("/home/ann", 2), 6u);
    EXPECT_EQ(GetNextSlashPos("/home/ann", 6), 6u);
    EXPECT_EQ(GetNextSlashPos("/home/ann", 7), 0u);
    EXPECT_EQ(GetNextSlashPos("/home/ann", 0), 1u);
    EXPECT_EQ(GetNextSlashPos("/home/ann", 100), 0u);
}

TEST(PathStringsTest, NormalizePathResolvesByText) {
    EXPECT_EQ(NormalizePath("/home//ann/./docs"), "/home/ann/docs/");
    EXPECT_EQ(NormalizePath("/home/ann/../bob/"), "/home/bob/");
    EXPECT_EQ(NormalizePath("/../../etc"), "/etc/");
    EXPECT_EQ(NormalizePath("/"), "/");
    EXPECT_EQ(NormalizePath("a/b/../../.."), "../");
    EXPECT_EQ(NormalizePath("../a/./b"), "../a/b/");
    EXPECT_EQ(NormalizePath("a/.."), "./");
    EXPECT_EQ(NormalizePath(""), "");
}

TEST(PathStringsTest, SmallStringHelpers) {
    EXPECT_EQ(Trim(" \t name \t"), "name");
    EXPECT_EQ(Trim("  "), "");
    EXPECT_EQ(Trim("a b"), "a b");

    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_TRUE(StringContainsIllegalFileNameCharacter(std::string("a") + c)) << c;
    }
    EXPECT_FALSE(StringContainsIllegalFileNameCharacter("my file.txt"));
    EXPECT_FALSE(StringContainsIllegalFileNameCharacter(""));

    EXPECT_EQ(EncloseInQuotes("a b"), "\"a b\"");
    EXPECT_EQ(EncloseInQuotes(""), "\"\"");
    EXPECT_TRUE(StringsEqualExact("Abc", "Abc"));
    EXPECT_FALSE(StringsEqualExact("Abc", "abc"));
    EXPECT_FALSE(StringsEqualExact("abc", std::string("abc\0", 4)));
}

}  // namespace
}  // namespace duvanto
