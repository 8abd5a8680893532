// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FilePrimitives.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/PosixFile.h"

namespace duvanto {

namespace {

std::unique_ptr<char[]> NewBlock() {
    return std::make_unique<char[]>(kFileBlockSize);
}

bool GoOn(const ChunkPump& pump, uint64_t bytesDone) {
    return !pump || pump(bytesDone);
}

Status Cancelled() {
    return Status::FromErrno(ECANCELED);
}

// Copies the bytes from `from` up to `to` (to the end of the source when `to` is negative),
// at the same offsets in the target. useKernel says whether copy_file_range still serves; it
// turns false where it cannot (another file system, an old kernel, a file system without
// support) and the rest goes the plain way.
Status CopyRange(int source, int target, off_t from, off_t to, const ChunkPump& pump,
                 bool& useKernel) {
    off_t in = from;
    off_t out = from;
    std::unique_ptr<char[]> block;
    for (;;) {
        std::size_t want = kFileBlockSize;
        if (to >= 0) {
            if (in >= to) {
                return Status::Ok();
            }
            want = static_cast<std::size_t>(std::min<off_t>(to - in, kFileBlockSize));
        }
        ssize_t count;
        if (useKernel) {
            count = ::copy_file_range(source, &in, target, &out, want, 0);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                    useKernel = false;
                    continue;
                }
                return Status::FromErrno(errno);
            }
        } else {
            if (!block) {
                block = NewBlock();
            }
            count = ::pread(source, block.get(), want, in);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Status::FromErrno(errno);
            }
            for (ssize_t done = 0; done < count;) {
                ssize_t written = ::pwrite(target, block.get() + done,
                                           static_cast<std::size_t>(count - done), out + done);
                if (written < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    return Status::FromErrno(errno);
                }
                done += written;
            }
            in += count;
            out += count;
        }
        if (count == 0) {
            return Status::Ok();
        }
        // Only a full block says that more may follow; a copy that is done is not undone.
        if (static_cast<std::size_t>(count) == want && !GoOn(pump, static_cast<uint64_t>(in))) {
            return Cancelled();
        }
    }
}

// Copies only the data regions of the source, so that its holes stay holes in the target.
Status CopySparse(int source, int target, off_t size, const ChunkPump& pump, bool& useKernel) {
    for (off_t at = 0; at < size;) {
        const off_t data = ::lseek(source, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break;  // nothing but a hole is left
            }
            // A file system that cannot tell holes: copy the rest as it reads.
            return CopyRange(source, target, at, -1, pump, useKernel);
        }
        off_t hole = ::lseek(source, data, SEEK_HOLE);
        if (hole < 0 || hole > size) {
            hole = size;
        }
        if (Status copied = CopyRange(source, target, data, hole, pump, useKernel); !copied.ok()) {
            return copied;
        }
        at = hole;
    }
    // The holes at the end take no blocks: the length alone makes them.
    return ::ftruncate(target, size) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

bool LowerHexDigits(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

bool HasTempForm(std::string_view name, std::string_view prefix) {
    const std::size_t length = prefix.size() + kTempRandomDigits + 1 + kTempExtension.size();
    return name.size() == length && name.starts_with(prefix) &&
           LowerHexDigits(name.substr(prefix.size(), kTempRandomDigits)) &&
           name[prefix.size() + kTempRandomDigits] == '.' && name.ends_with(kTempExtension);
}

}  // namespace

bool ReflinkMemory::Refused(dev_t sourceDevice) const {
    return std::find(m_refused.begin(), m_refused.end(), sourceDevice) != m_refused.end();
}

void ReflinkMemory::Remember(dev_t sourceDevice) {
    if (!Refused(sourceDevice)) {
        m_refused.push_back(sourceDevice);
    }
}

Status CopyFileData(int source, int target, const struct stat& info, const ChunkPump& pump,
                    ReflinkMemory* memory) {
    if (info.st_size > 0 && (memory == nullptr || !memory->Refused(info.st_dev))) {
        if (::ioctl(target, FICLONE, source) == 0) {
            return Status::Ok();
        }
        // These say that the two file systems cannot share blocks at all; anything else may
        // concern this one file (a Btrfs file without checksums, say), so the next file asks
        // again.
        if (memory != nullptr &&
            (errno == EOPNOTSUPP || errno == ENOTTY || errno == EXDEV || errno == ENOSYS)) {
            memory->Remember(info.st_dev);
        }
    }
    bool useKernel = true;
    // Fewer blocks than the length needs: the file has holes worth keeping.
    if (static_cast<off_t>(info.st_blocks) * 512 < info.st_size) {
        return CopySparse(source, target, info.st_size, pump, useKernel);
    }
    return CopyRange(source, target, 0, -1, pump, useKernel);
}

std::string NewTempName(std::string_view prefix, std::string_view extension) {
    std::string name(prefix);
    while (name.size() < prefix.size() + kTempRandomDigits) {
        name += RandomHex();
    }
    name.resize(prefix.size() + kTempRandomDigits);
    name += '.';
    name += extension;
    return name;
}

std::string NewCopyTempName() {
    return NewTempName(kCopyTempPrefix, kTempExtension);
}

bool IsOwnTemporaryName(std::string_view name) {
    return HasTempForm(name, kCopyTempPrefix) || HasTempForm(name, kSafeCopyTempPrefix);
}

Result<bool> CompareFileContents(int fdA, int fdB, const ChunkPump& pump,
                                 uint64_t* firstDifference) {
    struct stat infoA {};
    struct stat infoB {};
    if (::fstat(fdA, &infoA) != 0 || ::fstat(fdB, &infoB) != 0) {
        return Status::FromErrno(errno);
    }
    if (infoA.st_size != infoB.st_size) {
        return false;
    }
    std::unique_ptr<char[]> blockA = NewBlock();
    std::unique_ptr<char[]> blockB = NewBlock();
    uint64_t offset = 0;
    for (;;) {
        long countA = ReadFully(fdA, blockA.get(), kFileBlockSize);
        if (countA < 0) {
            return Status::FromErrno(errno);
        }
        long countB = ReadFully(fdB, blockB.get(), kFileBlockSize);
        if (countB < 0) {
            return Status::FromErrno(errno);
        }
        // Unequal counts mean one file changed length while being read: not the same bytes.
        const std::size_t common = static_cast<std::size_t>(std::min(countA, countB));
        if (countA != countB || std::memcmp(blockA.get(), blockB.get(), common) != 0) {
            if (firstDifference != nullptr) {
                // Found only once the blocks differ: the usual equal case pays nothing.
                *firstDifference =
                    offset +
                    static_cast<uint64_t>(
                        std::mismatch(blockA.get(), blockA.get() + common, blockB.get()).first -
                        blockA.get());
            }
            return false;
        }
        offset += common;
        if (countA == 0) {
            return true;
        }
        if (static_cast<std::size_t>(countA) == kFileBlockSize && !GoOn(pump, offset)) {
            return Cancelled();
        }
    }
}

Result<uint32_t> FileCrc32(int fd, const ChunkPump& pump) {
    std::unique_ptr<char[]> block = NewBlock();
    uint32_t crc = 0;
    uint64_t read = 0;
    for (;;) {
        long count = ReadFully(fd, block.get(), kFileBlockSize);
        if (count < 0) {
            return Status::FromErrno(errno);
        }
        if (count == 0) {
            return crc;
        }
        crc = libdeflate_crc32(crc, block.get(), static_cast<std::size_t>(count));
        read += static_cast<uint64_t>(count);
        if (static_cast<std::size_t>(count) == kFileBlockSize && !GoOn(pump, read)) {
            return Cancelled();
        }
    }
}

Status OverwriteFileBytes(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Status::FromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return NotRegularFile();
    }
    if (info.st_nlink > 1) {
        return Status::Ok();  // the bytes belong to the other name as well
    }
    std::unique_ptr<char[]> zeros = std::make_unique<char[]>(kFileBlockSize);
    for (off_t remaining = info.st_size; remaining > 0;) {
        std::size_t count = static_cast<std::size_t>(std::min<off_t>(remaining, kFileBlockSize));
        if (Status written = WriteFully(fd, zeros.get(), count); !written.ok()) {
            return written;
        }
        remaining -= static_cast<off_t>(count);
    }
    return ::fsync(fd) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

std::string NormalizeFolderPath(std::string_view path) {
    // "" stays "": turning it into "/" would point a caller at the root.
    std::string folder(path);
    if (!folder.empty() && !folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

int CompareStringsOrdinal(std::string_view a, std::string_view b) {
    // char_traits<char> compares as unsigned char, so bytes above 127 sort after ASCII.
    int order = a.compare(b);
    return (order > 0) - (order < 0);
}

}  // namespace duvanto
