#include "platform/FilePrimitives.h"

#include <fcntl.h>
#include <libdeflate.h>
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

void Pump(const ChunkPump& pump) {
    if (pump) {
        pump();
    }
}

// Copies what copy_file_range cannot (another file system, an old kernel, a file system
// without support) the plain way, from the descriptors' current offsets.
Status CopyByReadWrite(int source, int target, const ChunkPump& pump) {
    std::unique_ptr<char[]> block = NewBlock();
    for (;;) {
        long count = ReadFully(source, block.get(), kFileBlockSize);
        if (count < 0) {
            return Status::FromErrno(errno);
        }
        if (count == 0) {
            return Status::Ok();
        }
        if (Status written = WriteFully(target, block.get(), static_cast<std::size_t>(count));
            !written.ok()) {
            return written;
        }
        Pump(pump);
    }
}

}  // namespace

Status CopyFileBytes(int source, int target, const ChunkPump& pump) {
    for (;;) {
        ssize_t count = ::copy_file_range(source, nullptr, target, nullptr, kFileBlockSize, 0);
        if (count == 0) {
            return Status::Ok();
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                return CopyByReadWrite(source, target, pump);
            }
            return Status::FromErrno(errno);
        }
        Pump(pump);
    }
}

Result<bool> CompareFileContents(const std::string& pathA, const std::string& pathB,
                                 const ChunkPump& pump) {
    Result<UniqueFd> fileA = OpenRegularFileForReading(pathA);
    if (!fileA.ok()) {
        return fileA.status();
    }
    Result<UniqueFd> fileB = OpenRegularFileForReading(pathB);
    if (!fileB.ok()) {
        return fileB.status();
    }
    struct stat infoA {};
    struct stat infoB {};
    if (::fstat(fileA.value().get(), &infoA) != 0 || ::fstat(fileB.value().get(), &infoB) != 0) {
        return Status::FromErrno(errno);
    }
    if (infoA.st_size != infoB.st_size) {
        return false;
    }
    std::unique_ptr<char[]> blockA = NewBlock();
    std::unique_ptr<char[]> blockB = NewBlock();
    for (;;) {
        long countA = ReadFully(fileA.value().get(), blockA.get(), kFileBlockSize);
        if (countA < 0) {
            return Status::FromErrno(errno);
        }
        long countB = ReadFully(fileB.value().get(), blockB.get(), kFileBlockSize);
        if (countB < 0) {
            return Status::FromErrno(errno);
        }
        // Unequal counts mean one file changed length while being read: not the same bytes.
        if (countA != countB ||
            std::memcmp(blockA.get(), blockB.get(), static_cast<std::size_t>(countA)) != 0) {
            return false;
        }
        if (countA == 0) {
            return true;
        }
        Pump(pump);
    }
}

Result<uint32_t> FileCrc32(const std::string& path, const ChunkPump& pump) {
    Result<UniqueFd> file = OpenRegularFileForReading(path);
    if (!file.ok()) {
        return file.status();
    }
    std::unique_ptr<char[]> block = NewBlock();
    uint32_t crc = 0;
    for (;;) {
        long count = ReadFully(file.value().get(), block.get(), kFileBlockSize);
        if (count < 0) {
            return Status::FromErrno(errno);
        }
        if (count == 0) {
            return crc;
        }
        crc = libdeflate_crc32(crc, block.get(), static_cast<std::size_t>(count));
        Pump(pump);
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

Status SecureDeleteFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return Status::FromErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Status::FromErrno(EISDIR);
    }
    if (S_ISREG(info.st_mode)) {
        // Checked again on the open descriptor: the name may have been swapped since lstat.
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid()) {
            return Status::FromErrno(errno);
        }
        if (::fstat(fd.get(), &info) != 0) {
            return Status::FromErrno(errno);
        }
        if (!S_ISREG(info.st_mode)) {
            return NotRegularFile();
        }
        if (Status wiped = OverwriteFileBytes(fd.get()); !wiped.ok()) {
            return wiped;
        }
        if (Status closed = fd.Close(); !closed.ok()) {
            return closed;
        }
    }
    // Links, FIFOs, sockets and device nodes hold no bytes of their own: only the name goes.
    return ::unlink(path.c_str()) == 0 ? Status::Ok() : Status::FromErrno(errno);
}

Status CopyFileKeepingTimes(const std::string& sourcePath, const std::string& targetPath,
                            const CopyOptions& options, const ChunkPump& pump) {
    Result<UniqueFd> source = OpenRegularFileForReading(sourcePath);
    if (!source.ok()) {
        return source.status();
    }
    struct stat info {};
    if (::fstat(source.value().get(), &info) != 0) {
        return Status::FromErrno(errno);
    }
    std::string tempPath;
    Result<UniqueFd> temp =
        CreateExclusiveFile(ContainingFolder(targetPath), kCopyTempPrefix, "", 0600, tempPath);
    if (!temp.ok()) {
        return temp.status();
    }
    int tempFd = temp.value().get();
    Status status = CopyFileBytes(source.value().get(), tempFd, pump);
    if (status.ok() && ::fchmod(tempFd, info.st_mode & 07777) != 0) {
        status = Status::FromErrno(errno);
    }
    if (status.ok()) {
        timespec times[2];
        times[0] = info.st_atim;
        if (!options.keepAccessTime) {
            times[0].tv_nsec = UTIME_NOW;
        }
        times[1] = info.st_mtim;
        if (::futimens(tempFd, times) != 0) {
            status = Status::FromErrno(errno);
        }
    }
    Status closed = temp.value().Close();
    if (status.ok()) {
        status = closed;
    }
    if (status.ok() && ::rename(tempPath.c_str(), targetPath.c_str()) != 0) {
        status = Status::FromErrno(errno);
    }
    if (!status.ok()) {
        ::unlink(tempPath.c_str());
    }
    return status;
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
