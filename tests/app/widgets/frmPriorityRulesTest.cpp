// The priority rules window and the rule editor on the offscreen platform. The controller's
// test holds the checks and their messages; here the real editor is worked as a user works it.

#include <QtTest>

#include "app/logic/HelpTopics.h"
#include "app/widgets/frmPriorityRule.h"
#include "app/widgets/frmPriorityRules.h"
#include "settings/TimeText.h"
#include "support/AppTestSupport.h"
#include "support/FakeAppPrompt.h"
#include "support/RecordingHelpViewer.h"

namespace duvanto {

namespace {

struct Rules : test::PromptAndReporter {
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

}  // namespace

class frmPriorityRulesTest : public QObject {
    Q_OBJECT

private slots:
    // A new rule is offered as the whole day at low; OK builds the rule from the fields, and an
    // existing rule is shown in them; Cancel gives nothing.
    void TheEditorShowsTheRuleAndOKBuildsIt() {
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

        frmPriorityRule existing(Rule(9, 17, NORMAL_PRIORITY_CLASS));
        QCOMPARE(existing.dtpStartTime->text(), QStringLiteral("09:00 AM"));
        QCOMPARE(existing.dtpEndTime->text(), QStringLiteral("05:00 PM"));
        QCOMPARE(existing.cboPriority->currentText(), QStringLiteral("Normal"));
        existing.cmdCancel->click();
        QCOMPARE(existing.result(), int(QDialog::Rejected));
        QVERIFY(!existing.PriorityRule().has_value());
    }

    void ANewRuleThatConflictsIsRefusedInTheRealEditor() {
        Rules r;
        frmPriorityRules form(r.rules, r.prompt, &r.help);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Priority Rules"));
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("12:00 AM to 11:59 PM - LOW PRIORITY")});

        bool edited[3] = {};
        test::WhenModal<frmPriorityRule>(&form, edited[0], [](frmPriorityRule& editor) {
            editor.cboPriority->setCurrentIndex(1);
            editor.cmdOK->click();
        });
        form.cmdNewPriorityRule->click();
        QVERIFY(edited[0]);
        QCOMPARE(r.prompt.Titles(), std::vector<std::string>{"Add Failed"});
        QCOMPARE(form.lstPriorityRules->count(), 1);

        // Narrowing the all-day rule makes room for a high one in the evening.
        test::WhenModal<frmPriorityRule>(&form, edited[1], [](frmPriorityRule& editor) {
            QCOMPARE(editor.dtpEndTime->text(), QStringLiteral("11:59 PM"));
            editor.dtpEndTime->setTime(QTime(17, 59));
            editor.cmdOK->click();
        });
        const QPoint row =
            form.lstPriorityRules->visualItemRect(form.lstPriorityRules->item(0)).center();
        QTest::mouseClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(form.lstPriorityRules->viewport(), Qt::LeftButton, {}, row);
        QTRY_VERIFY(edited[1]);
        test::WhenModal<frmPriorityRule>(&form, edited[2], [](frmPriorityRule& editor) {
            editor.dtpStartTime->setTime(QTime(18, 0));
            editor.cboPriority->setCurrentIndex(2);
            editor.cmdOK->click();
        });
        form.cmdNewPriorityRule->click();
        QVERIFY(edited[2]);
        QCOMPARE(Lines(form.lstPriorityRules),
                 (QStringList{QStringLiteral("12:00 AM to 05:59 PM - LOW PRIORITY"),
                              QStringLiteral("06:00 PM to 11:59 PM - HIGH PRIORITY")}));
        QCOMPARE(r.rules.Count(), 2);
        QCOMPARE(r.prompt.messages.shown.size(), std::size_t{1});
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(r.help.shown, std::vector<int>{HelpPriorityRules});
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
        QCOMPARE(r.prompt.Titles(),
                 (std::vector<std::string>{"Edit/View Priority Rule", "Remove Priority Rule"}));

        form.lstPriorityRules->setCurrentRow(1);
        form.cmdEditPriorityRule->click();
        QCOMPARE(opened, 1);
        QCOMPARE(r.rules.Count(), 2);
        QTest::keyClick(form.lstPriorityRules, Qt::Key_Delete);
        QCOMPARE(Lines(form.lstPriorityRules),
                 QStringList{QStringLiteral("08:00 AM to 12:00 PM - NORMAL PRIORITY")});
        QCOMPARE(r.rules.Count(), 1);
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::frmPriorityRulesTest)
#include "frmPriorityRulesTest.moc"
