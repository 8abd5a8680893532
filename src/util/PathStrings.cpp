// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/PathStrings.h"

#include <vector>

namespace duvanto {

namespace {

std::size_t LastItemStart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string RemainingString(std::string_view fullText, std::string_view leading) {
    if (!fullText.starts_with(leading)) {
        return {};
    }
    return std::string(fullText.substr(leading.size()));
}

std::string ReplaceString(std::string_view text, std::string_view find,
                          std::string_view replacement) {
    if (find.empty()) {
        return std::string(text);
    }
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(find, from)) != std::string_view::npos;
         from = at + find.size()) {
        result.append(text.substr(from, at - from)).append(replacement);
    }
    result.append(text.substr(from));
    return result;
}

std::string ReplaceMultipleChars(std::string_view text, std::string_view characters,
                                 std::string_view replacement) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (characters.find(c) != std::string_view::npos) {
            result.append(replacement);
        } else {
            result += c;
        }
    }
    return result;
}

std::string GetLastItemInPath(std::string_view path) {
    return std::string(path.substr(LastItemStart(path)));
}

std::string RemoveFilenameExtension(std::string_view fileName) {
    std::size_t itemStart = LastItemStart(fileName);
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot <= itemStart) {
        return std::string(fileName);
    }
    return std::string(fileName.substr(0, dot));
}

std::string ReplaceExtension(std::string_view fileName, std::string_view extension) {
    return RemoveFilenameExtension(fileName) + "." + std::string(extension);
}

std::size_t GetNextSlashPos(std::string_view path, std::size_t startPos) {
    std::size_t from = startPos == 0 ? 0 : startPos - 1;
    std::size_t slash = path.find('/', from);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string NormalizePath(std::string_view path) {
    if (path.empty()) {
        return {};
    }
    const bool absolute = path.starts_with('/');
    std::vector<std::string_view> items;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        std::string_view item = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (item.empty() || item == ".") {
            continue;
        }
        if (item == ".." && !items.empty() && items.back() != "..") {
            items.pop_back();
        } else if (item != ".." || !absolute) {
            // ".." above the root is the root; above a relative start it has to stay.
            items.push_back(item);
        }
    }
    std::string result = absolute ? "/" : "";
    for (std::string_view item : items) {
        result.append(item).append("/");
    }
    return result.empty() ? "./" : result;
}

std::string Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool StringContainsIllegalFileNameCharacter(std::string_view text) {
    return text.find_first_of("\\/:*?\"<>|") != std::string_view::npos;
}

std::string EncloseInQuotes(std::string_view text) {
    // Appended rather than `"\"" + std::string(text)`: GCC 12 at -O3 takes that operator+ for
    // an overlapping copy and stops the build under -Werror=restrict.
    std::string quoted;
    quoted.reserve(text.size() + 2);
    return quoted.append(1, '"').append(text).append(1, '"');
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

bool StringsEqualExact(std::string_view a, std::string_view b) {
    return a == b;
}

std::string FolderPartOf(std::string_view filePath) {
    std::size_t itemStart = LastItemStart(filePath);
    return std::string(itemStart == 0 ? filePath : filePath.substr(0, itemStart));
}

std::string NamePartOf(std::string_view filePath) {
    return GetLastItemInPath(filePath);
}

}  // namespace duvanto
