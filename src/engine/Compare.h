// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tests that decide whether a Source file and its Target
// counterpart are the same.

#include <cstdint>
#include <string>

#include "engine/CloneSettings.h"
#include "engine/FileOp.h"
#include "platform/FileSystem.h"

namespace duvanto {

class cCloneLog;
class ErrorReporter;

// A minus B (100-ns units) in whole seconds, rounded half to even.
int64_t FileTimeDiffSeconds(int64_t a, int64_t b);

// The difference, or 0 when the switches tolerate it (1–2 s for the two-second switch, exactly
// 3600 s for the daylight-saving one, 1, 2 and 3598–3602 s with both).
int64_t FAT_NTFS_TimeDiffAllowance(int64_t difference, bool twoSec, bool dst);

// -1 Source older, 0 same, 1 Source newer. With both switches off any difference counts.
int CompareFilesUsingTimestamp(const DirEntry& source, const DirEntry& target, bool twoSec,
                               bool dst);
bool AreFilesSameUsingTimestamp(const DirEntry& source, const DirEntry& target, bool twoSec,
                                bool dst);
bool AreFilesSameUsingSize(const DirEntry& source, const DirEntry& target);

// Whether "copy only if newer" keeps a Target entry found different for `why`: the Source is not
// newer (timeOrder as CompareFilesUsingTimestamp gives it), and the entry is no file of the
// Source's time and another size, a copy cut short that no option keeps.
bool CopyOnlyIfNewerKeeps(int timeOrder, OpReason why);

// The content tests read both files (folder + name). A failure sets errorFlag, writes one
// ContentCompareError / CRCCompareError entry and counts as "different". Files found different
// tell where (the offset of the first differing byte) or how (Source CRC-32 << 32 | Target
// CRC-32) through `detail` when it is given.
struct ContentTestContext {
    IFileOperations& fileSystem;
    cCloneLog& log;
    ChunkPump pump;
};
bool AreFilesSameUsingContents(ContentTestContext& context, const std::string& sourceFolder,
                               const std::string& targetFolder, const std::string& fileName,
                               bool& errorFlag, uint64_t* detail = nullptr);
bool AreFilesSameUsingCRC32(ContentTestContext& context, const std::string& sourceFolder,
                            const std::string& targetFolder, const std::string& fileName,
                            bool& errorFlag, uint64_t* detail = nullptr);

}  // namespace duvanto
