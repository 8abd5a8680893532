// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/IncludeList.h"

namespace duvanto {

namespace {

constexpr std::string_view kSeparator = "<:>";
constexpr std::string_view kEscape = "<//";
constexpr std::string_view kEscapedSeparator = "<//:>";
constexpr std::string_view kEscapedEscape = "<///>";
constexpr std::string_view kEmptyItem = "<//>";

std::string EncodeItem(std::string_view item) {
    if (item.empty()) {
        return std::string(kEmptyItem);
    }
    std::string encoded;
    encoded.reserve(item.size());
    for (std::size_t at = 0; at < item.size();) {
        const std::string_view rest = item.substr(at);
        if (rest.starts_with(kSeparator)) {
            encoded += kEscapedSeparator;
            at += kSeparator.size();
        } else if (rest.starts_with(kEscape)) {
            encoded += kEscapedEscape;
            at += kEscape.size();
        } else {
            encoded += item[at++];
        }
    }
    return encoded;
}

// A sequence that is no escape is read as it stands: an older list keeps its text.
std::string DecodeItem(std::string_view piece) {
    if (piece == kEmptyItem) {
        return {};
    }
    std::string item;
    item.reserve(piece.size());
    for (std::size_t at = 0; at < piece.size();) {
        const std::string_view rest = piece.substr(at);
        if (rest.starts_with(kEscapedSeparator)) {
            item += kSeparator;
            at += kEscapedSeparator.size();
        } else if (rest.starts_with(kEscapedEscape)) {
            item += kEscape;
            at += kEscapedEscape.size();
        } else {
            item += piece[at++];
        }
    }
    return item;
}

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// A full path begins here, after blanks.
bool BeginsWithPath(std::string_view piece) {
    for (char c : piece) {
        if (!Blank(c)) {
            return c == '/';
        }
    }
    return false;
}

}  // namespace

std::string EncodeIncludeList(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += kSeparator;
        }
        text += EncodeItem(items[i]);
    }
    // Alone, a name with a comma would be read as a list joined by commas, by older versions
    // too: the separator at its end says otherwise, and names no further item.
    if (items.size() == 1 && text.find(',') != std::string::npos) {
        text += kSeparator;
    }
    return text;
}

std::vector<std::string> DecodeIncludeList(std::string_view text) {
    std::vector<std::string> items;
    if (text.find(kSeparator) != std::string_view::npos) {
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = text.find(kSeparator, start);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            if (end > start) {
                items.push_back(DecodeItem(text.substr(start, end - start)));
            }
            start = end + kSeparator.size();
        }
        return items;
    }
    // Joined by commas. A piece that does not begin a full path is the rest of the name before
    // it, commas and all; an empty one ends nothing (older lists may end in a comma).
    std::size_t itemStart = 0;
    std::size_t itemEnd = std::string_view::npos;  // none yet
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            if (itemEnd != std::string_view::npos && !BeginsWithPath(piece)) {
                itemEnd = end;
            } else {
                if (itemEnd != std::string_view::npos) {
                    items.push_back(DecodeItem(text.substr(itemStart, itemEnd - itemStart)));
                }
                itemStart = start;
                itemEnd = end;
            }
        }
        start = end + 1;
    }
    if (itemEnd != std::string_view::npos) {
        items.push_back(DecodeItem(text.substr(itemStart, itemEnd - itemStart)));
    }
    return items;
}

}  // namespace duvanto
