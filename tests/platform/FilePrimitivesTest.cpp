// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FilePrimitives.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/PosixFile.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

// Bytes that differ from block to block, so a block read from the wrong offset shows.
std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
    }
    return bytes;
}

constexpr std::size_t kMultiBlockSize = 3 * kFileBlockSize + 17;

// The primitives read open files; which files may be opened is PosixFileSystemTest's.
Result<bool> CompareFileContents(const std::string& a, const std::string& b,
                                 const ChunkPump& pump = {}) {
    UniqueFd fileA(open(a.c_str(), O_RDONLY | O_CLOEXEC));
    UniqueFd fileB(open(b.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(fileA.valid() && fileB.valid()) << a << " " << b;
    return duvanto::CompareFileContents(fileA.get(), fileB.get(), pump);
}

Result<uint32_t> FileCrc32(const std::string& path, const ChunkPump& pump = {}) {
    UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(file.valid()) << path;
    return duvanto::FileCrc32(file.get(), pump);
}

TEST(CompareFileContentsTest, DecidesByBytesBlockByBlock) {
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

    std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(dir / "large", bytes);
    WriteFile(dir / "same", bytes);
    bytes[kMultiBlockSize - 1] ^= 1;  // only the last, partial block differs
    WriteFile(dir / "last", bytes);
    int pumps = 0;
    EXPECT_TRUE(CompareFileContents(dir / "large", dir / "same", [&](uint64_t) {
                    return ++pumps > 0;
                }).value());
    EXPECT_GE(pumps, 3);
    EXPECT_FALSE(CompareFileContents(dir / "large", dir / "last").value());
}

TEST(FileCrc32Test, MatchesTheStandardCrcAcrossBlocks) {
    TempDir dir;
    WriteFile(dir / "check", "123456789");
    WriteFile(dir / "empty", "");
    EXPECT_EQ(FileCrc32(dir / "check").value(), 0xCBF43926u);
    EXPECT_EQ(FileCrc32(dir / "empty").value(), 0u);
    const std::string bytes = PatternBytes(kMultiBlockSize);
    WriteFile(dir / "large", bytes);
    int pumps = 0;
    EXPECT_EQ(FileCrc32(dir / "large", [&](uint64_t) { return ++pumps > 0; }).value(),
              libdeflate_crc32(0, bytes.data(), bytes.size()));
    EXPECT_GE(pumps, 3);
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
}

}  // namespace
}  // namespace duvanto::test
