// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Watches the current task list's file for changes made by other programs. An editor often
// saves by writing a new file and renaming it over the old one, which ends a watch on the file
// itself: the folder is watched too, and the file watched again whenever it is there. A burst
// of changes (an editor writing in steps) is reported once, after it has settled.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace duvanto {

class TaskListWatcher : public QObject {
    Q_OBJECT
public:
    explicit TaskListWatcher(QObject* parent = nullptr);

    // From now on the file of this path (the one before is no longer watched).
    void Watch(const QString& file);
    const QString& File() const { return m_file; }

    // How long changes must have stopped before Changed is sent.
    static constexpr int kSettleMilliseconds = 300;

signals:
    // The file, or the folder that holds it, changed; whether its text did is for the list to
    // tell.
    void Changed();

private:
    void Seen();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_file;
};

}  // namespace duvanto
