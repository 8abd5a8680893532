// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the windows that edit a task need, over a temporary folder: a prompt answered in
// advance, a clock that stands still, the real file system, mount tables of the folder's own
// (so that a missing or unplugged drive can be made), a fixed table of file types, and a help
// viewer that records what it was asked to show.

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/support/FakeAppPrompt.h"
#include "app/support/RecordingHelpViewer.h"
#include "app/taskedit/TaskEditServices.h"
#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto::test {

// Type names by extension, as a desktop might name them.
class FixedFileTypes : public IFileTypes {
public:
    std::string GetFileType(const std::string& nameOrMask) override {
        const std::size_t dot = nameOrMask.rfind('.');
        if (dot == std::string::npos) {
            return "";
        }
        auto it = names.find(nameOrMask.substr(dot));
        return it == names.end() ? "" : it->second;
    }
    std::vector<FileTypeEntry> LoadFileTypes() override {
        std::vector<FileTypeEntry> entries;
        for (const auto& [extension, name] : names) {
            entries.push_back({extension, name});
        }
        return entries;
    }

    std::map<std::string, std::string> names = {{".txt", "plain text document"},
                                                {".doc", "Word document"},
                                                {".Tex", "TeX document"},
                                                {".jpg", "JPEG image"},
                                                {".tar.gz", "Tar archive (gzip-compressed)"}};
};

// Thursday 4 December 2003, 16:38:16.
inline constexpr double kEditNow = 37959.6932407407;

struct TaskEditWorld {
    TaskEditWorld() {
        tables.fstab = temp / "fstab";
        tables.mountInfo = temp / "mountinfo";
        tables.mediaRoots = {temp / "media/"};
        WriteFile(tables.fstab, "/dev/sdb1 " + temp / "usb" + " ext4 noauto 0 2\n");
        WriteFile(tables.mountInfo, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
        MakeFolders(temp / "media/user/");
    }

    TaskEditServices Services() {
        return {prompt, &help, reporter, fileSystem, clock, tables, fileTypes};
    }
    // Creates the folder (and its parents) below the temporary folder; its path, ending in "/".
    std::string Folder(const std::string& relative) const {
        const std::string folder = NormalizePath(temp / relative);
        MakeFolders(folder);
        return folder;
    }
    // The world cannot be set up without its folders: a failure ends the test at once.
    static void MakeFolders(const std::string& folder) {
        PosixFileSystem fileSystem;
        if (!CreateFolderPath(fileSystem, folder).ok()) {
            throw std::runtime_error("cannot create " + folder);
        }
    }
    std::vector<std::string> Titles() const { return prompt.Titles(); }

    TempDir temp;
    FakeAppPrompt prompt;
    FixedClock clock{kEditNow};
    PosixFileSystem fileSystem;
    ErrorReporter reporter{temp.Path(), prompt, clock, fileSystem};
    MountTables tables;
    FixedFileTypes fileTypes;
    RecordingHelpViewer help;
};

}  // namespace duvanto::test
