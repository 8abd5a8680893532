// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/QtLogPrintJob.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <exception>

#include "app/log/LogPrintPager.h"
#include "app/log/QtLogTextView.h"

namespace duvanto {

namespace {

// Pages printed between two looks at the event loop, in time: short enough that the windows
// stay responsive, long enough that the looks cost nothing.
constexpr qint64 kSliceMs = 40;

// Some 3,000 lines of log, 50 pages and more: worth a progress window from the start.
constexpr qsizetype kLongText = 256 * 1024;

QString Units(std::u16string_view units) {
    return QString(reinterpret_cast<const QChar*>(units.data()),
                   static_cast<qsizetype>(units.size()));
}

}  // namespace

LogPrintJob::LogPrintJob(QPrinter& printer, QString text, std::vector<LogSpan> spans,
                         std::size_t offset, const QFont& font, QWidget* parent)
    : QObject(parent),
      m_printer(printer),
      m_text(std::move(text)),
      m_spans(std::move(spans)),
      m_offset(offset),
      m_font(font) {
    m_progress = new QProgressDialog(QStringLiteral("Printing the log..."),
                                     QStringLiteral("Cancel"), 0, 100, parent);
    m_progress->setObjectName(QStringLiteral("frmPrintProgress"));
    m_progress->setWindowTitle(QString::fromLatin1(kCaption));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // A short log prints before the window would be worth showing; a long one surely not.
    m_progress->setMinimumDuration(m_text.size() > kLongText ? 0 : 500);
}

LogPrintJob::~LogPrintJob() {
    delete m_progress;
}

bool LogPrintJob::Run() {
    QPainter painter;
    if (!painter.begin(&m_printer)) {
        return false;
    }
    painter.setFont(m_font);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF page = m_printer.pageRect(QPrinter::DevicePixel);
    const qreal rowHeight = metrics.lineSpacing();
    const qreal width = page.width();
    const auto fit = [&metrics, width](std::u16string_view line) -> std::size_t {
        if (metrics.horizontalAdvance(Units(line)) <= width) {
            return line.size();
        }
        // The longest start that fits: at least one unit, or a row would never end.
        std::size_t low = 1;
        std::size_t high = line.size() - 1;
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (metrics.horizontalAdvance(Units(line.substr(0, middle))) <= width) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        return low;
    };
    const std::u16string_view text(reinterpret_cast<const char16_t*>(m_text.utf16()),
                                   static_cast<std::size_t>(m_text.size()));
    LogPrintPager pager(text, m_spans, m_offset, static_cast<int>(page.height() / rowHeight), fit);

    const auto printPage = [&] {
        if (pager.PagesDone() > 0) {
            m_printer.newPage();
        }
        qreal y = metrics.ascent();
        for (const LogPrintPager::Row& row : pager.NextPage()) {
            qreal x = 0;
            std::size_t at = 0;
            // The row's plain parts in the text's colour, its spans in theirs.
            const auto draw = [&](std::size_t length, const QColor& colour) {
                if (length == 0) {
                    return;
                }
                const QString part = Units(text.substr(row.start + at, length));
                painter.setPen(colour);
                painter.drawText(QPointF(x, y), part);
                x += metrics.horizontalAdvance(part);
                at += length;
            };
            for (const LogSpan& span : row.spans) {
                draw(span.start - at, Qt::black);
                draw(span.length, span.kind == LogSpanKind::Error ? LogTextView::kErrorColour
                                                                  : LogTextView::kBeginEndColour);
            }
            draw(row.length - at, Qt::black);
            y += rowHeight;
        }
        emit PagePrinted(pager.PagesDone());
    };

    bool cancelled = false;
    QEventLoop loop;
    QTimer slices;
    slices.setInterval(0);
    connect(m_progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    std::exception_ptr failure;
    connect(&slices, &QTimer::timeout, &loop, [&] {
        QElapsedTimer elapsed;
        elapsed.start();
        try {
            do {
                printPage();
            } while (!pager.Done() && elapsed.elapsed() < kSliceMs);
        } catch (...) {
            // Not through the event loop: the caller reports it as the command's failure.
            failure = std::current_exception();
            cancelled = true;
            loop.quit();
            return;
        }
        if (m_progress != nullptr) {
            m_progress->setLabelText(
                QStringLiteral("Printing the log: page %1...").arg(pager.PagesDone()));
            m_progress->setValue(pager.Percent());
        }
        if (pager.Done()) {
            loop.quit();
        }
    });
    slices.start();
    loop.exec();
    slices.stop();
    if (cancelled) {
        m_printer.abort();
    }
    painter.end();
    if (m_progress != nullptr) {
        m_progress->hide();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return !cancelled;
}

}  // namespace duvanto
