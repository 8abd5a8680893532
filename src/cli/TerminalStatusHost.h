// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status of a run on a terminal: one line that rewrites itself a few times a second with the
// phase and, while files are copied, files and bytes done of their totals, the rate and the time
// left; and the confirmation list as numbered lines with a question.

#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Clone.h"
#include "engine/StatusHost.h"

namespace duvanto {

// What the progress line shows while the planned operations are performed.
struct TransferFigures {
    int64_t filesDone = 0;
    int64_t filesTotal = 0;
    uint64_t bytesDone = 0;
    uint64_t bytesTotal = 0;
    double seconds = 0;  // since the operations began
};

class TerminalStatusHost : public IStatusHost {
public:
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

    // progress: show the self-updating line (a terminal, not --quiet); width in columns. Nothing
    // of the line is written without progress.
    TerminalStatusHost(std::istream& in, std::ostream& out, bool progress, int width,
                       SteadyClock clock = std::chrono::steady_clock::now)
        : m_in(in), m_out(out), m_progress(progress), m_width(width), m_clock(std::move(clock)) {}
    ~TerminalStatusHost() override;

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override;
    void Progress(const RunProgress& progress) override;
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override;

    // Clears the progress line, so that what follows starts at the beginning of an empty line.
    void Finish();

    // "2 5-7" → the flags of those 1-based numbers; numbers outside 1..count are ignored.
    static std::vector<bool> ParseStrikeOut(const std::string& answer, std::size_t count);

    // "12/40 files  1.5 MiB/8.0 MiB  512.0 KiB/s  0:13 left"; the bytes only where the copies
    // have any, the rate and time left only once they can be told.
    static std::string TransferText(const TransferFigures& figures);

private:
    void StartTransfer();
    void Draw(bool force);
    std::string Line() const;

    std::istream& m_in;
    std::ostream& m_out;
    bool m_progress;
    int m_width;
    SteadyClock m_clock;
    std::string m_phase;
    std::string m_panel2;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};

    // The transfer: the figures the engine last reported while performing.
    bool m_transferring = false;
    bool m_haveFigures = false;
    TransferFigures m_figures;
    std::chrono::steady_clock::time_point m_transferStart{};
};

}  // namespace duvanto
