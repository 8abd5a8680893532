// The windows that edit a task, with a demo Source: the task properties, the selected files
// and the file mask.

#include <QObject>
#include <functional>
#include <memory>

#include "app/logic/FileMaskController.h"
#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/QtFileTypes.h"
#include "app/widgets/frmFileMask.h"
#include "app/widgets/frmSelectFiles.h"
#include "app/widgets/frmTaskProperties.h"
#include "platform/PosixFileSystem.h"
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

// Shows a window over a controller made with the services; both live as long as the window.
// `prepare` may set the window up before it is shown.
template <typename Window, typename Controller>
QWidget* ShowWindow(const Context& context,
                    const std::function<std::unique_ptr<Controller>(TaskEditServices)>& make,
                    const std::function<void(Window&, Controller&)>& prepare = {}) {
    struct State {
        explicit State(const Context& context) : services(context) {}
        Services services;
        std::unique_ptr<Controller> controller;
    };
    auto* state = new State(context);
    state->controller = make(state->services.Get());
    auto* window = new Window(*state->controller);
    QObject::connect(window, &QObject::destroyed, [state] { delete state; });
    if (prepare) {
        prepare(*window, *state->controller);
    }
    window->show();
    return window;
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

QWidget* TaskProperties(Context& context) {
    cCloneTask task;
    task.TaskName = "Photos";
    task.SourceFolderSpec = DemoSource(context);
    task.TargetFolderSpec = context.scratch + "Backup/Pictures/<:>/media/user/USB-DISK/Pictures/";
    task.IntervalType = IntervalHours;
    task.IntervalIncrement = 2;
    task.StartTime = 0.375;
    return ShowWindow<frmTaskProperties, TaskPropertiesController>(
        context, [&task](TaskEditServices services) {
            return std::make_unique<TaskPropertiesController>(task, services);
        });
}

QWidget* SelectFiles(Context& context) {
    const std::string source = DemoSource(context);
    const SelectFilesRequest request{source, true,
                                     source + "Camera/2023/<:>" + source +
                                         "Camera/2024/snow.jpg<:>" + source + "Scans/<:>" + source +
                                         "cover.jpg",
                                     "*.odp,*.txt"};
    return ShowWindow<frmSelectFiles, SelectFilesController>(
        context, [&request](TaskEditServices services) {
            return std::make_unique<SelectFilesController>(request, services);
        });
}

QWidget* FileMask(Context& context) {
    return ShowWindow<frmFileMask, FileMaskController>(
        context,
        [](TaskEditServices services) { return std::make_unique<FileMaskController>(services); },
        [](frmFileMask& window, FileMaskController& controller) {
            // JPEG images chosen, as a user adding photos would.
            auto* types = window.findChild<QTreeWidget*>(QStringLiteral("lstFileTypes"));
            const std::vector<FileTypeEntry>& entries = controller.FileTypes();
            for (std::size_t row = 0; types != nullptr && row < entries.size(); ++row) {
                if (entries[row].Extension == ".jpg") {
                    types->setCurrentItem(types->topLevelItem(static_cast<int>(row)));
                    types->scrollToItem(types->currentItem(), QAbstractItemView::PositionAtCenter);
                }
            }
        });
}

}  // namespace

DUVANTO_SCREENSHOT("task-properties", TaskProperties);
DUVANTO_SCREENSHOT("select-files", SelectFiles);
DUVANTO_SCREENSHOT("file-mask", FileMask);

}  // namespace duvanto::screenshots
