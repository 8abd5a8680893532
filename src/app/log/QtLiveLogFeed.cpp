// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/QtLiveLogFeed.h"

#include "app/log/frmLog.h"

namespace duvanto {

namespace {
constexpr int kDeliveryMilliseconds = 250;
}

LiveLogFeed::LiveLogFeed(cCloneLog& log, QObject* parent) : QObject(parent), m_log(log) {
    m_timer.setInterval(kDeliveryMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &LiveLogFeed::Deliver);
}

LiveLogFeed::~LiveLogFeed() {
    m_log.SetObserver(nullptr);
}

void LiveLogFeed::Follow(frmLog* viewer) {
    Stop();
    m_viewer = viewer;
    if (viewer == nullptr) {
        return;
    }
    connect(viewer, &QObject::destroyed, this, &LiveLogFeed::Stop);
    // The viewer has read the file. Entries the log held in memory at that moment are not fed:
    // the refresh at a run's end finds the file no longer ends as the view does and reloads.
    m_log.SetObserver(this);
    m_timer.start();
}

void LiveLogFeed::Deliver() {
    std::string lines;
    {
        std::lock_guard lock(m_mutex);
        lines.swap(m_pending);
    }
    if (!lines.empty() && m_viewer != nullptr) {
        m_viewer->AppendLines(lines);
    }
}

void LiveLogFeed::EntryAdded(const std::string& line, LogLineKind /*kind*/) {
    std::lock_guard lock(m_mutex);
    m_pending += line;
}

void LiveLogFeed::Stop() {
    m_log.SetObserver(nullptr);
    m_timer.stop();
    m_viewer = nullptr;
    std::lock_guard lock(m_mutex);
    m_pending.clear();
}

}  // namespace duvanto
