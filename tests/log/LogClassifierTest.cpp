// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/LogClassifier.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace duvanto::test {
namespace {

constexpr LogSpanKind kRed = LogSpanKind::Error;
constexpr LogSpanKind kBlue = LogSpanKind::BeginEnd;

// The spans of a whole text fed at once.
std::vector<LogSpan> Spans(std::string_view text) {
    return LogColorScanner<char>().Feed(text);
}

// The text of each span, to read failures at a glance.
std::vector<std::string> SpanTexts(const std::string& text) {
    std::vector<std::string> texts;
    for (const LogSpan& span : Spans(text)) {
        texts.push_back(text.substr(span.start, span.length));
    }
    return texts;
}

TEST(LogColorScannerTest, ErrorNamesAreRedBracketedTaskTextsBlueAndMarksElsewhereOpenSpansToo) {
    const std::string text =
        "12/4/2003 4:38:16 PM<Begin: Nightly>\r\n"
        "12/4/2003 4:38:16 PM - Copied: a.txt from /s/ to /t/\r\n"
        "12/4/2003 4:38:17 PM *Copy Error: 13 Permission denied b.txt from /s/ to /t/\r\n"
        "12/4/2003 4:38:18 PM<End: Nightly> {All Activity Logged}\r\n\r\n";
    EXPECT_EQ(SpanTexts(text),
              (std::vector<std::string>{"<Begin: Nightly>", "*Copy Error:", "<End: Nightly>"}));
    const std::vector<LogSpan> spans = Spans(text);
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0], (LogSpan{20, 16, kBlue}));
    EXPECT_EQ(spans[1].kind, kRed);
    EXPECT_EQ(spans[2].kind, kBlue);

    // An "*" in a file name reaches the next colon, here the one of the next line's time.
    const std::string marks =
        "1:00 - Copied: x*y from /s/ to /t/\n"
        "2:00 *Delete Error: 2 a<b from /t/\n"
        "3:00<End: T>\n"
        "4:00 *Unexpected Error no colon follows <End U>\n";
    EXPECT_EQ(SpanTexts(marks),
              (std::vector<std::string>{
                  "*y from /s/ to /t/\n2:", "*Delete Error:", "<b from /t/\n3:00<End: T>"}));
    // Inside a span the other kind's opening mark is plain text.
    EXPECT_EQ(SpanTexts("<a*b>*c<d:"), (std::vector<std::string>{"<a*b>", "*c<d:"}));
    EXPECT_TRUE(Spans("").empty());
    EXPECT_TRUE(Spans("no marks at all: >").empty());
}

TEST(LogColorScannerTest, PiecesGiveTheSpansOfTheWholeTextAtEverySplit) {
    const std::string text =
        "t<Begin: A>\r\nt *Copy Error: 5 x\r\nt - Copied: p*q\r\nt:<End: A> {x}\r\n*tail";
    const std::vector<LogSpan> whole = Spans(text);
    for (std::size_t first = 0; first <= text.size(); ++first) {
        for (std::size_t second = first; second <= text.size(); second += 7) {
            LogColorScanner<char> scanner;
            std::vector<LogSpan> spans;
            for (const std::string_view piece :
                 {std::string_view(text).substr(0, first),
                  std::string_view(text).substr(first, second - first),
                  std::string_view(text).substr(second)}) {
                for (const LogSpan& span : scanner.Feed(piece)) {
                    spans.push_back(span);
                }
            }
            ASSERT_EQ(spans, whole) << "split at " << first << " and " << second;
        }
    }
}

TEST(LogColorScannerTest, APendingSpanClosesWhenItsMarkArrives) {
    LogColorScanner<char16_t> scanner;
    // Two units per "ä" would move every later span in a byte count; UTF-16 counts one.
    EXPECT_TRUE(scanner.Feed(u"ä *Copy Err").empty());
    EXPECT_EQ(scanner.Feed(u"or: x <Begin: T"), (std::vector<LogSpan>{{2, 12, kRed}}));
    EXPECT_EQ(scanner.Feed(u">"), (std::vector<LogSpan>{{17, 10, kBlue}}));
    scanner.Reset();
    EXPECT_EQ(scanner.Feed(u"<a>"), (std::vector<LogSpan>{{0, 3, kBlue}}));
}

}  // namespace
}  // namespace duvanto::test
