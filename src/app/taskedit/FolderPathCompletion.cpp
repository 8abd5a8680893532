// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/FolderPathCompletion.h"

#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// The folder the typed text completes to: itself when it names one, else the first folder of
// its parent that begins with its last item, else the parent (which adds nothing).
std::string Completion(const std::string& typed, IFileSystem& fileSystem,
                       const std::function<bool()>& keepGoing, bool& abandoned) {
    const std::string normalized = NormalizePath(typed);
    if (FolderExists(normalized)) {
        return normalized;
    }
    const std::string partial = GetLastItemInPath(typed);
    const std::string parent = typed.substr(0, typed.size() - partial.size());
    if (!FolderExists(parent)) {
        return parent;
    }
    Result<std::vector<DirEntry>> listing = fileSystem.ListFolder(NormalizePath(parent), false);
    if (!listing.ok()) {
        return parent;
    }
    for (const DirEntry& entry : listing.value()) {
        if (!keepGoing()) {
            abandoned = true;
            return parent;
        }
        if (!entry.name.starts_with(partial)) {
            continue;
        }
        // A link counts when it leads to a folder, as it does for a user typing the path.
        if (entry.kind == EntryKind::Folder ||
            (entry.kind == EntryKind::Link && FolderExists(parent + entry.name))) {
            return NormalizePath(parent + entry.name);
        }
    }
    return parent;
}

}  // namespace

std::string CompleteFolderPath(const std::string& typed, IFileSystem& fileSystem,
                               const std::function<bool()>& keepGoing) {
    if (typed.empty() || typed.front() != '/' || typed.back() == '/') {
        return "";
    }
    bool abandoned = false;
    const std::string completion = Completion(typed, fileSystem, keepGoing, abandoned);
    // The normal form of a path typed with "//" or "/./" no longer begins with what was typed:
    // adding its tail would make a path nobody meant.
    if (abandoned || completion.size() <= typed.size() || !completion.starts_with(typed)) {
        return "";
    }
    const std::size_t slash = GetNextSlashPos(completion, typed.size() + 1);
    const std::size_t end = slash == 0 ? completion.size() : slash;
    return completion.substr(typed.size(), end - typed.size());
}

}  // namespace duvanto
