// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One planned operation of a run. The engine plans a list of them, hands the list to the host
// for confirmation, and performs it.

#include <cstdint>
#include <string>

namespace duvanto {

// RenameEntry gives a Target file or folder the letter case of its Source name; RefuseName
// stands for a Source entry the Target cannot hold, which performing logs as an error.
enum FileOpType : int32_t {
    CopyFile = 0,
    DeleteFile = 1,
    CreateFolder = 2,
    DeleteFolder = 3,
    RenameEntry = 4,
    RefuseName = 5,
};

// Why the walk planned an operation. Kept as a number beside the figures it needs, so that a
// plan costs no text until someone asks for the reason (OpReasonText).
enum class OpReason : uint8_t {
    NewInSource,      // the Target has no such entry
    SourceNewer,      // times differ, the Source's is later
    TargetNewer,      // times differ, the Target's is later ("copy only if newer" is off)
    SizeDiffers,      // sizes differ
    ContentsDiffer,   // same size; Detail: the offset of the first differing byte
    CrcDiffers,       // Detail: Source CRC-32 << 32 | Target CRC-32
    CompareFailed,    // the contents could not be read to compare them: copied to be safe
    LinkTextDiffers,  // two links pointing at different texts
    KindDiffers,      // a file on one side, a link or special file on the other
    Orphan,           // not in the Source
    FolderMissing,    // a Source folder without its Target folder
    FolderInTarget,   // the Source holds a file where the Target holds a folder
    FolderInSource,   // the Target holds a file where the Source holds a folder
    StrayTempFile,    // a temporary file an interrupted run of ours left behind
    CaseOnlyRename,   // the Target's name differs from the Source's in letter case alone
    CaseCollision,    // the Target folds case, and OtherName takes the one Target name
    NameCharacters,   // the Target's file system refuses a character of the name
    NameTrailing,     // ... a name ending in a dot or a blank
    NameDevice,       // ... a Windows device name
    NameTooLong,      // ... a name this long; Detail: the longest it holds
    NameEncoding,     // ... a name that is no UTF-8 text, where names are kept in UTF-16
};

// What the walk read of an entry an operation acts on, so that a saved plan can tell whether
// the entry changed before the plan is carried out.
enum class StampKind : uint8_t { NotRead, Absent, File, Link, Folder, Special };

struct FileOp {
    std::string FileName;
    std::string SourceFolder;  // copies; for CreateFolder the Source folder it copies
    std::string TargetFolder;  // for folder operations, the folder itself; for a rename and a
                               // refusal, the folder holding the entry
    int32_t Operation = CopyFile;
    // A copy's size as the walk saw it in the Source, for the progress of a run; with
    // SourceTime the identity of the Source entry.
    uint64_t Bytes = 0;
    // A copy whose name is a Target folder planned for removal: it waits until the folder
    // removals are done.
    bool AfterFolderRemoval = false;

    OpReason Reason = OpReason::NewInSource;
    StampKind SourceKind = StampKind::NotRead;
    StampKind TargetKind = StampKind::NotRead;
    int64_t SourceTime = 0;  // 100-ns units since the Unix epoch, as DirEntry::modified
    int64_t TargetTime = 0;
    uint64_t TargetSize = 0;
    uint64_t Detail = 0;  // see OpReason
    // A rename's new name (the Source's); for a refused name that folds like another, the name
    // copied in its place.
    std::string OtherName = {};

    // The full paths are folder + name, made when asked: a plan of a hundred thousand files
    // would otherwise hold every path twice.
    std::string SourceFileSpec() const {
        return Operation == CopyFile ? SourceFolder + FileName : std::string();
    }
    // Whether a rename or refusal concerns a folder.
    bool OfFolder() const {
        return (Operation == RenameEntry && TargetKind == StampKind::Folder) ||
               (Operation == RefuseName && SourceKind == StampKind::Folder);
    }
    std::string TargetFileSpec() const {
        return Operation == CopyFile || Operation == DeleteFile ? TargetFolder + FileName
                                                                : std::string();
    }
};

}  // namespace duvanto
