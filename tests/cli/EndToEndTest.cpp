// Whole runs of the command-line runner on generated trees, checked by tools that share no code
// with ours: rsync compares contents and links, stat compares modification times.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "cli/Cli.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "popen failed";
    }
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
        output.append(buffer, n);
    }
    int status = pclose(pipe);
    if (status != 0) {
        output += "[exit " + std::to_string(status) + "]";
    }
    return output;
}

std::string Quote(const std::string& path) {
    std::string quoted = "'";
    for (char c : path) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

int64_t MTimeNs(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return -1;
    }
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

// Builds a Source tree and a Target that differs from it in every way a clone must repair.
class TreePair {
public:
    TreePair(const std::string& source, const std::string& target, unsigned rngStart)
        : m_source(source), m_target(target), m_random(rngStart) {}

    void Generate() {
        const std::vector<std::string> names = {"plain",
                                                "with blank",
                                                "caf\xc3\xa9",
                                                "\xe9t\xe9 latin1",
                                                "\xe6\x97\xa5\xe6\x9c\xac",
                                                "x-y_z",
                                                ".hidden",
                                                "UPPER",
                                                "a.b.c",
                                                "semi;colon"};
        std::vector<std::string> folders = {""};
        for (int i = 0; i < 12; ++i) {
            std::string parent = folders[Pick(folders.size())];
            std::string folder = parent + names[Pick(names.size())] + " " + std::to_string(i) + "/";
            folders.push_back(folder);
            fs::create_directories(m_source + folder);
        }
        for (int i = 0; i < 120; ++i) {
            std::string path =
                folders[Pick(folders.size())] + names[Pick(names.size())] + "." + std::to_string(i);
            WriteFile(m_source + path, Content(Pick(3000)));
            SetModificationTime(m_source + path,
                                1'600'000'000 + static_cast<int64_t>(Pick(10'000'000)),
                                static_cast<int64_t>(Pick(1'000'000'000)));
            m_files.push_back(path);
        }
        for (int i = 0; i < 6; ++i) {
            std::string link = folders[Pick(folders.size())] + "link " + std::to_string(i);
            symlink(("../target of " + std::to_string(i)).c_str(), (m_source + link).c_str());
            m_linkPaths.push_back(link);
        }
        // The Target starts as an exact copy, then drifts.
        Capture("cp -a " + Quote(m_source) + "/. " + Quote(m_target));
        for (const std::string& path : m_files) {
            switch (Pick(8)) {
                case 0:  // changed: other bytes, other size, older
                    WriteFile(m_target + path, Content(Pick(3000)) + "changed");
                    SetModificationTime(m_target + path, 1'500'000'000);
                    m_changed.push_back(path);
                    break;
                case 1:  // touched: same bytes, another time
                    SetModificationTime(m_target + path, 1'550'000'000);
                    m_touched.push_back(path);
                    break;
                case 2:  // new in the Source
                    fs::remove(m_target + path);
                    m_changed.push_back(path);
                    break;
                default:
                    break;
            }
        }
        for (int i = 0; i < 10; ++i) {  // orphans, some in orphan folders
            std::string folder = folders[Pick(folders.size())] + (i % 3 == 0 ? "orphan dir/" : "");
            WriteFile(m_target + folder + "orphan " + std::to_string(i), "o");
        }
        fs::create_directories(m_target + "empty orphan/deeper/");
        fs::remove_all(m_target + folders.back());  // a whole folder is new in the Source
        // A link whose text changed, and one the Source no longer has.
        fs::remove(m_target + m_linkPaths[0]);
        symlink("old text", (m_target + m_linkPaths[0]).c_str());
        symlink("orphan text", (m_target + "orphan link").c_str());
    }

    std::vector<std::string> m_files, m_changed, m_touched, m_linkPaths;

private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random);
    }
    std::string Content(std::size_t size) {
        std::string bytes(size, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(Pick(256));
        }
        return bytes;
    }

    std::string m_source, m_target;
    std::mt19937 m_random;
};

class EndToEndTest : public ::testing::TestWithParam<std::string> {
protected:
    int Cli(std::vector<std::string> args, std::string& out) {
        args.insert(args.begin(), {"duvanto-cli", "--home", temp / "home"});
        std::istringstream in;
        std::ostringstream outStream, errStream;
        int code = RunCli(args, CliStreams{in, outStream, errStream, false});
        out = outStream.str() + errStream.str();
        return code;
    }
    TempDir temp;
};

TEST_P(EndToEndTest, CloneLeavesTargetIdenticalByIndependentChecks) {
    if (Capture("command -v rsync").empty()) {
        GTEST_SKIP() << "rsync is not installed (scripts/bootstrap.sh installs it)";
    }
    const std::string method = GetParam();
    const std::string source = temp / "Source/", target = temp / "Target/";
    fs::create_directories(source);
    fs::create_directories(target);
    TreePair trees(source, target, 20261206u + static_cast<unsigned>(method.size()));
    trees.Generate();
    const std::vector<std::string> options = {
        "--compare", method, "--delete", "regular", "--no-ignore-hidden-folders", "--no-ignore-2s"};
    std::vector<std::string> clone = {"clone", source, target, "--quiet"};
    clone.insert(clone.end(), options.begin(), options.end());
    std::string output;
    ASSERT_EQ(Cli(clone, output), 0) << output;

    EXPECT_EQ(
        Capture("rsync -rlcn --delete --itemize-changes " + Quote(source) + " " + Quote(target)),
        "");
    // Everything copied carries the Source's time; under DateTime every file does.
    std::vector<std::string> timed = trees.m_changed;
    if (method == "datetime") {
        timed.insert(timed.end(), trees.m_touched.begin(), trees.m_touched.end());
    }
    for (const std::string& path : timed) {
        EXPECT_EQ(MTimeNs(target + path), MTimeNs(source + path)) << path;
    }

    std::vector<std::string> plan = {"plan", source, target};
    plan.insert(plan.end(), options.begin(), options.end());
    ASSERT_EQ(Cli(plan, output), 0) << output;
    EXPECT_EQ(output, "");
}

INSTANTIATE_TEST_SUITE_P(EachComparisonMethod, EndToEndTest,
                         ::testing::Values("datetime", "size", "contents", "crc32"));

}  // namespace
}  // namespace duvanto::test
