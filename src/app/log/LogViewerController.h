// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the log viewer (frmLog) decides: what it shows on opening, whether it colours, its Find,
// Clear, Save As and Help. The window shows the text and forwards the buttons.

#include <cstdint>
#include <string>

#include "app/common/AppPrompt.h"
#include "app/help/HelpTopics.h"
#include "engine/StatusHost.h"
#include "log/CloneLog.h"
#include "util/ErrorReporter.h"

namespace duvanto {

// The text box as Find sees it. Positions are the box's own.
class ILogTextView {
public:
    virtual ~ILogTextView() = default;
    // Where the selection starts (the caret when nothing is selected). Not const: a view that
    // is still taking in its text completes it first.
    virtual long SelectionStart() = 0;
    // Looks for `text` from position `from` on; a match is selected and scrolled into view and
    // its position returned, no match (also `from` beyond the end) gives -1.
    virtual long FindAndSelect(const std::string& text, long from, bool wholeWord,
                               bool matchCase) = 0;
};

class LogViewerController {
public:
    static constexpr char kCaption[] = "Clone Log";
    static constexpr char kInitialFindText[] = "Error";

    LogViewerController(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter,
                        IHelpViewer* help, const RunFlags& flags);

    // Reads what has reached the log file (not the buffer) and decides whether to colour it:
    // only below the log's reset size; at or above it the user is told why not.
    std::string Load();
    // Whether the shown log and what is appended to it are coloured.
    bool Colouring() const { return m_colouring; }
    // The status texts: "Current log size = 1,234 bytes" and the logging mode.
    std::string SizeText() const;
    std::string ModeText() const;
    // Text appended to the shown log since it was loaded (a run that writes while it is open).
    void Appended(const std::string& text) {
        m_size += text.size();
        RememberEnd(m_shownEnd + text);
    }

    // What reached the log file since the shown text was read: a run that ended while the
    // viewer was open. When the file no longer begins with what is shown (it was cleared or
    // reset for its size meanwhile) the whole file is read again and shown in its place.
    struct Refresh {
        bool reload = false;
        std::string text;  // what to append, or with reload the whole log
    };
    Refresh ReadNewEntries();

    // Searches on from just after the selection's start; at the end, offers to start again
    // from the beginning.
    void Find(ILogTextView& view, const std::string& text, bool wholeWord, bool matchCase);
    // Deletes the log file unless a clone runs (then it only beeps). True when the window is to
    // show an empty log.
    bool Clear();
    // Beeps while a clone runs; else the Log menu's Save As.
    void SaveAs();
    void Help();

private:
    bool BelowResetSize() const;

    cCloneLog& m_log;
    IAppPrompt& m_prompt;
    ErrorReporter& m_reporter;
    IHelpViewer* m_help;
    const RunFlags& m_flags;
    // Remembers the end of the shown text, by which a later read tells an appended file from a
    // new one.
    void RememberEnd(const std::string& text);

    uint64_t m_size = 0;
    std::string m_shownEnd;  // the last bytes of what is shown (up to kShownEndBytes)
    bool m_colouring = false;
};

}  // namespace duvanto
