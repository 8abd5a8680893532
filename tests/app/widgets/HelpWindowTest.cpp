// The help window opens each context's page, follows links between pages with Back and
// Forward, hands web and mail links to the desktop, and no page links to nothing. Every
// dialog's Help button, in one table, asks for its own context (HelpTopicsTest checks that
// each of those contexts has a page of its own).

#include <QDirIterator>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/logic/FileMaskController.h"
#include "app/logic/TaskPropertiesController.h"
#include "app/support/RestoreWorld.h"
#include "app/widgets/HelpWindow.h"
#include "app/widgets/frmFileMask.h"
#include "app/widgets/frmLog.h"
#include "app/widgets/frmPriorityRules.h"
#include "app/widgets/frmRestore.h"
#include "app/widgets/frmSelectFiles.h"
#include "app/widgets/frmTaskProperties.h"

namespace duvanto {

namespace {

struct PageLinks {
    QStringList hrefs;
    QStringList images;
    QSet<QString> anchors;
};

PageLinks LinksOf(QTextDocument* document) {
    PageLinks links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames()) {
                links.anchors.insert(name);
            }
            if (format.isAnchor() && !format.anchorHref().isEmpty()) {
                links.hrefs << format.anchorHref();
            }
            if (format.isImageFormat()) {
                links.images << format.toImageFormat().name();
            }
        }
    }
    return links;
}

QString FileOf(const QUrl& url) {
    return QLatin1Char(':') + url.path();
}

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

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void EachContextOpensItsPageInFront() {
        HelpWindow help;
        for (const HelpTopic& topic : HelpTopicTable()) {
            help.hide();
            help.ShowHelp(topic.context);
            const QUrl expected(QStringLiteral("qrc:/docs/help/") +
                                QString::fromStdString(topic.page));
            QCOMPARE(help.brwHelp->source(), expected);
            QVERIFY(help.isVisible());
            const QString title = help.brwHelp->documentTitle();
            QVERIFY2(!title.isEmpty(), qPrintable(expected.toString()));
            QCOMPARE(help.windowTitle(), QStringLiteral("Duvanto Help - ") + title);
            QVERIFY(help.brwHelp->toPlainText().size() > 200);
        }
    }

    void LinksBetweenPagesStayInTheWindowWithBackAndForward() {
        QList<QUrl> opened;
        HelpWindow help(nullptr, [&opened](const QUrl& url) { opened << url; });
        help.ShowHelp(HelpContents);
        QVERIFY(!help.cmdBack->isEnabled());
        emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("quick-start.html")));
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        QVERIFY(help.cmdBack->isEnabled());
        QVERIFY(!help.cmdForward->isEnabled());

        QTest::mouseClick(help.cmdBack, Qt::LeftButton);
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpContents));
        QVERIFY(help.cmdForward->isEnabled());
        QTest::mouseClick(help.cmdForward, Qt::LeftButton);
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        QTest::mouseClick(help.cmdContents, Qt::LeftButton);
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpContents));
        QVERIFY(opened.isEmpty());

        QVERIFY(QTest::qWaitForWindowActive(&help));
        QTest::keyClick(help.brwHelp, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpQuickStart));
        QTest::keyClick(help.brwHelp, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

    void WebAndMailLinksGoToTheDesktop() {
        QList<QUrl> opened;
        HelpWindow help(nullptr, [&opened](const QUrl& url) { opened << url; });
        help.ShowHelp(HelpTroubleshooting);
        emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("https://example.org/a")));
        emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("mailto:help@example.org")));
        QCOMPARE(opened, (QList<QUrl>{QUrl(QStringLiteral("https://example.org/a")),
                                      QUrl(QStringLiteral("mailto:help@example.org"))}));
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpTroubleshooting));
    }

    void WebItemsOpenTheBuiltAddressOrTheAboutPage() {
        QList<QUrl> opened;
        HelpWindow help(nullptr, [&opened](const QUrl& url) { opened << url; });
        help.OpenWebItem(HelpWebItem::WebSite, "", "");
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpAboutDuvanto));
        QVERIFY(help.isVisible());
        help.OpenWebItem(HelpWebItem::ContactUs, "", "support@duvanto.example");
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("mailto:support@duvanto.example"))});
    }

    // Every page's links and pictures lead to something that is there, and every page can be
    // reached from the contents.
    void NoPageLinksToNothing() {
        HelpWindow help;
        QStringList pages;
        QDirIterator files(QStringLiteral(":/docs/help"), {QStringLiteral("*.html")});
        while (files.hasNext()) {
            pages << QUrl(QStringLiteral("qrc") + files.next()).toString();
        }
        QVERIFY(pages.size() >= 15);

        QSet<QString> reached{HelpWindow::PageUrl(HelpContents).toString()};
        QList<QString> toVisit(reached.begin(), reached.end());
        QStringList problems;
        for (const QString& page : pages) {
            help.brwHelp->setSource(QUrl(page));
            const PageLinks links = LinksOf(help.brwHelp->document());
            for (const QString& image : links.images) {
                const QUrl target = QUrl(page).resolved(QUrl(image));
                if (!QFile::exists(FileOf(target))) {
                    problems << page + ": picture " + image;
                }
            }
            for (const QString& href : links.hrefs) {
                const QUrl target = QUrl(page).resolved(QUrl(href));
                if (target.scheme() == QLatin1String("https") ||
                    target.scheme() == QLatin1String("mailto")) {
                    continue;
                }
                if (target.scheme() != QLatin1String("qrc") || !QFile::exists(FileOf(target))) {
                    problems << page + ": link " + href;
                    continue;
                }
                if (target.hasFragment()) {
                    QTextBrowser other;
                    other.setSource(target.adjusted(QUrl::RemoveFragment));
                    if (!LinksOf(other.document()).anchors.contains(target.fragment())) {
                        problems << page + ": anchor " + href;
                    }
                }
            }
        }
        while (!toVisit.isEmpty()) {
            const QString page = toVisit.takeFirst();
            help.brwHelp->setSource(QUrl(page));
            for (const QString& href : LinksOf(help.brwHelp->document()).hrefs) {
                const QUrl target = QUrl(page).resolved(QUrl(href)).adjusted(QUrl::RemoveFragment);
                if (target.scheme() == QLatin1String("qrc") &&
                    !reached.contains(target.toString())) {
                    reached.insert(target.toString());
                    toVisit << target.toString();
                }
            }
        }
        for (const QString& page : pages) {
            if (!reached.contains(page)) {
                problems << page + " cannot be reached from the contents";
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void EachDialogsHelpButtonAsksForItsOwnContext_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < Rows().size(); ++i) {
            QTest::newRow(Rows()[i].window) << static_cast<int>(i);
        }
    }

    void EachDialogsHelpButtonAsksForItsOwnContext() {
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
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::HelpWindowTest)
#include "HelpWindowTest.moc"
