// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TargetNames.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/FilePrimitives.h"

namespace duvanto {

namespace {

// One code point of UTF-8 at `at`, or the byte itself (length 1, valid false) where the text is
// no UTF-8 there.
struct CodePoint {
    uint32_t value;
    std::size_t length;
    bool valid;
};

CodePoint Decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    uint32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07u;
    } else {
        return {lead, 1, false};
    }
    if (at + length > text.size()) {
        return {lead, 1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return {lead, 1, false};
        }
        value = (value << 6) | (byte(at + i) & 0x3Fu);
    }
    static constexpr std::array<uint32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return {lead, 1, false};
    }
    return {value, length, true};
}

void Encode(uint32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

bool Between(uint32_t value, uint32_t first, uint32_t last) {
    return value >= first && value <= last;
}

// Capital to small letter, where the two sit at a fixed distance or in alternating pairs.
uint32_t Lower(uint32_t c) {
    if (Between(c, 'A', 'Z') || (Between(c, 0xC0, 0xDE) && c != 0xD7)) {
        return c + 32;
    }
    if (c < 0x100) {
        return c;
    }
    // Latin Extended-A: capitals on even code points, and on odd ones in two runs.
    if ((Between(c, 0x100, 0x12F) || Between(c, 0x132, 0x137) || Between(c, 0x14A, 0x177)) &&
        c % 2 == 0) {
        return c + 1;
    }
    if ((Between(c, 0x139, 0x148) || Between(c, 0x179, 0x17E)) && c % 2 == 1) {
        return c + 1;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    // Greek.
    if (Between(c, 0x391, 0x3AB) && c != 0x3A2) {
        return c + 32;
    }
    if (c == 0x386) {
        return 0x3AC;
    }
    if (Between(c, 0x388, 0x38A)) {
        return c + 37;
    }
    if (c == 0x38C) {
        return 0x3CC;
    }
    if (Between(c, 0x38E, 0x38F)) {
        return c + 63;
    }
    // Cyrillic.
    if (Between(c, 0x400, 0x40F)) {
        return c + 80;
    }
    if (Between(c, 0x410, 0x42F)) {
        return c + 32;
    }
    if ((Between(c, 0x460, 0x481) || Between(c, 0x48A, 0x4BF) || Between(c, 0x4D0, 0x52F)) &&
        c % 2 == 0) {
        return c + 1;
    }
    // Armenian, and the full-width Latin capitals.
    if (Between(c, 0x531, 0x556)) {
        return c + 48;
    }
    if (Between(c, 0xFF21, 0xFF3A)) {
        return c + 32;
    }
    return c;
}

constexpr std::string_view kWindowsCharacters = "\\:*?\"<>|";

std::size_t Utf16Length(std::string_view name) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < name.size();) {
        const CodePoint point = Decode(name, at);
        units += point.valid && point.value >= 0x10000 ? 2 : 1;
        at += point.length;
    }
    return units;
}

bool IsDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return true;
    }
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string FoldCase(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const CodePoint point = Decode(name, at);
        if (point.valid) {
            Encode(Lower(point.value), folded);
        } else {
            folded += name[at];
        }
        at += point.length;
    }
    return folded;
}

NameRefusal RefusalOf(std::string_view name, const TargetNameRules& rules) {
    // A name in UTF-16 is made of characters: bytes that are none have no name there.
    if (rules.lengthInUtf16) {
        for (std::size_t at = 0; at < name.size();) {
            const CodePoint point = Decode(name, at);
            if (!point.valid) {
                return NameRefusal::Encoding;
            }
            at += point.length;
        }
    }
    if (rules.windowsCharacters) {
        for (char c : name) {
            if (static_cast<unsigned char>(c) < 0x20 ||
                kWindowsCharacters.find(c) != std::string_view::npos) {
                return NameRefusal::Character;
            }
        }
    }
    if (rules.noTrailingDotOrBlank && !name.empty() && (name.back() == '.' || name.back() == ' ')) {
        return NameRefusal::TrailingDotOrBlank;
    }
    if (rules.windowsDeviceNames && IsDeviceName(name)) {
        return NameRefusal::DeviceName;
    }
    if (rules.maxNameLength != 0 &&
        (rules.lengthInUtf16 ? Utf16Length(name) : name.size()) > rules.maxNameLength) {
        return NameRefusal::TooLong;
    }
    return NameRefusal::None;
}

std::string RefusalText(NameRefusal refusal, std::string_view name, uint32_t maxLength) {
    std::string text = "the Target's file system cannot hold this name";
    switch (refusal) {
        case NameRefusal::Character: {
            std::string shown;
            bool control = false;
            for (char c : kWindowsCharacters) {
                if (name.find(c) != std::string_view::npos) {
                    shown += shown.empty() ? "" : " ";
                    shown += c;
                }
            }
            for (char c : name) {
                control = control || static_cast<unsigned char>(c) < 0x20;
            }
            if (control) {
                shown += shown.empty() ? "control characters" : " or control characters";
            }
            return text + " (it has " + shown + ")";
        }
        case NameRefusal::TrailingDotOrBlank:
            return text + " (it ends in a dot or a blank)";
        case NameRefusal::DeviceName:
            return text + " (it names a device on Windows)";
        case NameRefusal::TooLong:
            return text + " (it is longer than " + std::to_string(maxLength) + " characters)";
        case NameRefusal::Encoding:
            return text + " (it is no UTF-8 text)";
        default:
            return text;
    }
}

std::string CaseCollisionText(std::string_view refused, std::string_view kept) {
    return std::string(refused) + " and " + std::string(kept) +
           " differ only in letter case; the Target folder cannot hold both";
}

NameLookup::NameLookup(const std::vector<DirEntry>& listing, bool foldCase) : m_foldCase(foldCase) {
    m_exact.reserve(listing.size());
    if (foldCase) {
        m_folded.reserve(listing.size());
    }
    for (const DirEntry& entry : listing) {
        Add(entry);
    }
}

void NameLookup::Add(const DirEntry& entry) {
    m_exact.emplace(entry.name, &entry);
    if (!m_foldCase) {
        return;
    }
    auto [it, added] = m_folded.emplace(FoldCase(entry.name), &entry);
    // Of names that fold to one, the first in byte order stands for them.
    if (!added && CompareStringsOrdinal(entry.name, it->second->name) < 0) {
        it->second = &entry;
    }
}

const DirEntry* NameLookup::Find(const std::string& name) const {
    if (auto it = m_exact.find(name); it != m_exact.end()) {
        return it->second;
    }
    if (!m_foldCase) {
        return nullptr;
    }
    auto it = m_folded.find(FoldCase(name));
    return it == m_folded.end() ? nullptr : it->second;
}

const DirEntry* PositionalLookup::Find(const std::string& name, std::size_t position) {
    // Names are unique within a folder, so an entry of the very name is what an exact lookup
    // would give.
    if (position < m_listing.size()) {
        const DirEntry& guess = m_listing[position];
        if (guess.name == name && (m_keep == nullptr || m_keep(guess))) {
            return &guess;
        }
    }
    if (!m_lookup) {
        m_lookup = std::make_unique<NameLookup>(m_foldCase);
        for (const DirEntry& entry : m_listing) {
            if (m_keep == nullptr || m_keep(entry)) {
                m_lookup->Add(entry);
            }
        }
    }
    return m_lookup->Find(name);
}

std::vector<Inadmissible> FindInadmissible(const std::vector<const DirEntry*>& entries,
                                           const TargetNameRules& rules) {
    std::vector<Inadmissible> found;
    std::vector<std::pair<std::string, const DirEntry*>> held;
    for (const DirEntry* entry : entries) {
        const NameRefusal refusal = RefusalOf(entry->name, rules);
        if (refusal != NameRefusal::None) {
            found.push_back({entry, refusal});
        } else if (rules.foldsCase) {
            held.emplace_back(FoldCase(entry->name), entry);
        }
    }
    std::sort(held.begin(), held.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : CompareStringsOrdinal(a.second->name, b.second->name) < 0;
    });
    for (std::size_t i = 1; i < held.size(); ++i) {
        if (held[i].first == held[i - 1].first) {
            // The first of the run of equal keys is kept; it sits before every other one.
            std::size_t first = i - 1;
            while (first > 0 && held[first - 1].first == held[i].first) {
                --first;
            }
            found.push_back({held[i].second, NameRefusal::None, held[first].second});
        }
    }
    std::sort(found.begin(), found.end(), [](const Inadmissible& a, const Inadmissible& b) {
        return CompareStringsOrdinal(a.entry->name, b.entry->name) < 0;
    });
    return found;
}

}  // namespace duvanto
