#include "cli/TerminalStatusHost.h"

#include <sstream>

namespace duvanto {

TerminalStatusHost::~TerminalStatusHost() {
    Finish();
}

void TerminalStatusHost::SetStatusText(int panel, const std::string& text) {
    std::string& slot = panel == 1 ? m_panel1 : m_panel2;
    const bool phaseChanged = panel == 1 && slot != text;
    slot = text;
    Draw(phaseChanged);
}

void TerminalStatusHost::Draw(bool force) {
    if (!m_progress) {
        return;
    }
    // Redrawing for every file would cost more than the work it reports.
    auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_lastDraw < std::chrono::milliseconds(100)) {
        return;
    }
    m_lastDraw = now;
    std::string line = m_panel1 + "  " + m_panel2;
    const std::size_t room = m_width > 1 ? static_cast<std::size_t>(m_width - 1) : 79;
    if (line.size() > room) {
        line = line.substr(0, room);
    }
    m_out << "\r" << line << std::string(room - line.size(), ' ') << std::flush;
    m_drawn = true;
}

void TerminalStatusHost::Finish() {
    if (m_drawn) {
        Draw(true);
        m_out << "\n" << std::flush;
        m_drawn = false;
    }
}

std::vector<bool> TerminalStatusHost::ParseStrikeOut(const std::string& answer, std::size_t count) {
    std::vector<bool> skip(count, false);
    std::istringstream words(answer);
    std::string word;
    while (words >> word) {
        std::size_t dash = word.find('-');
        try {
            std::size_t first = std::stoul(word.substr(0, dash));
            std::size_t last =
                dash == std::string::npos ? first : std::stoul(word.substr(dash + 1));
            for (std::size_t n = first; n <= last && n <= count; ++n) {
                if (n >= 1) {
                    skip[n - 1] = true;
                }
            }
        } catch (const std::exception&) {
            // Not a number: nothing to strike for this word.
        }
    }
    return skip;
}

std::vector<bool> TerminalStatusHost::ConfirmOperations(const std::vector<std::string>& lines) {
    Finish();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        m_out << (i + 1) << lines[i] << "\n";
    }
    m_out << "Numbers to strike out (for example 2 5-7), or Enter to perform all: " << std::flush;
    std::string answer;
    std::getline(m_in, answer);
    return ParseStrikeOut(answer, lines.size());
}

}  // namespace duvanto
