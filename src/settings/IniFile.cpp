// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IniFile.h"

#include <strings.h>

#include <stdexcept>
#include <utility>

#include "platform/FileSystem.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

constexpr std::size_t kNone = std::string::npos;
// The read buffer of the profile function held 16,383 characters with the terminating zero.
constexpr std::size_t kMaxValueLength = 16382;

bool SameName(std::string_view a, std::string_view b) {
    const std::string left = Trim(a);
    const std::string right = Trim(b);
    return left.size() == right.size() && strncasecmp(left.data(), right.data(), left.size()) == 0;
}

// The section name of a header line; nothing for any other line.
std::optional<std::string> HeaderName(std::string_view line) {
    const std::string trimmed = Trim(line);
    const std::size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed[0] != '[' || close == kNone) {
        return std::nullopt;
    }
    return Trim(std::string_view(trimmed).substr(1, close - 1));
}

// Position of the "=" of a key line; npos for comments, headers and other lines.
std::size_t KeySeparator(std::string_view line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[') {
        return kNone;
    }
    return line.find('=');
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckStorable(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = Trim(key);
    if (Trim(section).empty() || HasLineBreak(section) || section.find(']') != kNone) {
        throw std::invalid_argument("Invalid section name for an INI file: " +
                                    std::string(section));
    }
    if (name.empty() || HasLineBreak(key) || key.find('=') != kNone || name[0] == ';' ||
        name[0] == '[') {
        throw std::invalid_argument("Invalid key name for an INI file: " + std::string(key));
    }
    if (HasLineBreak(value)) {
        throw std::invalid_argument("An INI file value cannot hold a line break");
    }
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    text = WithoutByteOrderMark(text);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == kNone ? text.size() : end + 1;
        if (end == kNone) {
            end = text.size();
        }
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        document.m_lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return document;
}

std::size_t IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::optional<std::string> name = HeaderName(m_lines[i]);
        if (name && SameName(*name, section)) {
            return i;
        }
    }
    return kNone;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < m_lines.size() && !HeaderName(m_lines[end])) {
        ++end;
    }
    return end;
}

std::size_t IniDocument::FindKey(std::size_t from, std::size_t to, std::string_view key) const {
    for (std::size_t i = from; i < to; ++i) {
        const std::size_t equals = KeySeparator(m_lines[i]);
        if (equals != kNone && SameName(std::string_view(m_lines[i]).substr(0, equals), key)) {
            return i;
        }
    }
    return kNone;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == kNone) {
        return std::nullopt;
    }
    const std::size_t line = FindKey(header + 1, SectionEnd(header), key);
    if (line == kNone) {
        return std::nullopt;
    }
    const std::string& text = m_lines[line];
    std::string value = Trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > kMaxValueLength) {
        value.resize(kMaxValueLength);
    }
    return value;
}

std::size_t IniDocument::LineNumberOf(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == kNone) {
        return 0;
    }
    const std::size_t line = FindKey(header + 1, SectionEnd(header), key);
    return line == kNone ? 0 : line + 1;
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    std::optional<std::string> value = Get(section, key);
    return value && !value->empty() ? std::move(*value) : std::string(defaultValue);
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    CheckStorable(section, key, value);
    const std::size_t header = FindSection(section);
    if (header == kNone) {
        // Appended: GCC 12 at -O3 takes `"[" + Trim(...)` for an overlapping copy.
        m_lines.push_back(std::string("[").append(Trim(section)).append("]"));
        m_lines.push_back(Trim(key) + "=" + std::string(value));
        return;
    }
    const std::size_t end = SectionEnd(header);
    const std::size_t line = FindKey(header + 1, end, key);
    if (line != kNone) {
        // The name keeps the spelling the file gave it.
        const std::string& old = m_lines[line];
        m_lines[line] =
            Trim(std::string_view(old).substr(0, old.find('='))) + "=" + std::string(value);
        return;
    }
    // After the section's last key, so that a comment heading the next section stays there.
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (KeySeparator(m_lines[i]) != kNone) {
            insertAt = i + 1;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   Trim(key) + "=" + std::string(value));
}

std::string IniDocument::Text() const {
    std::string text;
    for (const std::string& line : m_lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

LoadedIni LoadIniDocument(IFileSystem& fs, const std::string& path) {
    Result<std::string> read = fs.ReadWholeFile(path);
    if (read.ok()) {
        return {IniDocument::Parse(read.value()), true, Status::Ok()};
    }
    if (read.status().IsNotFound()) {
        return {IniDocument{}, false, Status::Ok()};
    }
    return {IniDocument{}, true, read.status()};
}

Status SaveIniDocument(IFileSystem& fs, const std::string& path, const IniDocument& document) {
    return fs.WriteFileThroughLinks(path, document.Text());
}

}  // namespace duvanto
