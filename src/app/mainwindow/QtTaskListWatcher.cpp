// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtTaskListWatcher.h"

#include <QFileInfo>

namespace duvanto {

TaskListWatcher::TaskListWatcher(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &TaskListWatcher::Changed);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TaskListWatcher::Seen);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TaskListWatcher::Seen);
}

void TaskListWatcher::Watch(const QString& file) {
    if (file == m_file) {
        return;
    }
    if (!m_watcher.files().isEmpty()) {
        m_watcher.removePaths(m_watcher.files());
    }
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
    m_settle.stop();
    m_file = file;
    if (m_file.isEmpty()) {
        return;
    }
    m_watcher.addPath(QFileInfo(m_file).absolutePath());
    if (QFileInfo::exists(m_file)) {
        m_watcher.addPath(m_file);
    }
}

void TaskListWatcher::Seen() {
    // Replaced by a rename, or made again after it was deleted: watched anew.
    if (!m_watcher.files().contains(m_file) && QFileInfo::exists(m_file)) {
        m_watcher.addPath(m_file);
    }
    m_settle.start();
}

}  // namespace duvanto
