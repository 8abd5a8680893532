// SPDX-License-Identifier: GPL-3.0-or-later
// How the bytes of a copy are made: holes of a sparse file stay holes, a copy inside Btrfs or
// XFS shares its blocks, and every other way falls back to a plain copy of the same bytes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

constexpr off_t kSparseSize = off_t{256} << 20;
constexpr off_t kMiddle = off_t{128} << 20;

// 256 MiB of which only two small pieces are data.
bool MakeSparseFile(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool made = fd >= 0 && ftruncate(fd, kSparseSize) == 0 &&
                pwrite(fd, "middle", 6, kMiddle) == 6 && pwrite(fd, "end", 3, kSparseSize - 3) == 3;
    close(fd);
    return made;
}

int64_t AllocatedBytes(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_blocks) * 512 : -1;
}

std::string BytesAt(const std::string& path, off_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    int fd = open(path.c_str(), O_RDONLY);
    ssize_t n = pread(fd, bytes.data(), count, offset);
    close(fd);
    return n == static_cast<ssize_t>(count) ? bytes : "";
}

void ExpectSparseCopy(const std::string& copy) {
    struct stat st {};
    ASSERT_EQ(stat(copy.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, kSparseSize);
    EXPECT_LT(AllocatedBytes(copy), int64_t{4} << 20) << "the holes were written out";
    EXPECT_EQ(BytesAt(copy, kMiddle, 6), "middle");
    EXPECT_EQ(BytesAt(copy, kSparseSize - 3, 3), "end");
    EXPECT_EQ(BytesAt(copy, kMiddle - 4, 4), std::string(4, '\0'));
}

TEST(CopyDataTest, HolesOfASparseFileStayHoles) {
    TempDir dir;
    fs::create_directories(dir / "S");
    fs::create_directories(dir / "T");
    ASSERT_TRUE(MakeSparseFile(dir / "S/disk.img"));
    if (AllocatedBytes(dir / "S/disk.img") >= kSparseSize) {
        GTEST_SKIP() << "this file system keeps no holes";
    }
    PosixFileSystem fileSystem;
    Result<std::unique_ptr<IHeldRoots>> roots = fileSystem.OpenRoots({dir / "S/", dir / "T/"});
    ASSERT_TRUE(roots.ok());
    ASSERT_TRUE(roots.value()->CopyFile(dir / "S/disk.img", dir / "T/disk.img", {}, {}).ok());
    ExpectSparseCopy(dir / "T/disk.img");
}

TEST(CopyDataTest, HolesStayHolesWhenTheKernelCannotCopyAcross) {
    // From a memory file system to the temporary folder's: copy_file_range refuses, and
    // reading and writing takes over.
    TempDir dir;
    struct stat shm {};
    struct stat tmp {};
    if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const std::string source = "/dev/shm/duvanto-sparse-test-" + std::to_string(getpid()) + "/";
    fs::create_directories(source);
    fs::create_directories(dir / "T");
    ASSERT_TRUE(MakeSparseFile(source + "disk.img"));
    PosixFileSystem fileSystem;
    Result<std::unique_ptr<IHeldRoots>> roots = fileSystem.OpenRoots({source, dir / "T/"});
    Status copied = roots.status();
    if (copied.ok()) {
        copied = roots.value()->CopyFile(source + "disk.img", dir / "T/disk.img", {}, {});
    }
    roots.value().reset();
    fs::remove_all(source);
    ASSERT_TRUE(copied.ok()) << copied.message();
    ExpectSparseCopy(dir / "T/disk.img");
}

// Whether every extent of the file is shared with another file (FIEMAP_EXTENT_SHARED).
bool AllExtentsShared(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    constexpr unsigned kExtents = 64;
    std::string buffer(sizeof(fiemap) + kExtents * sizeof(fiemap_extent), '\0');
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_flags = FIEMAP_FLAG_SYNC;
    map->fm_extent_count = kExtents;
    bool shared = fd >= 0 && ioctl(fd, FS_IOC_FIEMAP, map) == 0 && map->fm_mapped_extents > 0;
    for (unsigned i = 0; shared && i < map->fm_mapped_extents; ++i) {
        shared = (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED) != 0;
    }
    close(fd);
    return shared;
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A small Btrfs or XFS file system in an image file, mounted for the test's length.
class ReflinkVolume {
public:
    explicit ReflinkVolume(const TempDir& dir) : m_mountPoint(dir / "mnt/") {
        fs::create_directories(m_mountPoint);
        const std::string image = dir / "volume.img";
        for (const char* type : {"btrfs", "xfs"}) {
            const std::string mkfs = std::string("mkfs.") + type;
            if (!Run("command -v " + mkfs) || !Run("truncate -s 320M " + image) ||
                !Run(mkfs + " -f -q " + image) ||
                !Run("mount -o loop " + image + " " + m_mountPoint)) {
                continue;
            }
            m_type = type;
            return;
        }
    }
    ~ReflinkVolume() {
        if (!m_type.empty()) {
            umount2(m_mountPoint.c_str(), MNT_DETACH);
        }
    }
    const std::string& Type() const { return m_type; }
    std::string operator/(const std::string& relative) const { return m_mountPoint + relative; }

private:
    std::string m_mountPoint;
    std::string m_type;
};

TEST(CopyDataTest, ACopyInsideBtrfsOrXfsSharesItsBlocks) {
    TempDir dir;
    ReflinkVolume volume(dir);
    if (volume.Type().empty()) {
        GTEST_SKIP() << "no Btrfs or XFS volume can be made here (needs root, mkfs.btrfs or "
                        "mkfs.xfs, and loop devices)";
    }
    std::string bytes(8u << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    }
    WriteFile(volume / "S/big.bin", bytes);
    fs::create_directories(volume / "T");
    PosixFileSystem fileSystem;
    Result<std::unique_ptr<IHeldRoots>> roots =
        fileSystem.OpenRoots({volume / "S/", volume / "T/"});
    ASSERT_TRUE(roots.ok());
    IHeldRoots& held = *roots.value();
    int blocks = 0;
    const ChunkPump countBlocks = [&blocks](uint64_t) {
        ++blocks;
        return true;
    };
    ASSERT_TRUE(held.CopyFile(volume / "S/big.bin", volume / "T/big.bin", {}, countBlocks).ok())
        << volume.Type();
    EXPECT_EQ(ReadFile(volume / "T/big.bin"), bytes);
    EXPECT_TRUE(AllExtentsShared(volume / "T/big.bin")) << volume.Type();
    // One step for the whole file, not a block at a time.
    EXPECT_EQ(blocks, 0) << volume.Type();
    // A sparse file too: its holes are no extents to share.
    ASSERT_TRUE(MakeSparseFile(volume / "S/disk.img"));
    ASSERT_TRUE(held.CopyFile(volume / "S/disk.img", volume / "T/disk.img", {}, {}).ok());
    ExpectSparseCopy(volume / "T/disk.img");
}

}  // namespace
}  // namespace duvanto::test
