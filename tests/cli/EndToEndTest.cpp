// Whole runs of the command-line runner on a Target that differs from its Source in every way
// a clone must repair, checked by tools that share no code with ours: rsync compares contents
// and links, std::filesystem compares modification times.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/CliRunner.h"

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
    if (int status = pclose(pipe); status != 0) {
        output += "[exit " + std::to_string(status) + "]";
    }
    return output;
}

class EndToEndTest : public ::testing::TestWithParam<std::string> {
protected:
    TempDir temp;
    const std::string source = temp / "Source/", target = temp / "Target/";
    CliRunner cli{temp / "home/", temp.Path(), "", ""};
};

TEST_P(EndToEndTest, CloneLeavesTargetIdenticalByIndependentChecks) {
    if (Capture("command -v rsync").empty()) {
        GTEST_SKIP() << "rsync is not installed (scripts/bootstrap.sh installs it)";
    }
    // Names in UTF-8, in Latin-1 (no UTF-8 at all), with blanks and dots; hidden ones too.
    const std::string latin1 = "\xe9t\xe9 latin1/", japanese = "\xe6\x97\xa5\xe6\x9c\xac/";
    const std::vector<std::string> same = {"plain", "with blank/caf\xc3\xa9", latin1 + ".hidden",
                                           ".hidden folder/" + japanese + "a.b.c"};
    // Other bytes, other size and older in the Target; missing from it; in a folder the Target
    // lacks whole.
    const std::vector<std::string> changed = {"with blank/semi;colon", latin1 + "UPPER", "new file",
                                              "new folder/deeper/x-y_z"};
    // The same bytes at another time: copied only where times are compared.
    const std::vector<std::string> touched = {"touched", japanese + "touched"};
    int64_t nanoseconds = 123'456'789;
    for (const std::vector<std::string>* group : {&same, &changed, &touched}) {
        for (const std::string& path : *group) {
            WriteFile(source + path, std::string(100 + path.size() * 37, path[0]));
            SetModificationTime(source + path, 1'600'000'000 + nanoseconds % 1000, nanoseconds);
            nanoseconds = nanoseconds * 7 % 1'000'000'000;
        }
    }
    fs::create_symlink("../target of 1", source + "with blank/link 1");
    fs::create_symlink("../target of 2", source + "link 2");

    ASSERT_EQ(Capture("cp -a '" + source + ".' '" + target + "'"), "");
    for (const std::string& path : {changed[0], changed[1]}) {
        WriteFile(target + path, "changed");
        SetModificationTime(target + path, 1'500'000'000);
    }
    fs::remove(target + changed[2]);
    fs::remove_all(target + "new folder");
    for (const std::string& path : touched) {
        SetModificationTime(target + path, 1'550'000'000);
    }
    // The orphan in the hidden folder goes only because hidden folders are not ignored.
    WriteTree(target, {"orphan=o", latin1 + "orphan dir/orphan=o", "empty orphan/deeper/",
                       ".hidden folder/orphan=o"});
    fs::remove(target + "link 2");
    fs::create_symlink("old text", target + "link 2");
    fs::create_symlink("orphan text", target + "orphan link");

    const std::string method = GetParam();
    const std::vector<std::string> options = {
        "--compare", method, "--delete", "regular", "--no-ignore-hidden-folders", "--no-ignore-2s"};
    std::vector<std::string> clone = {"clone", source, target, "--quiet"};
    clone.insert(clone.end(), options.begin(), options.end());
    ASSERT_EQ(cli.Run(clone), 0) << cli.out << cli.err;

    EXPECT_EQ(Capture("rsync -rlcn --delete --itemize-changes '" + source + "' '" + target + "'"),
              "");
    // Everything copied carries the Source's time; under DateTime every file does.
    std::vector<std::string> timed = changed;
    if (method == "datetime") {
        timed.insert(timed.end(), touched.begin(), touched.end());
    }
    for (const std::string& path : timed) {
        EXPECT_EQ(fs::last_write_time(target + path), fs::last_write_time(source + path)) << path;
    }

    std::vector<std::string> plan = {"plan", source, target};
    plan.insert(plan.end(), options.begin(), options.end());
    ASSERT_EQ(cli.Run(plan), 0) << cli.err;
    EXPECT_EQ(cli.out + cli.err, "");
}

INSTANTIATE_TEST_SUITE_P(EachComparisonMethod, EndToEndTest,
                         ::testing::Values("datetime", "size", "contents", "crc32"));

}  // namespace
}  // namespace duvanto::test
