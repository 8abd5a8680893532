// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log viewer's text box (rtfLogEntries): the clone log as plain text, with the error and
// begin/end spans of the log's marks in red and blue. Built for logs of many megabytes: the
// newest part goes in first (it is what the box opens on), the older part follows from the
// event loop in pieces, only the blocks in view are laid out and coloured, and text appended
// while the box is shown is coloured as if it had been there from the start.

#include <QColor>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>
#include <string>
#include <vector>

#include "app/log/LogViewerController.h"
#include "log/LogClassifier.h"

class QPrinter;

namespace duvanto {

class LogTextView : public QPlainTextEdit, public ILogTextView {
    Q_OBJECT
public:
    static const QColor kErrorColour;     // RGB 255, 0, 0
    static const QColor kBeginEndColour;  // RGB 0, 0, 255

    explicit LogTextView(QWidget* parent = nullptr);

    // Replaces the text by the log's bytes (UTF-8, CR LF or LF ended), coloured when asked,
    // and puts the caret at the end so that the newest entries are in view. Of a large log
    // the older part is still on its way when this returns (see Loading).
    void SetLog(const std::string& bytes, bool colour);
    // Whether older lines are still to come in above the shown ones. Everything that works on
    // the whole text or on positions (Find, printing, the keyboard) takes them in first.
    bool Loading() const { return !m_older.isEmpty(); }
    // Takes in the older lines still to come, at once.
    void LoadWhole();
    // Adds bytes at the end, coloured when the log is; the caret follows when it was at the
    // end. Bytes may split a line or a character: the next piece goes on where this one ends.
    void AppendLog(const std::string& bytes);

    // The colour shown at a position: red, blue, or invalid for the text's own colour.
    QColor ColourAt(int position) const;
    // The spans coloured so far, in the box's positions.
    const std::vector<LogSpan>& Spans() const { return m_spans; }

    // Prints the selection when there is one, else the whole text, in the colours shown, behind
    // a progress window (see LogPrintJob); false when cancelled.
    bool PrintTo(QPrinter& printer);

    long SelectionStart() override;
    long FindAndSelect(const std::string& text, long from, bool wholeWord, bool matchCase) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString Decode(const std::string& bytes);
    // Puts the last `units` of the older lines (from a line's start) above the shown ones,
    // keeping the lines in view where they are.
    void TakeOlder(qsizetype units);
    void AddSpans(const QString& text);
    // Colours the blocks in view (and a page beyond) that are not coloured yet.
    void ColourVisibleBlocks();
    // The spans that overlap [from, to), found by binary search.
    std::vector<LogSpan>::const_iterator FirstSpanEndingAfter(std::size_t position) const;

    QStringDecoder m_decoder{QStringDecoder::Utf8};
    LogColorScanner<char16_t> m_scanner;
    std::vector<LogSpan> m_spans;  // positions in the whole text, older lines included
    // The older lines not in the document yet: the whole text is m_older + the document's.
    QString m_older;
    QTimer m_olderTimer;
    bool m_colour = false;
    bool m_colouring = false;  // guards against the layout's own update requests
};

}  // namespace duvanto
