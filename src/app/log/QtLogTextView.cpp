// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/QtLogTextView.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <string_view>

#include "app/log/QtLogPrintJob.h"

namespace duvanto {

namespace {

constexpr int kColoured = 1;  // a block's user state once its spans are applied

// A log longer than this (in UTF-16 units, some 2,000 lines) opens on its last lines; the
// older ones follow in pieces of kOlderPiece, each a few milliseconds of the event loop.
constexpr qsizetype kOpenedFirst = 256 * 1024;
constexpr qsizetype kOlderPiece = 512 * 1024;

std::u16string_view Units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QTextCharFormat SpanFormat(LogSpanKind kind) {
    QTextCharFormat format;
    format.setForeground(kind == LogSpanKind::Error ? LogTextView::kErrorColour
                                                    : LogTextView::kBeginEndColour);
    return format;
}

}  // namespace

const QColor LogTextView::kErrorColour(255, 0, 0);
const QColor LogTextView::kBeginEndColour(0, 0, 255);

LogTextView::LogTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // Log lines are long paths; wrapping them would hide the column of timestamps.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);  // read-only: Tab moves on to the find box
    connect(this, &QPlainTextEdit::updateRequest, this, [this] { ColourVisibleBlocks(); });
    m_olderTimer.setInterval(0);
    connect(&m_olderTimer, &QTimer::timeout, this, [this] { TakeOlder(kOlderPiece); });
}

QString LogTextView::Decode(const std::string& bytes) {
    QString text =
        m_decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    // The log writer escapes control characters, so a CR is only ever half of a line end.
    text.remove(QLatin1Char('\r'));
    return text;
}

void LogTextView::AddSpans(const QString& text) {
    if (!m_colour) {
        return;
    }
    const auto older = static_cast<std::size_t>(m_older.size());
    for (const LogSpan& span : m_scanner.Feed(Units(text))) {
        // A span that waited for its closing mark may reach back into blocks already shown.
        const std::size_t from = std::max(span.start, older) - older;
        for (QTextBlock block = document()->findBlock(static_cast<int>(from));
             block.isValid() &&
             static_cast<std::size_t>(block.position()) + older < span.start + span.length;
             block = block.next()) {
            block.setUserState(-1);
        }
        m_spans.push_back(span);
    }
}

void LogTextView::SetLog(const std::string& bytes, bool colour) {
    m_decoder.resetState();
    m_scanner.Reset();
    m_spans.clear();
    m_colour = colour;
    m_olderTimer.stop();
    m_older.clear();
    const QString text = Decode(bytes);
    // Laying the whole of a large log into the document takes most of the opening: it starts
    // with what is in view, from the start of a line.
    const qsizetype cut =
        text.size() > kOpenedFirst ? text.lastIndexOf(QLatin1Char('\n'), -kOpenedFirst) + 1 : 0;
    if (cut > 0) {
        m_older = text.first(cut);
        m_olderTimer.start();
    }
    setPlainText(text.sliced(cut));
    AddSpans(text);
    moveCursor(QTextCursor::End);
    ColourVisibleBlocks();
}

void LogTextView::TakeOlder(qsizetype units) {
    if (m_older.isEmpty()) {
        m_olderTimer.stop();
        return;
    }
    const qsizetype start =
        units >= m_older.size() ? 0 : m_older.lastIndexOf(QLatin1Char('\n'), -units - 1) + 1;
    const QString piece = m_older.sliced(start);
    m_older.truncate(start);
    // Each line is a block and a block one line (no wrapping): the view moves down by the
    // lines put above it, so the same lines stay in view. The caret and the selection are
    // the document's cursors and move with their text.
    const int top = verticalScrollBar()->value();
    const int before = document()->blockCount();
    QTextCursor front(document());
    front.insertText(piece);
    verticalScrollBar()->setValue(top + document()->blockCount() - before);
    if (m_older.isEmpty()) {
        m_olderTimer.stop();
    }
    ColourVisibleBlocks();
}

void LogTextView::LoadWhole() {
    TakeOlder(m_older.size());
}

void LogTextView::AppendLog(const std::string& bytes) {
    const QString text = Decode(bytes);
    if (text.isEmpty()) {
        return;
    }
    const QTextCursor caret = textCursor();
    const bool followEnd = !caret.hasSelection() && caret.atEnd();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    AddSpans(text);
    if (followEnd) {
        moveCursor(QTextCursor::End);
    }
    ColourVisibleBlocks();
}

std::vector<LogSpan>::const_iterator LogTextView::FirstSpanEndingAfter(std::size_t position) const {
    return std::upper_bound(
        m_spans.begin(), m_spans.end(), position,
        [](std::size_t p, const LogSpan& span) { return p < span.start + span.length; });
}

void LogTextView::ColourVisibleBlocks() {
    if (m_colouring || m_spans.empty()) {
        return;
    }
    m_colouring = true;
    const qreal bottom = 2.0 * viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(contentOffset()).top() > bottom) {
            break;
        }
        if (block.userState() == kColoured) {
            continue;
        }
        const auto from = static_cast<std::size_t>(block.position() + m_older.size());
        const std::size_t to = from + static_cast<std::size_t>(block.length());
        QList<QTextLayout::FormatRange> formats;
        for (auto span = FirstSpanEndingAfter(from); span != m_spans.end() && span->start < to;
             ++span) {
            const std::size_t start = std::max(span->start, from);
            const std::size_t end = std::min(span->start + span->length, to);
            formats.append({static_cast<int>(start - from), static_cast<int>(end - start),
                            SpanFormat(span->kind)});
        }
        block.setUserState(kColoured);
        if (!formats.isEmpty() || !block.layout()->formats().isEmpty()) {
            block.layout()->setFormats(formats);
            document()->markContentsDirty(block.position(), block.length());
        }
    }
    m_colouring = false;
}

QColor LogTextView::ColourAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid() || block.userState() != kColoured) {
        return {};
    }
    const int offset = position - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (offset >= range.start && offset < range.start + range.length) {
            return range.format.foreground().color();
        }
    }
    return {};
}

bool LogTextView::PrintTo(QPrinter& printer) {
    // The older lines need not go into the box first: the text is theirs and the box's.
    const auto older = static_cast<std::size_t>(m_older.size());
    const QTextCursor selection = textCursor();
    QString text;
    std::size_t from = 0;
    if (selection.hasSelection()) {
        text = selection.selectedText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        from = older + static_cast<std::size_t>(selection.selectionStart());
    } else {
        text = m_older + toPlainText();
    }
    LogPrintJob job(printer, std::move(text), m_spans, from, font(), window());
    return job.Run();
}

long LogTextView::SelectionStart() {
    // Positions count from the whole text's start: the older lines must be in.
    LoadWhole();
    return textCursor().selectionStart();
}

long LogTextView::FindAndSelect(const std::string& text, long from, bool wholeWord,
                                bool matchCase) {
    LoadWhole();
    if (from < 0 || from >= document()->characterCount()) {
        return -1;
    }
    QTextDocument::FindFlags flags;
    if (wholeWord) {
        flags |= QTextDocument::FindWholeWords;
    }
    if (matchCase) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    const QTextCursor found =
        document()->find(QString::fromStdString(text), static_cast<int>(from), flags);
    if (found.isNull()) {
        return -1;
    }
    setTextCursor(found);
    ensureCursorVisible();
    return found.selectionStart();
}

void LogTextView::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    ColourVisibleBlocks();
}

void LogTextView::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Home, Page Up and selecting all go where the older lines belong.
    LoadWhole();
    QPlainTextEdit::keyPressEvent(event);
}

void LogTextView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    ColourVisibleBlocks();
}

}  // namespace duvanto
