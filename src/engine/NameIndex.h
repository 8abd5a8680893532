// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A folder's listing looked up by entry name: the clone's walk and the differences report pair
// the two sides of a folder the same way.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

namespace duvanto {

// The views point into the listing's names: the listing must outlive the index.
using NameIndex = std::unordered_map<std::string_view, const DirEntry*>;

inline NameIndex IndexByName(const std::vector<DirEntry>& listing) {
    NameIndex index;
    index.reserve(listing.size());
    for (const DirEntry& entry : listing) {
        index.emplace(entry.name, &entry);
    }
    return index;
}

// The entry of that name, or nullptr.
inline const DirEntry* FindByName(const NameIndex& index, const std::string& name) {
    auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

}  // namespace duvanto
