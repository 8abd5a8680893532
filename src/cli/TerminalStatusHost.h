#pragma once
// The status of a run on a terminal: one line that rewrites itself with panels 1 and 2, and the
// confirmation list as numbered lines with a question.

#include <chrono>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/StatusHost.h"

namespace duvanto {

class TerminalStatusHost : public IStatusHost {
public:
    // progress: show the self-updating line (a terminal, not --quiet); width in columns.
    TerminalStatusHost(std::istream& in, std::ostream& out, bool progress, int width)
        : m_in(in), m_out(out), m_progress(progress), m_width(width) {}
    ~TerminalStatusHost() override;

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override {}
    std::vector<bool> ConfirmOperations(const std::vector<std::string>& lines) override;

    // Ends the progress line so that what follows starts on a line of its own.
    void Finish();

    // "2 5-7" → the flags of those 1-based numbers; numbers outside 1..count are ignored.
    static std::vector<bool> ParseStrikeOut(const std::string& answer, std::size_t count);

private:
    void Draw(bool force);

    std::istream& m_in;
    std::ostream& m_out;
    bool m_progress;
    int m_width;
    std::string m_panel1;
    std::string m_panel2;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace duvanto
