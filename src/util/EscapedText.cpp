// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/EscapedText.h"

namespace duvanto {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the UTF-8 character that begins at text[at], or 0 when none does there.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) {
            return 0;
        }
    }
    return length;
}

// How many bytes from text[at] form a control character (0: none begins there), and in `skip`
// how many bytes pass unchanged when none does.
std::size_t ControlAt(std::string_view text, std::size_t at, std::size_t& skip) {
    skip = 1;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 32 || byte == 127) {
        return 1;
    }
    if (byte < 0x80) {
        return 0;
    }
    const std::size_t length = Utf8Length(text, at);
    if (length == 0) {
        return byte <= 0x9F ? 1 : 0;
    }
    if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
        return 2;
    }
    skip = length;
    return 0;
}

std::string Escape(std::string_view text, bool keepLineFeeds, bool escapeBackslashes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        std::size_t skip = 1;
        const std::size_t control = ControlAt(text, at, skip);
        if (control > 0 && !(keepLineFeeds && c == '\n')) {
            for (std::size_t i = 0; i < control; ++i) {
                const auto byte = static_cast<unsigned char>(text[at + i]);
                result += "\\x";
                result += kHex[byte >> 4];
                result += kHex[byte & 0x0F];
            }
            at += control;
        } else if (c == '\\' && escapeBackslashes) {
            result += "\\\\";
            ++at;
        } else {
            result.append(text.substr(at, control > 0 ? 1 : skip));
            at += control > 0 ? 1 : skip;
        }
    }
    return result;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    return Escape(text, false, true);
}

std::string EscapeForTerminal(std::string_view text) {
    return Escape(text, true, false);
}

}  // namespace duvanto
