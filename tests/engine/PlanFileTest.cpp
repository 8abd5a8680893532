// SPDX-License-Identifier: GPL-3.0-or-later
// A saved plan's file as text: what reading it accepts, and everything it refuses whole, with
// a message that names the fault and never repeats a large piece of the file.

#include "engine/PlanFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FilePrimitives.h"

namespace duvanto::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;

// A plan of every kind of operation, a stray and a name that is no UTF-8, as a walk of
// /src/ and /dst/ would make it.
ClonePlan EveryKind() {
    ClonePlan plan;
    plan.Source = "/src/";
    plan.Target = "/dst/";
    plan.Complete = true;
    plan.TargetFilesSeen = 3;
    static const std::string stray = NewCopyTempName();
    plan.StrayTempFiles = {{"/dst/", stray}};
    const FileOp create{.FileName = {},
                        .SourceFolder = "/src/sub/",
                        .TargetFolder = "/dst/sub/",
                        .Operation = CreateFolder,
                        .Reason = OpReason::FolderMissing,
                        .SourceKind = StampKind::Folder};
    const FileOp copy{.FileName = "odd\xff.txt",
                      .SourceFolder = "/src/sub/",
                      .TargetFolder = "/dst/sub/",
                      .Bytes = 5,
                      .SourceKind = StampKind::File,
                      .TargetKind = StampKind::Absent,
                      .SourceTime = 100};
    const FileOp remove{.FileName = "old.txt",
                        .SourceFolder = {},
                        .TargetFolder = "/dst/",
                        .Operation = DeleteFile,
                        .Reason = OpReason::Orphan,
                        .SourceKind = StampKind::Absent,
                        .TargetKind = StampKind::File,
                        .TargetTime = -3,
                        .TargetSize = 7};
    const FileOp removeFolder{.FileName = {},
                              .SourceFolder = {},
                              .TargetFolder = "/dst/gone/",
                              .Operation = DeleteFolder,
                              .Reason = OpReason::Orphan,
                              .TargetKind = StampKind::Folder};
    const FileOp rename{.FileName = "Photos",
                        .SourceFolder = "/src/",
                        .TargetFolder = "/dst/",
                        .Operation = RenameEntry,
                        .Reason = OpReason::CaseOnlyRename,
                        .SourceKind = StampKind::Folder,
                        .TargetKind = StampKind::Folder,
                        .OtherName = "photos"};
    const FileOp refuse{.FileName = "a.txt",
                        .SourceFolder = "/src/sub/",
                        .TargetFolder = "/dst/sub/",
                        .Operation = RefuseName,
                        .Bytes = 2,
                        .Reason = OpReason::CaseCollision,
                        .SourceKind = StampKind::File,
                        .SourceTime = 9,
                        .OtherName = "A.txt"};
    plan.Ops = {create, copy, remove, removeFolder, rename, refuse};
    return plan;
}

std::string GoodText() {
    CloneSettings settings;
    settings.MaxDeletePercent = 30;
    return SavedPlanText(EveryKind(), settings);
}

// The good plan with one change made to it as JSON.
std::string Edited(const std::function<void(json&)>& edit) {
    json file = json::parse(GoodText());
    edit(file);
    return file.dump(2);
}

// The good plan's text with the first `from` replaced.
std::string Replaced(const std::string& from, const std::string& to) {
    std::string text = GoodText();
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string HexOf(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

std::string Nested(int levels) {
    return std::string(static_cast<std::size_t>(levels), '[') +
           std::string(static_cast<std::size_t>(levels), ']');
}

TEST(PlanFileTest, APlanReadsBackAsItWasWritten) {
    Result<SavedPlan> read = ReadSavedPlan(GoodText());
    ASSERT_TRUE(read.ok()) << read.status().message();
    const ClonePlan want = EveryKind();
    const ClonePlan& got = read.value().Plan;
    EXPECT_EQ(got.Source, want.Source);
    EXPECT_EQ(got.Target, want.Target);
    EXPECT_EQ(got.StrayTempFiles, want.StrayTempFiles);
    EXPECT_EQ(got.TargetFilesSeen, 3);
    EXPECT_EQ(read.value().Settings.MaxDeletePercent, 30);
    const auto fields = [](const FileOp& o) {
        return std::make_tuple(o.Operation, o.FileName, o.SourceFolder, o.TargetFolder, o.Reason,
                               o.SourceKind, o.TargetKind, o.Bytes, o.SourceTime, o.TargetSize,
                               o.TargetTime, o.OtherName);
    };
    ASSERT_EQ(got.Ops.size(), want.Ops.size());
    for (std::size_t i = 0; i < want.Ops.size(); ++i) {
        EXPECT_EQ(fields(got.Ops[i]), fields(want.Ops[i])) << i;
    }
}

TEST(PlanFileTest, APathMayBeAsLongAsTheSystemTakes) {
    for (const std::size_t length : {4095u, 4096u}) {
        const std::string folder = "/dst/" + std::string(length - 6, 'd') + "/";
        Result<SavedPlan> read =
            ReadSavedPlan(Edited([&](json& f) { f["operations"][2]["targetFolder"] = folder; }));
        EXPECT_EQ(read.ok(), length == 4095) << length << " " << read.status().message();
    }
}

TEST(PlanFileTest, AnotherVersionIsNamedAsSuch) {
    for (const char* version : {"0", "2", "-1", "\"1\"", "1.0", "null"}) {
        SCOPED_TRACE(version);
        // An unknown key of the other version does not hide which version it is.
        Result<SavedPlan> read =
            ReadSavedPlan(Replaced("\"version\": 1", std::string("\"version\": ") + version +
                                                         ", \"later\": {\"x\": [1]}"));
        EXPECT_FALSE(read.ok());
        EXPECT_EQ(read.status().code(), EPROTO);
        EXPECT_EQ(read.status().message(), std::string("a plan of format version ") + version +
                                               "; this program reads version 1");
    }
}

TEST(PlanFileTest, AnythingNotAsTheFormatSaysIsRefusedWhole) {
    struct Case {
        std::string text;
        std::string message;  // a piece of it
    };
    const auto op = [](int index, const char* key, json value) {
        return Edited([=](json& f) { f["operations"][index][key] = value; });
    };
    const auto hex = [](const char* digits) { return json{{"hex", digits}}; };
    const std::string ours = NewCopyTempName();
    const Case cases[] = {
        {"[]", "damaged plan: this is no Duvanto plan"},
        {"5", "damaged plan: this is no Duvanto plan"},
        {Replaced("duvanto-plan", "other-plan"), "this is no Duvanto plan"},
        {Edited([](json& f) { f.erase("version"); }), "\"version\" is missing"},
        {Edited([](json& f) { f["complete"] = false; }), "never finished"},
        {Edited([](json& f) { f["target"] = "/dst/./"; }), "the roots must be absolute"},
        // Folders: below their roots, in plain steps, whatever their form.
        {op(2, "targetFolder", "/dst/../etc/"),
         "operation 3: targetFolder /dst/../etc/ is no absolute folder path"},
        {op(2, "targetFolder", hex("2f6473742f2e2e2f")),
         "operation 3: targetFolder /dst/../ is no absolute folder path"},
        {op(2, "targetFolder", "/dst/./"), "is no absolute folder path"},
        {op(2, "targetFolder", "/dst//"), "is no absolute folder path"},
        {Edited([](json& f) {
             f["operations"][1]["sourceFolder"] = "/src/sub/../../etc/";
             f["operations"][1]["targetFolder"] = "/dst/sub/../../etc/";
         }),
         "operation 2: targetFolder /dst/sub/../../etc/ is no absolute folder path"},
        {op(1, "sourceFolder", "/src/x/../sub/"),
         "operation 2: sourceFolder /src/x/../sub/ is no absolute folder path"},
        {op(2, "targetFolder", "/etc/"), "/etc/ lies outside /dst/"},
        {op(2, "targetFolder", "/dsx/"), "operation 3: targetFolder /dsx/ lies outside /dst/"},
        {op(1, "sourceFolder", "/srx/sub/"),
         "operation 2: sourceFolder /srx/sub/ lies outside /src/"},
        {op(1, "sourceFolder", "/src/"),
         "operation 2: its Source and Target folders do not correspond"},
        {op(3, "targetFolder", "/dst/"), "a root is no folder"},
        // Names: plain, in either form.
        {op(2, "name", ".."), "operation 3: the name is no plain file name"},
        // A rename changes letter case only, and a refusal's kept name is another case of it.
        {op(4, "otherName", "passwd"), "operation 5: \"otherName\" is no other letter case"},
        {op(4, "otherName", "Photos"), "operation 5: \"otherName\" is no other letter case"},
        {op(4, "otherName", "../Photos"), "\"otherName\" is no other letter case"},
        {op(5, "otherName", "b.txt"), "operation 6: \"otherName\" is no other letter case"},
        {op(4, "reason", "orphan"), "operation 5: the reason does not fit the operation"},
        {op(2, "reason", "case-only-rename"), "operation 3: the reason does not fit"},
        {op(4, "sourceFolder", "/src/sub/"), "operation 5: its Source and Target folders do not"},
        // In hex: "..", ".", "a/b", nothing, and an odd count of digits.
        {op(2, "name", hex("2e2e")), "the name is no plain file name"},
        {op(2, "name", hex("2e")), "the name is no plain file name"},
        {op(2, "name", hex("612f62")), "the name is no plain file name"},
        {op(2, "name", hex("")), "the name is no plain file name"},
        {op(2, "name", hex("6")), "bad hex in name"},
        // Longer than the system takes, plain or in hex.
        {Edited([](json& f) { f["target"] = "/" + std::string(4094, 'd') + "/"; }),
         "target is longer than 4095 bytes"},
        {op(2, "name", json{{"hex", std::string(2 * 4096, 'a')}}),
         "name is longer than 4095 bytes"},
        // Hex digits are lower-case.
        {op(2, "name", hex("4A")), "bad hex in name"},
        // A NUL ends a path for the system: refused wherever it is and however written.
        {op(2, "name", std::string("a\0b", 3)), "operation 3: name holds a NUL byte"},
        {op(2, "name", hex("610062")), "operation 3: name holds a NUL byte"},
        {op(2, "targetFolder", hex("2f6473742f00612f")),
         "operation 3: targetFolder holds a NUL byte"},
        {op(2, "targetFolder", std::string("/dst/a\0/", 8)), "targetFolder holds a NUL byte"},
        {op(1, "sourceFolder", hex("2f7372632f737562002f")), "sourceFolder holds a NUL byte"},
        {Edited([&](json& f) { f["target"] = hex("2f00642f"); }), "target holds a NUL byte"},
        {Edited([&](json& f) { f["strayTemporaryFiles"][0]["folder"] = hex("2f6473742f002f"); }),
         "stray temporary file 1: folder holds a NUL byte"},
        {Edited([&](json& f) {
             f["strayTemporaryFiles"][0]["name"] =
                 json{{"hex", HexOf(std::string(1, '\0') + ours)}};
         }),
         "stray temporary file 1: name holds a NUL byte"},
        // Strays are removed without a second look: only our own names, below the Target.
        {Edited([](json& f) { f["strayTemporaryFiles"][0]["name"] = "report.odt"; }),
         "stray temporary file 1: report.odt is none of ours"},
        {Edited([](json& f) { f["strayTemporaryFiles"][0]["folder"] = "/etc/"; }),
         "stray temporary file 1: folder /etc/ lies outside /dst/"},
        // The rest of an operation.
        {op(2, "reason", "because"), "operation 3: unknown reason \"because\""},
        {op(2, "kind", "move-file"), "unknown operation kind \"move-file\""},
        {op(2, "target", json{{"kind", "gone"}}), "unknown entry kind \"gone\""},
        {op(2, "target", json{{"kind", "file"}}), "operation 3: \"size\" is missing"},
        {op(1, "number", 1), "operation 2: \"number\" is 1 where 2 belongs"},
        {Edited([](json& f) { f["settings"]["maxDeletePercent"] = 101; }),
         "\"maxDeletePercent\" is out of range"},
        {Edited([](json& f) { f["settings"]["copy"] = "fast"; }), "unknown copy method \"fast\""},
        {Edited([](json& f) { f["settings"]["ignoreHiddenFolders"] = "yes"; }),
         "\"ignoreHiddenFolders\" is no true or false"},
        // Keys: each one of the format, each once, in the form the format gives it.
        {Replaced("\"complete\": true", "\"complete\": true, \"extra\": 1"),
         "damaged plan: unknown key \"extra\""},
        {op(1, "extra", json::array({1, 2})), "operation 2: unknown key \"extra\""},
        {op(1, "source", json{{"kind", "absent"}, {"extra", 1}}),
         "operation 2: unknown key \"extra\""},
        {op(1, "name", json{{"hex", "61"}, {"x", "62"}}), "unknown key \"x\""},
        {Replaced("\"complete\": true", "\"complete\": true, \"complete\": true"),
         "damaged plan: the key \"complete\" is given twice"},
        {Replaced("\"name\": \"old.txt\"", "\"name\": \"old.txt\", \"name\": \"../x\""),
         "operation 3: the key \"name\" is given twice"},
        {Replaced("\"hex\": \"", "\"hex\": \"61\", \"hex\": \""), "the key \"hex\" is given twice"},
        {op(2, "kind", json::array({"delete-file"})), "operation 3: \"kind\" cannot hold a list"},
        {op(2, "detail", json::object()), "\"detail\" cannot hold an object"},
        {Edited([](json& f) { f["operations"] = json::object(); }), "\"operations\" is no list"},
        {Edited([](json& f) { f["settings"] = json::array(); }), "\"settings\" is no object"},
        {Edited([](json& f) { f["operations"] = 5; }), "\"operations\" is no list"},
        {Edited([](json& f) { f["operations"][1] = 5; }), "operation 2 is no object"},
        {Edited([](json& f) { f["strayTemporaryFiles"][0] = json::array(); }),
         "stray temporary file 1 is no object"},
        // Nesting: a limit far above the format's four levels, checked before anything else.
        // At the limit, past it, far past it, and far past it where a list belongs.
        {Replaced("\"version\": 1", "\"version\": " + Nested(99)),
         "\"version\" cannot hold a list"},
        {Replaced("\"version\": 1", "\"version\": " + Nested(100)),
         "damaged plan: lists and objects nest more than 100 levels deep"},
        {Replaced("\"version\": 1", "\"version\": " + Nested(100'000)),
         "nest more than 100 levels deep"},
        {Replaced("\"operations\": [", "\"operations\": [" + Nested(100'000) + ","),
         "nest more than 100 levels deep"},
        // Cut short, or something after the plan.
        {GoodText().substr(0, GoodText().size() / 2), "damaged plan: parse error at line"},
        {GoodText() + "{}", "damaged plan: parse error at line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases) + ": " + c.message);
        Result<SavedPlan> read = ReadSavedPlan(c.text);
        EXPECT_FALSE(read.ok());
        EXPECT_THAT(read.status().message(), HasSubstr(c.message));
    }
}

TEST(PlanFileTest, AMessageShowsOnlyABoundedPieceOfALargeValue) {
    const std::string large(1 << 20, 'x');
    const std::string longest(4000, 'x');  // as long as a path may be
    const auto op = [](int index, const char* key, const std::string& value) {
        return Edited([=](json& f) { f["operations"][index][key] = value; });
    };
    const std::string texts[] = {
        op(2, "reason", large),
        op(2, "kind", large),
        op(2, "targetFolder", "/" + longest + "/"),
        op(1, "sourceFolder", "/src/" + longest + "/../sub/"),
        op(2, "targetFolder", "/" + large + "/"),
        op(1, "number", large),
        Edited([&](json& f) { f["strayTemporaryFiles"][0]["name"] = longest; }),
        Edited([&](json& f) { f["version"] = large; }),
        Edited([&](json& f) { f[large] = 1; }),
        Replaced("\"reason\": \"orphan\"", "\"reason\": \"" + large),              // never closed
        Replaced("\"detail\": 0", "\"detail\": 1" + large),                        // no number
        Replaced("\"detail\": 0", "\"detail\": 1e9" + std::string(1 << 20, '9')),  // too large
    };
    for (const std::string& text : texts) {
        Result<SavedPlan> read = ReadSavedPlan(text);
        EXPECT_FALSE(read.ok());
        EXPECT_LT(read.status().message().size(), 200u) << read.status().message().substr(0, 300);
        EXPECT_THAT(read.status().message(), Not(HasSubstr("\n")));
    }
}

// A file of many small values in the wrong place costs no memory: it is refused at the first,
// and the rest is only read through, not built into a tree (which took some 50 bytes of
// memory for each 3 bytes of text, and ended a run in std::bad_alloc).
TEST(PlanFileTest, TheMemoryAFileTakesDoesNotGrowWithWhatIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    std::string many = "[";
    for (int i = 0; i < 10'000'000; ++i) {
        many += "[],";
    }
    many += "[]]";
    const std::string text =
        Replaced("\"operations\": [", "\"unused\": " + many + ", \"operations\": [");
    many.clear();
    many.shrink_to_fit();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // 256 MB more address space than the process holds now: the text is already in it.
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
            (rlim_t{256} << 20);
        const rlimit bound{limit, limit};
        if (setrlimit(RLIMIT_AS, &bound) != 0) {
            _exit(3);
        }
        const Result<SavedPlan> read = ReadSavedPlan(text);
        _exit(!read.ok() && read.status().message() == "damaged plan: unknown key \"unused\"" ? 0
                                                                                              : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

}  // namespace
}  // namespace duvanto::test
