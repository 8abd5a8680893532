// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/LogPrintPager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace duvanto {
namespace {

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
