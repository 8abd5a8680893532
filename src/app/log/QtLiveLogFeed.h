// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clone log's entries on their way to an open log viewer. The log tells each entry on the
// thread that wrote it, with its lock held; the feed only queues the text there, and the
// window's timer hands what has gathered to the viewer a few times a second, so a run of many
// thousand entries costs the window a handful of appends.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <mutex>
#include <string>

#include "log/CloneLog.h"

namespace duvanto {

class frmLog;

class LiveLogFeed : public QObject, public ICloneLogObserver {
    Q_OBJECT
public:
    explicit LiveLogFeed(cCloneLog& log, QObject* parent = nullptr);
    ~LiveLogFeed() override;

    // From now on the viewer gets each new entry, until it closes.
    void Follow(frmLog* viewer);
    // Hands the gathered entries to the viewer now (the timer does it otherwise).
    void Deliver();

    void EntryAdded(const std::string& line, LogLineKind kind) override;

private:
    void Stop();

    cCloneLog& m_log;
    QPointer<frmLog> m_viewer;
    QTimer m_timer;
    std::mutex m_mutex;
    std::string m_pending;
};

}  // namespace duvanto
