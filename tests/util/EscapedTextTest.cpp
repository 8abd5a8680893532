// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/EscapedText.h"

#include <gtest/gtest.h>

#include <string>

namespace duvanto::test {
namespace {

// What a terminal would act on is escaped byte by byte; what is text, in any encoding, is not.
TEST(EscapedTextTest, ControlCharactersOfBothSetsAndNothingElse) {
    const struct {
        std::string text;
        std::string logged;
        const char* what;
    } cases[] = {
        {"plain name.txt", "plain name.txt", "nothing to do"},
        {"a\nb\tc\x1b[2J\x7f", "a\\x0Ab\\x09c\\x1B[2J\\x7F", "C0 and DEL"},
        {"back\\x0Aslash", "back\\\\x0Aslash", "a backslash is doubled"},
        {"csi\xc2\x9b"
         "31m",
         "csi\\xC2\\x9B31m", "C1 as UTF-8"},
        {"\xc2\x80\xc2\x9f\xc2\xa0", "\\xC2\\x80\\xC2\\x9F\xc2\xa0", "the C1 range ends at U+009F"},
        {"osc\x9d"
         "0;x\x9c",
         "osc\\x9D0;x\\x9C", "a lone byte of the C1 range"},
        {"\xe2\x80\xa6 \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80",
         "\xe2\x80\xa6 \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80",
         "UTF-8 whose continuation bytes lie in 80 to 9F"},
        {"caf\xe9 \xa0", "caf\xe9 \xa0", "Latin-1 letters pass as they are"},
        {"cut\xe2\x80", "cut\xe2\\x80", "a character cut short at the end"},
        {std::string("nul\0x", 5), "nul\\x00x", "NUL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeControlCharacters(c.text), c.logged) << c.what;
    }
}

TEST(EscapedTextTest, TerminalMessagesKeepTheirLinesAndBackslashes) {
    EXPECT_EQ(EscapeForTerminal("Task \"a\x1b]0;x\x07\"\nC:\\ and \xc2\x9b"),
              "Task \"a\\x1B]0;x\\x07\"\nC:\\ and \\xC2\\x9B");
}

}  // namespace
}  // namespace duvanto::test
