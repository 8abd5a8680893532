// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/FileMaskController.h"

#include <algorithm>
#include <cctype>

#include "tasks/CloneTasks.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool ListBoxOrder(const FileTypeEntry& a, const FileTypeEntry& b) {
    const auto less = [](char x, char y) { return Lower(x) < Lower(y); };
    if (std::lexicographical_compare(a.Extension.begin(), a.Extension.end(), b.Extension.begin(),
                                     b.Extension.end(), less)) {
        return true;
    }
    if (std::lexicographical_compare(b.Extension.begin(), b.Extension.end(), a.Extension.begin(),
                                     a.Extension.end(), less)) {
        return false;
    }
    return a.Extension < b.Extension;
}

}  // namespace

FileMaskController::FileMaskController(TaskEditServices services) : m_services(services) {
    Labelled(m_services.Reporter, "modFileTypes.LoadFileTypesInListBox", [&] {
        for (FileTypeEntry& entry : m_services.FileTypes.LoadFileTypes()) {
            if (entry.Extension.starts_with('.') && !entry.TypeName.empty()) {
                m_fileTypes.push_back(std::move(entry));
            }
        }
        std::sort(m_fileTypes.begin(), m_fileTypes.end(), ListBoxOrder);
    });
}

int32_t FileMaskController::FindTypeByLetter(char letter) const {
    for (std::size_t i = 0; i < m_fileTypes.size(); ++i) {
        const std::string& extension = m_fileTypes[i].Extension;
        if (extension.size() > 1 && Lower(extension[1]) == Lower(letter)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

FileMaskController::Focus FileMaskController::OK(bool customChosen, int32_t selectedType,
                                                 const std::string& customText) {
    return Labelled(m_services.Reporter, "frmFileMask.OKButton_Click", Focus::CustomMask, [&] {
        IAppPrompt& prompt = m_services.Prompt;
        if (!customChosen) {
            if (selectedType < 0 || selectedType >= static_cast<int32_t>(m_fileTypes.size())) {
                prompt.ShowMessage("Invalid File Mask", "No file type selected",
                                   MessageIcon::Exclamation, MessageButtons::OK);
                return Focus::FileTypes;
            }
            m_fileMask = "*" + m_fileTypes[selectedType].Extension;
            return Focus::None;
        }
        const std::string mask = Trim(customText);
        if (mask.empty()) {
            prompt.ShowMessage("Invalid File Mask", "No custom file mask entered",
                               MessageIcon::Exclamation, MessageButtons::OK);
            return Focus::CustomMask;
        }
        const std::size_t dot = mask.find('.');
        std::string reason;
        if (dot == std::string::npos) {
            reason = "The file mask should contain a 'dot' character.";
        } else if (dot + 1 == mask.size()) {
            reason = "The file mask should contain text after the 'dot'.";
        } else if (dot == 0) {
            reason =
                "The file mask should contain text before the 'dot'.\r\n"
                "Consider adding an asterisk before the dot character.";
        }
        // The task list holds the masks in one field of a line: the field separator or a line
        // break would cut the line and lose the task at the next load.
        const bool control = std::any_of(mask.begin(), mask.end(), [](char c) {
            return static_cast<unsigned char>(c) < 32 || c == 127;
        });
        if (reason.empty() && (control || mask.find(kFieldSeparator) != std::string::npos)) {
            reason =
                "The file mask cannot contain \"~!@#\", a line break or another control "
                "character.";
        }
        if (!reason.empty()) {
            prompt.ShowMessage("Invalid Custom File Mask",
                               "The custom file mask you entered is not valid.\r\n" + reason +
                                   "\r\n\r\nSee the Help File for details.",
                               MessageIcon::Exclamation, MessageButtons::OK);
            return Focus::CustomMask;
        }
        m_fileMask = mask;
        return Focus::None;
    });
}

void FileMaskController::Help() {
    // The masks are explained on the page of the selected-files window.
    if (m_services.Help != nullptr) {
        m_services.Help->ShowHelp(HelpSelectFiles);
    }
}

}  // namespace duvanto
