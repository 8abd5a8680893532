// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/QtPictures.h"

#include <QPainter>
#include <QSvgRenderer>
#include <array>

#include "engine/Clone.h"

namespace duvanto {

namespace {

QString IconPath(const char* name) {
    return QStringLiteral(":/resources/icons/") + QLatin1String(name) + QStringLiteral(".svg");
}

constexpr std::array<const char*, 4> kTaskRowKeys{"SheepFolder", "SheepFolderError",
                                                  "SheepFolderNext", "SheepFolderErrorNext"};
constexpr std::array<const char*, 4> kTrayNames{"tray-normal", "tray-error", "tray-paused",
                                                "tray-animate"};
constexpr std::array<const char*, 6> kToolbarNames{"toolbar-new-task", "toolbar-delete-task",
                                                   "toolbar-run",      "toolbar-task-properties",
                                                   "toolbar-view-log", "toolbar-help"};
constexpr std::array<const char*, 6> kOperationNames{"op-copy-file",     "op-delete-file",
                                                     "op-create-folder", "op-delete-folder",
                                                     "op-rename",        "op-refuse-name"};
constexpr char kApplicationName[] = "duvanto";
constexpr char kPausedName[] = "paused-background";

template <std::size_t N>
QIcon Pick(const std::array<const char*, N>& names, int index) {
    if (index < 0 || index >= static_cast<int>(N)) {
        return QIcon();
    }
    return QIcon(IconPath(names[static_cast<std::size_t>(index)]));
}

template <std::size_t N>
void AppendPaths(QStringList& paths, const std::array<const char*, N>& names) {
    for (const char* name : names) {
        paths << IconPath(name);
    }
}

}  // namespace

QIcon ApplicationIcon() {
    return QIcon(IconPath(kApplicationName));
}

QIcon TaskRowIcon(int imageIndex) {
    return Pick(kTaskRowKeys, imageIndex - 1);
}

QIcon TrayIcon(TrayPicture picture) {
    return Pick(kTrayNames, static_cast<int>(picture));
}

QIcon ToolbarIcon(int buttonIndex) {
    return Pick(kToolbarNames, buttonIndex);
}

QPixmap PausedBackground(qreal devicePixelRatio) {
    QSvgRenderer renderer(IconPath(kPausedName));
    const QSize size = renderer.defaultSize();
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon FileOperationIcon(int operation) {
    static_assert(CopyFile == 0 && DeleteFile == 1 && CreateFolder == 2 && DeleteFolder == 3 &&
                  RenameEntry == 4 && RefuseName == 5);
    return Pick(kOperationNames, operation);
}

QStringList AllPicturePaths() {
    QStringList paths{IconPath(kApplicationName), IconPath(kPausedName)};
    AppendPaths(paths, kTaskRowKeys);
    AppendPaths(paths, kTrayNames);
    AppendPaths(paths, kToolbarNames);
    AppendPaths(paths, kOperationNames);
    return paths;
}

}  // namespace duvanto
