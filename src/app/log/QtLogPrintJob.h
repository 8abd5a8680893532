// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prints the log viewer's text a few pages at a time from the event loop, behind a progress
// window whose Cancel stops after the page being printed: a log of many megabytes takes a
// while, and meanwhile the program goes on answering (its windows, the scheduler's timer).
// The pages are LogPrintPager's.

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <vector>

#include "log/LogClassifier.h"

class QPrinter;

namespace duvanto {

class LogPrintJob : public QObject {
    Q_OBJECT
public:
    static constexpr char kCaption[] = "Duvanto - Print";

    // `spans` are the whole log's, and `text` starts `offset` units into it.
    LogPrintJob(QPrinter& printer, QString text, std::vector<LogSpan> spans, std::size_t offset,
                const QFont& font, QWidget* parent);
    ~LogPrintJob() override;

    // Prints every page unless cancelled, answering events meanwhile; true when every page
    // was printed.
    bool Run();

    // The progress window, while Run lasts.
    QProgressDialog* Progress() const { return m_progress; }

signals:
    // A page went to the printer (1 for the first).
    void PagePrinted(int page);

private:
    QPrinter& m_printer;
    QString m_text;
    std::vector<LogSpan> m_spans;
    std::size_t m_offset;
    QFont m_font;
    QPointer<QProgressDialog> m_progress;
};

}  // namespace duvanto
