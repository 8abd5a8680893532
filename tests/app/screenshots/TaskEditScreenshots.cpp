// The windows that edit a task, with a demo Source: the task properties, the selected files
// and the file mask.

#include <QObject>
#include <memory>

#include "app/logic/FileMaskController.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/QtFileTypes.h"
#include "app/widgets/frmFileMask.h"
#include "app/widgets/frmSelectFiles.h"
#include "app/widgets/frmTaskProperties.h"
#include "screenshots/Screenshots.h"
#include "support/TestSupport.h"
#include "util/FileUtilities.h"

namespace duvanto::screenshots {

namespace {

// What the windows are handed, kept alive as long as the window shown.
struct Services {
    explicit Services(const Context& context) : reporter(context.home, prompt, clock) {}
    TaskEditServices Get() {
        return {prompt, nullptr, reporter, fileSystem, clock, MountTables{}, fileTypes};
    }

    QtAppPrompt prompt;
    SystemClock clock;
    ErrorReporter reporter;
    PosixFileSystem fileSystem;
    QtFileTypes fileTypes;
};

template <typename State>
void KeepWhileShown(QWidget* window, State* state) {
    QObject::connect(window, &QObject::destroyed, [state] { delete state; });
}

// A Source of photos and papers, as a user might keep them.
std::string DemoSource(const Context& context) {
    const std::string source = context.scratch + "Pictures/";
    for (const char* file :
         {"Camera/2023/beach.jpg", "Camera/2023/harbour.jpg", "Camera/2024/garden.jpg",
          "Camera/2024/snow.jpg", "Albums/Wedding/ceremony.jpg", "Scans/passport.pdf",
          "Scans/tax-2023.pdf", "Wallpapers/dunes.png", "cover.jpg", "notes.txt",
          "slideshow.odp"}) {
        test::WriteFile(source + file, "demo");
    }
    return source;
}

}  // namespace

DUVANTO_SCREENSHOT("task-properties", [](Context& context) -> QWidget* {
    struct State {
        explicit State(const Context& context) : services(context) {}
        Services services;
        std::unique_ptr<TaskPropertiesController> controller;
    };
    auto* state = new State(context);
    cCloneTask task;
    task.TaskName = "Photos";
    task.SourceFolderSpec = DemoSource(context);
    task.TargetFolderSpec = context.scratch + "Backup/Pictures/<:>/media/user/USB-DISK/Pictures/";
    task.IntervalType = IntervalHours;
    task.IntervalIncrement = 2;
    task.StartTime = 0.375;
    state->controller = std::make_unique<TaskPropertiesController>(task, state->services.Get());
    auto* window = new frmTaskProperties(*state->controller);
    KeepWhileShown(window, state);
    window->show();
    return window;
});

DUVANTO_SCREENSHOT("select-files", [](Context& context) -> QWidget* {
    struct State {
        explicit State(const Context& context) : services(context) {}
        Services services;
        std::unique_ptr<SelectFilesController> controller;
    };
    auto* state = new State(context);
    const std::string source = DemoSource(context);
    state->controller = std::make_unique<SelectFilesController>(
        SelectFilesRequest{source, true,
                           source + "Camera/2023/<:>" + source + "Camera/2024/snow.jpg<:>" +
                               source + "Scans/<:>" + source + "cover.jpg",
                           "*.odp,*.txt"},
        state->services.Get());
    auto* window = new frmSelectFiles(*state->controller);
    KeepWhileShown(window, state);
    window->show();
    return window;
});

DUVANTO_SCREENSHOT("file-mask", [](Context& context) -> QWidget* {
    struct State {
        explicit State(const Context& context) : services(context) {}
        Services services;
        std::unique_ptr<FileMaskController> controller;
    };
    auto* state = new State(context);
    state->controller = std::make_unique<FileMaskController>(state->services.Get());
    auto* window = new frmFileMask(*state->controller);
    KeepWhileShown(window, state);
    auto* types = window->findChild<QTreeWidget*>(QStringLiteral("lstFileTypes"));
    const std::vector<FileTypeEntry>& entries = state->controller->FileTypes();
    for (std::size_t row = 0; types != nullptr && row < entries.size(); ++row) {
        if (entries[row].Extension == ".jpg") {
            types->setCurrentItem(types->topLevelItem(static_cast<int>(row)));
            types->scrollToItem(types->currentItem(), QAbstractItemView::PositionAtCenter);
        }
    }
    window->show();
    return window;
});

}  // namespace duvanto::screenshots
