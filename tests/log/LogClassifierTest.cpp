// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/LogClassifier.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "log/CloneLog.h"
#include "platform/PosixFileSystem.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

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

TEST(ClassifyLogLineTest, EveryEntryKindOfTheLogIsClassifiedByItsMarks) {
    ScopedTimeLocale locale{"C"};
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock{37959.6932407407};
    PosixFileSystem fs;
    ErrorReporter reporter{dir.Path(), prompt, clock, fs};
    cCloneLog log{dir.Path(), clock, reporter, prompt, fs};
    for (int32_t type = Begin; type <= MassDeleteError; ++type) {
        // Names with both marks: a success entry must stay plain whatever it names.
        std::string line = log.FormatEntry({.Type = static_cast<LogEntryType>(type),
                                            .TaskName = "Night run",
                                            .FileName = "a*b<c>:d.txt",
                                            .SourceFolder = "/s/",
                                            .TargetFolder = "/t/",
                                            .ErrorNumber = 13,
                                            .ErrorDescription = "Permission denied",
                                            .SafeCopyStep = "(Copy Failed)"});
        line.resize(line.find("\r\n"));
        const LogLineClass found = ClassifyLogLine(line);
        if (type == Begin || type == End) {
            EXPECT_EQ(found.kind, LogLineKind::BeginEnd) << line;
            EXPECT_EQ(found.name, "Night run") << line;
        } else if (type >= CopyError) {
            EXPECT_EQ(found.kind, LogLineKind::Error) << line;
            // Every entry's own name is CloneLogTest's; the first and the last of the range
            // show where the name ends.
            if (type == CopyError || type == MassDeleteError) {
                EXPECT_EQ(found.name, type == CopyError ? "Copy Error" : "Mass Delete Error");
            }
        } else {
            EXPECT_EQ(found.kind, LogLineKind::Plain) << line;
            EXPECT_TRUE(found.name.empty()) << line;
        }
    }
    EXPECT_EQ(ClassifyLogLine("").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00 *no colon").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00<Begin: unclosed").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00<Other: x>").kind, LogLineKind::Plain);
}

}  // namespace
}  // namespace duvanto::test
