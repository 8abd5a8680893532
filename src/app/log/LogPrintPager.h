// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lays the log viewer's text out on printed pages one page at a time, so that printing a log of
// many megabytes goes on between the event loop's other work (the scheduler, a Cancel button)
// and can stop after any page. Long lines wrap onto further rows, after a space where the row
// has one; the colours of the log's marks follow the text onto the rows.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "log/LogClassifier.h"

namespace duvanto {

class LogPrintPager {
public:
    // How many leading units of a line fit on one printed row.
    using RowFit = std::function<std::size_t(std::u16string_view line)>;

    struct Row {
        std::size_t start = 0;  // in the text
        std::size_t length = 0;
        std::vector<LogSpan> spans;  // the coloured parts, counted from the row's start

        bool operator==(const Row&) const = default;
    };

    // `text` holds the lines to print, each ended by "\n" but perhaps the last, and must outlive
    // the pager. `spans` are the coloured spans of the whole log, in order, and the text starts
    // `offset` units into it (a selection's place).
    LogPrintPager(std::u16string_view text, std::vector<LogSpan> spans, std::size_t offset,
                  int rowsPerPage, RowFit fit);

    bool Done() const { return m_at >= m_text.size() && !m_empty; }
    // The next page's rows (a page of an empty text has none); nothing once Done.
    std::vector<Row> NextPage();
    int PagesDone() const { return m_pages; }
    // How much of the text is on the pages so far, 0 to 100.
    int Percent() const;

private:
    Row NextRow();
    std::vector<LogSpan> SpansOf(std::size_t start, std::size_t length);

    std::u16string_view m_text;
    std::vector<LogSpan> m_spans;
    std::size_t m_offset;
    std::size_t m_rowsPerPage;
    RowFit m_fit;
    std::size_t m_at = 0;    // where the next row starts
    std::size_t m_span = 0;  // the first span that may reach the next row
    bool m_empty;            // an empty text still prints one (empty) page
    int m_pages = 0;
};

}  // namespace duvanto
