// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pictures: each is compiled in, draws something, and pictures that stand for
// different states look different at the size they are shown. The report's pictures, written
// by the core's own encoder, are read back here by Qt's JPEG reader, as a browser reads them.

#include <QBuffer>
#include <QDirIterator>
#include <QImageReader>
#include <QRandomGenerator>
#include <QSvgRenderer>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "app/common/QtPictures.h"
#include "report/JpegEncoder.h"
#include "report/ReportPictures.h"
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

// The image a standard JPEG reader makes of `bytes`, which it must take for JPEG by their
// content alone, as a browser does.
QImage ReadJpeg(const std::string& bytes) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (reader.format() != "jpeg") {
        return {};
    }
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The largest difference of one colour channel between two colours.
int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
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
        VerifyAllDifferent({ToolbarIcon(0), ToolbarIcon(1), ToolbarIcon(2), ToolbarIcon(3),
                            ToolbarIcon(4), ToolbarIcon(5)},
                           32);
        QVERIFY(ToolbarIcon(6).isNull());
        QVERIFY(ToolbarIcon(-1).isNull());
        VerifyAllDifferent({FileOperationIcon(0), FileOperationIcon(1), FileOperationIcon(2),
                            FileOperationIcon(3), FileOperationIcon(4), FileOperationIcon(5)},
                           16);
        QVERIFY(FileOperationIcon(6).isNull());
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

    // Noise at the finest steps brings every size class of coefficient and most codes of the
    // tables; a smooth picture at the usual steps comes back close. Sizes that are no
    // multiple of 8 leave partial blocks at the right and the bottom.
    void TheJpegEncoderIsReadBackAsItWasDrawn() {
        struct Case {
            int width, height;
            bool noise;
            int quality, tolerance;
        };
        for (const Case& c : {Case{37, 21, true, 100, 4}, Case{8, 8, true, 100, 4},
                              Case{1, 1, true, 95, 4}, Case{61, 9, false, 75, 6}}) {
            RgbImage image;
            image.width = c.width;
            image.height = c.height;
            QRandomGenerator random(static_cast<quint32>(c.width * 1000 + c.height));
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    for (int channel = 0; channel < 3; ++channel) {
                        image.rgb.push_back(static_cast<uint8_t>(
                            c.noise ? random.bounded(256) : x * 3 + y * (channel + 1) * 2));
                    }
                }
            }
            const QImage read = ReadJpeg(EncodeJpeg(image, c.quality));
            QCOMPARE(read.size(), QSize(c.width, c.height));
            int worst = 0;
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    const std::size_t at = (static_cast<std::size_t>(y) * c.width + x) * 3;
                    const QRgb drawn = qRgb(image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]);
                    worst = std::max(worst, Distance(read.pixel(x, y), drawn));
                }
            }
            QVERIFY2(worst <= c.tolerance,
                     qPrintable(QString::asprintf("%dx%d q%d: off by %d", c.width, c.height,
                                                  c.quality, worst)));
        }
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EncodeJpeg(RgbImage{}, 90));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, EncodeJpeg(RgbImage{2, 1, {1, 2, 3}}, 90));
    }

    // The page names them ".jpg": a browser, a file manager and a mail program all take them
    // for JPEG pictures and see what was drawn.
    void TheReportsPicturesAreJpegPicturesOfWhatWasDrawn() {
        struct Sample {
            int x, y;
            QRgb colour;
        };
        const QRgb white = qRgb(0xFF, 0xFF, 0xFF);
        const QRgb outline = qRgb(0x20, 0x20, 0x20);
        const QRgb folder = qRgb(0xFF, 0xD8, 0x4D);
        struct Picture {
            std::string_view name;
            QSize size;
            std::vector<Sample> samples;
        };
        const Picture pictures[] = {
            {kReportBannerPicture,
             {112, 100},
             {{1, 1, white}, {20, 20, folder}, {40, 60, white}, {95, 62, outline}}},
            {kReportFilePicture, {10, 12}, {{0, 11, outline}, {3, 5, white}, {9, 0, white}}},
            {kReportFolderPicture, {16, 16}, {{0, 0, white}, {8, 9, folder}}},
        };
        for (const Picture& picture : pictures) {
            const QString name = QString::fromUtf8(picture.name);
            const QImage read = ReadJpeg(ReportPictureBytes(picture.name));
            QCOMPARE(read.size(), picture.size);
            for (const Sample& sample : picture.samples) {
                const int off = Distance(read.pixel(sample.x, sample.y), sample.colour);
                QVERIFY2(off <= 16,
                         qPrintable(QString::asprintf("%s at %d,%d off by %d", qPrintable(name),
                                                      sample.x, sample.y, off)));
            }
        }
    }
};

}  // namespace duvanto

QTEST_MAIN(duvanto::PicturesTest)
#include "PicturesTest.moc"
