// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Wildcard.h"

#include <cstddef>

namespace duvanto {

namespace {

// Bytes that begin no valid UTF-8 sequence become values above the last Unicode character, so
// that each is a character of its own and equals only the same byte.
constexpr char32_t kLooseByte = 0x110000;

struct Character {
    char32_t value;
    std::size_t length;  // in bytes
};

Character DecodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const Character loose{kLooseByte + lead, 1};
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length;
    char32_t value;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return loose;
    }
    if (at + length > text.size()) {
        return loose;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return loose;
        }
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return loose;
    }
    return {value, length};
}

bool Within(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

// Pairs where the capital sits at an even (or odd) code point and its small letter follows.
char32_t PairedLower(char32_t c, bool capitalEven) {
    return ((c % 2 == 0) == capitalEven) ? c + 1 : c;
}

bool SameCharacter(char32_t a, char32_t b, LetterCase letterCase) {
    return a == b || (letterCase == LetterCase::Ignored && FoldLetterCase(a) == FoldLetterCase(b));
}

bool InRange(char32_t c, char32_t low, char32_t high, LetterCase letterCase) {
    if (Within(c, low, high)) {
        return true;
    }
    return letterCase == LetterCase::Ignored &&
           Within(FoldLetterCase(c), FoldLetterCase(low), FoldLetterCase(high));
}

// One "[...]" list between the positions of "[" and "]".
bool ListMatches(std::string_view pattern, std::size_t open, std::size_t close, char32_t c,
                 LetterCase letterCase) {
    std::size_t i = open + 1;
    const bool negate = i < close && pattern[i] == '!';
    if (negate) {
        ++i;
    }
    bool found = false;
    while (i < close) {
        const Character first = DecodeAt(pattern, i);
        const std::size_t after = i + first.length;
        if (after + 1 < close && pattern[after] == '-') {
            const Character last = DecodeAt(pattern, after + 1);
            found = found || InRange(c, first.value, last.value, letterCase);
            i = after + 1 + last.length;
        } else {
            found = found || SameCharacter(first.value, c, letterCase);
            i = after;
        }
    }
    return found != negate;
}

}  // namespace

char32_t FoldLetterCase(char32_t c) {
    if (c < 0x80) {
        return Within(c, 'A', 'Z') ? c + 32 : c;
    }
    if (c < 0x100) {
        return Within(c, 0xC0, 0xDE) && c != 0xD7 ? c + 32 : c;
    }
    if (c < 0x180) {
        if (c == 0x130) {
            return 'i';
        }
        if (c == 0x178) {
            return 0xFF;
        }
        if (c == 0x17F) {
            return 's';
        }
        if (Within(c, 0x139, 0x148) || Within(c, 0x179, 0x17E)) {
            return PairedLower(c, false);
        }
        if (c == 0x131 || c == 0x138 || c == 0x149) {
            return c;
        }
        return PairedLower(c, true);
    }
    if (c < 0x250) {
        switch (c) {
            case 0x1C4:
            case 0x1C5:
                return 0x1C6;
            case 0x1C7:
            case 0x1C8:
                return 0x1C9;
            case 0x1CA:
            case 0x1CB:
                return 0x1CC;
            case 0x1F1:
            case 0x1F2:
                return 0x1F3;
            default:
                break;
        }
        if (Within(c, 0x1CD, 0x1DC)) {
            return PairedLower(c, false);
        }
        if (Within(c, 0x1DE, 0x1EF) || Within(c, 0x1F8, 0x21F) || Within(c, 0x222, 0x233) ||
            Within(c, 0x246, 0x24F)) {
            return PairedLower(c, true);
        }
        return c;
    }
    if (c < 0x530) {
        // Greek and Cyrillic.
        switch (c) {
            case 0x386:
                return 0x3AC;
            case 0x38C:
                return 0x3CC;
            case 0x3C2:
                return 0x3C3;  // final sigma
            case 0x4C0:
                return 0x4CF;
            default:
                break;
        }
        if (Within(c, 0x388, 0x38A)) {
            return c + 37;
        }
        if (Within(c, 0x38E, 0x38F)) {
            return c + 63;
        }
        if ((Within(c, 0x391, 0x3AB) && c != 0x3A2) || Within(c, 0x410, 0x42F)) {
            return c + 32;
        }
        if (Within(c, 0x400, 0x40F)) {
            return c + 80;
        }
        if (Within(c, 0x4C1, 0x4CE)) {
            return PairedLower(c, false);
        }
        if (Within(c, 0x3D8, 0x3EF) || Within(c, 0x460, 0x481) || Within(c, 0x48A, 0x4BF) ||
            Within(c, 0x4D0, 0x52F)) {
            return PairedLower(c, true);
        }
        return c;
    }
    if (Within(c, 0x531, 0x556)) {
        return c + 48;  // Armenian
    }
    if (Within(c, 0x10A0, 0x10C5)) {
        return c + 0x1C60;  // Georgian
    }
    if (Within(c, 0x1E00, 0x1E95) || Within(c, 0x1EA0, 0x1EFF)) {
        return PairedLower(c, true);
    }
    switch (c) {
        case 0x1E9E:
            return 0xDF;  // capital sharp s
        case 0x2126:
            return 0x3C9;  // ohm sign
        case 0x212A:
            return 'k';  // kelvin sign
        case 0x212B:
            return 0xE5;  // angstrom sign
        default:
            break;
    }
    if (Within(c, 0x2160, 0x216F)) {
        return c + 16;  // Roman numerals
    }
    if (Within(c, 0x24B6, 0x24CF)) {
        return c + 26;  // circled letters
    }
    if (Within(c, 0xFF21, 0xFF3A)) {
        return c + 32;  // full-width letters
    }
    if (Within(c, 0x10400, 0x10427)) {
        return c + 40;  // Deseret
    }
    return c;
}

bool WildcardMatches(std::string_view name, std::string_view pattern, LetterCase letterCase) {
    // Iterative matching with one back-tracking point for the last "*": linear in practice and
    // never exponential, whatever the pattern.
    std::size_t n = 0, p = 0;
    std::size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
            continue;
        }
        if (p < pattern.size()) {
            const Character c = DecodeAt(name, n);
            std::size_t next = p + 1;
            bool ok;
            std::size_t close;
            if (pattern[p] == '?') {
                ok = true;
            } else if (pattern[p] == '#') {
                ok = Within(c.value, '0', '9');
            } else if (pattern[p] == '[' &&
                       (close = pattern.find(']', p + 1)) != std::string_view::npos) {
                ok = ListMatches(pattern, p, close, c.value, letterCase);
                next = close + 1;
            } else {
                const Character wanted = DecodeAt(pattern, p);
                ok = SameCharacter(wanted.value, c.value, letterCase);
                next = p + wanted.length;
            }
            if (ok) {
                p = next;
                n += c.length;
                continue;
            }
        }
        if (starPattern == std::string_view::npos) {
            return false;
        }
        p = starPattern + 1;
        starName += DecodeAt(name, starName).length;
        n = starName;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace duvanto
