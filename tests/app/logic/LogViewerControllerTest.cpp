// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/LogViewerController.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/log/LogCommands.h"
#include "app/log/LogPrintPager.h"
#include "app/logic/MessageCheck.h"
#include "app/support/FakeAppPrompt.h"
#include "app/support/RecordingHelpViewer.h"
#include "support/ScopedLocale.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

using test::FakeAppPrompt;
using test::FixedClock;
using test::IsMessage;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A text box over a string. Whole Word and Match Case are the box's own searching: this one
// only notes them and finds the text as it is.
struct FakeTextView : ILogTextView {
    std::string text;
    long selectionStart = 0;
    std::vector<long> searchedFrom;
    bool lastWholeWord = false;
    bool lastMatchCase = false;

    long SelectionStart() override { return selectionStart; }
    long FindAndSelect(const std::string& what, long from, bool wholeWord,
                       bool matchCase) override {
        searchedFrom.push_back(from);
        lastWholeWord = wholeWord;
        lastMatchCase = matchCase;
        const std::size_t at = text.find(what, static_cast<std::size_t>(from));
        if (at == std::string::npos) {
            return -1;
        }
        selectionStart = static_cast<long>(at);
        return selectionStart;
    }
};

class LogViewerControllerTest : public ::testing::Test {
protected:
    test::ScopedTimeLocale locale{"C"};
    TempDir dir;
    FakeAppPrompt prompt;
    FixedClock clock{37959.6932407407};
    PosixFileSystem fileSystem;
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};
    cCloneLog log{dir.Path(), clock, reporter, prompt, fileSystem};
    RunFlags flags;
    test::RecordingHelpViewer help;
    LogViewerController controller{log, prompt, reporter, &help, flags};

    const std::vector<test::ShownMessage>& Shown() const { return prompt.messages.shown; }
};

TEST_F(LogViewerControllerTest, ShowsWhatReachedTheFileWithItsSizeAndMode) {
    EXPECT_EQ(controller.Load(), "");
    EXPECT_EQ(controller.SizeText(), "Current log size = 0 bytes");
    EXPECT_TRUE(controller.Colouring());  // what a run adds while it is shown

    const std::string text(1234, 'x');
    WriteFile(log.LogFileSpec(), text);
    log.Add({.Type = Begin, .TaskName = "Still in memory"});
    EXPECT_EQ(controller.Load(), text);
    EXPECT_EQ(controller.SizeText(), "Current log size = 1,234 bytes");
    EXPECT_EQ(controller.ModeText(), "Log All Activity");
    log.LogOnlyErrors(true);
    EXPECT_EQ(controller.ModeText(), "Log Only Errors");
    controller.Appended(std::string(1000000, 'y'));
    EXPECT_EQ(controller.SizeText(), "Current log size = 1,001,234 bytes");
    EXPECT_TRUE(Shown().empty());

    EXPECT_EQ(GroupedDigits(999), "999");
    EXPECT_EQ(GroupedDigits(12345678901), "12,345,678,901");
}

TEST_F(LogViewerControllerTest, ALogAtItsResetSizeIsShownUncolouredWithTheReason) {
    log.MaxLogFileSize(2000);
    WriteFile(log.LogFileSpec(), std::string(1999, 'x'));
    controller.Load();
    EXPECT_TRUE(controller.Colouring());
    EXPECT_TRUE(Shown().empty());

    WriteFile(log.LogFileSpec(), std::string(2000, 'x'));
    controller.Load();
    EXPECT_FALSE(controller.Colouring());
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], "Log Performance Enhancement",
                          "The Log is larger than the specified Reset Size.  Therefore,\r\n"
                          "color coding has been disabled to speed up the display.",
                          MessageIcon::Information));
}

TEST_F(LogViewerControllerTest, FindAfterOpeningAsksToStartAgainFromTheBeginning) {
    FakeTextView view;
    view.text = "a *Copy Error: x\r\nb *Delete Error: y\r\n";
    view.selectionStart = static_cast<long>(view.text.size());  // where loading leaves it

    prompt.messages.answers = {MessageAnswer::No};
    controller.Find(view, "Error", false, false);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], "Find",
                          "No match found.  Search from the beginning of the log?",
                          MessageIcon::Question, MessageButtons::YesNo));
    EXPECT_EQ(view.searchedFrom, (std::vector<long>{static_cast<long>(view.text.size()) + 1}));

    prompt.messages.answers = {MessageAnswer::Yes};
    controller.Find(view, "Error", false, false);
    EXPECT_EQ(view.selectionStart, 8);
    // The next Find goes on from just after the match, without asking.
    controller.Find(view, "Error", false, false);
    EXPECT_EQ(view.selectionStart, 28);
    EXPECT_EQ(view.searchedFrom.back(), 9);
    EXPECT_EQ(Shown().size(), 2u);

    // Match Case and Whole Word reach the box.
    view.selectionStart = 0;
    controller.Find(view, "Delete", true, true);
    EXPECT_TRUE(view.lastWholeWord && view.lastMatchCase);
    EXPECT_EQ(view.selectionStart, 21);
}

TEST_F(LogViewerControllerTest, FindWithNothingToFindOrNoMatchAnywhereSaysSo) {
    FakeTextView view;
    view.text = "Errors: none";
    controller.Find(view, "", false, false);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(
        IsMessage(Shown()[0], "Find", "Please enter some text to Find", MessageIcon::Exclamation));
    EXPECT_TRUE(view.searchedFrom.empty());

    prompt.messages.answers = {MessageAnswer::Yes};
    controller.Find(view, "Warning", false, false);
    ASSERT_EQ(Shown().size(), 3u);
    EXPECT_EQ(view.searchedFrom, (std::vector<long>{1, 0}));
    EXPECT_TRUE(IsMessage(Shown()[2], "Find", "No match found.", MessageIcon::Information));
}

TEST_F(LogViewerControllerTest, ClearAndSaveAsOnlyBeepWhileACloneRuns) {
    WriteFile(log.LogFileSpec(), "entries\r\n");
    flags.CloneInProgress = true;
    EXPECT_FALSE(controller.Clear());
    controller.SaveAs();
    EXPECT_EQ(prompt.messages.beeps, 2);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(FileExists(log.LogFileSpec()));

    flags.CloneInProgress = false;
    controller.Load();
    EXPECT_TRUE(controller.Clear());
    EXPECT_FALSE(FileExists(log.LogFileSpec()));
    EXPECT_EQ(controller.SizeText(), "Current log size = 0 bytes");
    EXPECT_TRUE(Shown().empty());
    controller.Help();
    EXPECT_EQ(help.shown, (std::vector<int>{18}));
}

TEST_F(LogViewerControllerTest, SaveAsWritesTheFileAndTheBufferWhereTheUserChose) {
    WriteFile(log.LogFileSpec(), "on disk\r\n");
    log.Add({.Type = Begin, .TaskName = "Buffered"});
    controller.SaveAs();  // cancelled: nothing is written
    EXPECT_EQ(prompt.asked,
              (std::vector<test::AskedQuestion>{
                  {"save", "Save Clone Log As...", "Duvanto Log (*.log)", dir.Path()}}));
    EXPECT_EQ(ReadFile(log.LogFileSpec()), "on disk\r\n");

    prompt.answers = {dir / "saved.log"};
    controller.SaveAs();
    EXPECT_EQ(ReadFile(dir / "saved.log"), "on disk\r\n12/4/2003 4:38:16 PM<Begin: Buffered>\r\n");
    EXPECT_TRUE(Shown().empty());
}

using Row = LogPrintPager::Row;

// Rows of `width` units, as a fixed-pitch font gives them.
LogPrintPager::RowFit Width(std::size_t width) {
    return [width](std::u16string_view) { return width; };
}

// Every page's rows as their text, pages apart.
std::vector<std::vector<std::u16string>> AllPages(LogPrintPager& pager, std::u16string_view text) {
    std::vector<std::vector<std::u16string>> pages;
    while (!pager.Done()) {
        std::vector<std::u16string> rows;
        for (const Row& row : pager.NextPage()) {
            rows.emplace_back(text.substr(row.start, row.length));
        }
        pages.push_back(rows);
    }
    return pages;
}

TEST(LogPrintPagerTest, WrapsLongLinesAfterASpaceAndFillsEachPage) {
    struct Case {
        const char16_t* text;
        std::size_t width;
        int rowsPerPage;
        std::vector<std::vector<std::u16string>> pages;
    };
    const Case cases[] = {
        {u"one\ntwo\nthree\n", 10, 2, {{u"one", u"two"}, {u"three"}}},
        // After the last space that fits; a word longer than the row is cut where it is full.
        {u"Copied: a.txt from /s/\n", 12, 9, {{u"Copied: ", u"a.txt from ", u"/s/"}}},
        {u"/very/long/path\n", 6, 2, {{u"/very/", u"long/p"}, {u"ath"}}},
        // Empty lines are rows too; the last line needs no line end.
        {u"a\n\nb", 5, 5, {{u"a", u"", u"b"}}},
        // Nothing to print still prints a page.
        {u"", 5, 5, {{}}},
        // A character beyond the basic plane is not split between rows.
        {u"ab\U0001F600c\n", 3, 5, {{u"ab", u"\U0001F600c"}}},
    };
    for (const Case& c : cases) {
        LogPrintPager pager(c.text, {}, 0, c.rowsPerPage, Width(c.width));
        EXPECT_EQ(AllPages(pager, c.text), c.pages) << std::u16string_view(c.text).size();
        EXPECT_EQ(pager.PagesDone(), static_cast<int>(c.pages.size()));
        EXPECT_TRUE(pager.NextPage().empty());
    }
}

TEST(LogPrintPagerTest, ColoursFollowTheTextOntoItsRowsFromTheSelectionsPlace) {
    // The whole log is "xxxxx" + text: a selection starting at 5. An error span runs over a
    // wrapped row's end; a begin span lies on the last row.
    const std::u16string text = u"*Copy Error: b\n<Begin: N>\n";
    const std::vector<LogSpan> spans = {{0, 3, LogSpanKind::Error},  // before the selection
                                        {5, 12, LogSpanKind::Error},
                                        {5 + 15, 10, LogSpanKind::BeginEnd}};
    LogPrintPager pager(text, spans, 5, 10, Width(8));
    const std::vector<Row> rows = pager.NextPage();
    const std::vector<Row> expected = {{0, 6, {{0, 6, LogSpanKind::Error}}},
                                       {6, 8, {{0, 6, LogSpanKind::Error}}},
                                       {15, 8, {{0, 8, LogSpanKind::BeginEnd}}},
                                       {23, 2, {{0, 2, LogSpanKind::BeginEnd}}}};
    EXPECT_EQ(rows, expected);
}

TEST(LogPrintPagerTest, TellsHowMuchOfTheTextIsPaged) {
    std::u16string text;
    for (int i = 0; i < 100; ++i) {
        text += u"line\n";
    }
    LogPrintPager pager(text, {}, 0, 25, Width(80));
    std::vector<int> percents = {pager.Percent()};
    while (!pager.Done()) {
        pager.NextPage();
        percents.push_back(pager.Percent());
    }
    EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75, 100}));
}

}  // namespace
}  // namespace duvanto
