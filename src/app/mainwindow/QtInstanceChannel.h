// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a second start of the desktop program reaches the one that runs: a local socket of the
// program folder, on which the running program listens and which a second start asks to bring
// the window forward. Who runs stays the instance lock's decision; the socket only carries the
// request, and a socket that cannot be made or reached never stops a start.

#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <string>

#include "app/common/AppPrompt.h"

namespace duvanto {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    static constexpr char kSocketFileName[] = "duvanto.socket";

    explicit InstanceChannel(QObject* parent = nullptr);

    // Where the running program of that folder listens, in the order tried: the socket file in
    // the program folder, else one in the user's own runtime folder named after the program
    // folder (for a path too long for a socket, or a file system that holds none).
    static QStringList SocketNames(const std::string& appPath);

    // Listens on the first of the names that takes it, for the owner of the instance lock: a
    // socket left by a program that ended without removing it is replaced. False when none
    // did; the program then runs without being reachable this way.
    bool Listen(const std::string& appPath);
    // The name listened on; empty when none.
    QString Name() const { return m_server.fullServerName(); }

    // Asks the program running over that folder to bring its window forward; true when it
    // answered within about `timeoutMs` a name.
    static bool AskToShow(const std::string& appPath, int timeoutMs);

signals:
    // A second start asked for the window.
    void ShowRequested();

private:
    void Answer();

    QLocalServer m_server;
};

// A second start while the program of that folder runs: its window comes forward, and only when
// it cannot be reached is the user told "Duvanto is already running".
void AnswerSecondStart(const std::string& appPath, IAppPrompt& prompt);

}  // namespace duvanto
