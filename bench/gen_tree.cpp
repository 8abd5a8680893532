// SPDX-License-Identifier: GPL-3.0-or-later
// gen_tree: makes benchmark folder trees for Duvanto, deterministically from --rng N.
//
//   gen_tree create DIR [--rng N] [--files N] [--folders N] [--depth K]
//                       [--min-size SZ] [--max-size SZ] [--large-files N] [--large-size SZ]
//   gen_tree mutate DIR [--rng N] [--mutate PCT] [--modify PCT] [--touch PCT]
//                       [--delete PCT] [--add PCT]
//
// The same options and the same --rng value always give the same names, sizes, contents and
// mtimes (own random-number generator, no std:: distributions, whose output differs between
// standard libraries). Only folder mtimes after a "mutate" depend on the wall clock, because
// creating and removing entries moves them.
//
// Build: g++ -O2 -std=c++20 -o gen_tree gen_tree.cpp   (bench/run.sh does it)

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace duvanto::bench {
namespace {

// xoshiro256** with its state filled by splitmix64 from the random-number start value.
class Random {
public:
    explicit Random(uint64_t start) {
        for (uint64_t& word : m_state) {
            start += 0x9e3779b97f4a7c15ULL;
            uint64_t z = start;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }

    uint64_t Next() {
        const uint64_t result = Rotl(m_state[1] * 5, 7) * 9;
        const uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = Rotl(m_state[3], 45);
        return result;
    }

    // Uniform enough in [0, n); the modulo bias is far below anything a benchmark can see.
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
    uint64_t Between(uint64_t lo, uint64_t hi) { return lo + Below(hi - lo + 1); }
    bool Chance(unsigned percent) { return Below(100) < percent; }

    void Fill(char* out, size_t size) {
        while (size >= 8) {
            const uint64_t v = Next();
            std::memcpy(out, &v, 8);
            out += 8;
            size -= 8;
        }
        if (size > 0) {
            const uint64_t v = Next();
            std::memcpy(out, &v, size);
        }
    }

private:
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t m_state[4];
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "gen_tree: %s\n", what.c_str());
    std::exit(2);
}

[[noreturn]] void FailErrno(const std::string& what) {
    Fail(what + ": " + std::strerror(errno));
}

uint64_t ParseCount(const std::string& text, const char* option) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        Fail(std::string("bad number for ") + option + ": " + text);
    }
    return v;
}

// "4096", "4K", "100M", "2G" (binary units: K = 1024).
uint64_t ParseSize(const std::string& text, const char* option) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str()) {
        Fail(std::string("bad size for ") + option + ": " + text);
    }
    const std::string unit(end);
    if (unit.empty() || unit == "B") {
        return v;
    }
    if (unit == "K" || unit == "KiB" || unit == "k") {
        return v << 10;
    }
    if (unit == "M" || unit == "MiB") {
        return v << 20;
    }
    if (unit == "G" || unit == "GiB") {
        return v << 30;
    }
    Fail(std::string("bad unit for ") + option + ": " + text);
}

double ParsePercent(const std::string& text, const char* option) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < 0 || v > 100) {
        Fail(std::string("bad percentage for ") + option + ": " + text);
    }
    return v;
}

// Name parts. A few carry non-ASCII UTF-8 (2-, 3- and 4-byte sequences) and some carry blanks.
constexpr std::string_view kWords[] = {
    "report", "data",   "notes",  "backup", "photo", "invoice", "draft",   "summary",
    "config", "index",  "readme", "budget", "scan",  "letter",  "archive", "minutes",
    "plan",   "sketch", "table",  "export", "log",   "module",  "render",  "sample",
};
// The source file is UTF-8 and so are these literals (GCC's default execution character set).
constexpr std::string_view kNonAscii[] = {
    "café", "Übersicht", "naïve", "résumé", "日本", "Ωmega", "grüße", "📁",
};
constexpr std::string_view kExtensions[] = {
    ".txt", ".dat", ".jpg", ".cpp", ".log", ".csv", ".pdf", ".bin", "", ".tar.gz",
};

std::string Base36(uint64_t v) {
    std::string s;
    do {
        s.push_back("0123456789abcdefghijklmnopqrstuvwxyz"[v % 36]);
        v /= 36;
    } while (v != 0);
    std::reverse(s.begin(), s.end());
    return s;
}

// Names are unique per tree through the numeric id, so no two differ only in letter case.
std::string MakeName(Random& rng, const char* prefix, uint64_t id, bool withExtension) {
    std::string name;
    if (rng.Chance(4)) {
        name += kNonAscii[rng.Below(std::size(kNonAscii))];
    } else {
        name += kWords[rng.Below(std::size(kWords))];
    }
    if (rng.Chance(15)) {
        name += ' ';
        name += kWords[rng.Below(std::size(kWords))];
    }
    name += rng.Chance(20) ? " " : "_";
    name += prefix;
    name += Base36(id);
    if (withExtension) {
        name += kExtensions[rng.Below(std::size(kExtensions))];
    }
    return name;
}

// mtimes between 2015-01-01 and 2024-12-31, with nanoseconds.
timespec RandomTime(Random& rng) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(rng.Between(1420070400ULL, 1735603200ULL));
    t.tv_nsec = static_cast<long>(rng.Below(1000000000ULL));
    return t;
}

// Between one hour and thirty days later: different under any mtime tolerance a tool may use.
timespec LaterTime(Random& rng, timespec t) {
    t.tv_sec += static_cast<time_t>(rng.Between(3600, 30ULL * 86400));
    t.tv_nsec = static_cast<long>(rng.Below(1000000000ULL));
    return t;
}

void SetTimes(int fd, const timespec& mtime) {
    const timespec times[2] = {mtime, mtime};
    if (::futimens(fd, times) != 0) {
        FailErrno("futimens");
    }
}

void SetTimesAt(int dirFd, const std::string& path, const timespec& mtime) {
    const timespec times[2] = {mtime, mtime};
    if (::utimensat(dirFd, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        FailErrno("utimensat " + path);
    }
}

// Writes `size` random bytes to `path` (relative to rootFd), truncating any old content.
void WriteFile(int rootFd, const std::string& path, uint64_t size, const timespec& mtime,
               Random& rng, std::vector<char>& buffer) {
    const int fd = ::openat(rootFd, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        FailErrno("create " + path);
    }
    uint64_t left = size;
    while (left > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
        rng.Fill(buffer.data(), chunk);
        size_t done = 0;
        while (done < chunk) {
            const ssize_t n = ::write(fd, buffer.data() + done, chunk - done);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                FailErrno("write " + path);
            }
            done += static_cast<size_t>(n);
        }
        left -= chunk;
    }
    SetTimes(fd, mtime);
    if (::close(fd) != 0) {
        FailErrno("close " + path);
    }
}

int OpenRoot(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        FailErrno("open " + dir);
    }
    return fd;
}

struct CreateOptions {
    uint64_t rng = 1;
    uint64_t files = 100000;
    uint64_t folders = 5000;
    uint64_t depth = 6;
    uint64_t minSize = 0;
    uint64_t maxSize = 4096;
    uint64_t largeFiles = 0;
    uint64_t largeSize = 100ULL << 20;
};

int Create(const std::string& dir, const CreateOptions& o) {
    if (o.depth == 0 && o.folders > 0) {
        Fail("--depth must be at least 1 when --folders is above 0");
    }
    if (o.minSize > o.maxSize) {
        Fail("--min-size is above --max-size");
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        Fail("cannot create " + dir + ": " + ec.message());
    }
    if (!std::filesystem::is_empty(dir, ec) || ec) {
        Fail(dir + " is not an empty folder");
    }
    ::umask(022);
    const int rootFd = OpenRoot(dir);
    Random rng(o.rng);

    // Folder 0 is the root ("" path, depth 0). A new folder hangs below a random folder that is
    // still above the depth limit, which gives a bushy tree whose deep levels hold the most.
    std::vector<std::string> paths{""};
    std::vector<uint32_t> depthOf{0};
    std::vector<uint32_t> canParent{0};  // indices of folders with depth < o.depth
    for (uint64_t i = 0; i < o.folders; ++i) {
        const uint32_t parent = canParent[rng.Below(canParent.size())];
        const uint32_t depth = depthOf[parent] + 1;
        std::string path = paths[parent] + MakeName(rng, "d", i, false);
        if (::mkdirat(rootFd, path.c_str(), 0755) != 0) {
            FailErrno("mkdir " + path);
        }
        path += '/';
        const auto index = static_cast<uint32_t>(paths.size());
        paths.push_back(std::move(path));
        depthOf.push_back(depth);
        if (depth < o.depth) {
            canParent.push_back(index);
        }
    }

    std::vector<char> buffer(1 << 20);
    uint64_t bytes = 0;
    for (uint64_t i = 0; i < o.files; ++i) {
        const std::string& folder = paths[rng.Below(paths.size())];
        const std::string path = folder + MakeName(rng, "f", i, true);
        const uint64_t size = rng.Between(o.minSize, o.maxSize);
        const timespec mtime = RandomTime(rng);
        WriteFile(rootFd, path, size, mtime, rng, buffer);
        bytes += size;
    }
    for (uint64_t i = 0; i < o.largeFiles; ++i) {
        const std::string& folder = paths[rng.Below(paths.size())];
        const std::string path = folder + "large " + Base36(i) + ".bin";
        const timespec mtime = RandomTime(rng);
        WriteFile(rootFd, path, o.largeSize, mtime, rng, buffer);
        bytes += o.largeSize;
    }
    // Folder mtimes last: creating entries moved them.
    for (size_t i = paths.size(); i-- > 0;) {
        SetTimesAt(rootFd, i == 0 ? std::string(".") : paths[i], RandomTime(rng));
    }
    ::close(rootFd);
    std::printf(
        "created %s: %llu folders, %llu files, %llu large files, %llu bytes\n", dir.c_str(),
        static_cast<unsigned long long>(o.folders), static_cast<unsigned long long>(o.files),
        static_cast<unsigned long long>(o.largeFiles), static_cast<unsigned long long>(bytes));
    return 0;
}

struct MutateOptions {
    uint64_t rng = 1;
    double modify = 0;
    double touch = 0;
    double remove = 0;
    double add = 0;
    uint64_t maxSize = 4096;
};

// Lists regular files and folders below `dir` in byte order, so the choice of files to change
// does not depend on the order the file system returns entries in.
void ListTree(const std::filesystem::path& dir, std::vector<std::string>& files,
              std::vector<std::string>& folders) {
    folders.push_back("");
    for (size_t next = 0; next < folders.size(); ++next) {
        std::vector<std::string> names;
        std::vector<std::string> subfolders;
        for (const auto& entry : std::filesystem::directory_iterator(dir / folders[next])) {
            const std::string name = entry.path().filename().string();
            if (entry.is_symlink()) {
                continue;
            }
            if (entry.is_directory()) {
                subfolders.push_back(folders[next] + name + "/");
            } else if (entry.is_regular_file()) {
                names.push_back(folders[next] + name);
            }
        }
        std::sort(names.begin(), names.end());
        std::sort(subfolders.begin(), subfolders.end());
        files.insert(files.end(), names.begin(), names.end());
        folders.insert(folders.end(), subfolders.begin(), subfolders.end());
    }
}

uint64_t CountOf(double percent, uint64_t total) {
    return static_cast<uint64_t>(static_cast<double>(total) * percent / 100.0 + 0.5);
}

int Mutate(const std::string& dir, const MutateOptions& o) {
    ::umask(022);
    std::vector<std::string> files;
    std::vector<std::string> folders;
    ListTree(dir, files, folders);
    const uint64_t total = files.size();
    const uint64_t modifyCount = CountOf(o.modify, total);
    const uint64_t touchCount = CountOf(o.touch, total);
    const uint64_t removeCount = CountOf(o.remove, total);
    const uint64_t addCount = CountOf(o.add, total);
    if (modifyCount + touchCount + removeCount > total) {
        Fail("--modify + --touch + --delete add up to more than 100%");
    }

    Random rng(o.rng ^ 0x6d75746174650000ULL);  // other stream than "create" with the same value
    // Partial Fisher-Yates: the first modify+touch+delete entries become disjoint random picks.
    const uint64_t picks = modifyCount + touchCount + removeCount;
    for (uint64_t i = 0; i < picks; ++i) {
        std::swap(files[i], files[i + rng.Below(total - i)]);
    }

    const int rootFd = OpenRoot(dir);
    std::vector<char> buffer(1 << 20);
    uint64_t i = 0;
    for (; i < modifyCount; ++i) {
        struct stat st {};
        if (::fstatat(rootFd, files[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            FailErrno("stat " + files[i]);
        }
        // Half keep their size, so only content and mtime tell them apart.
        const uint64_t size = rng.Chance(50) ? static_cast<uint64_t>(st.st_size)
                                             : rng.Between(0, std::max<uint64_t>(o.maxSize, 1));
        WriteFile(rootFd, files[i], size, LaterTime(rng, st.st_mtim), rng, buffer);
    }
    for (; i < modifyCount + touchCount; ++i) {
        struct stat st {};
        if (::fstatat(rootFd, files[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            FailErrno("stat " + files[i]);
        }
        SetTimesAt(rootFd, files[i], LaterTime(rng, st.st_mtim));
    }
    for (; i < picks; ++i) {
        if (::unlinkat(rootFd, files[i].c_str(), 0) != 0) {
            FailErrno("delete " + files[i]);
        }
    }
    for (uint64_t a = 0; a < addCount; ++a) {
        const std::string& folder = folders[rng.Below(folders.size())];
        const std::string path = folder + MakeName(rng, "added", a, true);
        WriteFile(rootFd, path, rng.Between(0, o.maxSize), RandomTime(rng), rng, buffer);
    }
    ::close(rootFd);
    std::printf(
        "mutated %s (%llu files): modified %llu, touched %llu, deleted %llu, added %llu\n",
        dir.c_str(), static_cast<unsigned long long>(total),
        static_cast<unsigned long long>(modifyCount), static_cast<unsigned long long>(touchCount),
        static_cast<unsigned long long>(removeCount), static_cast<unsigned long long>(addCount));
    return 0;
}

void Usage(FILE* out) {
    std::fputs(
        "usage:\n"
        "  gen_tree create DIR [--rng N] [--files N] [--folders N] [--depth K]\n"
        "                      [--min-size SZ] [--max-size SZ]\n"
        "                      [--large-files N] [--large-size SZ]\n"
        "  gen_tree mutate DIR [--rng N] [--mutate PCT] [--modify PCT] [--touch PCT]\n"
        "                      [--delete PCT] [--add PCT] [--max-size SZ]\n"
        "\n"
        "create: DIR must be missing or empty. Defaults: --rng 1 --files 100000 --folders 5000\n"
        "  --depth 6 --min-size 0 --max-size 4K --large-files 0 --large-size 100M.\n"
        "  Sizes take K, M, G suffixes (binary). Same options => same tree, byte for byte.\n"
        "mutate: changes an existing tree in place. Percentages are of its regular files.\n"
        "  --modify: new content (half keep their size) and a later mtime;\n"
        "  --touch: later mtime only; --delete: removed; --add: new files in random folders.\n"
        "  --mutate PCT sets all four.\n",
        out);
}

}  // namespace
}  // namespace duvanto::bench

int main(int argc, char** argv) {
    using namespace duvanto::bench;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        Usage(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string mode = args[0];
    if (mode != "create" && mode != "mutate") {
        Usage(stderr);
        return 2;
    }
    std::string dir;
    CreateOptions create;
    MutateOptions mutate;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!dir.empty()) {
                Fail("more than one folder given");
            }
            dir = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            Fail("missing value for " + a);
        }
        const std::string& v = args[++i];
        const char* name = a.c_str();
        if (a == "--rng") {
            create.rng = mutate.rng = ParseCount(v, name);
        } else if (a == "--max-size") {
            create.maxSize = mutate.maxSize = ParseSize(v, name);
        } else if (mode == "create" && a == "--files") {
            create.files = ParseCount(v, name);
        } else if (mode == "create" && a == "--folders") {
            create.folders = ParseCount(v, name);
        } else if (mode == "create" && a == "--depth") {
            create.depth = ParseCount(v, name);
        } else if (mode == "create" && a == "--min-size") {
            create.minSize = ParseSize(v, name);
        } else if (mode == "create" && a == "--large-files") {
            create.largeFiles = ParseCount(v, name);
        } else if (mode == "create" && a == "--large-size") {
            create.largeSize = ParseSize(v, name);
        } else if (mode == "mutate" && a == "--mutate") {
            mutate.modify = mutate.touch = mutate.remove = mutate.add = ParsePercent(v, name);
        } else if (mode == "mutate" && a == "--modify") {
            mutate.modify = ParsePercent(v, name);
        } else if (mode == "mutate" && a == "--touch") {
            mutate.touch = ParsePercent(v, name);
        } else if (mode == "mutate" && a == "--delete") {
            mutate.remove = ParsePercent(v, name);
        } else if (mode == "mutate" && a == "--add") {
            mutate.add = ParsePercent(v, name);
        } else {
            Fail("unknown option for " + mode + ": " + a);
        }
    }
    if (dir.empty()) {
        Fail("no folder given");
    }
    try {
        return mode == "create" ? Create(dir, create) : Mutate(dir, mutate);
    } catch (const std::exception& e) {
        Fail(e.what());
    }
}
