// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ErrorReporter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <new>
#include <system_error>
#include <tuple>

#include "support/Checks.h"
#include "support/FaultyFileSystem.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

constexpr char kClosing[] =
    "\r\n* If this problem persists, please contact our technical support staff for "
    "assistance.\r\n  (Refer to the Troubleshooting section of the Help file for details.)";

class ErrorReporterTest : public ::testing::Test {
protected:
    ScopedTimeLocale locale{"C"};
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock{37959.6932407407};
    FaultyFileSystem fileSystem{TrashInside(dir.Path())};
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};

    // The one message shown, as the reporter shows each: an exclamation with OK.
    static std::vector<ShownMessage> Shown(const std::string& title, const std::string& text) {
        return {{title, text, MessageIcon::Exclamation, MessageButtons::OK}};
    }
};

TEST_F(ErrorReporterTest, TheMessageNamesTheErrorItsSourceAndNumber) {
    const std::string registry =
        "Unable to read required information from the System\r\n"
        "Registry due to the security rules in place on this computer.\r\n"
        "All users on this computer must be granted Read Access to the Registry.\r\n"
        "\r\n"
        "See your System Administrator for assistance.";
    const std::pair<UnexpectedError, std::string> cases[] = {
        {{76, "Path not found", 0}, "Error: Path not found\r\nSource: M.P\r\nNo: 76\r\n"},
        {{75, "Path/File access error", 2},
         "DLL Error: No such file or directory\r\nError: Path/File access error\r\nSource: "
         "M.P\r\nNo: 75\r\n"},
        {{5, "d", 999999},
         "DLL Error: Error (999999) not defined.\r\nError: d\r\nSource: M.P\r\n"
         "No: 5\r\n"},
        {{-5, "d", 0}, "Error: d\r\nSource: M.P\r\nNo: -5\r\n"},
        {{5, "first\r\nsecond", 0}, "Error: first\r\nsecond\r\nSource: M.P\r\nNo: 5\r\n"},
        // The registry text only for the exact description, and only without a system code.
        {{5, "Access to Registry Denied.", 0}, registry},
        {{5, "access to registry denied.", 0},
         "Error: access to registry denied.\r\nSource: M.P\r\nNo: 5\r\n"},
        {{5, "Access to Registry Denied. ", 0},
         "Error: Access to Registry Denied. \r\nSource: M.P\r\nNo: 5\r\n"},
        {{5, "Access to Registry Denied.", 13},
         "DLL Error: Permission denied\r\nError: Access to Registry Denied.\r\nSource: "
         "M.P\r\nNo: 5\r\n"},
    };
    for (const auto& [error, text] : cases) {
        prompt.shown.clear();
        // Blank further information writes no detail file and changes nothing.
        reporter.ReportUnexpectedError("M.P", error, " \t ");
        EXPECT_EQ(prompt.shown,
                  Shown("Unexpected Error in M.P", text == registry ? registry : text + kClosing));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "ERR_DETAIL.TXT"));
    // The registry text takes no detail file either.
    reporter.ReportUnexpectedError("M.P", {5, "Access to Registry Denied.", 0}, "details");
    EXPECT_FALSE(std::filesystem::exists(dir / "ERR_DETAIL.TXT"));
}

TEST_F(ErrorReporterTest, MoreInformationIsAppendedToTheDetailFile) {
    reporter.ReportUnexpectedError("cClone.CloneAll", {76, "Path not found", 0}, "disk /dev/sdb1");
    const std::string core = "Error: Path not found\r\nSource: cClone.CloneAll\r\nNo: 76\r\n";
    const std::string record =
        "\r\n12/4/2003 4:38:16 PM\r\n" + core + "\r\n- More Information - \r\ndisk /dev/sdb1\r\n";
    EXPECT_EQ(ReadFile(dir / "ERR_DETAIL.TXT"), record);
    EXPECT_EQ(prompt.shown,
              Shown("Unexpected Error in cClone.CloneAll",
                    core + "\r\nSee the ERR_DETAIL.TXT file before proceeding.\r\n" + kClosing));

    reporter.ReportUnexpectedError("cClone.CloneAll", {76, "Path not found", 0}, "second");
    EXPECT_EQ(ReadFile(dir / "ERR_DETAIL.TXT"), record + "\r\n12/4/2003 4:38:16 PM\r\n" + core +
                                                    "\r\n- More Information - \r\nsecond\r\n");
}

TEST_F(ErrorReporterTest, ADetailFileThatCannotGrowKeepsItsRecordsAndFailsTheHandler) {
    WriteFile(dir / "ERR_DETAIL.TXT", "earlier record\r\n");
    fileSystem.Fail(FsOp::Append, dir / "ERR_DETAIL.TXT", ENOSPC);
    reporter.ReportUnexpectedError("cClone.CloneAll", {76, "Path not found", 0}, "details");
    EXPECT_EQ(prompt.shown, Shown("Error in Error Handler",
                                  "An error has occured in the error handler.\r\n61\r\nDisk full"));
    EXPECT_EQ(ReadFile(dir / "ERR_DETAIL.TXT"), "earlier record\r\n");
    EXPECT_EQ(reporter.ReportCount(), 1);
}

TEST(UnexpectedErrorTest, FromExceptionKeepsWhatEachKindKnows) {
    auto from = [](auto exception) {
        return UnexpectedError::FromException(std::make_exception_ptr(exception));
    };
    UnexpectedError e = from(RuntimeError(53, "File not found", 2));
    EXPECT_EQ(std::tie(e.number, e.description, e.systemErrorCode),
              std::make_tuple(53L, std::string("File not found"), 2));
    e = from(std::bad_alloc());
    EXPECT_EQ(std::tie(e.number, e.description, e.systemErrorCode),
              std::make_tuple(7L, std::string("Out of memory"), 0));
    e = from(std::system_error(std::make_error_code(std::errc::permission_denied), "open"));
    EXPECT_EQ(e.number, 5);
    EXPECT_EQ(e.systemErrorCode, 13);
    EXPECT_NE(e.description.find("open"), std::string::npos);
    e = from(std::future_error(std::future_errc::no_state));  // not an errno category
    EXPECT_EQ(e.systemErrorCode, 0);
    e = from(std::logic_error("bad index"));
    EXPECT_EQ(std::tie(e.number, e.description), std::make_tuple(5L, std::string("bad index")));
    e = from(42);
    EXPECT_EQ(std::tie(e.number, e.description),
              std::make_tuple(5L, std::string("Invalid procedure call or argument")));
}

TEST_F(ErrorReporterTest, ReportCurrentExceptionUsesTheCaughtOne) {
    try {
        throw FileRuntimeError(Status::FromErrno(EACCES));
    } catch (...) {
        reporter.ReportCurrentException("cCloneLog.SaveAs");
    }
    EXPECT_EQ(prompt.shown, Shown("Unexpected Error in cCloneLog.SaveAs",
                                  std::string("DLL Error: Permission denied\r\nError: Permission "
                                              "denied\r\nSource: cCloneLog.SaveAs\r\nNo: 70\r\n") +
                                      kClosing));
}

}  // namespace
}  // namespace duvanto::test
