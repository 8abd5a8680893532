// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Report.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/TargetNames.h"
#include "platform/FilePrimitives.h"
#include "platform/FileSystemQueries.h"
#include "platform/ProcessPaths.h"
#include "report/ReportPage.h"
#include "report/ReportPictures.h"

namespace duvanto {

namespace {

constexpr char kCompareLabel[] = "modCompare.CompareFoldersAndFillResultTypeArrays";
constexpr char kDeletedCollectorLabel[] = "modCompare.AddFolderAndContentsToDeletedItemsArray";
constexpr char kAddedCollectorLabel[] = "modCompare.AddFolderAndContentsToAddedItemsArray";
constexpr char kPageLabel[] = "modFolderCompare.CreateHTMLReportOfFolderDiffs";
constexpr char kBrowserLabel[] = "modDuvanto.ShowHTMLFileInBrowser";
constexpr char kCommandLabel[] = "frmDuvanto.mnuFileReportFolderDifferences_Click";

constexpr char kApplicationTitle[] = "Duvanto";
// The browser messages carry no icon; the prompt has no icon-less kind, and Information is the
// plainest of those it has.
constexpr MessageIcon kPlainMessage = MessageIcon::Information;

using Listing = std::vector<DirEntry>;

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
