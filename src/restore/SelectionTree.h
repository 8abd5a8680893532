// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The logic under the check-box trees of the selection and restore windows: one level of a
// folder as the trees show it, the check rules, and the selected items they produce.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

namespace duvanto {

// One level of the folder: subfolders first (each name ending in "/", only when
// includeSubfolders), then files and links, each group sorted ascending. Special files are left
// out: they are never cloned. An unreadable folder gives an empty list, and false in `read`.
std::vector<std::string> GetTopLevelFolderContentsInCollection(IFileSystem& fileSystem,
                                                               const std::string& folder,
                                                               bool includeSubfolders,
                                                               bool* read = nullptr);

// A tree whose root shows a folder path and whose other nodes are keyed by full paths (folders
// end in "/"). Checking a node unchecks its checked ancestors below the root and, for a folder
// or the root, everything checked below it, so no checked node lies inside another.
class SelectionTree {
public:
    static constexpr const char* kRootKey = "Root";

    explicit SelectionTree(std::string rootPath);

    const std::string& RootPath() const { return m_rootPath; }
    // Adds children under a node (kRootKey or a folder's key), named as
    // GetTopLevelFolderContentsInCollection names them; keys are the parent's path + name.
    // Returns the new keys in order. A node's children are added only once.
    std::vector<std::string> AddChildren(const std::string& parentKey,
                                         const std::vector<std::string>& names);
    bool Contains(const std::string& key) const { return m_nodes.count(key) > 0; }

    void SetChecked(const std::string& key, bool checked);
    bool IsChecked(const std::string& key) const;

    // The checked nodes' keys in the order the nodes were added; the root's path alone when the
    // root is checked; none when nothing is.
    std::vector<std::string> GetCheckedFoldersAndFilesInTVW() const;

private:
    struct Node {
        std::string parent;
        std::vector<std::string> children;
        bool checked = false;
        bool isFolder = false;
    };
    void UncheckBelow(const std::string& key);

    std::string m_rootPath;
    // Hashed: a folder of a hundred thousand entries is added in one go, by full paths that
    // share a long beginning.
    std::unordered_map<std::string, Node> m_nodes;
    std::vector<std::string> m_order;  // keys in the order they were added (root excluded)
};

}  // namespace duvanto
