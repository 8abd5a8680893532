// SPDX-License-Identifier: GPL-3.0-or-later
// The run bridge: a question of the worker answered on the GUI thread while the worker waits,
// status taken at a bounded rate with its last state always delivered, and a window closing
// under a run that waits for an answer nobody will give.

#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/runs/QtRunBridge.h"

namespace duvanto {

class QtRunBridgeTest : public QObject {
    Q_OBJECT

private slots:
    void AQuestionIsAnsweredOnTheGuiThreadWhileTheWorkerWaits() {
        QtRunBridge bridge;
        QThread* const gui = QThread::currentThread();
        std::atomic<bool> askedOnGui{false};
        std::atomic<bool> workerWent{false};
        std::atomic<bool> workerWaited{false};
        int answer = 0;
        bool done = false;
        bridge.Run(
            [&] {
                answer = QtRunBridge::Ask<int>(
                    [&] {
                        askedOnGui = QThread::currentThread() == gui;
                        // The worker is still waiting while the window answers.
                        workerWaited = !workerWent;
                        return 42;
                    },
                    -1);
                workerWent = true;
            },
            [&] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(askedOnGui);
        QVERIFY(workerWaited);
        QCOMPARE(answer, 42);
        QVERIFY(!bridge.Busy());
    }

    void StatusComesAtABoundedRateAndItsLastStateAlways() {
        constexpr int kTexts = 20000;
        QtRunBridge bridge;
        CoalescingRunHost status;
        int updates = 0;
        QString lastShown;
        QString shownWhenDone;
        bool done = false;
        QElapsedTimer clock;
        qint64 elapsed = 0;
        connect(&bridge, &QtRunBridge::Status, this, [&](const RunStatusUpdate& update) {
            ++updates;
            if (update.Panel1) {
                lastShown = QString::fromStdString(*update.Panel1);
            }
        });
        bridge.Run(
            [&status] {
                for (int i = 1; i <= kTexts; ++i) {
                    status.SetStatusText(1, "file " + std::to_string(i));
                    if (i % 1000 == 0) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
                }
            },
            [&] {
                elapsed = clock.elapsed();
                shownWhenDone = lastShown;
                done = true;
            },
            &status);
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        // The run's end is shown before its outcome is applied.
        QCOMPARE(shownWhenDone, QStringLiteral("file 20000"));
        // About twenty a second, however fast the texts come.
        QVERIFY2(updates >= 1 && updates <= elapsed / 40 + 2,
                 qPrintable(QStringLiteral("%1 updates in %2 ms").arg(updates).arg(elapsed)));
    }

    void AWindowClosingMidRunLetsTheWaitingWorkerEnd() {
        auto bridge = std::make_unique<QtRunBridge>();
        std::atomic<bool> asking{false};
        int first = 0;
        int second = 0;
        bool done = false;
        bridge->Run(
            [&] {
                asking = true;
                first = QtRunBridge::Ask<int>([] { return 1; }, -1);
                // Closed, the bridge answers nothing more.
                second = QtRunBridge::Ask<int>([] { return 2; }, -2);
            },
            [&] { done = true; });
        // No events are processed: nobody answers the question.
        while (!asking) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bridge.reset();  // waits for the worker, which must not wait for ever
        QCOMPARE(first, -1);
        QCOMPARE(second, -2);
        QCoreApplication::processEvents();
        QVERIFY(!done);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::QtRunBridgeTest)
#include "QtRunBridgeTest.moc"
