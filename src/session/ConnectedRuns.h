// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which mounting of its drive each task that runs on connection last ran for. It is kept in a
// file of the program folder, because `due` is a new process every minute and the desktop
// program and `watch` take turns: only a file lets all of them run such a task at most once
// per mounting, and not again when one of them starts anew.

#include <map>
#include <string>
#include <utility>

namespace duvanto {

class ErrorReporter;
class IFileSystem;

class ConnectedRuns {
public:
    // The file is read when first asked, and written whenever a record changes.
    ConnectedRuns(std::string fileSpec, IFileSystem& fileSystem, ErrorReporter& reporter)
        : m_fileSpec(std::move(fileSpec)), m_fs(fileSystem), m_reporter(reporter) {}

    // The mounting (DriveMountIdentity) the task of the list last ran for; "" for none.
    const std::string& RanFor(const std::string& listFileSpec, const std::string& taskName);
    // The task ran for the mounting; with mount "", its drive was seen away, and whatever
    // mounting comes next is a new one even should the kernel give it the same ID.
    void Record(const std::string& listFileSpec, const std::string& taskName,
                const std::string& mount);

private:
    using Key = std::pair<std::string, std::string>;
    void Load();
    void Save();

    std::string m_fileSpec;
    IFileSystem& m_fs;
    ErrorReporter& m_reporter;
    bool m_loaded = false;
    std::map<Key, std::string> m_mounts;
};

}  // namespace duvanto
