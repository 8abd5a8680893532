// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalStatusHost.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/FileSystemQueries.h"
#include "util/EscapedText.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

// Redrawing for every file would cost more than the work it reports; a few times a second
// still reads as live.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

// "Comparing folders. Press ESC to Cancel..." is "Comparing folders" here: Ctrl-C is the
// terminal's Escape, and the line has little room.
std::string PhaseOf(const std::string& panel1) {
    std::string phase = panel1.substr(0, panel1.find("Press ESC"));
    phase = Trim(phase);
    if (phase.ends_with('.') && !phase.ends_with("...")) {
        phase.pop_back();
    }
    return phase;
}

std::string Bytes(uint64_t bytes) {
    static const char* const kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string Duration(double seconds) {
    const auto total = static_cast<int64_t>(std::ceil(seconds));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(total / 3600),
                      static_cast<long long>(total / 60 % 60), static_cast<long long>(total % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(total / 60),
                      static_cast<long long>(total % 60));
    }
    return text;
}

// At most `room` bytes, never cutting a UTF-8 character in two.
std::string CutTo(std::string text, std::size_t room) {
    if (text.size() <= room) {
        return text;
    }
    std::size_t end = room;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

}  // namespace

TerminalStatusHost::~TerminalStatusHost() {
    Finish();
}

std::string TerminalStatusHost::TransferText(const TransferFigures& f) {
    std::string text = std::to_string(f.filesDone) + "/" + std::to_string(f.filesTotal) + " files";
    // Copies of empty files and deletions have no bytes to count.
    if (f.bytesTotal == 0) {
        return text;
    }
    text += "  " + Bytes(f.bytesDone) + "/" + Bytes(f.bytesTotal);
    // Too early a rate says nothing but the start-up cost.
    if (f.seconds < 1.0 || f.bytesDone == 0) {
        return text;
    }
    const double rate = static_cast<double>(f.bytesDone) / f.seconds;
    text += "  " + Bytes(static_cast<uint64_t>(rate)) + "/s";
    if (f.bytesTotal > f.bytesDone) {
        text += "  " + Duration(static_cast<double>(f.bytesTotal - f.bytesDone) / rate) + " left";
    }
    return text;
}

void TerminalStatusHost::SetStatusText(int panel, const std::string& text) {
    if (panel == 1) {
        const std::string phase = PhaseOf(text);
        const bool changed = phase != m_phase;
        m_phase = phase;
        m_transferring = false;
        // The operations of a plan are performed under "Cloning folder ...", once per Target;
        // the line shows them once the engine has told their totals.
        if (text.starts_with("Cloning folder")) {
            StartTransfer();
            return;
        }
        Draw(changed);
        return;
    }
    m_panel2 = text;
    Draw(false);
}

void TerminalStatusHost::Progress(const RunProgress& progress) {
    // The walk's count of files scanned (no total) is already in panel 2.
    if (!m_transferring || progress.FilesTotal < 0) {
        return;
    }
    const bool first = !m_haveFigures;
    m_haveFigures = true;
    m_figures.filesDone = progress.FilesDone;
    m_figures.filesTotal = progress.FilesTotal;
    m_figures.bytesDone = static_cast<uint64_t>(progress.BytesDone);
    m_figures.bytesTotal = static_cast<uint64_t>(progress.BytesTotal);
    Draw(first);
}

void TerminalStatusHost::Pump() {
    Draw(false);
}

void TerminalStatusHost::StartTransfer() {
    m_transferring = true;
    m_haveFigures = false;
    m_figures = TransferFigures{};
    m_transferStart = m_clock();
}

std::string TerminalStatusHost::Line() const {
    std::string line = m_phase;
    if (m_transferring && m_haveFigures) {
        TransferFigures figures = m_figures;
        figures.seconds = std::chrono::duration<double>(m_clock() - m_transferStart).count();
        line += "  " + TransferText(figures);
    } else if (!m_panel2.empty()) {
        line += "  " + m_panel2;
    }
    // Names may hold any byte but "/" and NUL; a control character must not move the cursor.
    return EscapeControlCharacters(line);
}

void TerminalStatusHost::Draw(bool force) {
    if (!m_progress) {
        return;
    }
    const auto now = m_clock();
    if (!force && m_drawn && now - m_lastDraw < kRedrawInterval) {
        return;
    }
    m_lastDraw = now;
    const std::size_t room = m_width > 1 ? static_cast<std::size_t>(m_width - 1) : 79;
    const std::string line = CutTo(Line(), room);
    // Padded to the width so that a shorter line leaves nothing of a longer one behind.
    m_out << "\r" << line << std::string(room - line.size(), ' ') << std::flush;
    m_drawn = true;
}

void TerminalStatusHost::Finish() {
    if (m_drawn) {
        const std::size_t room = m_width > 1 ? static_cast<std::size_t>(m_width - 1) : 79;
        m_out << "\r" << std::string(room, ' ') << "\r" << std::flush;
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

std::vector<bool> TerminalStatusHost::ConfirmOperations(const std::vector<FileOp>& operations) {
    Finish();
    std::string lines;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        lines += std::to_string(i + 1) + cClone::DescribeFileOp(operations[i]) + "\n";
    }
    m_out << lines;
    m_out << "Numbers to strike out (for example 2 5-7), or Enter to perform all: " << std::flush;
    std::string answer;
    std::getline(m_in, answer);
    return ParseStrikeOut(answer, operations.size());
}

}  // namespace duvanto
