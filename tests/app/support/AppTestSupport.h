// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for widget tests: find controls the way a user finds them, by their captions or
// names, work a modal window once it is open, and set up the main window over a program folder.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QList>
#include <QMenu>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "app/mainwindow/frmDuvanto.h"
#include "app/support/MainWindowWorld.h"

namespace duvanto::test {

// The first button under root whose text is `text` (access-key "&" included, as the
// caption is stored); nullptr when none is.
QAbstractButton* FindButton(QWidget* root, const QString& text);

// The control of `parent` with that object name; nullptr when none is.
template <typename Control>
Control* Child(const QObject& parent, const char* name) {
    return parent.findChild<Control*>(QString::fromLatin1(name));
}

// Runs `act` on the modal window of that class once one is open (polling, since it opens from
// inside a command that does not return until it closes); `done` tells whether it ran.
template <typename Modal>
void WhenModal(QObject* context, bool& done, std::function<void(Modal&)> act) {
    auto* timer = new QTimer(context);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, context, [timer, &done, act] {
        if (auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*modal);
            done = true;
        }
    });
    timer->start();
}

// The main window over the world's program folder, its autostart folders inside it; the web
// and mail addresses it opens are collected, not handed to the desktop. The desktop shows no
// tray until the test sets `tray` and lets the window look (CheckTray).
struct MainWindowUnderTest {
    explicit MainWindowUnderTest(MainWindowWorld& world)
        : window({world.Started(), world.prompt, false,
                  RunAtLoginSetup{
                      {world.home / "autostart/", world.home / "xdg/"}, "/opt/duvanto/duvanto", ""},
                  [this](const QUrl& url) {
                      opened << url;
                      statusWhenOpened << window.sbrPanel1->text();
                  },
                  [this] { return tray; }}) {}
    // Loaded and shown as a user opens it.
    void Open() {
        window.Load();
        window.RestoreMainWindow();
    }

    bool tray = false;
    QList<QUrl> opened;
    QStringList statusWhenOpened;  // status panel 1 as each page was handed to the browser
    frmDuvanto window;
};

// A program folder holding `tasks` and the options file `ini` (the world's own when none is
// given).
struct ProgramFolder {
    ProgramFolder(const std::vector<cCloneTask>& tasks, const std::string& ini) {
        if (!ini.empty()) {
            WriteFile(world.home / kIniFileName, ini);
        }
        if (!tasks.empty()) {
            world.SaveTasks(tasks);
        }
    }
    MainWindowWorld world;
};

// The main window over such a folder, opened as a user opens it unless `open` is false.
struct OpenedMainWindow : ProgramFolder, MainWindowUnderTest {
    explicit OpenedMainWindow(const std::vector<cCloneTask>& tasks = {},
                              const std::string& ini = "", bool open = true)
        : ProgramFolder(tasks, ini), MainWindowUnderTest(world) {
        if (open) {
            Open();
        }
    }
};

}  // namespace duvanto::test
