// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File primitives over whole files: content comparison, CRC-32, secure delete and the copy
// that keeps the Source's times. Each returns its failure as a value (errno and text).
// Large files are read in blocks and the pump is called between blocks so that a front end
// stays responsive and can stop the work there.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace duvanto {

// Called between blocks with the bytes of the file handled so far (copied, read or compared);
// false stops the work, which then fails with ECANCELED and leaves nothing half done behind.
using ChunkPump = std::function<bool(uint64_t bytesDone)>;

// Block size for reading whole files: large enough to stream at disk speed, small enough never
// to hold a large file in memory.
inline constexpr std::size_t kFileBlockSize = 1 << 20;

// true when the two files, open for reading at their start, hold the same bytes. When they
// differ in bytes they both hold, firstDifference (when given) receives the offset of the
// first such byte; files of unequal sizes are told apart without reading and leave it alone.
// Opening them (never through a link, never a FIFO) is the file system's part.
Result<bool> CompareFileContents(int fdA, int fdB, const ChunkPump& pump = {},
                                 uint64_t* firstDifference = nullptr);

// The standard CRC-32 (as zlib computes it) of a file open for reading, streamed from its
// current position.
Result<uint32_t> FileCrc32(int fd, const ChunkPump& pump = {});

struct CopyOptions {
    bool keepAccessTime = false;  // also carry the Source's access time over
};

// The source devices from which cloning (FICLONE) was refused during a run, so that a run of
// many files asks the file system once rather than once per file.
class ReflinkMemory {
public:
    bool Refused(dev_t sourceDevice) const;
    void Remember(dev_t sourceDevice);
    void Forget() { m_refused.clear(); }

private:
    std::vector<dev_t> m_refused;
};

// Makes the empty file targetFd hold the bytes of sourceFd (whose status is sourceInfo). It
// first asks the file system to share the source's blocks (FICLONE: no data is written on
// Btrfs or XFS), then copies in the kernel (copy_file_range), then reads and writes; holes of
// a sparse source stay holes. memory may be nullptr.
Status CopyFileData(int sourceFd, int targetFd, const struct stat& sourceInfo,
                    const ChunkPump& pump, ReflinkMemory* memory);
// Overwrites an open regular file with zeros and syncs it, unless another hard link shares
// its bytes (then it leaves them alone).
Status OverwriteFileBytes(int fd);

// Our temporary files: a fixed prefix, 16 random lower-case hex digits and ".tmp", nothing
// else. A later run removes strays of exactly this form (left by a crash) and never clones a
// Source file of this form; any other name, however it begins, is the user's.
inline constexpr std::string_view kCopyTempPrefix = ".duvanto-copy-";  // every copy's
inline constexpr std::string_view kSafeCopyTempPrefix = "dv_";         // Safe Copy's own
inline constexpr std::string_view kTempExtension = "tmp";
inline constexpr std::size_t kTempRandomDigits = 16;

// kCopyTempPrefix + random digits + ".tmp".
std::string NewCopyTempName();
// prefix + random digits + "." + extension.
std::string NewTempName(std::string_view prefix, std::string_view extension);
bool IsOwnTemporaryName(std::string_view name);

// A folder path in the form callers join names to: ending in "/".
std::string NormalizeFolderPath(std::string_view path);

// The order of the ascending string sort: byte by byte, unsigned, shorter first on a tie.
// Negative, 0 or positive.
int CompareStringsOrdinal(std::string_view a, std::string_view b);

}  // namespace duvanto
