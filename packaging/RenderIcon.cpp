// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG pictures to PNG: one picture at one size for the icon theme, or a
// sheet of many pictures at the sizes the desktop shows them, on light and dark grounds, to
// look at before shipping.
//
//   duvanto-render-icon SVG WIDTH OUT.png
//   duvanto-render-icon --sheet OUT.png SVG...

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

namespace {

int RenderOne(const QString& svg, int size, const QString& out) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "duvanto-render-icon: cannot read %s\n", qPrintable(svg));
        return 1;
    }
    // SIZE is the width; a picture that is not square keeps its proportions.
    const QSizeF box = renderer.viewBoxF().size();
    const int height = box.width() > 0 ? qRound(size * box.height() / box.width()) : size;
    QImage image(size, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, size, height));
    painter.end();
    if (!image.save(out)) {
        std::fprintf(stderr, "duvanto-render-icon: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}

// Each picture in a row, at its natural aspect, through QIcon as the program shows it.
int RenderSheet(const QString& out, const QStringList& svgs) {
    const QList<int> sizes{16, 22, 24, 32, 48, 64};
    const QList<QColor> grounds{QColor(255, 255, 255), QColor(214, 214, 214), QColor(43, 43, 43)};
    const int labelWidth = 190;
    const int gap = 8;
    int rowHeight = 64 + 2 * gap;
    int groundWidth = gap;
    for (int size : sizes) {
        groundWidth += size * 2 + gap;
    }
    QImage sheet(labelWidth + groundWidth * grounds.size(),
                 rowHeight * static_cast<int>(svgs.size()), QImage::Format_ARGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter painter(&sheet);
    int y = 0;
    for (const QString& svg : svgs) {
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "duvanto-render-icon: cannot read %s\n", qPrintable(svg));
            return 1;
        }
        const QSizeF natural = renderer.viewBoxF().size();
        const double aspect = natural.height() > 0 ? natural.width() / natural.height() : 1.0;
        painter.setPen(Qt::black);
        painter.drawText(QRect(4, y, labelWidth - 8, rowHeight), Qt::AlignVCenter,
                         QFileInfo(svg).completeBaseName());
        QIcon icon(svg);
        for (int g = 0; g < grounds.size(); ++g) {
            const int left = labelWidth + g * groundWidth;
            painter.fillRect(QRect(left, y, groundWidth, rowHeight), grounds[g]);
            int x = left + gap;
            for (int size : sizes) {
                const QSize box(static_cast<int>(size * aspect + 0.5), size);
                const QPixmap pixmap = icon.pixmap(box);
                painter.drawPixmap(x, y + (rowHeight - size) / 2, pixmap);
                x += size * 2 + gap;
            }
        }
        y += rowHeight;
    }
    painter.end();
    return sheet.save(out) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing is shown: the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--sheet")) {
        return RenderSheet(args[2], args.mid(3));
    }
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr,
                     "usage: duvanto-render-icon SVG WIDTH OUT.png\n"
                     "       duvanto-render-icon --sheet OUT.png SVG...\n");
        return 2;
    }
    return RenderOne(args[1], size, args[3]);
}
