#include "app/widgets/LogTextView.h"

#include <QFontDatabase>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <string_view>

namespace duvanto {

namespace {

constexpr int kColoured = 1;  // a block's user state once its spans are applied

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
    for (const LogSpan& span : m_scanner.Feed(Units(text))) {
        // A span that waited for its closing mark may reach back into blocks already shown.
        for (QTextBlock block = document()->findBlock(static_cast<int>(span.start));
             block.isValid() &&
             static_cast<std::size_t>(block.position()) < span.start + span.length;
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
    const QString text = Decode(bytes);
    setPlainText(text);
    AddSpans(text);
    moveCursor(QTextCursor::End);
    ColourVisibleBlocks();
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
        const auto from = static_cast<std::size_t>(block.position());
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

void LogTextView::PrintTo(QPrinter& printer) const {
    const QTextCursor selection = textCursor();
    const bool partial = selection.hasSelection();
    const int from = partial ? selection.selectionStart() : 0;
    QString text = partial ? selection.selectedText() : toPlainText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));

    QTextDocument printed;
    printed.setDefaultFont(font());
    printed.setPlainText(text);
    QTextCursor cursor(&printed);
    const auto first = static_cast<std::size_t>(from);
    const std::size_t last = first + static_cast<std::size_t>(text.size());
    for (auto span = FirstSpanEndingAfter(first); span != m_spans.end() && span->start < last;
         ++span) {
        const std::size_t start = std::max(span->start, first);
        const std::size_t end = std::min(span->start + span->length, last);
        cursor.setPosition(static_cast<int>(start - first));
        cursor.setPosition(static_cast<int>(end - first), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(SpanFormat(span->kind));
    }
    printed.print(&printer);
}

long LogTextView::SelectionStart() const {
    return textCursor().selectionStart();
}

long LogTextView::FindAndSelect(const std::string& text, long from, bool wholeWord,
                                bool matchCase) {
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

void LogTextView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    ColourVisibleBlocks();
}

}  // namespace duvanto
