#include "platform/FilePrimitives.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/TestSupport.h"

namespace duvanto {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Bytes that differ from block to block, so a block read from the wrong offset shows.
std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
    }
    return bytes;
}

constexpr std::size_t kMultiBlockSize = 3 * kFileBlockSize + 17;

std::size_t EntriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info;
}

TEST(CompareFileContentsTest, DecidesByBytes) {
    TempDir dir;
    WriteFile(dir / "a", "same bytes");
    WriteFile(dir / "b", "same bytes");
    WriteFile(dir / "c", "same bytez");
    WriteFile(dir / "d", "same bytes and more");
    WriteFile(dir / "e", "");
    WriteFile(dir / "f", "");

    EXPECT_TRUE(CompareFileContents(dir / "a", dir / "b").value());
    EXPECT_FALSE(CompareFileContents(dir / "a", dir / "c").value());
    EXPECT_FALSE(CompareFileContents(dir / "a", dir / "d").value());
    EXPECT_TRUE(CompareFileContents(dir / "e", dir / "f").value());
    EXPECT_FALSE(CompareFileContents(dir / "e", dir / "a").value());
}

TEST(CompareFileContentsTest, ReadsLargeFilesBlockByBlock) {
    TempDir dir;
    std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(dir / "a", bytes);
    WriteFile(dir / "b", bytes);
    bytes[kMultiBlockSize - 1] ^= 1;  // only the last, partial block differs
    WriteFile(dir / "c", bytes);

    int pumps = 0;
    Result<bool> same = CompareFileContents(dir / "a", dir / "b", [&] {
        ++pumps;
        return true;
    });
    ASSERT_TRUE(same.ok());
    EXPECT_TRUE(same.value());
    EXPECT_GE(pumps, 3);
    EXPECT_FALSE(CompareFileContents(dir / "a", dir / "c").value());
}

TEST(CompareFileContentsTest, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    WriteFile(dir / "a", "x");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "a").c_str(), (dir / "link").c_str()), 0);

    Result<bool> missing = CompareFileContents(dir / "a", dir / "missing");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status().code(), ENOENT);
    // A FIFO without a writer would block a plain open or read forever.
    EXPECT_FALSE(CompareFileContents(dir / "fifo", dir / "a").ok());
    EXPECT_FALSE(CompareFileContents(dir / "a", dir / "fifo").ok());
    EXPECT_FALSE(CompareFileContents(dir / "link", dir / "a").ok());
    EXPECT_FALSE(CompareFileContents(dir.Path(), dir / "a").ok());
}

TEST(FileCrc32Test, MatchesTheStandardCrc) {
    TempDir dir;
    WriteFile(dir / "check", "123456789");
    WriteFile(dir / "empty", "");
    EXPECT_EQ(FileCrc32(dir / "check").value(), 0xCBF43926u);
    EXPECT_EQ(FileCrc32(dir / "empty").value(), 0u);
}

TEST(FileCrc32Test, StreamsAcrossBlocks) {
    TempDir dir;
    const std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(dir / "large", bytes);
    int pumps = 0;
    Result<uint32_t> crc = FileCrc32(dir / "large", [&] {
        ++pumps;
        return true;
    });
    ASSERT_TRUE(crc.ok());
    EXPECT_EQ(crc.value(), libdeflate_crc32(0, bytes.data(), bytes.size()));
    EXPECT_GE(pumps, 3);
}

TEST(FileCrc32Test, RefusesMissingAndSpecialFiles) {
    TempDir dir;
    WriteFile(dir / "a", "x");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "a").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(FileCrc32(dir / "missing").status().code(), ENOENT);
    EXPECT_FALSE(FileCrc32(dir / "fifo").ok());
    EXPECT_FALSE(FileCrc32(dir / "link").ok());
}

TEST(SecureDeleteFileTest, OverwritesTheBytesBeforeUnlinking) {
    TempDir dir;
    const std::string secret = PatternBytes(kFileBlockSize + 100);
    WriteFile(dir / "secret", secret);
    // The open descriptor keeps the inode alive, so the bytes can be read after the unlink.
    int fd = open((dir / "secret").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);

    ASSERT_TRUE(SecureDeleteFile(dir / "secret").ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "secret"));
    std::string after(secret.size() + 10, 'x');
    ssize_t count = pread(fd, after.data(), after.size(), 0);
    close(fd);
    ASSERT_EQ(count, static_cast<ssize_t>(secret.size()));
    after.resize(secret.size());
    EXPECT_EQ(after, std::string(secret.size(), '\0'));
}

TEST(SecureDeleteFileTest, LeavesBytesThatBelongToAnotherName) {
    TempDir dir;
    WriteFile(dir / "target", "kept");
    ASSERT_EQ(link((dir / "target").c_str(), (dir / "hardlink").c_str()), 0);
    ASSERT_EQ(symlink((dir / "target").c_str(), (dir / "symlink").c_str()), 0);

    ASSERT_TRUE(SecureDeleteFile(dir / "symlink").ok());
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "symlink"));
    EXPECT_EQ(ReadFile(dir / "target"), "kept");

    ASSERT_TRUE(SecureDeleteFile(dir / "hardlink").ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "hardlink"));
    EXPECT_EQ(ReadFile(dir / "target"), "kept");
}

TEST(SecureDeleteFileTest, FailsOnMissingPathsAndFolders) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    EXPECT_EQ(SecureDeleteFile(dir / "missing").code(), ENOENT);
    EXPECT_EQ(SecureDeleteFile(dir / "folder").code(), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
}

TEST(CopyFileKeepingTimesTest, CopiesBytesModeAndModificationTime) {
    TempDir dir;
    const std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(dir / "source", bytes);
    ASSERT_EQ(chmod((dir / "source").c_str(), 0640), 0);
    test::SetModificationTime(dir / "source", 1'000'000'000, 123'456'789);

    int pumps = 0;
    ASSERT_TRUE(CopyFileKeepingTimes(dir / "source", dir / "target", {}, [&] {
                    ++pumps;
                    return true;
                }).ok());
    EXPECT_EQ(ReadFile(dir / "target"), bytes);
    EXPECT_GE(pumps, 3);
    struct stat copied = StatOf(dir / "target");
    EXPECT_EQ(copied.st_mode & 07777, 0640u);
    EXPECT_EQ(copied.st_mtim.tv_sec, 1'000'000'000);
    EXPECT_EQ(copied.st_mtim.tv_nsec, 123'456'789);
    // Without keepAccessTime the copy is simply accessed now.
    EXPECT_GT(copied.st_atim.tv_sec, 1'000'000'000);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(CopyFileKeepingTimesTest, KeepsAccessTimeWhenAsked) {
    TempDir dir;
    WriteFile(dir / "source", "bytes");
    timespec times[2] = {{900'000'000, 5}, {1'000'000'000, 7}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "source").c_str(), times, 0), 0);

    ASSERT_TRUE(
        CopyFileKeepingTimes(dir / "source", dir / "target", {.keepAccessTime = true}).ok());
    struct stat copied = StatOf(dir / "target");
    EXPECT_EQ(copied.st_atim.tv_sec, 900'000'000);
    EXPECT_EQ(copied.st_atim.tv_nsec, 5);
    EXPECT_EQ(copied.st_mtim.tv_nsec, 7);
}

TEST(CopyFileKeepingTimesTest, ReplacesTheTargetNameNotItsInode) {
    TempDir dir;
    WriteFile(dir / "source", "new");
    WriteFile(dir / "target", "old content");
    ASSERT_EQ(link((dir / "target").c_str(), (dir / "other").c_str()), 0);
    WriteFile(dir / "elsewhere", "untouched");
    ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "linked").c_str()), 0);

    ASSERT_TRUE(CopyFileKeepingTimes(dir / "source", dir / "target").ok());
    EXPECT_EQ(ReadFile(dir / "target"), "new");
    EXPECT_EQ(ReadFile(dir / "other"), "old content");

    ASSERT_TRUE(CopyFileKeepingTimes(dir / "source", dir / "linked").ok());
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "linked"));
    EXPECT_EQ(ReadFile(dir / "elsewhere"), "untouched");
}

TEST(CopyFileKeepingTimesTest, FailureLeavesTargetAndNoTemporaryFile) {
    TempDir dir;
    WriteFile(dir / "src/real", "x");
    ASSERT_EQ(mkfifo((dir / "src/fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir / "src/real").c_str(), (dir / "src/link").c_str()), 0);
    WriteFile(dir / "dst/target", "old");
    ASSERT_EQ(mkdir((dir / "dst/folder").c_str(), 0700), 0);

    EXPECT_EQ(CopyFileKeepingTimes(dir / "src/missing", dir / "dst/target").code(), ENOENT);
    EXPECT_FALSE(CopyFileKeepingTimes(dir / "src/fifo", dir / "dst/target").ok());
    EXPECT_FALSE(CopyFileKeepingTimes(dir / "src/link", dir / "dst/target").ok());
    // The rename is the step that fails here, after the bytes were written.
    EXPECT_FALSE(CopyFileKeepingTimes(dir / "src/real", dir / "dst/folder").ok());
    EXPECT_EQ(CopyFileKeepingTimes(dir / "src/real", dir / "gone/target").code(), ENOENT);

    EXPECT_EQ(ReadFile(dir / "dst/target"), "old");
    EXPECT_EQ(EntriesIn(dir / "dst"), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "dst/folder"));
}

TEST(CopyFileKeepingTimesTest, CopiesAcrossFileSystems) {
    // copy_file_range refuses most pairs of file systems; the copy must still be whole.
    TempDir target;
    struct stat shm {};
    if (stat("/dev/shm", &shm) != 0 || shm.st_dev == StatOf(target.Path()).st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm to copy from";
    }
    const std::string source = "/dev/shm/duvanto-copy-test-" + std::to_string(getpid());
    const std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(source, bytes);
    test::SetModificationTime(source, 1'100'000'000, 42);
    Status copied = CopyFileKeepingTimes(source, target / "copy");
    unlink(source.c_str());
    ASSERT_TRUE(copied.ok()) << copied.message();
    EXPECT_EQ(ReadFile(target / "copy"), bytes);
    EXPECT_EQ(StatOf(target / "copy").st_mtim.tv_nsec, 42);
}

TEST(NormalizeFolderPathTest, EndsInOneSlash) {
    EXPECT_EQ(NormalizeFolderPath("/data/photos"), "/data/photos/");
    EXPECT_EQ(NormalizeFolderPath("/data/photos/"), "/data/photos/");
    EXPECT_EQ(NormalizeFolderPath("/"), "/");
    EXPECT_EQ(NormalizeFolderPath(""), "");
}

TEST(CompareStringsOrdinalTest, OrdersBytesUnsignedShorterFirst) {
    EXPECT_EQ(CompareStringsOrdinal("abc", "abc"), 0);
    EXPECT_LT(CompareStringsOrdinal("ab", "abc"), 0);
    EXPECT_GT(CompareStringsOrdinal("abc", "ab"), 0);
    EXPECT_LT(CompareStringsOrdinal("B", "a"), 0);  // case matters: "B" is 0x42
    EXPECT_GT(CompareStringsOrdinal("\xC3\xA9", "z"), 0);
    EXPECT_LT(CompareStringsOrdinal("", "a"), 0);
}

}  // namespace
}  // namespace duvanto
