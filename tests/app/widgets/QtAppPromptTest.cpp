// SPDX-License-Identifier: GPL-3.0-or-later
// The app prompt answers a run's thread on the GUI thread, and tests answer it in advance.

#include <QFileDialog>
#include <QtTest>
#include <atomic>

#include "app/common/QtAppPrompt.h"
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

class QtAppPromptTest : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(duvanto::QtAppPromptTest)
#include "QtAppPromptTest.moc"
