// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"
#include "restore/SelectionTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

using Names = std::vector<std::string>;

TEST(GetTopLevelFolderContentsTest, FoldersFirstThenFilesEachSorted) {
    TempDir temp;
    WriteFile(temp / "b.txt", "b");
    WriteFile(temp / "A.txt", "a");
    WriteFile(temp / "zeta/x", "x");
    WriteFile(temp / "alpha/y", "y");
    ASSERT_EQ(symlink("nowhere", (temp / "link").c_str()), 0);
    ASSERT_EQ(mkfifo((temp / "pipe").c_str(), 0600), 0);
    PosixFileSystem fileSystem;
    EXPECT_EQ(GetTopLevelFolderContentsInCollection(fileSystem, temp.Path(), true),
              (Names{"alpha/", "zeta/", "A.txt", "b.txt", "link"}));
    EXPECT_EQ(GetTopLevelFolderContentsInCollection(fileSystem, temp.Path(), false),
              (Names{"A.txt", "b.txt", "link"}));
    EXPECT_EQ(GetTopLevelFolderContentsInCollection(fileSystem, temp / "missing/", true), Names{});
}

class SelectionTreeTest : public ::testing::Test {
protected:
    SelectionTreeTest() : tree("/t") {
        tree.AddChildren(SelectionTree::kRootKey, {"docs/", "pics/", "a.txt"});
        tree.AddChildren("/t/docs/", {"inner/", "1.txt", "2.txt"});
        tree.AddChildren("/t/docs/inner/", {"deep.txt"});
    }
    SelectionTree tree;
};

TEST_F(SelectionTreeTest, KeysAreFullPathsAndChildrenAreAddedOnce) {
    EXPECT_TRUE(tree.Contains("/t/docs/inner/deep.txt"));
    EXPECT_EQ(tree.AddChildren("/t/docs/", {"again.txt"}), Names{});
    EXPECT_EQ(tree.AddChildren("/t/a.txt", {"x"}), Names{});  // a file has no children
}

TEST_F(SelectionTreeTest, CheckingClearsWhatIsCheckedBelowAndAbove) {
    tree.SetChecked("/t/docs/1.txt", true);
    tree.SetChecked("/t/docs/inner/deep.txt", true);
    tree.SetChecked("/t/docs/", true);
    EXPECT_FALSE(tree.IsChecked("/t/docs/1.txt"));
    EXPECT_FALSE(tree.IsChecked("/t/docs/inner/deep.txt"));
    EXPECT_EQ(tree.GetCheckedFoldersAndFilesInTVW(), Names{"/t/docs/"});

    // An item checked below a checked folder clears the folder.
    tree.SetChecked("/t/docs/", true);
    tree.SetChecked("/t/docs/inner/deep.txt", true);
    EXPECT_FALSE(tree.IsChecked("/t/docs/"));
    EXPECT_EQ(tree.GetCheckedFoldersAndFilesInTVW(), Names{"/t/docs/inner/deep.txt"});
}

TEST_F(SelectionTreeTest, TheItemsFollowTheOrderNodesWereAdded) {
    tree.SetChecked("/t/docs/2.txt", true);
    tree.SetChecked("/t/a.txt", true);
    tree.SetChecked("/t/pics/", true);
    EXPECT_EQ(tree.GetCheckedFoldersAndFilesInTVW(),
              (Names{"/t/pics/", "/t/a.txt", "/t/docs/2.txt"}));
    tree.SetChecked("/t/a.txt", false);
    EXPECT_EQ(tree.GetCheckedFoldersAndFilesInTVW(), (Names{"/t/pics/", "/t/docs/2.txt"}));
}

TEST_F(SelectionTreeTest, ACheckedRootStandsForTheWholeFolder) {
    tree.SetChecked("/t/a.txt", true);
    tree.SetChecked(SelectionTree::kRootKey, true);
    EXPECT_FALSE(tree.IsChecked("/t/a.txt"));
    EXPECT_EQ(tree.GetCheckedFoldersAndFilesInTVW(), Names{"/t/"});
    EXPECT_EQ(SelectionTree("/t").GetCheckedFoldersAndFilesInTVW(), Names{});
}

}  // namespace
}  // namespace duvanto::test
