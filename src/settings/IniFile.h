// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's options file: a Windows profile file. Section and key names match without
// regard to case; a missing file, section or key, or an empty value, reads as the default;
// writing one key keeps every other line of the file, comments included, in its order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Status.h"
#include "util/ErrorReporter.h"

namespace duvanto {

class IFileSystem;

// A profile file held in memory, so that many keys are read from one parse and written with
// one file write. Lines are kept as they are; only the lines of keys that are set change.
class IniDocument {
public:
    // LF and CR LF line ends alike; a byte-order mark at the start is dropped.
    static IniDocument Parse(std::string_view text);

    // The value as the profile functions give it: blanks around removed, then one pair of
    // matching surrounding quotes (' or "), cut to 16,382 characters. Nothing when the section
    // or key is missing. The first matching section and key count.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The line of the key's value counted from 1, for messages; 0 when it is missing.
    std::size_t LineNumberOf(std::string_view section, std::string_view key) const;
    // The value, or defaultValue when it is missing or empty.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;

    // Replaces the key's value, or adds the key after the last line of its section, or adds
    // the section at the end. Throws std::invalid_argument for a name or value that a profile
    // file cannot hold (a line break, "=" in a key, "]" in a section, an empty name).
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Every line ended by CR LF.
    std::string Text() const;
    std::size_t LineCount() const { return m_lines.size(); }

private:
    // Index of the section's header line, or npos.
    std::size_t FindSection(std::string_view section) const;
    // End of the section starting at header (the next header or the end).
    std::size_t SectionEnd(std::size_t header) const;
    // Index of the key's line within [from, to), or npos.
    std::size_t FindKey(std::size_t from, std::size_t to, std::string_view key) const;

    std::vector<std::string> m_lines;
};

// A value that could not be read, with the key it stands under: a reader that meets it deep in
// a group of keys names the very key.
class IniValueError : public RuntimeError {
public:
    IniValueError(const RuntimeError& cause, std::string section, std::string key)
        : RuntimeError(cause), m_section(std::move(section)), m_key(std::move(key)) {}
    const std::string& Section() const { return m_section; }
    const std::string& Key() const { return m_key; }

private:
    std::string m_section;
    std::string m_key;
};

struct LoadedIni {
    IniDocument document;
    bool existed = false;  // false only when the file is missing
    Status status;         // why an existing file could not be read
};
// A file that exists but cannot be read reads as empty, as the profile functions do; status
// tells a writer not to replace it.
LoadedIni LoadIniDocument(IFileSystem& fs, const std::string& path);
// Written to a temporary file and renamed over the old one; a link at the path is written
// through, so the file it points to gets the new text.
Status SaveIniDocument(IFileSystem& fs, const std::string& path, const IniDocument& document);

}  // namespace duvanto
