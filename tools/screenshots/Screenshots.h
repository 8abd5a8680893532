// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each window registers how to show itself with demo data; the tool shows each in turn and
// writes NAME.png. A maker returns a top-level widget that it has shown (or a menu it has
// popped up); the tool grabs it, then deletes it.

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtFileTypes.h"
#include "app/taskedit/TaskEditServices.h"
#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"

namespace duvanto::screenshots {

struct Context {
    // A program folder made for this run, ending in "/": makers put their demo data here.
    std::string home;
    // A scratch folder for Source and Target trees, ending in "/".
    std::string scratch;
};

using Maker = std::function<QWidget*(Context&)>;

// Called from a static initialiser of each screenshot file.
bool Register(const char* name, Maker maker);

// Keeps `state`, whatever the window works with, as long as the window lives.
template <typename Window, typename State>
Window* Owning(Window* window, State* state) {
    QObject::connect(window, &QObject::destroyed, [state] { delete state; });
    return window;
}

// What the windows that edit or restore a task are handed: the desktop's prompt, clock and file
// types over the real file system.
struct DemoServices {
    explicit DemoServices(const Context& context)
        : reporter(context.home, prompt, clock, fileSystem) {}
    TaskEditServices Get() {
        return {prompt, nullptr, reporter, fileSystem, clock, MountTables{}, fileTypes};
    }

    QtAppPrompt prompt;
    SystemClock clock;
    PosixFileSystem fileSystem;
    ErrorReporter reporter;
    QtFileTypes fileTypes;
};

// Photos and papers as a user might keep them, written into `folder` (ending in "/").
inline std::string WriteDemoPictures(const std::string& folder) {
    for (const char* file :
         {"Camera/2023/beach.jpg", "Camera/2023/harbour.jpg", "Camera/2024/garden.jpg",
          "Camera/2024/snow.jpg", "Albums/Wedding/ceremony.jpg", "Scans/passport.pdf",
          "Scans/tax-2023.pdf", "Wallpapers/dunes.png", "cover.jpg", "notes.txt",
          "slideshow.odp"}) {
        test::WriteFile(folder + file, "demo");
    }
    return folder;
}

}  // namespace duvanto::screenshots

#define DUVANTO_SCREENSHOT_CAT2(a, b) a##b
#define DUVANTO_SCREENSHOT_CAT(a, b) DUVANTO_SCREENSHOT_CAT2(a, b)
// DUVANTO_SCREENSHOT("main-window", [](Context& c) -> QWidget* { ... });
#define DUVANTO_SCREENSHOT(name, maker)                               \
    static const bool DUVANTO_SCREENSHOT_CAT(registered_, __LINE__) = \
        ::duvanto::screenshots::Register(name, maker)
