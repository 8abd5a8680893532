// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window asks of its user beyond a message box: a line of text, a file or a folder.
// Controllers ask through this interface and never through Qt, so tests answer in advance.

#include <optional>
#include <string>

#include "util/Prompt.h"

namespace duvanto {

class IAppPrompt : public IPrompt {
public:
    // An input box; nothing when cancelled. The answer is returned as typed (not trimmed).
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                               const std::string& defaultText) = 0;
    // File dialogs. `filter` is shown as given ("Duvanto Task List (*.dvt)"); `folder` is where
    // the dialog starts. The open dialog accepts only an existing file; the save dialog asks
    // before replacing one. Nothing when cancelled.
    virtual std::optional<std::string> AskOpenFile(const std::string& title,
                                                   const std::string& folder,
                                                   const std::string& filter) = 0;
    virtual std::optional<std::string> AskSaveFile(const std::string& title,
                                                   const std::string& folder,
                                                   const std::string& filter) = 0;
    // A folder chooser that says what to choose (`prompt`, "Specify the Source folder."),
    // starting at `startFolder`; the answer ends in "/". Nothing when cancelled.
    virtual std::optional<std::string> AskFolder(const std::string& title,
                                                 const std::string& prompt,
                                                 const std::string& startFolder) = 0;
};

}  // namespace duvanto
