// SPDX-License-Identifier: GPL-3.0-or-later
// stat_floor: the least work any tool must do to compare two trees. One thread opens each folder,
// reads its entries with getdents64 and stats each one with fstatat(AT_SYMLINK_NOFOLLOW)
// relative to the folder's descriptor, depth first. It prints the counts, so nothing it does can
// be left out by the compiler.
//
//   stat_floor DIR...
//
// Build: g++ -O2 -std=c++20 -o stat_floor stat_floor.cpp   (bench/run.sh does it)

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace duvanto::bench {
namespace {

struct Counts {
    uint64_t folders = 0;
    uint64_t files = 0;
    uint64_t symlinks = 0;
    uint64_t other = 0;
    uint64_t bytes = 0;
    uint64_t errors = 0;
};

// The folder is read to its end before any subfolder is opened, so one buffer serves every level
// and only one descriptor per level is open.
void Walk(int dirFd, Counts& counts, std::vector<char>& buffer) {
    std::vector<std::string> subfolders;
    for (;;) {
        const ssize_t n = ::getdents64(dirFd, buffer.data(), buffer.size());
        if (n < 0) {
            ++counts.errors;
            break;
        }
        if (n == 0) {
            break;
        }
        for (ssize_t offset = 0; offset < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            struct stat st {};
            if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                ++counts.errors;
                continue;
            }
            if (S_ISDIR(st.st_mode)) {
                ++counts.folders;
                subfolders.emplace_back(name);
            } else if (S_ISREG(st.st_mode)) {
                ++counts.files;
                counts.bytes += static_cast<uint64_t>(st.st_size);
            } else if (S_ISLNK(st.st_mode)) {
                ++counts.symlinks;
            } else {
                ++counts.other;
            }
        }
    }
    for (const std::string& name : subfolders) {
        const int fd =
            ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            ++counts.errors;
            continue;
        }
        Walk(fd, counts, buffer);
        ::close(fd);
    }
}

}  // namespace
}  // namespace duvanto::bench

int main(int argc, char** argv) {
    using namespace duvanto::bench;
    if (argc < 2) {
        std::fputs("usage: stat_floor DIR...\n", stderr);
        return 2;
    }
    std::vector<char> buffer(64 * 1024);
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        Counts counts;
        const int fd = ::open(argv[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "stat_floor: %s: %s\n", argv[i], std::strerror(errno));
            status = 1;
            continue;
        }
        Walk(fd, counts, buffer);
        ::close(fd);
        std::printf("%s: folders=%llu files=%llu symlinks=%llu other=%llu bytes=%llu errors=%llu\n",
                    argv[i], static_cast<unsigned long long>(counts.folders),
                    static_cast<unsigned long long>(counts.files),
                    static_cast<unsigned long long>(counts.symlinks),
                    static_cast<unsigned long long>(counts.other),
                    static_cast<unsigned long long>(counts.bytes),
                    static_cast<unsigned long long>(counts.errors));
        if (counts.errors != 0) {
            status = 1;
        }
    }
    return status;
}
