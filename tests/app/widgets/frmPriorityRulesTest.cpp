// The priority rules window and the rule editor on the offscreen platform.

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/widgets/frmPriorityRule.h"
#include "app/widgets/frmPriorityRules.h"
#include "settings/TimeText.h"
#include "support/FakeAppPrompt.h"
#include "support/RecordingHelpViewer.h"

namespace duvanto {

namespace {

struct Rules {
    test::FakeAppPrompt prompt;
    test::FixedClock clock;
    ErrorReporter reporter{"/nonexistent/", prompt, clock};
    cPriorityRules rules{reporter};
    test::RecordingHelpViewer help;
};

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

cPriorityRule Rule(int startHour, int endHour, int32_t priorityClass) {
    return {TimeOfDayFromClock(startHour, 0), TimeOfDayFromClock(endHour, 0), priorityClass, ""};
}

// Works the modal editor once it is open: `fill` sets its controls, then OK or Cancel.
void WhenTheEditorOpens(const std::function<void(frmPriorityRule*)>& fill, bool ok) {
    QTimer::singleShot(0, [fill, ok] {
        frmPriorityRule* editor = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* shown = qobject_cast<frmPriorityRule*>(window); shown && shown->isVisible()) {
                editor = shown;
            }
        }
        QVERIFY2(editor != nullptr, "the rule editor did not open");
        fill(editor);
        (ok ? editor->cmdOK : editor->cmdCancel)->click();
    });
}

}  // namespace

class frmPriorityRulesTest : public QObject {
    Q_OBJECT

private slots:
    void TheEditorShowsANewRuleAsTheWholeDayAtLow() {
        frmPriorityRule editor(std::nullopt);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Priority Rule"));
        QCOMPARE(editor.dtpStartTime->text(), QStringLiteral("12:00 AM"));
        QCOMPARE(editor.dtpEndTime->text(), QStringLiteral("11:59 PM"));
        QCOMPARE(editor.cboPriority->count(), 3);
        QCOMPARE(editor.cboPriority->currentText(), QStringLiteral("Low"));
        QCOMPARE(editor.cboPriority->itemText(2), QStringLiteral("High"));

        editor.dtpStartTime->setTime(QTime(22, 0));
        editor.dtpEndTime->setTime(QTime(6, 0));
        editor.cboPriority->setCurrentIndex(2);
        editor.cmdOK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(editor.PriorityRule().has_value());
        QCOMPARE(PriorityRuleText(*editor.PriorityRule()),
                 std::string("10:00 PM to 06:00 AM - HIGH PRIORITY"));
    }

    void TheEditorShowsTheRuleAndCancelGivesNothing() {
        frmPriorityRule editor(Rule(9, 17, NORMAL_PRIORITY_CLASS));
        QCOMPARE(editor.dtpStartTime->text(), QStringLiteral("09:00 AM"));
        QCOMPARE(editor.dtpEndTime->text(), QStringLiteral("05:00 PM"));
        QCOMPARE(editor.cboPriority->currentText(), QStringLiteral("Normal"));
        editor.cmdCancel->click();
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QVERIFY(!editor.PriorityRule().has_value());
    }

    void ANewRuleThatConflictsIsRefusedInTheRealEditor() {
        Rules r;
        frmPriorityRules form(r.rules, r.prompt, &r.help);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Priority Rules"));
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("12:00 AM to 11:59 PM - LOW PRIORITY")});

        WhenTheEditorOpens([](frmPriorityRule* editor) { editor->cboPriority->setCurrentIndex(1); },
                           true);
        form.cmdNewPriorityRule->click();
        QCOMPARE(r.prompt.messages.shown.size(), std::size_t{1});
        QCOMPARE(r.prompt.messages.shown[0].title, std::string("Add Failed"));
        QCOMPARE(r.prompt.messages.shown[0].text,
                 std::string("The Priority Rule could not be added because it conflicts with an "
                             "existing rule."));
        QCOMPARE(form.lstPriorityRules->count(), 1);

        // Narrowing the all-day rule makes room for a high one in the evening.
        WhenTheEditorOpens(
            [](frmPriorityRule* editor) {
                QCOMPARE(editor->dtpEndTime->text(), QStringLiteral("11:59 PM"));
                editor->dtpEndTime->setTime(QTime(17, 59));
            },
            true);
        const QPoint row =
            form.lstPriorityRules->visualItemRect(form.lstPriorityRules->item(0)).center();
        QTest::mouseClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        WhenTheEditorOpens(
            [](frmPriorityRule* editor) {
                editor->dtpStartTime->setTime(QTime(18, 0));
                editor->cboPriority->setCurrentIndex(2);
            },
            true);
        form.cmdNewPriorityRule->click();
        QCOMPARE(Lines(form.lstPriorityRules),
                 (QStringList{QStringLiteral("12:00 AM to 05:59 PM - LOW PRIORITY"),
                              QStringLiteral("06:00 PM to 11:59 PM - HIGH PRIORITY")}));
        QCOMPARE(r.rules.Count(), 2);
        QCOMPARE(r.prompt.messages.shown.size(), std::size_t{1});
    }

    void EditAndRemoveNeedASelectionAndCancelChangesNothing() {
        Rules r;
        QVERIFY(r.rules.Add(Rule(8, 12, NORMAL_PRIORITY_CLASS)));
        QVERIFY(r.rules.Add(Rule(13, 17, HIGH_PRIORITY_CLASS)));
        int opened = 0;
        frmPriorityRules form(r.rules, r.prompt, &r.help, nullptr,
                              [&](const std::optional<cPriorityRule>&) {
                                  ++opened;
                                  return std::optional<cPriorityRule>();
                              });
        QCOMPARE(form.lstPriorityRules->count(), 2);
        form.cmdEditPriorityRule->click();
        form.cmdRemovePriorityRule->click();
        QCOMPARE(opened, 0);
        QCOMPARE(r.prompt.messages.shown.size(), std::size_t{2});
        QCOMPARE(r.prompt.messages.shown[0].title, std::string("Edit/View Priority Rule"));
        QCOMPARE(r.prompt.messages.shown[1].title, std::string("Remove Priority Rule"));
        QCOMPARE(r.prompt.messages.shown[1].text, std::string("Please select a Priority Rule"));

        form.lstPriorityRules->setCurrentRow(1);
        form.cmdEditPriorityRule->click();
        QCOMPARE(opened, 1);
        QCOMPARE(r.rules.Count(), 2);
        QTest::keyClick(form.lstPriorityRules, Qt::Key_Delete);
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("08:00 AM to 12:00 PM - NORMAL PRIORITY")});
        QCOMPARE(r.rules.Count(), 1);
        form.cmdHelp->click();
        QCOMPARE(r.help.shown, std::vector<int>{59});
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmPriorityRulesTest)
#include "frmPriorityRulesTest.moc"
