// The program's pictures: each is compiled in, draws something, and pictures that stand for
// different states look different at the size they are shown.

#include <QDirIterator>
#include <QSvgRenderer>
#include <QtTest>

#include "app/widgets/Pictures.h"
#include "tasks/RunHost.h"

namespace duvanto {

namespace {

QImage At(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    return count;
}

// Each icon of the family differs from every other at `size`.
void VerifyAllDifferent(const QList<QIcon>& icons, int size) {
    for (int i = 0; i < icons.size(); ++i) {
        QVERIFY2(!icons[i].isNull(), qPrintable(QString::number(i)));
        const QImage image = At(icons[i], size);
        QVERIFY2(OpaquePixels(image) > size * size / 4, qPrintable(QString::number(i)));
        for (int j = 0; j < i; ++j) {
            QVERIFY2(image != At(icons[j], size),
                     qPrintable(QStringLiteral("%1 = %2").arg(i).arg(j)));
        }
    }
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void EveryPictureIsCompiledInAndEveryCompiledPictureIsUsed() {
        const QStringList paths = AllPicturePaths();
        for (const QString& path : paths) {
            QSvgRenderer renderer(path);
            QVERIFY2(renderer.isValid(), qPrintable(path));
            QVERIFY2(!renderer.viewBoxF().isEmpty(), qPrintable(path));
        }
        QDirIterator files(QStringLiteral(":/resources/icons"), {QStringLiteral("*.svg")});
        int compiledIn = 0;
        while (files.hasNext()) {
            const QString file = files.next();
            QVERIFY2(paths.contains(file), qPrintable(file + " is not used"));
            ++compiledIn;
        }
        QCOMPARE(compiledIn, paths.size());
    }

    // The row icons are numbered as the image list is, from 1; each family's pictures differ.
    void EachFamilysPicturesAreDistinctAtTheirSizes() {
        QVERIFY(TaskRowIcon(0).isNull());
        QVERIFY(TaskRowIcon(5).isNull());
        VerifyAllDifferent(
            {TaskRowIcon(ImageSheepFolder), TaskRowIcon(ImageSheepFolderError),
             TaskRowIcon(ImageSheepFolderNext), TaskRowIcon(ImageSheepFolderErrorNext)},
            16);
        VerifyAllDifferent({TrayIcon(TrayPicture::Normal), TrayIcon(TrayPicture::Error),
                            TrayIcon(TrayPicture::Paused), TrayIcon(TrayPicture::Animate)},
                           22);
        QList<QIcon> toolbar;
        for (int index = 0; index < 6; ++index) {
            toolbar << ToolbarIcon(index);
        }
        VerifyAllDifferent(toolbar, 32);
        QVERIFY(ToolbarIcon(6).isNull());
        QVERIFY(ToolbarIcon(-1).isNull());
        VerifyAllDifferent({FileOperationIcon(0), FileOperationIcon(1), FileOperationIcon(2),
                            FileOperationIcon(3)},
                           16);
        QVERIFY(FileOperationIcon(4).isNull());
        QVERIFY(!ApplicationIcon().isNull());
    }

    void ThePausedBackgroundKeepsItsSizeAndIsSharpOnDenseScreens() {
        const QPixmap normal = PausedBackground();
        QCOMPARE(normal.size(), QSize(320, 200));
        QVERIFY(OpaquePixels(normal.toImage().convertToFormat(QImage::Format_ARGB32)) > 1000);
        const QPixmap dense = PausedBackground(2.0);
        QCOMPARE(dense.size(), QSize(640, 400));
        QCOMPARE(dense.deviceIndependentSize(), QSizeF(320, 200));
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::PicturesTest)
#include "PicturesTest.moc"
