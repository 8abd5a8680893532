// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/LogPrintPager.h"

#include <algorithm>

namespace duvanto {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

LogPrintPager::LogPrintPager(std::u16string_view text, std::vector<LogSpan> spans,
                             std::size_t offset, int rowsPerPage, RowFit fit)
    : m_text(text),
      m_spans(std::move(spans)),
      m_offset(offset),
      m_rowsPerPage(static_cast<std::size_t>(std::max(rowsPerPage, 1))),
      m_fit(std::move(fit)),
      m_empty(text.empty()) {}

std::vector<LogPrintPager::Row> LogPrintPager::NextPage() {
    std::vector<Row> rows;
    if (Done()) {
        return rows;
    }
    m_empty = false;
    while (rows.size() < m_rowsPerPage && m_at < m_text.size()) {
        rows.push_back(NextRow());
    }
    ++m_pages;
    return rows;
}

LogPrintPager::Row LogPrintPager::NextRow() {
    const std::size_t lineEnd = std::min(m_text.find(u'\n', m_at), m_text.size());
    const std::u16string_view rest = m_text.substr(m_at, lineEnd - m_at);
    std::size_t length = rest.size();
    std::size_t next = lineEnd + 1;  // past the line's end
    if (!rest.empty()) {
        const std::size_t fits = std::clamp<std::size_t>(m_fit(rest), 1, rest.size());
        if (fits < rest.size()) {
            // After the last space that fits, else wherever the row is full, but never
            // between the halves of a character.
            const std::size_t space = rest.substr(0, fits).find_last_of(u' ');
            length = space != std::u16string_view::npos && space > 0 ? space + 1 : fits;
            if (length > 1 && IsHighSurrogate(rest[length - 1])) {
                --length;
            }
            next = m_at + length;
        }
    }
    Row row{m_at, length, SpansOf(m_at, length)};
    m_at = std::min(next, m_text.size());
    return row;
}

std::vector<LogSpan> LogPrintPager::SpansOf(std::size_t start, std::size_t length) {
    const std::size_t from = m_offset + start;
    const std::size_t to = from + length;
    // Spans are in order and do not overlap: those ended before this row end before every
    // later one.
    while (m_span < m_spans.size() && m_spans[m_span].start + m_spans[m_span].length <= from) {
        ++m_span;
    }
    std::vector<LogSpan> found;
    for (std::size_t i = m_span; i < m_spans.size() && m_spans[i].start < to; ++i) {
        const std::size_t begin = std::max(m_spans[i].start, from);
        const std::size_t end = std::min(m_spans[i].start + m_spans[i].length, to);
        if (end > begin) {
            found.push_back({begin - from, end - begin, m_spans[i].kind});
        }
    }
    return found;
}

int LogPrintPager::Percent() const {
    if (Done()) {
        return 100;
    }
    if (m_text.empty()) {
        return 0;
    }
    // In floating point: a text's units times 100 may not fit where size_t is 32 bits.
    return static_cast<int>(static_cast<double>(m_at) * 100.0 / static_cast<double>(m_text.size()));
}

}  // namespace duvanto
