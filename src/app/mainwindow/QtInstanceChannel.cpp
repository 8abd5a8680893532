// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtInstanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#include "app/help/AppInfo.h"

namespace duvanto {

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShownAnswer[] = "shown\n";
// The longest socket path the system takes (sun_path holds 108 bytes with the final zero).
constexpr qsizetype kMaxSocketPath = 107;

// Whatever sits at a socket name of ours and is no directory or plain file is a socket that
// outlived its program: the instance lock, which the caller holds, says no program uses it.
bool IsLeftOverSocket(const QString& name) {
    const QFileInfo file(name);
    return file.exists() && !file.isSymLink() && !file.isFile() && !file.isDir();
}

}  // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {
    // The user's own programs only: the socket's file is the user's to connect to.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceChannel::Answer);
}

QStringList InstanceChannel::SocketNames(const std::string& appPath) {
    QStringList names;
    const QString inFolder = QString::fromStdString(appPath + kSocketFileName);
    if (QFile::encodeName(inFolder).size() <= kMaxSocketPath) {
        names << inFolder;
    }
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        const QByteArray digest =
            QCryptographicHash::hash(QByteArray::fromStdString(appPath), QCryptographicHash::Sha256)
                .toHex()
                .left(16);
        names << QDir(runtime).filePath(
            QStringLiteral("duvanto-%1.socket").arg(QString::fromLatin1(digest)));
    }
    return names;
}

bool InstanceChannel::Listen(const std::string& appPath) {
    for (const QString& name : SocketNames(appPath)) {
        const QFileInfo there(name);
        if (IsLeftOverSocket(name)) {
            QLocalServer::removeServer(name);
        } else if (there.exists() || there.isSymLink()) {
            continue;  // not ours to replace: the listen would put the socket in its place
        }
        if (m_server.listen(name)) {
            return true;
        }
    }
    return false;
}

void InstanceChannel::Answer() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            const QByteArray request = socket->readLine();
            if (request == kShowRequest) {
                emit ShowRequested();
                socket->write(kShownAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool InstanceChannel::AskToShow(const std::string& appPath, int timeoutMs) {
    for (const QString& name : SocketNames(appPath)) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(timeoutMs)) {
            continue;
        }
        socket.write(kShowRequest);
        if (!socket.waitForBytesWritten(timeoutMs)) {
            continue;
        }
        while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
        }
        if (socket.canReadLine() && socket.readLine() == kShownAnswer) {
            return true;
        }
    }
    return false;
}

void AnswerSecondStart(const std::string& appPath, IAppPrompt& prompt) {
    // Long enough for a window busy painting; short enough that nobody waits on a hung one.
    constexpr int kAnswerWaitMs = 3000;
    if (!InstanceChannel::AskToShow(appPath, kAnswerWaitMs)) {
        prompt.ShowMessage(kApplicationTitle, "Duvanto is already running", MessageIcon::None,
                           MessageButtons::OK);
    }
}

}  // namespace duvanto
