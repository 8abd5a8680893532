#pragma once
// The log viewer's text box (rtfLogEntries): the clone log as plain text, with the error and
// begin/end spans of the log's marks in red and blue. Built for logs of many megabytes: the
// text goes in at once, only the blocks in view are laid out and coloured, and text appended
// while the box is shown is coloured as if it had been there from the start.

#include <QColor>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <string>
#include <vector>

#include "app/logic/LogViewerController.h"
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
    // and puts the caret at the end so that the newest entries are in view.
    void SetLog(const std::string& bytes, bool colour);
    // Adds bytes at the end, coloured when the log is; the caret follows when it was at the
    // end. Bytes may split a line or a character: the next piece goes on where this one ends.
    void AppendLog(const std::string& bytes);

    // The colour shown at a position: red, blue, or invalid for the text's own colour.
    QColor ColourAt(int position) const;
    // The spans coloured so far, in the box's positions.
    const std::vector<LogSpan>& Spans() const { return m_spans; }

    // Prints the selection when there is one, else the whole text, in the colours shown.
    void PrintTo(QPrinter& printer) const;

    long SelectionStart() const override;
    long FindAndSelect(const std::string& text, long from, bool wholeWord, bool matchCase) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString Decode(const std::string& bytes);
    void AddSpans(const QString& text);
    // Colours the blocks in view (and a page beyond) that are not coloured yet.
    void ColourVisibleBlocks();
    // The spans that overlap [from, to), found by binary search.
    std::vector<LogSpan>::const_iterator FirstSpanEndingAfter(std::size_t position) const;

    QStringDecoder m_decoder{QStringDecoder::Utf8};
    LogColorScanner<char16_t> m_scanner;
    std::vector<LogSpan> m_spans;
    bool m_colour = false;
    bool m_colouring = false;  // guards against the layout's own update requests
};

}  // namespace duvanto
