// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own pictures, compiled in from resources/icons/. Each is an SVG, so an icon
// is sharp at any size the desktop asks for.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace duvanto {

// The program's icon: windows, the About box and the desktop's menu.
QIcon ApplicationIcon();

// The task list's row icons by image number, in the order and under the keys of its image
// list: 1 "SheepFolder", 2 "SheepFolderError", 3 "SheepFolderNext", 4 "SheepFolderErrorNext".
// Any other number gives a null icon.
QIcon TaskRowIcon(int imageIndex);

enum class TrayPicture { Normal, Error, Paused, Animate };
QIcon TrayIcon(TrayPicture picture);

// The six toolbar buttons by index: 0 new task, 1 delete task, 2 run, 3 task properties,
// 4 view log, 5 help contents. Any other index gives a null icon.
QIcon ToolbarIcon(int buttonIndex);

// The picture behind the task list while the scheduler is paused, at its natural size
// (scaled by the device pixel ratio given); meant to be drawn centred, not tiled.
QPixmap PausedBackground(qreal devicePixelRatio = 1.0);

// The kinds of planned operation (CopyFile, DeleteFile, CreateFolder, DeleteFolder); any
// other value gives a null icon.
QIcon FileOperationIcon(int operation);

// The resource path of every picture above, for tests that check each one is there.
QStringList AllPicturePaths();

}  // namespace duvanto
