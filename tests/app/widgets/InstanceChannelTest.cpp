// SPDX-License-Identifier: GPL-3.0-or-later
// A second start and the running program: the socket of the program folder that brings the
// running window forward, the message when nothing answers, and the sockets that must never
// stop a start (one left by a crashed program, a file in the way, a folder too deep for a
// socket's name).

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>
#include <QtTest>
#include <cstring>
#include <future>
#include <string>

#include "app/mainwindow/QtInstanceChannel.h"
#include "app/support/FakeAppPrompt.h"
#include "support/TestSupport.h"

namespace duvanto {

namespace {

constexpr int kWaitMs = 3000;

// Asks from another thread, as a second program would: the running one answers from its event
// loop, which the test keeps turning meanwhile.
template <typename Asking>
auto FromElsewhere(Asking asking) {
    auto asked = std::async(std::launch::async, asking);
    while (asked.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return asked.get();
}

bool AskFromElsewhere(const std::string& appPath) {
    return FromElsewhere([appPath] { return InstanceChannel::AskToShow(appPath, kWaitMs); });
}

// A socket file that no program listens on any more, as a program that crashed leaves it.
bool LeaveDeadSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

}  // namespace

class InstanceChannelTest : public QObject {
    Q_OBJECT

private slots:
    void ASecondStartBringsTheWindowForwardAndOnlyOtherwiseSaysItRuns() {
        test::TempDir home;
        test::FakeAppPrompt prompt;
        int shown = 0;
        {
            InstanceChannel running;
            QObject::connect(&running, &InstanceChannel::ShowRequested, [&shown] { ++shown; });
            QVERIFY(running.Listen(home.Path()));
            QCOMPARE(running.Name(), QString::fromStdString(home / "duvanto.socket"));
            // The user's own: nobody else may connect.
            const QFileDevice::Permissions others =
                QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                QFileDevice::WriteOther;
            QCOMPARE(QFileInfo(running.Name()).permissions() & others, QFileDevice::Permissions());

            FromElsewhere([&] { AnswerSecondStart(home.Path(), prompt); });
            QCOMPARE(shown, 1);
            QVERIFY(prompt.messages.shown.empty());
        }
        // The running program holds the lock but cannot be reached: only then the message.
        AnswerSecondStart(home.Path(), prompt);
        QCOMPARE(shown, 1);
        QCOMPARE(prompt.Titles(), std::vector<std::string>{"Duvanto"});
        QCOMPARE(prompt.messages.shown[0].text, std::string("Duvanto is already running"));
        QCOMPARE(prompt.messages.shown[0].icon, MessageIcon::None);
    }

    void NoSocketLeftOrInTheWayStopsAStart() {
        test::TempDir crashed;
        QVERIFY(LeaveDeadSocket(crashed / "duvanto.socket"));
        QVERIFY(!AskFromElsewhere(crashed.Path()));
        InstanceChannel afterCrash;
        QVERIFY(afterCrash.Listen(crashed.Path()));
        QCOMPARE(afterCrash.Name(), QString::fromStdString(crashed / "duvanto.socket"));
        QVERIFY(AskFromElsewhere(crashed.Path()));

        // A file of the user's at the socket's name is left alone; the socket goes elsewhere.
        test::TempDir occupied;
        test::WriteFile(occupied / "duvanto.socket", "mine");
        InstanceChannel beside;
        QVERIFY(beside.Listen(occupied.Path()));
        QVERIFY(beside.Name() != QString::fromStdString(occupied / "duvanto.socket"));
        QVERIFY(AskFromElsewhere(occupied.Path()));
        QCOMPARE(test::ReadFile(occupied / "duvanto.socket"), std::string("mine"));

        // A program folder too deep for a socket's name of its own.
        test::TempDir root;
        const std::string deep = root / (std::string(60, 'd') + "/" + std::string(60, 'e') + "/");
        test::WriteFile(deep + "duvanto.ini", "");
        InstanceChannel far;
        QVERIFY(far.Listen(deep));
        QVERIFY(AskFromElsewhere(deep));
        // Each program folder its own: the far one is not the one beside.
        QVERIFY(far.Name() != beside.Name());
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::InstanceChannelTest)
#include "InstanceChannelTest.moc"
