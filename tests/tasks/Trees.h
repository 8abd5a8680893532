// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Folder trees written from and read back as short lists, so that a test's set-up and its
// expectations read like the tree itself.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace duvanto::test {

using Tree = std::vector<std::string>;

// Each entry is "relative/path=content" for a file or "relative/folder/" for a folder; the root
// is made too.
inline void WriteTree(const std::string& root, const Tree& entries) {
    std::filesystem::create_directories(root);
    for (const std::string& entry : entries) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            std::filesystem::create_directories(root + entry);
        } else {
            WriteFile(root + entry.substr(0, equals), entry.substr(equals + 1));
        }
    }
}

// Everything below the root, sorted, in WriteTree's notation; a link is "path->its text". None
// when the root is missing.
inline Tree ReadTree(const std::string& root) {
    namespace fs = std::filesystem;
    Tree entries;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string path = it->path().string().substr(root.size());
        if (it->is_symlink()) {
            entries.push_back(path + "->" + fs::read_symlink(it->path()).string());
        } else if (it->is_directory()) {
            entries.push_back(path + "/");
        } else {
            entries.push_back(path + "=" + ReadFile(it->path().string()));
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The text cut at each end of line; a last piece without one counts too.
inline std::vector<std::string> SplitLines(const std::string& text, const std::string& end = "\n") {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t stop = std::min(text.find(end, at), text.size());
        lines.push_back(text.substr(at, stop - at));
        at = stop + end.size();
    }
    return lines;
}

// A log's lines without the timestamps they start with.
inline std::vector<std::string> LogTails(const std::string& text) {
    std::vector<std::string> tails;
    for (const std::string& line : SplitLines(text, "\r\n")) {
        const std::size_t mark = line.find_first_of("<*-");
        tails.push_back(mark == std::string::npos ? line : line.substr(mark));
    }
    return tails;
}

}  // namespace duvanto::test
