// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The selected-files window without its widgets: the check-box tree of the Source, read one
// folder at a time as folders open, the items the task selected before checked again, the
// check rules, the file masks, and what OK hands back to the task properties window. OK never
// waits for a reading: the items selected before in folders not read yet are kept as they were.

#include <cstdint>
#include <exception>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/taskedit/TaskEditServices.h"
#include "app/taskedit/TaskPropertiesController.h"
#include "restore/SelectionTree.h"

namespace duvanto {

// One node of the tree as the window shows it.
struct SelectionNode {
    std::string Key;   // SelectionTree::kRootKey, or the full path (folders end in "/")
    std::string Text;  // the root: the Source path; others: the name
    bool IsFolder = false;
    bool Listed = false;  // its contents have been read
    SelectionNode* Parent = nullptr;
    int32_t Row = 0;  // its place among its parent's children
    std::vector<std::unique_ptr<SelectionNode>> Children;
};

// A mask of the masks list and the desktop's name for the files it matches.
struct FileMaskEntry {
    std::string Mask;
    std::string TypeName;
};

// What opening a folder reads: its entries, named as the tree names them and made into nodes,
// and the contents of each folder below it that opens at once.
struct FolderContents {
    std::string Path;   // ends in "/"
    bool Read = false;  // it was listed; a folder that could not be has no names
    std::vector<std::string> Names;
    std::vector<std::unique_ptr<SelectionNode>> Nodes;  // one per name, not yet in the tree
    std::vector<FolderContents> Opened;
};

// What OK hands to the task properties window.
struct SelectedFiles {
    bool AllFilesAndFolders = true;
    std::vector<std::string> IncludeFileSpecs;
    std::string IncludeFileMasks;
};

class SelectFilesController {
public:
    SelectFilesController(SelectFilesRequest request, TaskEditServices services);

    const TaskEditServices& Services() const { return m_services; }

    // The first showing: checks the root when the task selected its whole Source, and fills
    // the masks list. The tree fills as its folders open, the root first.
    void Activate();
    SelectionNode& Root() { return m_root; }
    // The folder a node shows, ending in "/".
    std::string FolderPath(const SelectionNode& folder) const;

    // Opening a folder, in two steps so that the window may read on another thread while it
    // goes on: ReadFolder touches nothing but the file system; AddFolder puts what it read
    // into the tree, once per folder, checks the items selected before and opens every folder
    // that holds one, so that all of them can be seen. AddFolder returns the folders it opened
    // that way below the folder, in tree order.
    FolderContents ReadFolder(const std::string& folderPath) const;
    std::vector<SelectionNode*> AddFolder(SelectionNode& folder, FolderContents contents);
    std::vector<SelectionNode*> OpenFolder(SelectionNode& folder) {
        return AddFolder(folder, ReadFolder(FolderPath(folder)));
    }
    // A reading that failed on another thread.
    void ReadFailed(std::exception_ptr failure);

    bool IsChecked(const SelectionNode& node) const { return m_tree.IsChecked(node.Key); }
    // Checking a node unchecks the checked folders above it (the root excepted) and, for a
    // folder, everything checked below it.
    void SetChecked(const SelectionNode& node, bool checked);

    const std::vector<FileMaskEntry>& Masks() const { return m_masks; }
    // What the mask window returned; an empty mask adds nothing.
    void AddMask(const std::string& mask);
    // row -1: none is selected, which is refused with a message.
    void RemoveMask(int32_t row);

    // The checked items in tree order, then the items selected before whose folders have not
    // been read (still on their way, or unreadable), less those inside a checked folder: what
    // the user could not see stays as it was. The whole Source without masks, or nothing at
    // all, is "All Files and Folders".
    SelectedFiles OK();
    void Help();

private:
    SelectedFiles Chosen() const;
    bool FolderContainsCheckedItem(const std::string& folderKey) const;
    // An item selected before that the tree cannot show yet: below the Source, in a folder not
    // read, and inside no checked folder.
    bool KeptUnread(const std::string& item) const;

    SelectFilesRequest m_request;
    TaskEditServices m_services;
    SelectionTree m_tree;
    SelectionNode m_root;
    bool m_activated = false;
    // The items the task held when the window opened, in their order and for looking up.
    std::vector<std::string> m_previousItems;
    std::set<std::string> m_previouslySelected;
    // The folders whose contents are in the tree.
    std::set<std::string> m_readFolders;
    std::vector<FileMaskEntry> m_masks;
};

}  // namespace duvanto
