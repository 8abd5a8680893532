// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/SelectFilesController.h"

#include "engine/Masks.h"
#include "util/PathStrings.h"

namespace duvanto {

SelectFilesController::SelectFilesController(SelectFilesRequest request, TaskEditServices services)
    : m_request(std::move(request)), m_services(services), m_tree(m_request.SourceFolder) {
    m_root.Key = SelectionTree::kRootKey;
    m_root.Text = m_tree.RootPath();
    m_root.IsFolder = true;
    Labelled(m_services.Reporter, "frmSelectFiles.Form_Load", [&] {
        for (const std::string& item : m_request.IncludeFileSpecs) {
            if (!item.empty() && m_previouslySelected.insert(item).second) {
                m_previousItems.push_back(item);
            }
        }
    });
}

void SelectFilesController::Activate() {
    if (m_activated) {
        return;
    }
    m_activated = true;
    Labelled(m_services.Reporter, "frmSelectFiles.Form_Activate", [&] {
        // A task that selected its whole Source (with masks) shows it so again.
        if (m_previouslySelected.count(m_tree.RootPath()) > 0) {
            m_tree.SetChecked(SelectionTree::kRootKey, true);
        }
        std::vector<std::string> masks;
        FillColWithParsedStringElems(masks, m_request.IncludeFileMasks, ",");
        for (const std::string& mask : masks) {
            AddMask(mask);
        }
    });
}

FolderContents SelectFilesController::ReadFolder(const std::string& folderPath) const {
    FolderContents contents;
    contents.Path = folderPath;
    contents.Names = GetTopLevelFolderContentsInCollection(
        m_services.FileSystem, folderPath, m_request.IncludeSubFolders, &contents.Read);
    // The nodes are made here, where the reading is, rather than by the window.
    contents.Nodes.reserve(contents.Names.size());
    for (const std::string& name : contents.Names) {
        auto node = std::make_unique<SelectionNode>();
        node->Key = folderPath + name;
        node->IsFolder = node->Key.back() == '/';
        node->Text = node->IsFolder ? name.substr(0, name.size() - 1) : name;
        if (node->IsFolder && m_previouslySelected.count(node->Key) == 0 &&
            FolderContainsCheckedItem(node->Key)) {
            contents.Opened.push_back(ReadFolder(node->Key));
        }
        contents.Nodes.push_back(std::move(node));
    }
    return contents;
}

std::vector<SelectionNode*> SelectFilesController::AddFolder(SelectionNode& folder,
                                                             FolderContents contents) {
    if (!folder.IsFolder || folder.Listed) {
        return {};
    }
    return Labelled(
        m_services.Reporter, "frmSelectFiles.tvwFolderContents_Click",
        std::vector<SelectionNode*>{}, [&] {
            folder.Listed = true;
            if (contents.Read) {
                m_readFolders.insert(contents.Path);
            }
            m_tree.AddChildren(folder.Key, contents.Names);
            folder.Children = std::move(contents.Nodes);
            std::vector<SelectionNode*> opened;
            std::size_t next = 0;
            for (std::size_t row = 0; row < folder.Children.size(); ++row) {
                SelectionNode& child = *folder.Children[row];
                child.Parent = &folder;
                child.Row = static_cast<int32_t>(row);
                if (m_previouslySelected.count(child.Key) > 0) {
                    m_tree.SetChecked(child.Key, true);
                }
                // The folders read with this one because they hold items selected before.
                if (next < contents.Opened.size() && child.Key == contents.Opened[next].Path) {
                    opened.push_back(&child);
                    std::vector<SelectionNode*> below =
                        AddFolder(child, std::move(contents.Opened[next++]));
                    opened.insert(opened.end(), below.begin(), below.end());
                }
            }
            return opened;
        });
}

void SelectFilesController::ReadFailed(std::exception_ptr failure) {
    m_services.Reporter.ReportUnexpectedError("frmSelectFiles.tvwFolderContents_Click",
                                              UnexpectedError::FromException(failure));
}

void SelectFilesController::SetChecked(const SelectionNode& node, bool checked) {
    Labelled(m_services.Reporter, "frmSelectFiles.tvwFolderContents_NodeCheck",
             [&] { m_tree.SetChecked(node.Key, checked); });
}

void SelectFilesController::AddMask(const std::string& mask) {
    Labelled(m_services.Reporter, "frmSelectFiles.cmdAddNew_Click", [&] {
        const std::string trimmed = Trim(mask);
        if (!trimmed.empty()) {
            m_masks.push_back({trimmed, m_services.FileTypes.GetFileType(trimmed)});
        }
    });
}

void SelectFilesController::RemoveMask(int32_t row) {
    if (row < 0 || row >= static_cast<int32_t>(m_masks.size())) {
        m_services.Prompt.ShowMessage("Remove File Mask", "No file mask is selected",
                                      MessageIcon::Exclamation, MessageButtons::OK);
        return;
    }
    m_masks.erase(m_masks.begin() + row);
}

SelectedFiles SelectFilesController::OK() {
    return Labelled(m_services.Reporter, "frmSelectFiles.cmdOK_Click",
                    SelectedFiles{false, m_request.IncludeFileSpecs, m_request.IncludeFileMasks},
                    [&] { return Chosen(); });
}

SelectedFiles SelectFilesController::Chosen() const {
    std::vector<std::string> specs = m_tree.GetCheckedFoldersAndFilesInTVW();
    if (!m_tree.IsChecked(SelectionTree::kRootKey)) {
        for (const std::string& item : m_previousItems) {
            if (KeptUnread(item)) {
                specs.push_back(item);
            }
        }
    }
    std::string masks;
    for (const FileMaskEntry& entry : m_masks) {
        masks += (masks.empty() ? "" : ",") + entry.Mask;
    }
    // Nothing chosen, or the whole Source without masks: the task clones its whole Source again.
    const bool wholeSource = specs.size() == 1 && specs.front() == m_tree.RootPath();
    if ((specs.empty() && masks.empty()) || (m_activated && wholeSource && masks.empty())) {
        return SelectedFiles{true, {}, ""};
    }
    return SelectedFiles{false, specs, masks};
}

void SelectFilesController::Help() {
    if (m_services.Help != nullptr) {
        m_services.Help->ShowHelp(HelpSelectFiles);
    }
}

bool SelectFilesController::KeptUnread(const std::string& item) const {
    const std::string& root = m_tree.RootPath();
    // Outside the Source (chosen for another Source) the tree decides, as it does for an item
    // in a folder that was read: one that is not there any more is left out.
    if (item.size() <= root.size() || !item.starts_with(root)) {
        return false;
    }
    std::string folder = FolderPartOf(item.back() == '/' ? item.substr(0, item.size() - 1) : item);
    if (m_readFolders.count(folder) > 0) {
        return false;
    }
    // A checked folder above it holds it already.
    for (; folder.size() > root.size();
         folder = FolderPartOf(folder.substr(0, folder.size() - 1))) {
        if (m_tree.IsChecked(folder)) {
            return false;
        }
    }
    return true;
}

bool SelectFilesController::FolderContainsCheckedItem(const std::string& folderKey) const {
    // Paths differ by letter case on this system, so the test is a prefix test with case.
    auto it = m_previouslySelected.upper_bound(folderKey);
    return it != m_previouslySelected.end() && it->starts_with(folderKey);
}

std::string SelectFilesController::FolderPath(const SelectionNode& folder) const {
    return folder.Parent == nullptr ? m_tree.RootPath() : folder.Key;
}

}  // namespace duvanto
