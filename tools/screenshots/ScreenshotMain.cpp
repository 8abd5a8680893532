// SPDX-License-Identifier: GPL-3.0-or-later
// Shows every registered window with demo data and writes a PNG of each. Under a real X server
// with a window manager (scripts/screenshots.sh) the grab includes the window's frame.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <map>

#include "screenshots/Screenshots.h"

namespace duvanto::screenshots {

std::map<std::string, Maker>& Makers() {
    static std::map<std::string, Maker> makers;
    return makers;
}

void Settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QPixmap Grab(QWidget* widget) {
    QScreen* screen = widget->screen();
    // Until the window manager has told the frame's size, Qt may report no frame or a frame
    // that does not even hold the window (seen with dialogs under openbox). Moving the window
    // makes Qt ask again.
    const bool decorated = widget->windowType() != Qt::Popup &&
                           !widget->windowFlags().testFlag(Qt::FramelessWindowHint);
    QRect frame = widget->frameGeometry();
    for (int attempt = 0; decorated && attempt < 3 &&
                          (!frame.contains(widget->geometry()) || frame == widget->geometry());
         ++attempt) {
        const QPoint place = widget->pos();
        widget->move(place + QPoint(1, 1));
        Settle(200);
        widget->move(place);
        Settle(200);
        frame = widget->frameGeometry();
    }
    if (!frame.contains(widget->geometry())) {
        frame = widget->geometry();
    }
    if (screen != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        if (!shot.isNull()) {
            return shot;
        }
    }
    return widget->grab();
}

bool Register(const char* name, Maker maker) {
    Makers()[name] = std::move(maker);
    return true;
}

}  // namespace duvanto::screenshots

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString outDir = QStringLiteral("docs/screenshots");
    QString only;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--out")) {
            outDir = args[i + 1];
        } else if (args[i] == QLatin1String("--only")) {
            only = args[i + 1];
        }
    }
    QDir().mkpath(outDir);
    int failures = 0;
    for (auto& [name, maker] : duvanto::screenshots::Makers()) {
        if (!only.isEmpty() && QString::fromStdString(name) != only) {
            continue;
        }
        QTemporaryDir home;
        QTemporaryDir scratch;
        duvanto::screenshots::Context context{home.path().toStdString() + "/",
                                              scratch.path().toStdString() + "/"};
        QWidget* widget = maker(context);
        if (widget == nullptr) {
            std::fprintf(stderr, "screenshots: %s made no window\n", name.c_str());
            ++failures;
            continue;
        }
        duvanto::screenshots::Settle(600);
        const QString file = outDir + "/" + QString::fromStdString(name) + ".png";
        if (!duvanto::screenshots::Grab(widget).save(file)) {
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(file));
        }
        widget->close();
        delete widget;
        duvanto::screenshots::Settle(100);
    }
    return failures == 0 ? 0 : 1;
}
