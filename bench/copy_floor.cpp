// SPDX-License-Identifier: GPL-3.0-or-later
// copy_floor: the least work any tool must do to copy large files: for each regular file of
// SRC (one level, as the large-file tree is), open it, create DST/name and hand the bytes to the
// kernel with copy_file_range until the end. No temporary name, no rename, no modes or times,
// no check of anything. It prints the counts, so nothing it does can be left out.
//
//   copy_floor SRC DST
//
// Build: g++ -O2 -std=c++20 -o copy_floor copy_floor.cpp   (bench/run.sh does it)

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_floor SRC DST\n");
        return 2;
    }
    const std::string source = argv[1];
    const std::string target = argv[2];
    DIR* folder = opendir(source.c_str());
    if (folder == nullptr) {
        std::fprintf(stderr, "copy_floor: %s: %s\n", source.c_str(), std::strerror(errno));
        return 1;
    }
    uint64_t files = 0;
    uint64_t bytes = 0;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_type != DT_REG) {
            continue;
        }
        const std::string from = source + "/" + entry->d_name;
        const std::string to = target + "/" + entry->d_name;
        int in = open(from.c_str(), O_RDONLY);
        int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0) {
            std::fprintf(stderr, "copy_floor: %s: %s\n", entry->d_name, std::strerror(errno));
            return 1;
        }
        for (;;) {
            ssize_t n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n < 0) {
                std::fprintf(stderr, "copy_floor: %s: %s\n", entry->d_name, std::strerror(errno));
                return 1;
            }
            if (n == 0) {
                break;
            }
            bytes += static_cast<uint64_t>(n);
        }
        close(in);
        if (close(out) != 0) {
            std::fprintf(stderr, "copy_floor: %s: %s\n", entry->d_name, std::strerror(errno));
            return 1;
        }
        ++files;
    }
    closedir(folder);
    std::printf("%llu files, %llu bytes\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(bytes));
    return 0;
}
