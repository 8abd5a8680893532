// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/LogClassifier.h"

namespace duvanto {

namespace {

template <typename Char>
constexpr Char Closing(LogSpanKind kind) {
    return kind == LogSpanKind::Error ? Char(':') : Char('>');
}

}  // namespace

template <typename Char>
std::vector<LogSpan> LogColorScanner<Char>::Feed(std::basic_string_view<Char> piece) {
    std::vector<LogSpan> spans;
    const std::size_t base = m_position;
    std::size_t i = 0;
    while (i < piece.size()) {
        if (!m_pending) {
            // Only the two opening marks matter here, so skip to the next one at once.
            static constexpr Char kOpenings[] = {Char('*'), Char('<')};
            const std::size_t open =
                piece.find_first_of(std::basic_string_view<Char>(kOpenings, 2), i);
            if (open == std::basic_string_view<Char>::npos) {
                break;
            }
            m_pending = true;
            m_pendingStart = base + open;
            m_pendingKind = piece[open] == Char('*') ? LogSpanKind::Error : LogSpanKind::BeginEnd;
            i = open + 1;
        }
        const std::size_t close = piece.find(Closing<Char>(m_pendingKind), i);
        if (close == std::basic_string_view<Char>::npos) {
            break;
        }
        spans.push_back({m_pendingStart, base + close + 1 - m_pendingStart, m_pendingKind});
        m_pending = false;
        i = close + 1;
    }
    m_position = base + piece.size();
    return spans;
}

template class LogColorScanner<char>;
template class LogColorScanner<char16_t>;

LogLineClass ClassifyLogLine(std::string_view line) {
    const std::size_t mark = line.find_first_of("*<");
    const std::size_t success = line.find(" - ");
    if (mark == std::string_view::npos || success < mark) {
        return {};
    }
    const std::string_view entry = line.substr(mark + 1);
    if (line[mark] == '*') {
        const std::size_t colon = entry.find(':');
        if (colon == std::string_view::npos) {
            return {};
        }
        return {LogLineKind::Error, entry.substr(0, colon)};
    }
    for (const std::string_view opening :
         {std::string_view("Begin: "), std::string_view("End: ")}) {
        if (entry.substr(0, opening.size()) == opening) {
            const std::size_t close = entry.find('>', opening.size());
            if (close == std::string_view::npos) {
                return {};
            }
            return {LogLineKind::BeginEnd, entry.substr(opening.size(), close - opening.size())};
        }
    }
    return {};
}

}  // namespace duvanto
