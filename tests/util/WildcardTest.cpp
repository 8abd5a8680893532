// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace duvanto {
namespace {

constexpr LetterCase kIgnored = LetterCase::Ignored;
constexpr LetterCase kMatters = LetterCase::Matters;

TEST(WildcardTest, QuestionMarkIsOneCharacterNotOneByte) {
    EXPECT_TRUE(WildcardMatches("\xc3\xa9.txt", "?.txt", kIgnored));              // é, 2 bytes
    EXPECT_TRUE(WildcardMatches("data\xe2\x82\xac.csv", "data?.csv", kMatters));  // €, 3 bytes
    EXPECT_TRUE(WildcardMatches("\xf0\x9f\x98\x80", "?", kMatters));              // 4 bytes
    EXPECT_FALSE(WildcardMatches("\xc3\xa9\xc3\xa9.txt", "?.txt", kIgnored));
    // "*" backs up over whole characters too.
    EXPECT_TRUE(WildcardMatches("\xc3\xa9t\xc3\xa9.doc", "*?.doc", kMatters));
    EXPECT_TRUE(WildcardMatches("\xc3\xa9t\xc3\xa9.doc", "*\xc3\xa9.doc", kMatters));
    // A stray byte that begins no UTF-8 sequence is one character, equal only to itself.
    EXPECT_TRUE(WildcardMatches("a\xff.txt", "a?.txt", kIgnored));
    EXPECT_TRUE(WildcardMatches("\xe9t\xe9", "\xe9??", kIgnored));
    EXPECT_FALSE(WildcardMatches("\xe9", "\xc9", kIgnored));
}

TEST(WildcardTest, LetterCaseBeyondAscii) {
    EXPECT_TRUE(WildcardMatches("\xc3\x89.TXT", "\xc3\xa9*", kIgnored));  // É.TXT ~ é*
    EXPECT_FALSE(WildcardMatches("\xc3\x89.TXT", "\xc3\xa9*", kMatters));
    // ΣΊΣΥΦΟΣ.TXT ~ σίσυφος.txt, final sigma included
    EXPECT_TRUE(WildcardMatches("\xce\xa3\xce\x8a\xce\xa3\xce\xa5\xce\xa6\xce\x9f\xce\xa3.TXT",
                                "\xcf\x83\xce\xaf\xcf\x83\xcf\x85\xcf\x86\xce\xbf\xcf\x82.txt",
                                kIgnored));
    // МОСКВА ~ москва, Ёж ~ ёж, ŁÓDŹ ~ łódź
    EXPECT_TRUE(WildcardMatches("\xd0\x9c\xd0\x9e\xd0\xa1\xd0\x9a\xd0\x92\xd0\x90",
                                "\xd0\xbc\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0", kIgnored));
    EXPECT_TRUE(WildcardMatches("\xd0\x81\xd0\xb6", "\xd1\x91\xd0\xb6", kIgnored));
    EXPECT_TRUE(
        WildcardMatches("\xc5\x81\xc3\x93\x44\xc5\xb9", "\xc5\x82\xc3\xb3\x64\xc5\xba", kIgnored));
    // Letter-less characters are left alone: × is not ÷ or any letter.
    EXPECT_FALSE(WildcardMatches("\xc3\x97", "\xc3\xb7", kIgnored));
    EXPECT_EQ(FoldLetterCase(U'\u00D7'), U'\u00D7');
    EXPECT_EQ(FoldLetterCase(U'\u1E9E'), U'\u00DF');
}

TEST(WildcardTest, ListsAndRangesCompareCharacters) {
    EXPECT_TRUE(WildcardMatches("\xc3\xa8.log", "[\xc3\xa0-\xc3\xbd].log", kMatters));  // è in à-ý
    EXPECT_TRUE(WildcardMatches("\xc3\x88.log", "[\xc3\xa0-\xc3\xbd].log", kIgnored));  // È too
    EXPECT_FALSE(WildcardMatches("\xc3\x88.log", "[\xc3\xa0-\xc3\xbd].log", kMatters));
    EXPECT_TRUE(WildcardMatches("\xc3\xbc", "[!\xc3\xa4\xc3\xb6]", kMatters));
    EXPECT_FALSE(WildcardMatches("\xc3\xb6", "[!\xc3\xa4\xc3\xb6]", kMatters));
    EXPECT_FALSE(WildcardMatches("\xc3\x96", "[!\xc3\xa4\xc3\xb6]", kIgnored));
    EXPECT_TRUE(WildcardMatches("Q.c", "[a-z].c", kIgnored));
    EXPECT_FALSE(WildcardMatches("Q.c", "[a-z].c", kMatters));
    // "#" is an ASCII digit only.
    EXPECT_TRUE(WildcardMatches("v7", "v#", kMatters));
    EXPECT_FALSE(WildcardMatches("v\xd9\xa7", "v#", kMatters));  // Arabic-Indic seven
}

TEST(WildcardTest, UnclosedBracketIsAPlainCharacterInBothModes) {
    for (LetterCase letterCase : {kIgnored, kMatters}) {
        EXPECT_TRUE(WildcardMatches("a[b", "a[b", letterCase));
        EXPECT_TRUE(WildcardMatches("x[1", "x[?", letterCase));
        EXPECT_FALSE(WildcardMatches("xb1", "x[?", letterCase));
        EXPECT_TRUE(WildcardMatches("[", "*[", letterCase));
    }
}

}  // namespace
}  // namespace duvanto
