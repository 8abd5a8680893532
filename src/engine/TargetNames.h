// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names on a Target whose file system folds letter case or refuses names (NameRules.h): the
// key two names share when they name one entry there, and why a name cannot be held at all.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

namespace duvanto {

// The name with its letters in one case, as far as the file systems that fold agree on it:
// Latin, Greek, Cyrillic and Armenian letters and the full-width Latin ones. Bytes that are no
// UTF-8 stay as they are.
std::string FoldCase(std::string_view name);

enum class NameRefusal : uint8_t {
    None,
    Character,           // \ : * ? " < > | or a control character
    TrailingDotOrBlank,  // ends in "." or " "
    DeviceName,          // CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9
    TooLong,             // longer than the file system's limit
    Encoding,            // no UTF-8, where the file system keeps names in UTF-16
};

NameRefusal RefusalOf(std::string_view name, const TargetNameRules& rules);

// The words of a refusal, for the log, a plan's reason and the report: the fixed phrase and
// what in the name the file system cannot hold. maxLength is the limit the name passed.
std::string RefusalText(NameRefusal refusal, std::string_view name, uint32_t maxLength);
// Why the second of two names is not copied beside the first.
std::string CaseCollisionText(std::string_view refused, std::string_view kept);

// A listing looked up by name; where the Target folds case, a name finds the entry whose name
// folds like it when no entry has the name itself.
class NameLookup {
public:
    // The entries added must outlive the lookup.
    explicit NameLookup(bool foldCase) : m_foldCase(foldCase) {}
    NameLookup(const std::vector<DirEntry>& listing, bool foldCase);
    void Add(const DirEntry& entry);
    const DirEntry* Find(const std::string& name) const;

private:
    std::unordered_map<std::string_view, const DirEntry*> m_exact;
    bool m_foldCase;
    std::unordered_map<std::string, const DirEntry*> m_folded;
};

// NameLookup over a listing for lookups that go through another listing in order. Two folders
// in step list their names in the same order wherever one file system orders them (ext4 by a
// hash of each name that is the same for the whole file system, tmpfs and btrfs by the order
// the names were made in, which a copy repeats),
// so the entry at the caller's position is tried first and the lookup, whose building costs
// more than the walk's own work on the folder, is built only once that guess misses.
class PositionalLookup {
public:
    // Only entries for which `keep` holds are found. The listing must outlive the lookup.
    PositionalLookup(const std::vector<DirEntry>& listing, bool foldCase,
                     bool (*keep)(const DirEntry&) = nullptr)
        : m_listing(listing), m_foldCase(foldCase), m_keep(keep) {}
    // As NameLookup::Find over the kept entries; `position` is where the name stands in the
    // caller's own listing.
    const DirEntry* Find(const std::string& name, std::size_t position);

private:
    const std::vector<DirEntry>& m_listing;
    bool m_foldCase;
    bool (*m_keep)(const DirEntry&);
    std::unique_ptr<NameLookup> m_lookup;  // built at the first miss
};

// What a Source folder's listing holds that its Target folder cannot: names the file system
// refuses, and of names that fold to one, all but the first in byte order.
struct Inadmissible {
    const DirEntry* entry;
    NameRefusal refusal;  // None for a name that folds like `kept`'s
    const DirEntry* kept = nullptr;
};
std::vector<Inadmissible> FindInadmissible(const std::vector<const DirEntry*>& entries,
                                           const TargetNameRules& rules);

}  // namespace duvanto
