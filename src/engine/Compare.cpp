// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Compare.h"

#include <cerrno>
#include <cstdlib>

#include "log/CloneLog.h"

namespace duvanto {

int64_t FileTimeDiffSeconds(int64_t a, int64_t b) {
    constexpr int64_t kUnitsPerSecond = 10'000'000;
    // Integer arithmetic keeps the half-way cases exact, which a division in floating point
    // would not for large times.
    int64_t difference = a - b;
    int64_t seconds = difference / kUnitsPerSecond;
    int64_t remainder = difference % kUnitsPerSecond;  // same sign as difference
    int64_t twiceRemainder = 2 * std::llabs(remainder);
    if (twiceRemainder > kUnitsPerSecond ||
        (twiceRemainder == kUnitsPerSecond && (seconds % 2) != 0)) {
        seconds += difference < 0 ? -1 : 1;
    }
    return seconds;
}

int64_t FAT_NTFS_TimeDiffAllowance(int64_t difference, bool twoSec, bool dst) {
    int64_t a = std::llabs(difference);
    bool tolerated = false;
    if (twoSec && dst) {
        tolerated = a == 1 || a == 2 || (a >= 3598 && a <= 3602);
    } else if (twoSec) {
        tolerated = a == 1 || a == 2;
    } else if (dst) {
        tolerated = a == 3600;
    }
    return tolerated ? 0 : difference;
}

int CompareFilesUsingTimestamp(const DirEntry& source, const DirEntry& target, bool twoSec,
                               bool dst) {
    if (!twoSec && !dst) {
        return source.modified < target.modified ? -1 : (source.modified > target.modified);
    }
    // Both times would get the same local offset, so the UTC difference is the local one.
    int64_t d = FileTimeDiffSeconds(source.modified, target.modified);
    if (d != 0) {
        d = FAT_NTFS_TimeDiffAllowance(d, twoSec, dst);
    }
    return d == 0 ? 0 : (d > 0 ? 1 : -1);
}

bool AreFilesSameUsingTimestamp(const DirEntry& source, const DirEntry& target, bool twoSec,
                                bool dst) {
    return CompareFilesUsingTimestamp(source, target, twoSec, dst) == 0;
}

bool AreFilesSameUsingSize(const DirEntry& source, const DirEntry& target) {
    return source.size == target.size;
}

bool CopyOnlyIfNewerKeeps(int timeOrder, OpReason why) {
    return timeOrder < 0 || (timeOrder == 0 && why != OpReason::SizeDiffers);
}

bool AreFilesSameUsingContents(ContentTestContext& context, const std::string& sourceFolder,
                               const std::string& targetFolder, const std::string& fileName,
                               bool& errorFlag, uint64_t* detail) {
    Result<bool> same = context.fileSystem.CompareContents(
        sourceFolder + fileName, targetFolder + fileName, context.pump, detail);
    if (same.ok()) {
        return same.value();
    }
    errorFlag = true;
    if (same.status().IsCancelled()) {
        return false;  // the cancellation has its own entry
    }
    context.log.Add({.Type = ContentCompareError,
                     .FileName = fileName,
                     .SourceFolder = sourceFolder,
                     .TargetFolder = targetFolder,
                     .ErrorNumber = same.status().code(),
                     .ErrorDescription = same.status().message()});
    return false;
}

bool AreFilesSameUsingCRC32(ContentTestContext& context, const std::string& sourceFolder,
                            const std::string& targetFolder, const std::string& fileName,
                            bool& errorFlag, uint64_t* detail) {
    uint32_t crcs[2] = {0, 0};
    const std::string* folders[2] = {&sourceFolder, &targetFolder};
    for (int side = 0; side < 2; ++side) {
        Result<uint32_t> crc = context.fileSystem.Crc32(*folders[side] + fileName, context.pump);
        if (!crc.ok()) {
            errorFlag = true;
            if (crc.status().IsCancelled()) {
                return false;  // the cancellation has its own entry
            }
            context.log.Add({.Type = CRCCompareError,
                             .FileName = fileName,
                             .SourceFolder = sourceFolder,
                             .TargetFolder = targetFolder,
                             .ErrorNumber = crc.status().code(),
                             .ErrorDescription = crc.status().message()});
            return false;
        }
        crcs[side] = crc.value();
    }
    if (detail != nullptr) {
        *detail = uint64_t{crcs[0]} << 32 | crcs[1];
    }
    return crcs[0] == crcs[1];
}

}  // namespace duvanto
