// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalTaskRun.h"

#include "platform/Terminal.h"
#include "util/EscapedText.h"

namespace duvanto {

void TerminalTaskRun::SetStatusText(int panel, const std::string& text) {
    if (panel == 1) {
        m_panel1 = text;
    }
    m_host.SetStatusText(panel, text);
}

bool TerminalTaskRun::AllowMassDelete(const std::string& why) {
    if (!m_allowMassDelete) {
        m_host.Finish();
        m_err << "duvanto-cli: " << why
              << "; nothing was done (--allow-mass-delete deletes them all the same)\n"
              << std::flush;
    }
    return m_allowMassDelete;
}

IRunHost& TerminalRunFront::RunStarting() {
    const bool progress = !m_quiet && IsTerminal(StandardStream::Output);
    m_host.emplace(m_streams.in, m_streams.out, progress, TerminalWidth(StandardStream::Output));
    m_window.emplace(*m_host, m_streams.err, m_allowMassDelete);
    InterruptSetsFlag(&m_flags.EscPressed, &m_flags.SessionEnding);
    return *m_window;
}

void TerminalRunFront::RunEnded(const TaskRunOutcome* outcome) {
    InterruptSetsFlag(m_betweenRuns, m_betweenRuns);
    m_host->Finish();
    if (outcome != nullptr && m_printOutcome) {
        // "Clone Complete - NAME": the name is the list's, which may hold anything.
        m_streams.out << EscapeControlCharacters(m_window->LastStatus()) << "\n" << std::flush;
    }
    m_window.reset();
    m_host.reset();
}

}  // namespace duvanto
