// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names the desktop gives to kinds of files, which the mask windows show beside each mask.
// The desktop program asks the shared MIME database; tests hand in a fixed table.

#include <string>
#include <vector>

namespace duvanto {

struct FileTypeEntry {
    std::string Extension;  // with its dot: ".txt"
    std::string TypeName;   // "plain text document"
};

class IFileTypes {
public:
    virtual ~IFileTypes() = default;
    // The type name of a file name or mask ("report.txt", "*.txt"); "" when the desktop knows
    // none. The file need not exist.
    virtual std::string GetFileType(const std::string& nameOrMask) = 0;
    // Every extension the desktop names, in no particular order, each once.
    virtual std::vector<FileTypeEntry> LoadFileTypes() = 0;
};

}  // namespace duvanto
