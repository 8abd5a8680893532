// The app prompt answers a run's thread on the GUI thread, and tests answer it in advance.

#include <QtTest>

#include "app/widgets/QtAppPrompt.h"
#include "support/FakeAppPrompt.h"

namespace duvanto {

class QtAppPromptTest : public QObject {
    Q_OBJECT

private slots:
    void QuestionsFromAnotherThreadAreAnsweredOnTheGuiThread() {
        QtAppPrompt prompt;
        test::FakeAppPrompt fake;
        fake.messages.answers.push_back(MessageAnswer::Cancel);
        fake.answers.push_back(std::string("typed"));
        prompt.AnswerFrom(&fake);

        MessageAnswer answer = MessageAnswer::OK;
        std::optional<std::string> text;
        QThread* guiThread = QThread::currentThread();
        QThread* worker = QThread::create([&] {
            answer = prompt.ShowMessage("Problem Accessing Target Folder", "Drive \"X\"",
                                        MessageIcon::Exclamation, MessageButtons::RetryCancel);
            text = prompt.AskText("New Task", "Please enter a unique name for this task",
                                  "New Task Name");
        });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        delete worker;

        QCOMPARE(answer, MessageAnswer::Cancel);
        QVERIFY(text.has_value());
        QCOMPARE(*text, std::string("typed"));
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].buttons, MessageButtons::RetryCancel);
        QCOMPARE(fake.asked.size(), std::size_t{1});
        QCOMPARE(fake.asked[0].proposed, std::string("New Task Name"));
        QCOMPARE(QThread::currentThread(), guiThread);
    }

    void AnUnansweredQuestionIsCancelledNotShown() {
        QtAppPrompt prompt;
        test::FakeAppPrompt fake;
        prompt.AnswerFrom(&fake);
        QVERIFY(!prompt.AskFolder("Browse For Folder", "/").has_value());
        QCOMPARE(prompt.ShowMessage("T", "x", MessageIcon::Question, MessageButtons::YesNo),
                 MessageAnswer::Yes);
        QCOMPARE(fake.asked.size(), std::size_t{1});
        QCOMPARE(fake.asked[0].kind, std::string("folder"));
    }

    void CrLfBecomesTheLineBreakQtShows() {
        QCOMPARE(ToQt("a\r\nb\r\n\r\nc"), QStringLiteral("a\nb\n\nc"));
        QCOMPARE(FromQt(QStringLiteral("Ä ü")), std::string("Ä ü"));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::QtAppPromptTest)
#include "QtAppPromptTest.moc"
