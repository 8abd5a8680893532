// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Report.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/TargetNames.h"
#include "platform/FilePrimitives.h"
#include "platform/FileSystemQueries.h"
#include "platform/ProcessPaths.h"
#include "report/ReportPictures.h"
#include "util/OleDate.h"
#include "util/PathStrings.h"
#include "util/StringAppend.h"

namespace duvanto {

namespace {

constexpr char kCompareLabel[] = "modCompare.CompareFoldersAndFillResultTypeArrays";
constexpr char kDeletedCollectorLabel[] = "modCompare.AddFolderAndContentsToDeletedItemsArray";
constexpr char kAddedCollectorLabel[] = "modCompare.AddFolderAndContentsToAddedItemsArray";
constexpr char kListLineLabel[] = "modCompare.HTMLReportGraphicCode";
constexpr char kPageLabel[] = "modFolderCompare.CreateHTMLReportOfFolderDiffs";
constexpr char kBrowserLabel[] = "modDuvanto.ShowHTMLFileInBrowser";
constexpr char kCommandLabel[] = "frmDuvanto.mnuFileReportFolderDifferences_Click";

constexpr char kApplicationTitle[] = "Duvanto";
// The browser messages carry no icon; the prompt has no icon-less kind, and Information is the
// plainest of those it has.
constexpr MessageIcon kPlainMessage = MessageIcon::Information;

// The page is written out in pieces so that a very large report never sits in memory whole;
// the size is looked at only every so many list lines.
constexpr std::size_t kItemsBetweenSizeChecks = 100;
constexpr std::size_t kPieceByteSize = 100000;

using Listing = std::vector<DirEntry>;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsControlByte(unsigned char byte) {
    return byte < 32 || byte == 127;
}

// Text as the reader should see it: markup characters become entities, and control bytes are
// shown as "\xNN" (as in the clone log), because the page is one line and a browser would
// render them invisibly or not at all.
std::string EscapeForPage(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                if (IsControlByte(byte)) {
                    escaped += "\\x";
                    escaped += kHexDigits[byte >> 4];
                    escaped += kHexDigits[byte & 0x0F];
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

// A picture's path as the value of SRC: the path stays readable, but the characters that a URL
// would take as the start of a query or fragment, or as an escape, must not cut it short.
std::string PictureReference(std::string_view path) {
    std::string reference;
    reference.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '#' || c == '?' || IsControlByte(byte)) {
            reference += '%';
            reference += kHexDigits[byte >> 4];
            reference += kHexDigits[byte & 0x0F];
        } else {
            reference += c;
        }
    }
    return EscapeForPage(reference);
}

std::string Quoted(std::string_view text) {
    return EncloseInQuotes(text);
}

bool AreSameForReport(ReportServices& services, IFileOperations& files, const DirEntry& source,
                      const DirEntry& target, const std::string& sourcePath,
                      const std::string& targetPath) {
    const CloneSettings& compare = services.compare;
    if (source.kind != target.kind) {
        return false;  // a link never equals a file of the same name
    }
    const bool sameTime = AreFilesSameUsingTimestamp(
        source, target, compare.IgnoreFAT_NTFS_TwoSecDiff, compare.IgnoreFAT_NTFS_DaylightSavings);
    if (source.kind == EntryKind::Link) {
        // A link is its text; its own time counts only where times decide.
        return source.linkTarget == target.linkTarget &&
               (compare.CompareMethod != CompareMethodType::DateTime || sameTime);
    }
    // As a run judges it: a file of another size is never up to date.
    if (source.kind == EntryKind::File && !AreFilesSameUsingSize(source, target)) {
        return false;
    }
    const ChunkPump pump = [&services](uint64_t) {
        services.host.Pump();
        return true;  // a report has no cancel
    };
    switch (compare.CompareMethod) {
        case CompareMethodType::Size:
            return AreFilesSameUsingSize(source, target);
        case CompareMethodType::Contents: {
            // A pair that cannot be read counts as different, as a failed content test does.
            Result<bool> same = files.CompareContents(sourcePath, targetPath, pump);
            return same.ok() && same.value();
        }
        case CompareMethodType::CRC32: {
            Result<uint32_t> sourceCrc = files.Crc32(sourcePath, pump);
            if (!sourceCrc.ok()) {
                return false;
            }
            Result<uint32_t> targetCrc = files.Crc32(targetPath, pump);
            return targetCrc.ok() && targetCrc.value() == sourceCrc.value();
        }
        default:
            return sameTime;
    }
}

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

void AppendSummaryCell(clsStringAppend& page, std::string_view anchor, std::string_view caption,
                       std::size_t count) {
    if (count != 0) {
        page.Append("<a href=");
        page.Append(Quoted(std::string("#").append(anchor)));
        page.Append(">");
        page.Append(caption);
        page.Append("</a>    ");
    } else {
        page.Append(caption);
    }
    page.Append("</font></b><br>");
    page.Append(std::to_string(count));
}

void AppendListSection(ReportServices& services, PageFile& file, std::string_view anchor,
                       std::string_view heading, std::string_view explanation,
                       const FolderDiffList& list, const std::string& filePicture,
                       const std::string& folderPicture) {
    if (list.Count() == 0) {
        return;
    }
    clsStringAppend& page = file.Page();
    page.Append("<h2><font size=+1>&nbsp;<a NAME=");
    page.Append(Quoted(anchor));
    page.Append("></a>");
    page.Append(heading);
    page.Append("</font></h2>");
    page.Append(explanation);
    std::size_t written = 0;
    const std::vector<std::string>& notes = list.Notes();
    for (std::size_t i = 0; i < list.Items().size(); ++i) {
        const std::string& item = list.Items()[i];
        page.Append(HTMLReportGraphicCode(services.reporter, item, filePicture, folderPicture,
                                          i < notes.size() ? notes[i] : std::string()));
        services.host.Pump();
        if (++written % kItemsBetweenSizeChecks == 0 && page.StringByteSize() > kPieceByteSize) {
            file.WritePiece();
        }
    }
}

void WritePage(ReportServices& services, PageFile& file, const std::string& sourceFolder,
               const std::string& targetFolder, const FolderDiffResults& results) {
    // Appended: GCC 12 at -O3 takes `path + std::string(name)` for an overlapping copy.
    const std::string filePicture = std::string(services.appPath).append(kReportFilePicture);
    const std::string folderPicture = std::string(services.appPath).append(kReportFolderPicture);
    const std::string bannerPicture = std::string(services.appPath).append(kReportBannerPicture);
    clsStringAppend& page = file.Page();
    page.InitialBufferSize(2 * kPieceByteSize);

    // Names are bytes as the file system holds them, UTF-8 on any current Linux; without the
    // declaration a browser guesses a Western code page and garbles every other script.
    page.Append("<html><head><meta charset=\"utf-8\"></head><body>");
    page.Append("<div align=right><font color=" + Quoted("#666600") + "><font size=-1>");
    page.Append(FormatGeneralDate(services.clock.Now()));
    page.Append("</font></font></div>");
    page.Append("<h1><img SRC=" + Quoted(PictureReference(bannerPicture)) +
                "  HSPACE=2 BORDER=0 height=102 width=113 align=CENTER>Folder Differences "
                "Report</h1>");
    page.Append("<dl><dd><b>Source Folder:</b> " + EscapeForPage(sourceFolder) + "</dd>");
    page.Append("<dd><b>Target Folder:</b> " + EscapeForPage(targetFolder) + "</dd>");
    page.Append("<br>&nbsp;<dd><b></b></dd>");

    page.Append("<dl><b>Summary:</b></dl><table BORDER CELLPADDING=3 WIDTH=" + Quoted("33%") +
                " HEIGHT=" + Quoted("43") + " BGCOLOR=" + Quoted("#FFFFCC") +
                " ><tr VALIGN=TOP><td><dl><b><font size=-1>");
    AppendSummaryCell(page, "added", "Added:", results.Added.Count());
    page.Append("</dl></td><td><b><font size=-1>");
    AppendSummaryCell(page, "deleted", "Deleted:", results.Deleted.Count());
    page.Append("</dl></td><td><b><font size=-1>");
    AppendSummaryCell(page, "changed", "Changed:", results.Changed.Count());
    // A Target with rules of its own adds its two lists; any other page stays as it was.
    const bool targetRules = results.Renamed.Count() != 0 || results.Refused.Count() != 0;
    if (targetRules) {
        page.Append("</dl></td><td><b><font size=-1>");
        AppendSummaryCell(page, "renamed", "Renamed:", results.Renamed.Count());
        page.Append("</dl></td><td><b><font size=-1>");
        AppendSummaryCell(page, "refused", "Cannot Be Held:", results.Refused.Count());
    }
    page.Append("</td></tr></table>");

    AppendListSection(services, file, "added", "Added To Source",
                      "<P><font size=-1><I>The objects in this list appear in the Source folder "
                      "but not in the Target folder</I></font></P>",
                      results.Added, filePicture, folderPicture);
    AppendListSection(services, file, "deleted", "Deleted From Source",
                      "<P><font size=-1><I>The objects in this list appear in the Target folder "
                      "but not in the Source folder</font></I></P>",
                      results.Deleted, filePicture, folderPicture);
    AppendListSection(services, file, "changed", "Changed In Source",
                      "<P><font size=-1><I>The files in this list appear in both the Source and "
                      "Target folders but differ.</font></I></P>",
                      results.Changed, filePicture, folderPicture);
    AppendListSection(services, file, "renamed", "Renamed In Source",
                      "<P><font size=-1><I>The objects in this list differ from their Target "
                      "counterparts in letter case alone, which the Target's file system does not "
                      "tell apart; a clone renames them in the Target.</font></I></P>",
                      results.Renamed, filePicture, folderPicture);
    AppendListSection(
        services, file, "refused", "Cannot Be Held By The Target",
        "<P><font size=-1><I>The Target's file system cannot hold the names of the "
        "objects in this list; a clone does not copy them and logs why.</font></I></P>",
        results.Refused, filePicture, folderPicture);

    page.Append("<p><table CELLPADDING=7 COLS=1 WIDTH=" + Quoted("100%") +
                " BGCOLOR=" + Quoted("#FFFFCC") + " ><tr><td>");
    page.Append("All differences shown are from the perspective of the Source Folder.<br>");
    page.Append(
        "Folders and files which have been <i>added to</i>, <i>deleted from</i>, or <i>changed "
        "in</i>");
    page.Append(" the Source Folder are listed above.</td></tr></table>");
    page.Append("</body></html>");
    file.Finish();
}

}  // namespace

void FolderDiffList::Add(std::string entry) {
    if (m_items.size() == m_items.capacity()) {
        m_items.reserve(m_items.size() + kFolderDiffListBlock);
    }
    m_items.push_back(std::move(entry));
    if (!m_notes.empty()) {
        m_notes.emplace_back();
    }
}

void FolderDiffList::Add(std::string entry, std::string note) {
    Add(std::move(entry));
    m_notes.resize(m_items.size());
    m_notes.back() = std::move(note);
}

void CompareFoldersAndFillResultTypeArrays(ReportServices& services, IFileOperations& files,
                                           const std::string& sourceFolder,
                                           const std::string& targetFolder, bool includeSubFolders,
                                           FolderDiffResults& results) {
    try {
        Result<Listing> targetList = files.ListFolder(targetFolder, true);
        Result<Listing> sourceList = files.ListFolder(sourceFolder, true);
        if (!targetList.ok() || !sourceList.ok()) {
            // Without both listings nothing can be said about what is missing on either side.
            return;
        }

        // What the Target cannot hold is listed apart and weighed no further, as a clone
        // refuses it.
        const TargetNameRules& rules = results.Rules;
        Listing& sources = sourceList.value();
        if (!rules.Plain()) {
            std::vector<const DirEntry*> considered;
            for (const DirEntry& entry : sources) {
                if (entry.IsFileLike() || (entry.kind == EntryKind::Folder && includeSubFolders)) {
                    considered.push_back(&entry);
                }
            }
            std::unordered_set<std::string> refused;
            for (const Inadmissible& item : FindInadmissible(considered, rules)) {
                const std::string& name = item.entry->name;
                results.Refused.Add(
                    sourceFolder + name + (item.entry->kind == EntryKind::Folder ? "/.." : ""),
                    item.kept != nullptr ? CaseCollisionText(name, item.kept->name)
                                         : RefusalText(item.refusal, name, rules.maxNameLength));
                refused.insert(name);
            }
            std::erase_if(sources,
                          [&](const DirEntry& entry) { return refused.count(entry.name) != 0; });
        }

        const NameLookup sourceIndex(sources, rules.foldsCase);
        for (const DirEntry& target : targetList.value()) {
            services.host.Pump();
            const DirEntry* source = sourceIndex.Find(target.name);
            // Where the Target folds case, the Source's spelling names the pair.
            const std::string name = source != nullptr ? source->name : target.name;
            const bool renamed = name != target.name && (source->kind == EntryKind::Folder) ==
                                                            (target.kind == EntryKind::Folder);
            if (target.IsFileLike()) {
                if (source == nullptr || !source->IsFileLike()) {
                    results.Deleted.Add(sourceFolder + target.name);
                } else {
                    if (renamed) {
                        results.Renamed.Add(sourceFolder + name, "in the Target: " + target.name);
                    }
                    if (!AreSameForReport(services, files, *source, target, sourceFolder + name,
                                          targetFolder + target.name)) {
                        results.Changed.Add(sourceFolder + name);
                    }
                }
            } else if (target.kind == EntryKind::Folder && includeSubFolders) {
                const std::string sourceSub =
                    sourceFolder +
                    (source != nullptr && source->kind == EntryKind::Folder ? name : target.name) +
                    "/";
                const std::string targetSub = targetFolder + target.name + "/";
                if (source != nullptr && source->kind == EntryKind::Folder) {
                    if (renamed) {
                        results.Renamed.Add(sourceSub + "..", "in the Target: " + target.name);
                    }
                    CompareFoldersAndFillResultTypeArrays(services, files, sourceSub, targetSub,
                                                          includeSubFolders, results);
                } else {
                    AddFolderAndContentsToDeletedItemsArray(services, files, sourceSub, targetSub,
                                                            results.Deleted);
                }
            }
        }

        const NameLookup targetIndex(targetList.value(), rules.foldsCase);
        for (const DirEntry& source : sources) {
            services.host.Pump();
            const DirEntry* target = targetIndex.Find(source.name);
            if (source.IsFileLike()) {
                if (target == nullptr || !target->IsFileLike()) {
                    results.Added.Add(sourceFolder + source.name);
                }
            } else if (source.kind == EntryKind::Folder && includeSubFolders) {
                if (target == nullptr || target->kind != EntryKind::Folder) {
                    AddFolderAndContentsToAddedItemsArray(
                        services, files, sourceFolder + source.name + "/", results.Added);
                }
            }
        }
    } catch (...) {
        services.reporter.ReportCurrentException(kCompareLabel);
    }
}

void AddFolderAndContentsToDeletedItemsArray(ReportServices& services, IFileOperations& files,
                                             const std::string& sourceFolder,
                                             const std::string& targetFolder,
                                             FolderDiffList& deleted) {
    try {
        deleted.Add(sourceFolder + "..");
        Result<Listing> listing = files.ListFolder(targetFolder, false);
        if (!listing.ok()) {
            return;
        }
        for (const DirEntry& entry : listing.value()) {
            services.host.Pump();
            if (entry.IsFileLike()) {
                deleted.Add(sourceFolder + entry.name);
            } else if (entry.kind == EntryKind::Folder) {
                AddFolderAndContentsToDeletedItemsArray(services, files,
                                                        sourceFolder + entry.name + "/",
                                                        targetFolder + entry.name + "/", deleted);
            }
        }
    } catch (...) {
        services.reporter.ReportCurrentException(kDeletedCollectorLabel);
    }
}

void AddFolderAndContentsToAddedItemsArray(ReportServices& services, IFileOperations& files,
                                           const std::string& sourceFolder, FolderDiffList& added) {
    try {
        added.Add(sourceFolder + "..");
        Result<Listing> listing = files.ListFolder(sourceFolder, false);
        if (!listing.ok()) {
            return;
        }
        for (const DirEntry& entry : listing.value()) {
            services.host.Pump();
            if (entry.IsFileLike()) {
                added.Add(sourceFolder + entry.name);
            } else if (entry.kind == EntryKind::Folder) {
                AddFolderAndContentsToAddedItemsArray(services, files,
                                                      sourceFolder + entry.name + "/", added);
            }
        }
    } catch (...) {
        services.reporter.ReportCurrentException(kAddedCollectorLabel);
    }
}

std::string HTMLReportGraphicCode(ErrorReporter& reporter, const std::string& item,
                                  const std::string& filePicture, const std::string& folderPicture,
                                  const std::string& note) {
    try {
        const bool isFolder = item.ends_with("..");
        std::string line = "<dd><img SRC=";
        line += Quoted(PictureReference(isFolder ? folderPicture : filePicture));
        line += isFolder ? " HSPACE=5 height=16 width=16>" : " HSPACE=8 height=12 width=10>";
        line += EscapeForPage(item);
        if (!note.empty()) {
            line += " &nbsp;<i><font size=-1>" + EscapeForPage(note) + "</font></i>";
        }
        line += "</dd>";
        return line;
    } catch (...) {
        reporter.ReportCurrentException(kListLineLabel);
        return {};
    }
}

namespace {

// The page written whole at its path, or "" (reported) when it could not be.
std::string WriteHTMLReportOfFolderDiffs(ReportServices& services, const std::string& sourceFolder,
                                         const std::string& targetFolder, bool includeSubFolders,
                                         const std::string& outputPath) {
    std::string pagePath;
    bool placeholderMade = false;
    try {
        if (outputPath.empty()) {
            // The page lists what the user has: in the user's own runtime folder when there
            // is one, and readable by the user alone.
            pagePath = GetTempFileSpec(services.fileSystem, "rpt", "html", PrivateTempFolder());
            if (pagePath.empty()) {
                throw RuntimeError(75, "Path/File access error");
            }
            placeholderMade = true;
        } else {
            pagePath =
                outputPath.starts_with('/') ? outputPath : CurrentWorkingFolder() + outputPath;
        }
        WriteReportPicturesIfMissing(services.fileSystem, services.appPath, services.prompt);

        const std::string source = NormalizeFolderPath(sourceFolder);
        const std::string target = NormalizeFolderPath(targetFolder);
        // As in a clone run: a root given as a link is followed once, and nothing below the
        // roots is reached through a link. Without the held roots there is no report: a
        // folder that went since its check is told as the checks tell it.
        std::string unheld;
        Result<std::unique_ptr<IHeldRoots>> roots =
            services.fileSystem.OpenRoots({source, target}, &unheld);
        if (!roots.ok()) {
            services.prompt.ShowMessage("Create Report",
                                        unheld == source ? "Problems processing the Source folder."
                                                         : "Problems processing the Target folder.",
                                        MessageIcon::Exclamation, MessageButtons::OK);
            if (placeholderMade) {
                (void)services.fileSystem.RemoveProgramFile(pagePath);
            }
            return {};
        }
        FolderDiffResults results;
        results.Rules = roots.value()->NameRules(target);
        CompareFoldersAndFillResultTypeArrays(services, *roots.value(), source, target,
                                              includeSubFolders, results);

        PageFile file(services.fileSystem, pagePath, placeholderMade ? 0600 : 0666);
        WritePage(services, file, source, target, results);
    } catch (...) {
        services.reporter.ReportCurrentException(kPageLabel);
        if (placeholderMade) {
            (void)services.fileSystem.RemoveProgramFile(pagePath);
        }
        return {};
    }
    return pagePath;
}

}  // namespace

std::string CreateHTMLReportOfFolderDiffs(ReportServices& services, const std::string& sourceFolder,
                                          const std::string& targetFolder, bool includeSubFolders,
                                          const std::string& outputPath) {
    const std::string pagePath = WriteHTMLReportOfFolderDiffs(services, sourceFolder, targetFolder,
                                                              includeSubFolders, outputPath);
    if (!pagePath.empty()) {
        ShowHTMLFileInBrowser(pagePath, services.browser, services.prompt, services.reporter);
    }
    return pagePath;
}

bool ShowHTMLFileInBrowser(const std::string& fileSpec, IBrowserHost& browser, IPrompt& prompt,
                           ErrorReporter& reporter) {
    try {
        switch (browser.OpenFile(fileSpec)) {
            case IBrowserHost::OpenResult::Opened:
                return true;
            case IBrowserHost::OpenResult::NoProgram:
                prompt.ShowMessage(kApplicationTitle, "Could not find a browser", kPlainMessage,
                                   MessageButtons::OK);
                [[fallthrough]];
            case IBrowserHost::OpenResult::Failed:
                // The page is there all the same: the user can open it by hand.
                prompt.ShowMessage(kApplicationTitle,
                                   "Web Page not opened\r\n\r\nThe report was saved as\r\n" +
                                       fileSpec +
                                       "\r\nOpen that file with a web browser to read it.",
                                   kPlainMessage, MessageButtons::OK);
                return false;
        }
    } catch (...) {
        reporter.ReportCurrentException(kBrowserLabel);
    }
    return false;
}

std::string ReportFolderDifferences(ReportServices& services, const std::string& sourceFolder,
                                    const std::string& targetFolder, bool includeSubFolders,
                                    const std::string& outputPath, const MountTables& mountTables) {
    std::string pagePath;
    try {
        services.host.SetStatusText(1, "Creating Report...");
        int32_t errorCode = 0;
        if (GetPathStatus(sourceFolder, errorCode, mountTables) != PathOk) {
            services.prompt.ShowMessage("Create Report", "Problems processing the Source folder.",
                                        MessageIcon::Exclamation, MessageButtons::OK);
        } else if (GetPathStatus(targetFolder, errorCode, mountTables) != PathOk) {
            services.prompt.ShowMessage("Create Report", "Problems processing the Target folder.",
                                        MessageIcon::Exclamation, MessageButtons::OK);
        } else {
            pagePath = WriteHTMLReportOfFolderDiffs(services, sourceFolder, targetFolder,
                                                    includeSubFolders, outputPath);
        }
    } catch (...) {
        services.reporter.ReportCurrentException(kCommandLabel);
    }
    // The report is made once the page is written: whatever the browser does next, the status
    // bar must not go on saying that it is being made.
    try {
        services.host.SetStatusText(1, "");
    } catch (...) {
        services.reporter.ReportCurrentException(kCommandLabel);
    }
    if (!pagePath.empty()) {
        ShowHTMLFileInBrowser(pagePath, services.browser, services.prompt, services.reporter);
    }
    return pagePath;
}

}  // namespace duvanto
