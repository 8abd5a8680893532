// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the log viewer colours, and what kind of entry a clone-log line is. Both rest on two
// marks of the entry texts: an error entry starts with "*" and names the error up to the first
// colon; a Begin or End entry holds its task name between "<" and the next ">".
//
// Colouring is a scan of the whole text, not of each line: an "*" or "<" anywhere (inside a
// file name or an error description too) opens a span that runs to the next ":" or ">", even
// on a later line, and an opened span that never closes ends the colouring there.

#include <cstddef>
#include <string_view>
#include <vector>

namespace duvanto {

enum class LogSpanKind {
    Error,     // shown in red, RGB 255, 0, 0
    BeginEnd,  // shown in blue, RGB 0, 0, 255
};

struct LogSpan {
    std::size_t start = 0;   // position in the text, counted from 0
    std::size_t length = 0;  // from the opening mark through the closing one
    LogSpanKind kind = LogSpanKind::Error;

    bool operator==(const LogSpan&) const = default;
};

// Scans a text that may arrive in pieces (a log that grows while it is shown): the spans of
// the pieces together are exactly those of the whole text scanned at once. A span whose
// closing mark has not arrived yet is held back until it does. Works on 8-bit text and on
// UTF-16 text alike (the marks are ASCII); positions count the units of the text fed.
template <typename Char>
class LogColorScanner {
public:
    // Adds the next piece and gives the spans completed by it, in text order.
    std::vector<LogSpan> Feed(std::basic_string_view<Char> piece);
    // Starts again at position 0 with nothing pending.
    void Reset() { *this = LogColorScanner(); }

private:
    std::size_t m_position = 0;
    bool m_pending = false;
    std::size_t m_pendingStart = 0;
    LogSpanKind m_pendingKind = LogSpanKind::Error;
};

extern template class LogColorScanner<char>;
extern template class LogColorScanner<char16_t>;

enum class LogLineKind {
    Error,     // " *Copy Error: ..." and every other error kind
    BeginEnd,  // "<Begin: Task>" and "<End: Task> {...}"
    Plain,     // success entries, blank lines, anything else
};

struct LogLineClass {
    LogLineKind kind = LogLineKind::Plain;
    // For Error: the error's name ("Copy Error"); for BeginEnd: the task's name. Views into
    // the line given.
    std::string_view name;
};

// The kind of one line of the log (without its line end). The entry's text follows the
// timestamp, which holds neither "*" nor "<"; the first mark of the line decides, so a file
// name with an "*" or "<" in a success entry does not make it an error.
LogLineClass ClassifyLogLine(std::string_view line);

}  // namespace duvanto
