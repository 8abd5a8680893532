// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/SelectionTree.h"

#include "platform/FilePrimitives.h"
#include "util/FileUtilities.h"

namespace duvanto {

std::vector<std::string> GetTopLevelFolderContentsInCollection(IFileSystem& fileSystem,
                                                               const std::string& folder,
                                                               bool includeSubfolders, bool* read) {
    Result<std::vector<DirEntry>> listing =
        fileSystem.ListFolder(NormalizeFolderPath(folder), false);
    if (read != nullptr) {
        *read = listing.ok();
    }
    if (!listing.ok()) {
        return {};
    }
    std::vector<std::string> folders;
    std::vector<std::string> files;
    for (DirEntry& entry : listing.value()) {
        if (entry.kind == EntryKind::Folder) {
            if (includeSubfolders) {
                folders.push_back(std::move(entry.name) + "/");
            }
        } else if (entry.IsFileLike()) {
            files.push_back(std::move(entry.name));
        }
    }
    QuickSortStringArray(folders);
    QuickSortStringArray(files);
    folders.insert(folders.end(), std::make_move_iterator(files.begin()),
                   std::make_move_iterator(files.end()));
    return folders;
}

SelectionTree::SelectionTree(std::string rootPath) : m_rootPath(NormalizeFolderPath(rootPath)) {
    Node root;
    root.isFolder = true;
    m_nodes.emplace(kRootKey, root);
}

std::vector<std::string> SelectionTree::AddChildren(const std::string& parentKey,
                                                    const std::vector<std::string>& names) {
    auto parent = m_nodes.find(parentKey);
    if (parent == m_nodes.end() || !parent->second.isFolder || !parent->second.children.empty()) {
        return {};
    }
    const std::string base = parentKey == kRootKey ? m_rootPath : parentKey;
    m_nodes.reserve(m_nodes.size() + names.size());
    std::vector<std::string>& children = m_nodes.find(parentKey)->second.children;
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        std::string key = base + name;
        Node node;
        node.parent = parentKey;
        node.isFolder = !name.empty() && name.back() == '/';
        if (!m_nodes.emplace(key, std::move(node)).second) {
            continue;
        }
        children.push_back(key);
        m_order.push_back(key);
        keys.push_back(std::move(key));
    }
    return keys;
}

bool SelectionTree::IsChecked(const std::string& key) const {
    auto it = m_nodes.find(key);
    return it != m_nodes.end() && it->second.checked;
}

void SelectionTree::UncheckBelow(const std::string& key) {
    for (const std::string& child : m_nodes[key].children) {
        m_nodes[child].checked = false;
        UncheckBelow(child);
    }
}

void SelectionTree::SetChecked(const std::string& key, bool checked) {
    auto it = m_nodes.find(key);
    if (it == m_nodes.end()) {
        return;
    }
    it->second.checked = checked;
    if (!checked) {
        return;
    }
    // The root is not among the ancestors cleared: while checked it stands for everything.
    for (std::string up = it->second.parent; !up.empty() && up != kRootKey;
         up = m_nodes[up].parent) {
        m_nodes[up].checked = false;
    }
    if (it->second.isFolder) {
        UncheckBelow(key);
    }
}

std::vector<std::string> SelectionTree::GetCheckedFoldersAndFilesInTVW() const {
    if (IsChecked(kRootKey)) {
        return {m_rootPath};
    }
    std::vector<std::string> selected;
    for (const std::string& key : m_order) {
        if (m_nodes.at(key).checked) {
            selected.push_back(key);
        }
    }
    return selected;
}

}  // namespace duvanto
