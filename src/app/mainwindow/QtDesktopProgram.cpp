// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtDesktopProgram.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <optional>
#include <string>

#include "app/common/QtAppPrompt.h"
#include "app/help/AppInfo.h"
#include "app/mainwindow/ErrorBoundary.h"
#include "app/mainwindow/QtDesktopApplication.h"
#include "app/mainwindow/QtInstanceChannel.h"
#include "app/mainwindow/frmDuvanto.h"
#include "platform/ProcessPaths.h"
#include "platform/Terminal.h"
#include "session/Session.h"
#include "util/PathStrings.h"

// After the core's headers: its TrayIcon() function hides the core's TrayIcon type.
#include "app/common/QtPictures.h"

namespace duvanto {

namespace {

// --home DIR or --home=DIR; nothing when not given. Qt has taken its own options already.
std::optional<std::string> HomeOption(const QStringList& arguments, bool& bad) {
    std::optional<std::string> home;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--home")) {
            if (i + 1 >= arguments.size()) {
                bad = true;
                return home;
            }
            home = arguments[++i].toStdString();
        } else if (argument.startsWith(QLatin1String("--home="))) {
            home = argument.mid(7).toStdString();
        }
    }
    // An empty folder is a mistake (an unset variable in a script), not a wish for the default.
    bad = bad || (home && Trim(*home).empty());
    return home;
}

// --version among the arguments (not as --home's folder). Looked for before Qt starts, so that
// it answers where no display is, as in a package's checks or over ssh.
bool AsksForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--home") {
            ++i;
        } else if (argument == "--version") {
            return true;
        }
    }
    return false;
}

// How often the window looks whether SIGTERM or SIGHUP came. The handler only sets an atomic
// flag, the one thing a signal handler may safely do; the window acts on it here.
constexpr int kSessionEndPollMs = 200;

// Everything from the options to the end of the event loop.
int RunProgram(DesktopApplication& qtApp, QtAppPrompt& prompt, Session& session);

}  // namespace

int RunDesktopProgram(int argc, char** argv) {
    if (AsksForVersion(argc, argv)) {
        std::printf("duvanto %s\n", ProgramVersion().c_str());
        return 0;
    }
    DesktopApplication qtApp(argc, argv);
    std::setlocale(LC_ALL, "");
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(ApplicationIcon());
    // The window hides to the tray; only Shut Down and the session's end end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QtAppPrompt prompt;

    bool badHome = false;
    const std::optional<std::string> home = HomeOption(QApplication::arguments(), badHome);
    if (badHome) {
        std::fprintf(stderr, "duvanto: --home: the program folder is missing or empty\n");
        return 2;
    }
    const Result<std::string> appPath = Session::ProgramFolder(home.value_or(""), true);
    if (!appPath.ok()) {
        std::fprintf(stderr, "%s\n", appPath.status().message().c_str());
        prompt.ShowMessage(kApplicationTitle, appPath.status().message(), MessageIcon::Critical,
                           MessageButtons::OK);
        return 2;
    }
    Session session(appPath.value(), prompt);
    if (const Status locked = session.Lock(); !locked.ok()) {
        if (locked.IsBusy()) {
            AnswerSecondStart(appPath.value(), prompt);
            return 0;
        }
        prompt.ShowMessage(kApplicationTitle, appPath.value() + ": " + locked.message(),
                           MessageIcon::Critical, MessageButtons::OK);
        return 2;
    }

    try {
        return RunProgram(qtApp, prompt, session);
    } catch (...) {
        session.App().Reporter.ReportCurrentException(
            "modDuvanto.Main", FailureDetails("modDuvanto.Main", std::current_exception()));
        return 2;
    }
}

namespace {

int RunProgram(DesktopApplication& qtApp, QtAppPrompt& prompt, Session& session) {
    Application& app = session.App();
    qtApp.SetReporter(&app.Reporter);
    struct ReporterGoes {
        DesktopApplication& qtApp;
        ~ReporterGoes() { qtApp.SetReporter(nullptr); }
    } reporterGoes{qtApp};
    session.ReadOptions();

    frmDuvanto window({session,
                       prompt,
                       QSystemTrayIcon::isSystemTrayAvailable(),
                       RunAtLoginSetup{SystemAutostartFolders(), ExecutablePath(),
                                       LoginHomeArgument(app.AppPath)},
                       {},
                       {}});
    prompt.SetParentWindow(&window);
    // A second start brings this window forward.
    InstanceChannel channel;
    QObject::connect(&channel, &InstanceChannel::ShowRequested, &window,
                     [&window] { window.RestoreMainWindow(); });
    channel.Listen(app.AppPath);
    QObject::connect(&window, &frmDuvanto::ProgramEnded, &qtApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    // The session manager's end, and SIGTERM or SIGHUP: the same orderly end.
    InterruptSetsFlag(&app.Flags.EscPressed, &app.Flags.SessionEnding);
    QTimer sessionEnd;
    QObject::connect(&sessionEnd, &QTimer::timeout, &window, [&] {
        if (app.Flags.SessionEnding && !window.Ended()) {
            window.SessionEnd();
        }
    });
    sessionEnd.start(kSessionEndPollMs);
    QObject::connect(&qtApp, &QGuiApplication::commitDataRequest, &window, [&] {
        if (!window.Ended()) {
            window.SessionEnd();
        }
    });

    // Loaded inside the event loop: the first run's message box runs a loop of its own, and an
    // end asked for meanwhile (SIGTERM) must end the program's loop too, not come before it.
    QTimer::singleShot(0, &window, [&window] { window.Load(); });
    const int status = QApplication::exec();
    if (!window.Ended()) {
        window.SessionEnd();
    }
    InterruptSetsFlag(nullptr);
    return status;
}

}  // namespace

}  // namespace duvanto
