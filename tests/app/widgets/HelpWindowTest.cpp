// SPDX-License-Identifier: GPL-3.0-or-later
// The help window opens each context's page, follows links between pages with Back and
// Forward, hands web and mail links to the desktop, and no page links to nothing. Each
// dialog's Help key is its own window's test.

#include <QDialog>
#include <QDirIterator>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include "app/help/HelpTopics.h"
#include "app/help/QtHelpWindow.h"
#include "app/support/AppTestSupport.h"

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

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    // F1 in a modal dialog: the help is not blocked by the dialog (a click reaches it, as a
    // user's does, through the window system) and lies whole on the screen, wherever it was.
    void HelpFromAModalDialogCanBeUsedAndIsOnScreen() {
        HelpWindow help;
        help.move(5000, 5000);
        QDialog dialog;
        dialog.resize(300, 200);
        bool done = false;
        bool closedByClick = false;
        QRect frame;
        QRect area;
        test::WhenModal<QDialog>(this, done, [&](QDialog& modal) {
            help.ShowHelp(HelpTaskProperties);
            QVERIFY(QTest::qWaitForWindowExposed(&help));
            frame = help.frameGeometry();
            area = modal.screen()->availableGeometry();
            QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {},
                              help.cmdClose->mapTo(&help, help.cmdClose->rect().center()));
            closedByClick = !help.isVisible();
            modal.reject();
        });
        dialog.exec();
        QVERIFY(done);
        QVERIFY(closedByClick);
        QVERIFY2(area.contains(frame), qPrintable(QDebug::toString(frame)));
    }

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

    // Web and mail links of a page, and the Help menu's web items with an address, go to the
    // desktop; a web item without one opens the About page (which address is HelpTopicsTest's).
    void WebAndMailLinksAndWebItemsGoToTheDesktop() {
        QList<QUrl> opened;
        HelpWindow help(nullptr, [&opened](const QUrl& url) { opened << url; });
        help.ShowHelp(HelpTroubleshooting);
        emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("https://example.org/a")));
        emit help.brwHelp->anchorClicked(QUrl(QStringLiteral("mailto:help@example.org")));
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpTroubleshooting));
        help.OpenWebItem(HelpWebItem::ContactUs, "", "support@duvanto.example");
        QCOMPARE(opened, (QList<QUrl>{QUrl(QStringLiteral("https://example.org/a")),
                                      QUrl(QStringLiteral("mailto:help@example.org")),
                                      QUrl(QStringLiteral("mailto:support@duvanto.example"))}));
        help.hide();
        help.OpenWebItem(HelpWebItem::WebSite, "", "");
        QCOMPARE(help.brwHelp->source(), HelpWindow::PageUrl(HelpAboutDuvanto));
        QVERIFY(help.isVisible());
    }

    // Every page can be reached from the contents, and every link and picture of a page leads
    // to something that is there.
    void NoPageLinksToNothing() {
        QSet<QString> pages;
        QDirIterator files(QStringLiteral(":/docs/help"), {QStringLiteral("*.html")});
        while (files.hasNext()) {
            pages.insert(QUrl(QStringLiteral("qrc") + files.next()).toString());
        }
        QVERIFY(pages.size() >= 15);

        HelpWindow help;
        QStringList problems;
        QStringList toVisit{HelpWindow::PageUrl(HelpContents).toString()};
        QSet<QString> reached(toVisit.begin(), toVisit.end());
        while (!toVisit.isEmpty()) {
            const QUrl page(toVisit.takeFirst());
            help.brwHelp->setSource(page);
            const PageLinks links = LinksOf(help.brwHelp->document());
            for (const QString& image : links.images) {
                if (!QFile::exists(FileOf(page.resolved(QUrl(image))))) {
                    problems << page.toString() + ": picture " + image;
                }
            }
            for (const QString& href : links.hrefs) {
                const QUrl target = page.resolved(QUrl(href));
                if (target.scheme() == QLatin1String("https") ||
                    target.scheme() == QLatin1String("mailto")) {
                    continue;
                }
                if (target.scheme() != QLatin1String("qrc") || !QFile::exists(FileOf(target))) {
                    problems << page.toString() + ": link " + href;
                    continue;
                }
                const QUrl file = target.adjusted(QUrl::RemoveFragment);
                if (target.hasFragment()) {
                    QTextBrowser other;
                    other.setSource(file);
                    if (!LinksOf(other.document()).anchors.contains(target.fragment())) {
                        problems << page.toString() + ": anchor " + href;
                    }
                }
                if (!reached.contains(file.toString())) {
                    reached.insert(file.toString());
                    toVisit << file.toString();
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
};

}  // namespace duvanto

QTEST_MAIN(duvanto::HelpWindowTest)
#include "HelpWindowTest.moc"
