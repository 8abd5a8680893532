// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Masks.h"

#include <gtest/gtest.h>

namespace duvanto {
namespace {

TEST(MaskMatchesTest, WildcardsAndClasses) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"notes.txt", "*.TXT", true},
        {"NOTES.TXT", "*.txt", true},
        {"notes.txt.bak", "*.txt", false},
        {"data1.csv", "data?.csv", true},
        {"data12.csv", "data?.csv", false},
        {"log7.txt", "log#.txt", true},
        {"logA.txt", "log#.txt", false},
        {"a.c", "[abc].c", true},
        {"d.c", "[abc].c", false},
        {"d.c", "[!abc].c", true},
        {"B.c", "[!abc].c", false},
        {"q.c", "[a-z].c", true},
        {"", "*", true},
        {"anything", "*", true},
        {"abc", "a*b*c", true},
        {"aXbYc", "a*b*c", true},
        {"acb", "a*b*c", false},
        {"report 2024.doc", "* ####.doc", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MaskMatches(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
    }
}

TEST(MaskMatchesTest, ManyStarsStayFast) {
    // A naive backtracking matcher takes exponential time here.
    std::string name(200, 'a');
    EXPECT_FALSE(MaskMatches(name, "*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(FileMatchesPatternInCollectionTest, AnyMaskMatches) {
    std::vector<std::string> masks = {"*.doc", "*.txt"};
    EXPECT_TRUE(FileMatchesPatternInCollection("a.txt", masks));
    EXPECT_FALSE(FileMatchesPatternInCollection("a.pdf", masks));
    EXPECT_FALSE(FileMatchesPatternInCollection("a.txt", {}));
}

TEST(FillColWithParsedStringElemsTest, TrimsAndKeepsEmptyPieces) {
    std::vector<std::string> pieces;
    FillColWithParsedStringElems(pieces, " *.txt , ,*.doc", ",");
    EXPECT_EQ(pieces, (std::vector<std::string>{"*.txt", "", "*.doc"}));
    pieces.clear();
    FillColWithParsedStringElems(pieces, "", ",");
    EXPECT_TRUE(pieces.empty());
}

}  // namespace
}  // namespace duvanto
