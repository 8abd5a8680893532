// SPDX-License-Identifier: GPL-3.0-or-later
// How long the log viewer takes to open a large clone log, show included.
//
//   log_open make DIR [MB]      writes DIR/clone.log of about MB (10) megabytes of task runs
//   log_open open DIR [--warm]  opens the viewer on it and prints the seconds until its text
//                               is painted (wall and processor time), and until the older
//                               lines of the log are in too; --warm opens and closes one
//                               viewer first
//
// Each measurement wants a process of its own: "cold" is the first window of the process
// (fonts, styles and the first layout still to be loaded), as when the log is the first thing
// the user opens after the program starts; "warm" is any later open. The reset size is set
// above the log, so that the log is coloured: the slower of the two ways it is shown.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "app/common/AppPrompt.h"
#include "app/log/frmLog.h"
#include "platform/PosixFileSystem.h"
#include "util/Clock.h"

namespace duvanto {
namespace {

class SilentPrompt : public IAppPrompt {
public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageIcon,
                              MessageButtons) override {
        return MessageAnswer::OK;
    }
    std::optional<std::string> AskText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskOpenFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskFolder(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
};

// Notes the first paint of the text box's viewport.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Task runs as the clone log holds them: a begin entry, copies and deletions with an error
// now and then, the end entry and an empty line.
int Make(const std::string& folder, double megabytes) {
    std::ofstream out(folder + "/clone.log", std::ios::binary | std::ios::trunc);
    const auto wanted = static_cast<std::size_t>(megabytes * 1024 * 1024);
    std::size_t written = 0;
    for (int run = 0; written < wanted; ++run) {
        const std::string task = "Nightly " + std::to_string(run % 7);
        const std::string stamp = "12/4/2003 4:" + std::to_string(10 + run % 50) + ":16 PM";
        std::string text = stamp + "<Begin: " + task + ">\r\n";
        for (int i = 0; i < 300; ++i) {
            const std::string file = "report-" + std::to_string(run) + "-" + std::to_string(i);
            if (i % 97 == 13) {
                text += stamp + " *Copy Error: 13 Permission denied " + file +
                        ".odt from /home/user/Documents/Projects/2003/ to "
                        "/media/user/Backup/Documents/Projects/2003/\r\n";
            } else if (i % 11 == 0) {
                text += stamp + " - Deleted: " + file +
                        ".tmp from /media/user/Backup/Documents/Projects/2003/\r\n";
            } else {
                text += stamp + " - Copied: " + file +
                        ".odt from /home/user/Documents/Projects/2003/ to "
                        "/media/user/Backup/Documents/Projects/2003/\r\n";
            }
        }
        text += stamp + "<End: " + task + "> {All Activity Logged}\r\n\r\n";
        out << text;
        written += text.size();
    }
    std::printf("wrote %zu bytes to %s/clone.log\n", written, folder.c_str());
    return out ? 0 : 1;
}

// The processor time of the whole process, every thread: on a shared machine the wall time
// also counts what other processes took.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
    double whole = 0;  // wall seconds until the older lines of a large log were in too
};

// Opens a viewer and times it until its text was painted.
Timing OpenOnce(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter,
                const RunFlags& flags) {
    const double cpuStart = ProcessSeconds();
    QElapsedTimer timer;
    timer.start();
    auto form = std::make_unique<frmLog>(log, prompt, reporter, nullptr, flags);
    PaintWatch watch;
    form->rtfLogEntries->viewport()->installEventFilter(&watch);
    form->show();
    while (!watch.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    Timing timing{static_cast<double>(timer.nsecsElapsed()) / 1e9, ProcessSeconds() - cpuStart};
    while (form->rtfLogEntries->Loading()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    timing.whole = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    form->close();
    form.reset();
    QCoreApplication::processEvents();
    return timing;
}

int Open(int argc, char** argv, const std::string& folder, bool warm) {
    QApplication application(argc, argv);
    SilentPrompt prompt;
    SystemClock clock;
    const std::string appPath = folder + "/";
    PosixFileSystem fileSystem;
    ErrorReporter reporter(appPath, prompt, clock, fileSystem);
    cCloneLog log(appPath, clock, reporter, prompt, fileSystem);
    log.MaxLogFileSize(std::numeric_limits<int32_t>::max());
    RunFlags flags;
    if (warm) {
        OpenOnce(log, prompt, reporter, flags);
    }
    const Timing timing = OpenOnce(log, prompt, reporter, flags);
    std::printf("%s %.3f s wall, %.3f s cpu; whole text in after %.3f s\n", warm ? "warm" : "cold",
                timing.wall, timing.cpu, timing.whole);
    return 0;
}

}  // namespace
}  // namespace duvanto

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "make") {
        return duvanto::Make(argv[2], argc > 3 ? std::atof(argv[3]) : 10.0);
    }
    if (mode == "open") {
        const bool warm = argc > 3 && std::string(argv[3]) == "--warm";
        return duvanto::Open(argc, argv, argv[2], warm);
    }
    std::fprintf(stderr, "usage: log_open make DIR [MB] | log_open open DIR [--warm]\n");
    return 2;
}
