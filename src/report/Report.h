// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder-differences report: compares a Source folder with a Target folder without
// changing either and writes what differs, from the Source's point of view, as one HTML page.
// "Added" items exist only in the Source, "Deleted" items only in the Target, "Changed" files
// on both sides but differ by the current comparison method. Every entry is a path in Source
// terms; a folder entry is the folder's path (ending in "/") followed by "..".

#include <cstddef>
#include <string>
#include <vector>

#include "engine/Compare.h"
#include "engine/StatusHost.h"
#include "platform/FileSystem.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"
#include "util/Prompt.h"

namespace duvanto {

// The lists grow by this many entries at a time, keeping their contents.
inline constexpr std::size_t kFolderDiffListBlock = 32000;

// One result list; its count is the number of entries in it.
class FolderDiffList {
public:
    FolderDiffList() { m_items.reserve(kFolderDiffListBlock); }
    void Add(std::string entry);
    // An entry with a note in words shown after it.
    void Add(std::string entry, std::string note);
    std::size_t Count() const { return m_items.size(); }
    const std::vector<std::string>& Items() const { return m_items; }
    // The note of each entry, "" where it has none; empty while no entry has one.
    const std::vector<std::string>& Notes() const { return m_notes; }

private:
    std::vector<std::string> m_items;
    std::vector<std::string> m_notes;
};

struct FolderDiffResults {
    FolderDiffList Added;
    FolderDiffList Deleted;
    FolderDiffList Changed;
    // On a Target that folds letter case or refuses names (Rules): entries whose Target
    // counterpart differs in case alone, noted with the Target's name, and entries the Target
    // cannot hold, noted with the reason. Neither is in the lists above.
    TargetNameRules Rules;
    FolderDiffList Renamed;
    FolderDiffList Refused;
};

// Shows a written page to the user. The desktop program opens it with the program the desktop
// associates with HTML files; the command-line runner prints its path.
class IBrowserHost {
public:
    enum class OpenResult {
        Opened,
        NoProgram,  // nothing is associated with the file
        Failed,     // the associated program could not be started
    };
    virtual ~IBrowserHost() = default;
    virtual OpenResult OpenFile(const std::string& fileSpec) = 0;
};

// What the report works with. appPath is the program folder (ending in "/") where the pictures
// the page refers to are kept.
struct ReportServices {
    IFileSystem& fileSystem;
    const CloneSettings& compare;
    IStatusHost& host;
    ErrorReporter& reporter;
    IPrompt& prompt;
    const IClock& clock;
    IBrowserHost& browser;
    std::string appPath;
};

// Compares the two folders (both ending in "/"), reading them through files (the report's held
// roots), and appends to the three lists; it does not empty them first. Special files are ignored
// on both sides and links are compared as links, never followed. A folder pair that cannot be
// listed on either side contributes nothing. Unexpected failures are reported under
// "modCompare.CompareFoldersAndFillResultTypeArrays" and end only the folder pair they happen in.
void CompareFoldersAndFillResultTypeArrays(ReportServices& services, IFileOperations& files,
                                           const std::string& sourceFolder,
                                           const std::string& targetFolder, bool includeSubFolders,
                                           FolderDiffResults& results);

// Adds sourceFolder + ".." and then every file and folder below targetFolder, in Source terms
// (sourceFolder + the path below targetFolder), folder first, in listing order.
void AddFolderAndContentsToDeletedItemsArray(ReportServices& services, IFileOperations& files,
                                             const std::string& sourceFolder,
                                             const std::string& targetFolder,
                                             FolderDiffList& deleted);
// Adds sourceFolder + ".." and then every file and folder below it.
void AddFolderAndContentsToAddedItemsArray(ReportServices& services, IFileOperations& files,
                                           const std::string& sourceFolder, FolderDiffList& added);

// One list line of the page for an entry, with the folder picture for entries ending in ".."
// and the file picture otherwise. The entry and the picture paths are HTML-escaped, and
// control characters appear as "\xNN", so that no name adds markup or breaks the page's line.
std::string HTMLReportGraphicCode(ErrorReporter& reporter, const std::string& item,
                                  const std::string& filePicture, const std::string& folderPicture,
                                  const std::string& note = "");

// Compares the folders, writes the page and opens it through services.browser. The page goes
// to outputPath when one is given, else to a new "rpt<hex>.html" file of mode 0600 in the
// user's runtime folder ($XDG_RUNTIME_DIR) or, without one, the system temporary folder. The
// page becomes visible at its path only when it is whole. The pictures are written
// into services.appPath when missing. Returns the page's path, or "" when it was not written
// (the failure is reported under "modFolderCompare.CreateHTMLReportOfFolderDiffs").
std::string CreateHTMLReportOfFolderDiffs(ReportServices& services, const std::string& sourceFolder,
                                          const std::string& targetFolder, bool includeSubFolders,
                                          const std::string& outputPath = "");

// Opens a page through the browser host and tells the user when that fails, with the page's
// path, so that it can be opened by hand. True when opened.
bool ShowHTMLFileInBrowser(const std::string& fileSpec, IBrowserHost& browser, IPrompt& prompt,
                           ErrorReporter& reporter);

// The report command once a task is chosen: checks both folders first (a failing one is
// refused with the user's message and nothing is written), then creates the report, with
// "Creating Report..." in status panel 1 meanwhile, and opens it once panel 1 is empty again.
// Returns the page's path or "".
// Refusing while a clone runs and choosing the task are the caller's part.
std::string ReportFolderDifferences(ReportServices& services, const std::string& sourceFolder,
                                    const std::string& targetFolder, bool includeSubFolders,
                                    const std::string& outputPath = "",
                                    const MountTables& mountTables = MountTables{});

}  // namespace duvanto
