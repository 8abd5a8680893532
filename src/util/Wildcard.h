// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one wildcard matcher of the program, for the engine's file masks and the task's patterns.
// Names are UTF-8: a character is a whole UTF-8 sequence (a byte that begins no valid sequence
// counts as one character of its own), so "?" matches "é" as it matches "e".
//
// Pattern syntax: "*" any run of characters (none included), "?" any one character, "#" one
// digit 0-9, "[list]" one character of the list, "[!list]" one character not in it; a list may
// hold ranges such as "a-z". A "[" without a "]" after it is an ordinary character that
// matches only "[".

#include <string_view>

namespace duvanto {

enum class LetterCase {
    Matters,  // "A" matches only "A"
    Ignored,  // "A" matches "a", "É" matches "é", "Σ" matches "σ" and "ς"
};

bool WildcardMatches(std::string_view name, std::string_view pattern, LetterCase letterCase);

// The lower-case form of a Unicode character that case-insensitive matching compares, for the
// alphabets that have letter case (Latin, Greek, Cyrillic, Armenian, Georgian and a few
// symbol sets); other characters come back unchanged.
char32_t FoldLetterCase(char32_t c);

}  // namespace duvanto
