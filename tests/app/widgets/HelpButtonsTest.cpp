// Every dialog's Help button, in one table: pressed, it asks for its own context, and that
// context has a page that is compiled into the program (a context the help did not know would
// open the contents instead, which is no help at all).

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/logic/FileMaskController.h"
#include "app/logic/TaskPropertiesController.h"
#include "app/support/RestoreWorld.h"
#include "app/widgets/frmFileMask.h"
#include "app/widgets/frmLog.h"
#include "app/widgets/frmPriorityRules.h"
#include "app/widgets/frmRestore.h"
#include "app/widgets/frmSelectFiles.h"
#include "app/widgets/frmTaskProperties.h"

namespace duvanto {

namespace {

// A dialog with whatever it needs kept alive beside it.
struct Opened {
    std::shared_ptr<void> keep;
    std::unique_ptr<QDialog> dialog;
};

struct HelpRow {
    const char* window;
    int context;
    std::function<Opened(test::RestoreWorld&)> open;
};

template <typename Controller, typename Window, typename... Args>
Opened With(Args&&... args) {
    auto controller = std::make_shared<Controller>(std::forward<Args>(args)...);
    return {controller, std::make_unique<Window>(*controller)};
}

const std::vector<HelpRow>& Rows() {
    static const std::vector<HelpRow> rows = {
        {"frmTaskProperties", HelpTaskProperties,
         [](test::RestoreWorld& w) {
             return With<TaskPropertiesController, frmTaskProperties>(w.task, w.world.Services());
         }},
        {"frmSelectFiles", HelpSelectFiles,
         [](test::RestoreWorld& w) {
             return With<SelectFilesController, frmSelectFiles>(
                 SelectFilesRequest{w.first, true, "", ""}, w.world.Services());
         }},
        {"frmFileMask", HelpSelectFiles,
         [](test::RestoreWorld& w) {
             return With<FileMaskController, frmFileMask>(w.world.Services());
         }},
        {"frmLog", HelpLogViewer,
         [](test::RestoreWorld& w) {
             return Opened{nullptr,
                           std::make_unique<frmLog>(w.app.CloneLog, w.world.prompt, w.app.Reporter,
                                                    &w.world.help, w.app.Flags)};
         }},
        {"frmPriorityRules", HelpPriorityRules,
         [](test::RestoreWorld& w) {
             return Opened{nullptr, std::make_unique<frmPriorityRules>(
                                        w.app.PriorityRules, w.world.prompt, &w.world.help)};
         }},
        {"frmRestore", HelpRestore,
         [](test::RestoreWorld& w) {
             std::shared_ptr<RestoreController> controller = w.Open();
             return Opened{controller, std::make_unique<frmRestore>(*controller)};
         }},
    };
    return rows;
}

}  // namespace

class HelpButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void EachDialogsHelpButtonOpensAnExistingPageOfItsOwn_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < Rows().size(); ++i) {
            QTest::newRow(Rows()[i].window) << static_cast<int>(i);
        }
    }

    void EachDialogsHelpButtonOpensAnExistingPageOfItsOwn() {
        QFETCH(int, row);
        const HelpRow& expected = Rows()[static_cast<std::size_t>(row)];
        test::RestoreWorld world;
        Opened opened = expected.open(world);
        QCOMPARE(opened.dialog->objectName(), QString::fromLatin1(expected.window));
        opened.dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(opened.dialog.get()));

        auto* help = opened.dialog->findChild<QPushButton*>(QStringLiteral("cmdHelp"));
        QVERIFY(help != nullptr);
        QCOMPARE(help->text(), QStringLiteral("&Help"));
        QVERIFY(world.world.help.shown.empty());
        QTest::mouseClick(help, Qt::LeftButton);
        QCOMPARE(world.world.help.shown, std::vector<int>{expected.context});

        bool known = false;
        for (const HelpTopic& topic : HelpTopicTable()) {
            known = known || topic.context == expected.context;
        }
        QVERIFY2(known, "the context has no page of its own");
        const QString page = QStringLiteral(":/docs/help/") +
                             QString::fromStdString(HelpPageForContext(expected.context));
        QVERIFY2(QFile::exists(page), qPrintable(page));
        if (expected.context != HelpContents) {
            QVERIFY(HelpPageForContext(expected.context) != HelpPageForContext(HelpContents));
        }
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::HelpButtonsTest)
#include "HelpButtonsTest.moc"
