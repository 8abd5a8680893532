// SPDX-License-Identifier: GPL-3.0-or-later
// The run bridge: a question of the worker answered on the GUI thread while the worker waits,
// status taken at a bounded rate with its last state always delivered, and a window closing
// under a run that waits for an answer nobody will give; the app prompt, which answers a run's
// thread on the GUI thread, and which tests answer in advance.

#include <QFileDialog>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/common/QtAppPrompt.h"
#include "app/runs/QtRunBridge.h"
#include "support/FakeAppPrompt.h"

namespace duvanto {

namespace {

// Answers in advance, and notes on which thread each message was asked.
class ThreadNotingPrompt : public test::FakeAppPrompt {
public:
    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        threads.push_back(QThread::currentThread());
        return FakeAppPrompt::ShowMessage(title, text, icon, buttons);
    }
    std::vector<QThread*> threads;
};

}  // namespace

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
    void QuestionsFromAnyThreadAreAnsweredOnTheGuiThread() {
        QtAppPrompt prompt;
        ThreadNotingPrompt fake;
        fake.messages.answers.push_back(MessageAnswer::Cancel);
        fake.answers.push_back(std::string("typed"));
        prompt.AnswerFrom(&fake);

        MessageAnswer answer = MessageAnswer::OK;
        std::optional<std::string> text;
        // Done is told through an atomic, which a thread checker sees as well as Qt does.
        std::atomic<bool> done{false};
        QThread* worker = QThread::create([&] {
            answer = prompt.ShowMessage("Problem Accessing Target Folder", "Drive \"X\"",
                                        MessageIcon::Exclamation, MessageButtons::RetryCancel);
            text = prompt.AskText("New Task", "Please enter a unique name for this task",
                                  "New Task Name");
            done = true;
        });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        worker->wait();
        delete worker;

        QCOMPARE(answer, MessageAnswer::Cancel);
        QCOMPARE(text, std::optional<std::string>("typed"));
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].buttons, MessageButtons::RetryCancel);
        QCOMPARE(fake.asked.size(), std::size_t{1});
        QCOMPARE(fake.asked[0].proposed, std::string("New Task Name"));

        // Asked on the GUI thread itself the answer comes at once; unanswered, a question is
        // cancelled and a message gets its first button.
        QVERIFY(
            !prompt.AskFolder("Browse For Folder", "Specify the Source folder.", "/").has_value());
        QCOMPARE(fake.asked.back().kind, std::string("folder"));
        QCOMPARE(prompt.ShowMessage("T", "x", MessageIcon::Question, MessageButtons::YesNo),
                 MessageAnswer::Yes);
        QCOMPARE(fake.threads, std::vector<QThread*>(2, QThread::currentThread()));
    }

    void TheFolderChooserSaysWhatToChoose() {
        // The desktop's own choosers have no prompt line: the prompt must be in the caption.
        QtAppPrompt prompt;
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(chooser != nullptr);
            caption = chooser->windowTitle();
            chooser->reject();
        });
        QVERIFY(
            !prompt.AskFolder("Browse For Folder", "Specify the Target folder.", "/").has_value());
        QCOMPARE(caption, QStringLiteral("Specify the Target folder."));
    }

    void CrLfBecomesTheLineBreakQtShows() {
        QCOMPARE(ToQt("a\r\nb\r\n\r\nc"), QStringLiteral("a\nb\n\nc"));
        QCOMPARE(FromQt(QStringLiteral("Ä ü")), std::string("Ä ü"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::QtRunBridgeTest)
#include "QtRunBridgeTest.moc"
