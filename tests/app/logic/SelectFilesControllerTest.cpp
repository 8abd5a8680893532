// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/SelectFilesController.h"

#include <gtest/gtest.h>

#include "app/logic/MessageCheck.h"
#include "app/support/TaskEditWorld.h"
#include "app/taskedit/FileMaskController.h"

namespace duvanto::test {
namespace {

using Items = std::vector<std::string>;

class SelectFilesControllerTest : public ::testing::Test {
protected:
    SelectFilesControllerTest() : source(world.Folder("src")) {
        for (const char* file : {"b/x.txt", "b/deep/y.txt", "a/z.doc", "top.txt", "Top2.txt"}) {
            WriteFile(source + file, "x");
        }
        world.Folder("src/c");
    }

    SelectFilesController Open(const Items& specs, const std::string& masks = "",
                               bool includeSubFolders = true) {
        return SelectFilesController({source, includeSubFolders, specs, masks}, world.Services());
    }
    // The first showing, then the root opened as the window opens it.
    static std::vector<SelectionNode*> Show(SelectFilesController& dialog) {
        dialog.Activate();
        return dialog.OpenFolder(dialog.Root());
    }
    static std::vector<std::string> Texts(const SelectionNode& folder) {
        std::vector<std::string> texts;
        for (const auto& child : folder.Children) {
            texts.push_back(child->Text);
        }
        return texts;
    }
    static SelectionNode& Child(SelectionNode& folder, const std::string& text) {
        for (auto& child : folder.Children) {
            if (child->Text == text) {
                return *child;
            }
        }
        throw std::runtime_error("no node " + text);
    }

    TaskEditWorld world;
    std::string source;
};

TEST_F(SelectFilesControllerTest, TheSourceIsReadOneFolderAtATime) {
    SelectFilesController dialog = Open({});
    EXPECT_TRUE(Show(dialog).empty());
    SelectionNode& root = dialog.Root();
    EXPECT_EQ(root.Key, "Root");
    EXPECT_EQ(root.Text, source);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"a", "b", "c", "Top2.txt", "top.txt"}));
    SelectionNode& b = Child(root, "b");
    EXPECT_EQ(b.Key, source + "b/");
    EXPECT_TRUE(b.IsFolder);
    EXPECT_FALSE(b.Listed) << "a folder is read when it opens";
    dialog.OpenFolder(b);
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"deep", "x.txt"}));

    SelectFilesController flat = Open({}, "", false);
    Show(flat);
    EXPECT_EQ(Texts(flat.Root()), (std::vector<std::string>{"Top2.txt", "top.txt"}))
        << "a task without subfolders shows the files of its folder only";
}

TEST_F(SelectFilesControllerTest, ItemsSelectedBeforeAreCheckedAndTheirFoldersOpened) {
    SelectFilesController dialog =
        Open({source + "b/deep/y.txt", source + "a/", source + "top.txt"});
    const std::vector<SelectionNode*> opened = Show(dialog);
    SelectionNode& root = dialog.Root();
    SelectionNode& b = Child(root, "b");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], &b);
    EXPECT_EQ(opened[1], &Child(b, "deep"));
    EXPECT_TRUE(dialog.IsChecked(Child(Child(b, "deep"), "y.txt")));
    EXPECT_TRUE(dialog.IsChecked(Child(root, "a")));
    EXPECT_FALSE(Child(root, "a").Listed) << "a checked folder stays closed";
    EXPECT_TRUE(dialog.IsChecked(Child(root, "top.txt")));
    EXPECT_FALSE(dialog.IsChecked(Child(root, "Top2.txt")));
    EXPECT_FALSE(Child(root, "c").Listed);

    // Nothing changed: OK gives back the same items, in the order the tree shows them.
    EXPECT_EQ(dialog.OK().IncludeFileSpecs,
              (Items{source + "a/", source + "top.txt", source + "b/deep/y.txt"}));
}

TEST_F(SelectFilesControllerTest, ANameHoldingASeparatorIsCheckedAndChosenAsItself) {
    for (const char* file : {"p", "q", "p,q", "m", "n", "m<:>n"}) {
        WriteFile(source + file, "x");
    }
    SelectFilesController dialog = Open({source + "p,q", source + "m<:>n"});
    Show(dialog);
    SelectionNode& root = dialog.Root();
    EXPECT_TRUE(dialog.IsChecked(Child(root, "p,q")));
    EXPECT_TRUE(dialog.IsChecked(Child(root, "m<:>n")));
    for (const char* piece : {"p", "q", "m", "n"}) {
        EXPECT_FALSE(dialog.IsChecked(Child(root, piece))) << piece;
    }
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, (Items{source + "m<:>n", source + "p,q"}))
        << "in the order the tree shows them";
}

// OK never waits for the tree and never loses what it has not shown: the items selected before
// in folders not read yet (on their way, or unreadable) stay, unless a checked folder holds them.
TEST_F(SelectFilesControllerTest, OKKeepsTheItemsOfFoldersNotReadYet) {
    const Items before = {source + "b/deep/y.txt", source + "top.txt", source + "gone.txt",
                          world.temp / "elsewhere/x.txt"};
    SelectFilesController dialog = Open(before);
    dialog.Activate();
    SelectedFiles unread = dialog.OK();
    EXPECT_FALSE(unread.AllFilesAndFolders);
    EXPECT_EQ(unread.IncludeFileSpecs, (Items{before[0], before[1], before[2]}))
        << "outside the Source the tree decides, as it always did";

    // The root read, its folders not yet: the tree decides the root's own items (gone.txt is
    // gone, top.txt unchecked by hand) and y.txt below b/ stays.
    FolderContents contents = dialog.ReadFolder(source);
    ASSERT_TRUE(contents.Read);
    contents.Opened.clear();
    dialog.AddFolder(dialog.Root(), std::move(contents));
    SelectionNode& root = dialog.Root();
    ASSERT_FALSE(Child(root, "b").Listed);
    ASSERT_TRUE(dialog.IsChecked(Child(root, "top.txt")));
    dialog.SetChecked(Child(root, "top.txt"), false);
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, Items{before[0]});
    dialog.SetChecked(Child(root, "b"), true);
    EXPECT_EQ(dialog.OK().IncludeFileSpecs, Items{source + "b/"}) << "b/ holds y.txt";

    // A Source that cannot be read (a drive gone since the window opened) shows nothing and
    // takes nothing away.
    const std::string unplugged = world.temp / "unplugged/";
    SelectFilesController away({unplugged, true, {unplugged + "a.txt"}, ""}, world.Services());
    Show(away);
    EXPECT_TRUE(away.Root().Children.empty());
    EXPECT_EQ(away.OK().IncludeFileSpecs, Items{unplugged + "a.txt"});
}

TEST_F(SelectFilesControllerTest, OKDecidesBetweenTheWholeSourceAndASelection) {
    SelectFilesController nothing = Open({}, "");
    nothing.Activate();
    const SelectedFiles none = nothing.OK();
    EXPECT_TRUE(none.AllFilesAndFolders);
    EXPECT_TRUE(none.IncludeFileSpecs.empty());
    EXPECT_EQ(none.IncludeFileMasks, "");

    // The checking rules are the selection tree's; a root checked before an item stays so.
    SelectFilesController rootOnly = Open({});
    Show(rootOnly);
    rootOnly.SetChecked(rootOnly.Root(), true);
    rootOnly.SetChecked(Child(rootOnly.Root(), "top.txt"), true);
    EXPECT_TRUE(rootOnly.IsChecked(rootOnly.Root()));
    EXPECT_TRUE(rootOnly.OK().AllFilesAndFolders);
    EXPECT_TRUE(rootOnly.OK().IncludeFileSpecs.empty());

    rootOnly.AddMask("*.doc");
    const SelectedFiles withMask = rootOnly.OK();
    EXPECT_FALSE(withMask.AllFilesAndFolders);
    EXPECT_EQ(withMask.IncludeFileSpecs, Items{source});
    EXPECT_EQ(withMask.IncludeFileMasks, "*.doc");

    // Opened again, the root is checked once more and the masks are listed with their types.
    SelectFilesController again = Open({source}, "*.txt, *.doc,");
    again.Activate();
    EXPECT_TRUE(again.IsChecked(again.Root()));
    ASSERT_EQ(again.Masks().size(), 2u);
    EXPECT_EQ(again.Masks()[0].Mask, "*.txt");
    EXPECT_EQ(again.Masks()[0].TypeName, "plain text document");
    EXPECT_EQ(again.Masks()[1].TypeName, "Word document");
    EXPECT_EQ(again.OK().IncludeFileMasks, "*.txt,*.doc") << "one comma, no blanks";
}

TEST_F(SelectFilesControllerTest, MasksAreAddedAndRemoved) {
    SelectFilesController dialog = Open({}, "*.txt");
    dialog.Activate();
    dialog.AddMask("");
    dialog.AddMask("*.*");
    ASSERT_EQ(dialog.Masks().size(), 2u);
    EXPECT_EQ(dialog.Masks()[1].TypeName, "") << "no type is known for it";
    dialog.RemoveMask(-1);
    ASSERT_EQ(world.prompt.messages.shown.size(), 1u);
    EXPECT_TRUE(IsMessage(world.prompt.messages.shown[0], "Remove File Mask",
                          "No file mask is selected", MessageIcon::Exclamation));
    dialog.RemoveMask(0);
    ASSERT_EQ(dialog.Masks().size(), 1u);
    EXPECT_EQ(dialog.OK().IncludeFileMasks, "*.*");
    EXPECT_TRUE(dialog.OK().IncludeFileSpecs.empty());
    EXPECT_FALSE(dialog.OK().AllFilesAndFolders) << "masks alone select files";

    dialog.Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{HelpSelectFiles});
}

class FileMaskControllerTest : public ::testing::Test {
protected:
    TaskEditWorld world;
    FileMaskController dialog{world.Services()};

    const ShownMessage& Last() const { return world.prompt.messages.shown.back(); }
};

TEST_F(FileMaskControllerTest, TypesAreSortedAndFoundByTheirFirstLetter) {
    std::vector<std::string> extensions;
    for (const FileTypeEntry& entry : dialog.FileTypes()) {
        extensions.push_back(entry.Extension);
    }
    EXPECT_EQ(extensions, (std::vector<std::string>{".doc", ".jpg", ".tar.gz", ".Tex", ".txt"}));
    EXPECT_EQ(dialog.FindTypeByLetter('t'), 2);
    EXPECT_EQ(dialog.FindTypeByLetter('J'), 1);
    EXPECT_EQ(dialog.FindTypeByLetter('z'), -1);
}

TEST_F(FileMaskControllerTest, AFileTypeMakesAStarMask) {
    EXPECT_EQ(dialog.OK(false, -1, "ignored.txt"), FileMaskController::Focus::FileTypes);
    EXPECT_TRUE(
        IsMessage(Last(), "Invalid File Mask", "No file type selected", MessageIcon::Exclamation));
    EXPECT_EQ(dialog.FileMask(), "");
    EXPECT_EQ(dialog.OK(false, 2, ""), FileMaskController::Focus::None);
    EXPECT_EQ(dialog.FileMask(), "*.tar.gz");
}

TEST_F(FileMaskControllerTest, ACustomMaskNeedsTextOnBothSidesOfADot) {
    const std::string head = "The custom file mask you entered is not valid.\r\n";
    const std::string tail = "\r\n\r\nSee the Help File for details.";
    EXPECT_EQ(dialog.OK(true, 0, "   "), FileMaskController::Focus::CustomMask);
    EXPECT_TRUE(IsMessage(Last(), "Invalid File Mask", "No custom file mask entered",
                          MessageIcon::Exclamation));

    const std::string kNoSeparator =
        "The file mask cannot contain \"~!@#\", a line break or another control character.";
    struct Refusal {
        const char* mask;
        std::string reason;
    };
    const Refusal refusals[] = {{"readme", "The file mask should contain a 'dot' character."},
                                {"report.", "The file mask should contain text after the 'dot'."},
                                {".", "The file mask should contain text after the 'dot'."},
                                {" .txt",
                                 "The file mask should contain text before the 'dot'.\r\n"
                                 "Consider adding an asterisk before the dot character."},
                                {"*.a~!@#b", kNoSeparator},
                                {"*.txt\tx", kNoSeparator}};
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(dialog.OK(true, 0, refusal.mask), FileMaskController::Focus::CustomMask);
        EXPECT_TRUE(IsMessage(Last(), "Invalid Custom File Mask", head + refusal.reason + tail,
                              MessageIcon::Exclamation))
            << refusal.mask;
    }
    EXPECT_EQ(dialog.FileMask(), "");
    EXPECT_EQ(dialog.OK(true, 0, " report?.d*c "), FileMaskController::Focus::None);
    EXPECT_EQ(dialog.FileMask(), "report?.d*c");
    dialog.Help();
    EXPECT_EQ(world.help.shown, std::vector<int>{HelpSelectFiles});
}

}  // namespace
}  // namespace duvanto::test
