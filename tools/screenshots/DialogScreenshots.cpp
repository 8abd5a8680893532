// SPDX-License-Identifier: GPL-3.0-or-later
// The windows that edit a task and those around running one, with demo data: the task
// properties, the selected files and the file mask over a demo Source; the confirmation list of
// a run, the order of tasks, the tray reminder, and the restore window with a checked tree.

#include <QTest>
#include <memory>

#include "app/mainwindow/frmSysTrayReminder.h"
#include "app/restore/frmRestore.h"
#include "app/runs/frmConfirmChanges.h"
#include "app/runs/frmOrderTasks.h"
#include "app/taskedit/FileMaskController.h"
#include "app/taskedit/frmFileMask.h"
#include "app/taskedit/frmSelectFiles.h"
#include "app/taskedit/frmTaskProperties.h"
#include "screenshots/Screenshots.h"

namespace duvanto::screenshots {

namespace {

// Shows a window over a controller made with the demo services; both live as long as the
// window.
template <typename Window, typename Controller, typename... Args>
Window* ShowOver(const Context& context, Args&&... args) {
    struct State {
        explicit State(const Context& context) : services(context) {}
        DemoServices services;
        std::unique_ptr<Controller> controller;
    };
    auto* state = new State(context);
    state->controller =
        std::make_unique<Controller>(std::forward<Args>(args)..., state->services.Get());
    auto* window = Owning(new Window(*state->controller), state);
    window->show();
    return window;
}

QWidget* TaskProperties(Context& context) {
    cCloneTask task;
    task.TaskName = "Photos";
    task.SourceFolderSpec = WriteDemoPictures(context.scratch + "Pictures/");
    task.TargetFolderSpec = context.scratch + "Backup/Pictures/<:>/media/user/USB-DISK/Pictures/";
    task.IntervalType = IntervalHours;
    task.IntervalIncrement = 2;
    task.StartTime = 0.375;
    return ShowOver<frmTaskProperties, TaskPropertiesController>(context, task);
}

QWidget* SelectFiles(Context& context) {
    const std::string source = WriteDemoPictures(context.scratch + "Pictures/");
    const SelectFilesRequest request{source,
                                     true,
                                     {source + "Camera/2023/", source + "Camera/2024/snow.jpg",
                                      source + "Scans/", source + "cover.jpg"},
                                     "*.odp,*.txt"};
    return ShowOver<frmSelectFiles, SelectFilesController>(context, request);
}

QWidget* FileMask(Context& context) {
    frmFileMask* window = ShowOver<frmFileMask, FileMaskController>(context);
    // JPEG images chosen, as a user adding photos would.
    auto* types = window->findChild<QTreeWidget*>(QStringLiteral("lstFileTypes"));
    for (int row = 0; types != nullptr && row < types->topLevelItemCount(); ++row) {
        if (types->topLevelItem(row)->text(0) == QLatin1String(".jpg")) {
            types->setCurrentItem(types->topLevelItem(row));
            types->scrollToItem(types->currentItem(), QAbstractItemView::PositionAtCenter);
        }
    }
    return window;
}

FileOp Op(FileOpType kind, const std::string& name, const std::string& source,
          const std::string& target, uint64_t bytes = 0) {
    FileOp op;
    op.Operation = kind;
    op.FileName = name;
    op.SourceFolder = source;
    op.TargetFolder = target;
    op.Bytes = bytes;
    return op;
}

// A week of new photos for a USB disk, and what was tidied away in the Source.
std::vector<PlannedOperation> DemoPlan() {
    const std::string home = "/home/anna/Photos/";
    const std::string disk = "/media/anna/BACKUP/Photos/";
    std::vector<FileOp> ops = {
        Op(DeleteFile, "old-draft.xcf", "", disk + "2023/"),
        Op(CopyFile, "index.html", home + "Albums/", disk + "Albums/", 18'406),
        Op(DeleteFile, "Thumbs.db", "", disk + "2024/February/"),
        Op(DeleteFile, "scan 1.tif", "", disk + "Old Scans/"),
        Op(DeleteFile, "scan 2.tif", "", disk + "Old Scans/"),
        Op(DeleteFolder, "", "", disk + "Old Scans/"),
        Op(CreateFolder, "", home + "2024/March/", disk + "2024/March/"),
    };
    // The disk is exFAT: a name changed in case only is renamed, and one it cannot hold is not
    // tried.
    FileOp rename = Op(RenameEntry, "COVER.JPG", home + "Albums/", disk + "Albums/");
    rename.OtherName = "cover.jpg";
    rename.Reason = OpReason::CaseOnlyRename;
    rename.TargetKind = StampKind::File;
    ops.push_back(rename);
    FileOp refuse = Op(RefuseName, "Who: Anna?.jpg", home + "2024/March/", disk + "2024/March/");
    refuse.Reason = OpReason::NameCharacters;
    refuse.SourceKind = StampKind::File;
    ops.push_back(refuse);
    for (int photo = 2041; photo <= 2052; ++photo) {
        ops.push_back(Op(CopyFile, "IMG_" + std::to_string(photo) + ".jpg", home + "2024/March/",
                         disk + "2024/March/", 4'200'000 + 37'000 * (photo % 7)));
    }
    ops.push_back(
        Op(CopyFile, "Holiday plan.odt", home + "2024/March/", disk + "2024/March/", 96'512));
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
    auto* state = new DemoServices(context);
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
    struct State : DemoServices {
        explicit State(const Context& context)
            : DemoServices(context), app(context.home, clock, prompt, runFiles) {}
        PosixFileSystem runFiles;
        Application app;
        std::unique_ptr<RestoreController> controller;
    };
    const std::string target = WriteDemoPictures(context.scratch + "Backup/Pictures/");
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
    state->controller = std::make_unique<RestoreController>(state->app, *restore, state->Get());
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

DUVANTO_SCREENSHOT("task-properties", TaskProperties);
DUVANTO_SCREENSHOT("select-files", SelectFiles);
DUVANTO_SCREENSHOT("file-mask", FileMask);
DUVANTO_SCREENSHOT("confirm-changes", ConfirmChanges);
DUVANTO_SCREENSHOT("order-tasks", OrderTasks);
DUVANTO_SCREENSHOT("tray-reminder", SysTrayReminder);
DUVANTO_SCREENSHOT("restore", Restore);

}  // namespace duvanto::screenshots
