#pragma once
// File primitives over whole files: content comparison, CRC-32, secure delete and the copy
// that keeps the Source's times. Each returns its failure as a value (errno and text).
// Large files are read in blocks and the pump is called between blocks so that a front end
// stays responsive and can see a cancel request.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace duvanto {

using ChunkPump = std::function<void()>;

// Block size for reading whole files: large enough to stream at disk speed, small enough never
// to hold a large file in memory.
inline constexpr std::size_t kFileBlockSize = 1 << 20;

// true when both files hold the same bytes. Neither path is followed if it is a symbolic link,
// and a path that is not a regular file is a failure (nothing blocks on a FIFO).
Result<bool> CompareFileContents(const std::string& pathA, const std::string& pathB,
                                 const ChunkPump& pump = {});

// The standard CRC-32 (as zlib computes it) of a regular file, streamed.
Result<uint32_t> FileCrc32(const std::string& path, const ChunkPump& pump = {});

// Overwrites the file's bytes, syncs them and unlinks it. A symbolic link is removed as a link
// and a file with another hard link is only unlinked: its bytes belong to that other name too.
Status SecureDeleteFile(const std::string& path);

struct CopyOptions {
    bool keepAccessTime = false;  // also carry the Source's access time over
};

// Copies a regular file so that the copy has the Source's bytes, mode bits and modification
// time: the bytes go into a temporary file beside the Target (named with
// kCopyTempPrefix), which is then renamed over the Target. A failure at any step removes the
// temporary file and leaves an existing Target as it was.
Status CopyFileKeepingTimes(const std::string& sourcePath, const std::string& targetPath,
                            const CopyOptions& options = {}, const ChunkPump& pump = {});

// Descriptor-level pieces of the above, shared with the file system layer.
// Copies from the descriptors' current offsets to the end of the source.
Status CopyFileBytes(int sourceFd, int targetFd, const ChunkPump& pump);
// Overwrites an open regular file with zeros and syncs it, unless another hard link shares
// its bytes (then it leaves them alone).
Status OverwriteFileBytes(int fd);

// Temporary files of our copies begin with this, so that a later run can find the strays of an
// interrupted one.
inline constexpr std::string_view kCopyTempPrefix = ".duvanto-copy-";

// A folder path in the form callers join names to: ending in "/".
std::string NormalizeFolderPath(std::string_view path);

// The order of the ascending string sort: byte by byte, unsigned, shorter first on a tie.
// Negative, 0 or positive.
int CompareStringsOrdinal(std::string_view a, std::string_view b);

}  // namespace duvanto
