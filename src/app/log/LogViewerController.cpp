// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/LogViewerController.h"

#include "app/log/LogCommands.h"

#include <algorithm>

namespace duvanto {

LogViewerController::LogViewerController(cCloneLog& log, IAppPrompt& prompt,
                                         ErrorReporter& reporter, IHelpViewer* help,
                                         const RunFlags& flags)
    : m_log(log), m_prompt(prompt), m_reporter(reporter), m_help(help), m_flags(flags) {}

std::string LogViewerController::Load() {
    std::string text = m_log.GetLogEntriesFromFile();
    m_size = text.size();
    RememberEnd(text);
    // The reset size bounds what is coloured; past it the user is told why the log is plain.
    m_colouring = BelowResetSize();
    if (m_size != 0 && !m_colouring) {
        m_prompt.ShowMessage("Log Performance Enhancement",
                             "The Log is larger than the specified Reset Size.  Therefore,\r\n"
                             "color coding has been disabled to speed up the display.",
                             MessageIcon::Information, MessageButtons::OK);
    }
    return text;
}

namespace {
constexpr std::size_t kShownEndBytes = 256;
}  // namespace

void LogViewerController::RememberEnd(const std::string& text) {
    const std::size_t keep = std::min(text.size(), kShownEndBytes);
    m_shownEnd = text.substr(text.size() - keep);
}

LogViewerController::Refresh LogViewerController::ReadNewEntries() {
    Refresh refresh;
    std::string text = m_log.GetLogEntriesFromFile();
    const bool appended =
        text.size() >= m_size && m_size >= m_shownEnd.size() &&
        text.compare(m_size - m_shownEnd.size(), m_shownEnd.size(), m_shownEnd) == 0;
    if (appended) {
        refresh.text = text.substr(m_size);
        m_size = text.size();
        RememberEnd(m_shownEnd + refresh.text);
    } else {
        // A log made anew is coloured by the rule the viewer opened with, but quietly: the
        // message about a large log belongs to the opening.
        refresh.reload = true;
        m_size = text.size();
        m_colouring = BelowResetSize();
        RememberEnd(text);
        refresh.text = std::move(text);
    }
    return refresh;
}

bool LogViewerController::BelowResetSize() const {
    return m_size < static_cast<uint64_t>(std::max(m_log.MaxLogFileSize(), 0));
}

std::string LogViewerController::SizeText() const {
    return "Current log size = " + GroupedDigits(m_size) + " bytes";
}

std::string LogViewerController::ModeText() const {
    return m_log.LogOnlyErrors() ? "Log Only Errors" : "Log All Activity";
}

void LogViewerController::Find(ILogTextView& view, const std::string& text, bool wholeWord,
                               bool matchCase) {
    if (text.empty()) {
        m_prompt.ShowMessage("Find", "Please enter some text to Find", MessageIcon::Exclamation,
                             MessageButtons::OK);
        return;
    }
    if (view.FindAndSelect(text, view.SelectionStart() + 1, wholeWord, matchCase) != -1) {
        return;
    }
    if (m_prompt.ShowMessage("Find", "No match found.  Search from the beginning of the log?",
                             MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    if (view.FindAndSelect(text, 0, wholeWord, matchCase) == -1) {
        m_prompt.ShowMessage("Find", "No match found.", MessageIcon::Information,
                             MessageButtons::OK);
    }
}

bool LogViewerController::Clear() {
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return false;
    }
    m_log.DeleteLogFile();
    m_size = 0;
    m_shownEnd.clear();
    m_colouring = BelowResetSize();  // for the entries of the next run
    return true;
}

void LogViewerController::SaveAs() {
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return;
    }
    SaveLog(m_log, m_prompt, m_reporter);
}

void LogViewerController::Help() {
    if (m_help != nullptr) {
        m_help->ShowHelp(HelpLogViewer);
    }
}

}  // namespace duvanto
