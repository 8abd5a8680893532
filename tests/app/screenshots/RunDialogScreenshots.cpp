// The windows around running tasks, with demo data: the confirmation list of a run, the order
// of tasks, the tray reminder, and the restore window with a checked tree.

#include <QTest>
#include <memory>

#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/QtFileTypes.h"
#include "app/widgets/frmConfirmChanges.h"
#include "app/widgets/frmOrderTasks.h"
#include "app/widgets/frmRestore.h"
#include "app/widgets/frmSysTrayReminder.h"
#include "platform/PosixFileSystem.h"
#include "screenshots/Screenshots.h"
#include "support/TestSupport.h"

namespace duvanto::screenshots {

namespace {

// Keeps `state` as long as the window lives.
template <typename Window, typename State>
Window* Owning(Window* window, State* state) {
    QObject::connect(window, &QObject::destroyed, [state] { delete state; });
    return window;
}

FileOp Op(FileOpType kind, const std::string& name, const std::string& source,
          const std::string& target) {
    FileOp op;
    op.Operation = kind;
    op.FileName = name;
    op.SourceFolder = source;
    op.TargetFolder = target;
    return op;
}

// A week of new photos for a USB disk, and what was tidied away in the Source.
std::vector<PlannedOperation> DemoPlan() {
    const std::string home = "/home/anna/Photos/";
    const std::string disk = "/media/anna/BACKUP/Photos/";
    std::vector<FileOp> ops = {
        Op(DeleteFile, "old-draft.xcf", "", disk + "2023/"),
        Op(CopyFile, "index.html", home + "Albums/", disk + "Albums/"),
        Op(DeleteFile, "Thumbs.db", "", disk + "2024/February/"),
        Op(DeleteFile, "scan 1.tif", "", disk + "Old Scans/"),
        Op(DeleteFile, "scan 2.tif", "", disk + "Old Scans/"),
        Op(DeleteFolder, "", "", disk + "Old Scans/"),
        Op(CreateFolder, "", home + "2024/March/", disk + "2024/March/"),
    };
    for (int photo = 2041; photo <= 2052; ++photo) {
        ops.push_back(Op(CopyFile, "IMG_" + std::to_string(photo) + ".jpg", home + "2024/March/",
                         disk + "2024/March/"));
    }
    ops.push_back(Op(CopyFile, "Holiday plan.odt", home + "2024/March/", disk + "2024/March/"));
    std::vector<PlannedOperation> plan;
    for (const FileOp& op : ops) {
        plan.push_back(PlannedOperationFromFileOp(op));
    }
    return plan;
}

QWidget* ConfirmChanges(Context&) {
    struct State {
        QtAppPrompt prompt;
        ConfirmChangesController controller{{"Photos to USB disk", DemoPlan(), true}, prompt, {}};
    };
    auto* state = new State;
    auto* window = Owning(new frmConfirmChanges(state->controller), state);
    window->resize(900, 560);
    window->show();
    // Two orphans the user is about to keep.
    window->lvwFileOps->setCurrentIndex(window->Model().index(3, 0));
    window->lvwFileOps->selectionModel()->select(window->Model().index(4, 0),
                                                 QItemSelectionModel::Select);
    return window;
}

QWidget* OrderTasks(Context& context) {
    struct State {
        explicit State(const Context& context) : reporter(context.home, prompt, clock) {}
        QtAppPrompt prompt;
        SystemClock clock;
        ErrorReporter reporter;
    };
    auto* state = new State(context);
    auto* window = Owning(new frmOrderTasks({"Documents nightly", "Photos to USB disk",
                                             "Music to NAS", "Mail archive"},
                                            state->prompt, state->reporter),
                          state);
    window->lstTasks->setCurrentRow(1);
    window->show();
    return window;
}

QWidget* SysTrayReminder(Context&) {
    auto* option = new bool(true);
    auto* window = Owning(new frmSysTrayReminder(*option), option);
    window->show();
    return window;
}

QWidget* Restore(Context& context) {
    struct State {
        explicit State(const Context& context)
            : reporter(context.home, prompt, clock), app(context.home, clock, prompt, runFiles) {}
        QtAppPrompt prompt;
        SystemClock clock;
        ErrorReporter reporter;
        PosixFileSystem treeFiles;
        PosixFileSystem runFiles;
        QtFileTypes fileTypes;
        Application app;
        std::unique_ptr<RestoreController> controller;
    };
    const std::string target = context.scratch + "Backup/Pictures/";
    for (const char* file :
         {"Camera/2023/beach.jpg", "Camera/2023/harbour.jpg", "Camera/2024/garden.jpg",
          "Camera/2024/snow.jpg", "Albums/Wedding/ceremony.jpg", "Scans/passport.pdf",
          "Scans/tax-2023.pdf", "Wallpapers/dunes.png", "cover.jpg", "notes.txt"}) {
        test::WriteFile(target + file, "demo");
    }
    auto* state = new State(context);
    cCloneTask task;
    task.TaskName = "Pictures";
    task.SourceFolderSpec = context.scratch + "Pictures/";
    task.TargetFolderSpec = target;
    std::optional<cRestore> restore = RestoreController::Prepare(state->app, &task);
    if (!restore) {
        delete state;
        return nullptr;
    }
    state->controller = std::make_unique<RestoreController>(
        state->app, *restore,
        TaskEditServices{state->prompt, nullptr, state->reporter, state->treeFiles, state->clock,
                         MountTables{}, state->fileTypes});
    auto* window = Owning(new frmRestore(*state->controller), state);
    window->show();
    SelectionTreeModel& model = window->Model();
    if (!QTest::qWaitFor([&] { return !model.Reading(); })) {
        delete window;
        return nullptr;
    }
    // Camera opened, 2024 checked, and the cover picture.
    const auto child = [&](const QModelIndex& parent, const QString& text) {
        for (int row = 0; row < model.rowCount(parent); ++row) {
            if (model.index(row, 0, parent).data().toString() == text) {
                return model.index(row, 0, parent);
            }
        }
        return QModelIndex();
    };
    const QModelIndex camera = child(model.index(0, 0), QStringLiteral("Camera"));
    window->tvwFolderContents->expand(camera);
    if (!QTest::qWaitFor([&] { return model.rowCount(camera) > 0 && !model.Reading(); })) {
        delete window;
        return nullptr;
    }
    model.setData(child(camera, QStringLiteral("2024")), Qt::Checked, Qt::CheckStateRole);
    model.setData(child(model.index(0, 0), QStringLiteral("cover.jpg")), Qt::Checked,
                  Qt::CheckStateRole);
    window->tvwFolderContents->setCurrentIndex(child(camera, QStringLiteral("2024")));
    return window;
}

}  // namespace

DUVANTO_SCREENSHOT("confirm-changes", ConfirmChanges);
DUVANTO_SCREENSHOT("order-tasks", OrderTasks);
DUVANTO_SCREENSHOT("tray-reminder", SysTrayReminder);
DUVANTO_SCREENSHOT("restore", Restore);

}  // namespace duvanto::screenshots
