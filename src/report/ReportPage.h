// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report's HTML page: the file it is written to, and the writing of the page itself.

#include <string>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/FileSystemQueries.h"
#include "report/Report.h"
#include "util/ErrorReporter.h"
#include "util/StringAppend.h"

namespace duvanto {

// Collects the page's pieces and makes it visible at its path only once it is whole: pieces go
// to a temporary file beside it, which is renamed over the path at the end.
class PageFile {
public:
    // mode: the page's permission bits (before the umask).
    PageFile(IFileSystem& fs, std::string path, unsigned mode) : m_fs(fs), m_path(std::move(path)) {
        const std::size_t slash = m_path.rfind('/');
        Result<std::string> part =
            m_fs.CreateUniqueFile(m_path.substr(0, slash + 1), kWriteTempPrefix, ".tmp", mode);
        if (!part.ok()) {
            throw FileRuntimeError(part.status());
        }
        m_partPath = part.value();
    }
    ~PageFile() {
        if (!m_partPath.empty()) {
            (void)m_fs.RemoveProgramFile(
                m_partPath);  // an unfinished page; nobody to tell in a destructor
        }
    }
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    clsStringAppend& Page() { return m_page; }

    void WritePiece() {
        Status written = m_fs.AppendToFile(m_partPath, m_page.CurrentString());
        if (!written.ok()) {
            throw FileRuntimeError(written);
        }
        m_page.Reset();
    }

    void Finish() {
        WritePiece();
        // The page is the user's own file, not a run's: Rename, like every change a run
        // makes, changes nothing outside the folders it holds.
        Status renamed = m_fs.RenameFile(m_partPath, m_path);
        if (!renamed.ok()) {
            throw FileRuntimeError(renamed);
        }
        m_partPath.clear();
    }

private:
    IFileSystem& m_fs;
    std::string m_path;
    std::string m_partPath;
    clsStringAppend m_page;
};

// Writes the page of the results into file and puts it in its place.
void WritePage(ReportServices& services, PageFile& file, const std::string& sourceFolder,
               const std::string& targetFolder, const FolderDiffResults& results);

}  // namespace duvanto
