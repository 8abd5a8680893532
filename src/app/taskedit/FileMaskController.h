// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file-mask window without its widgets: a mask made from one of the desktop's file types,
// or one typed by hand and checked for a sensible shape.

#include <cstdint>
#include <string>
#include <vector>

#include "app/taskedit/TaskEditServices.h"

namespace duvanto {

// The mask window: a file type of the desktop's list, or a mask typed by hand.
class FileMaskController {
public:
    explicit FileMaskController(TaskEditServices services);

    // The desktop's file types, sorted by extension as a list box sorts (letter case aside).
    const std::vector<FileTypeEntry>& FileTypes() const { return m_fileTypes; }
    // The first type whose extension is "." followed by that letter; -1 when none.
    int32_t FindTypeByLetter(char letter) const;

    // What takes the focus after OK: nothing when the mask was accepted (FileMask() holds
    // it), else the control whose entry was refused, after its message.
    enum class Focus { None, FileTypes, CustomMask };
    // OK with the file-type choice (selectedType -1 for none) or the custom one.
    Focus OK(bool customChosen, int32_t selectedType, const std::string& customText);
    // "" until OK accepted a mask (Cancel leaves it so).
    const std::string& FileMask() const { return m_fileMask; }
    void Help();

private:
    TaskEditServices m_services;
    std::vector<FileTypeEntry> m_fileTypes;
    std::string m_fileMask;
};

}  // namespace duvanto
