// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File type names from the shared MIME database (freedesktop.org), which the desktop's file
// managers show too.

#include <optional>
#include <vector>

#include "app/common/FileTypes.h"

namespace duvanto {

class QtFileTypes : public IFileTypes {
public:
    std::string GetFileType(const std::string& nameOrMask) override;
    std::vector<FileTypeEntry> LoadFileTypes() override;

private:
    std::optional<std::vector<FileTypeEntry>> m_all;  // read once
};

}  // namespace duvanto
