// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A task to restore from, over real folders: two Targets, the first holding a few photos and a
// note, and a Source that was deleted with its parent. The application a restore runs against
// has a file system of its own (a run sets its roots on it), apart from the tree's.

#include <memory>
#include <string>

#include "app/restore/RestoreController.h"
#include "app/support/TaskEditWorld.h"
#include "platform/PosixFileSystem.h"

namespace duvanto::test {

// The main window and the restore window as a run sees them, doing nothing.
class QuietRunEffects : public IRunHost, public IRestoreWindow {
public:
    void SetStatusText(int, const std::string&) override {}
    void Pump() override {}
    void RunStarted(const std::string&) override {}
    void RunEnded() override {}
    void SetButtonsEnabled(bool) override {}
    void SetStatusLabel(const std::string&) override {}
};

struct RestoreWorld {
    RestoreWorld() : app(world.Folder("home"), world.clock, world.prompt, runFileSystem) {
        first = world.Folder("Backup/Photos");
        source = world.temp / "gone/Photos/";
        for (const char* file :
             {"2023/beach.jpg", "2023/harbour.jpg", "2024/snow.jpg", "notes.txt"}) {
            WriteFile(first + file, file);
        }
        WriteFile(world.Folder("Elsewhere") + "notes.txt", "from the second Target");
        task.TaskName = "Photos";
        task.SourceFolderSpec = source;
        task.TargetFolderSpec = first + "<:>" + world.temp / "Elsewhere/";
    }

    // The command, then the window's controller; nothing when the command refused.
    std::unique_ptr<RestoreController> Open() {
        std::optional<cRestore> restore = RestoreController::Prepare(app, &task);
        return restore ? std::make_unique<RestoreController>(app, *restore, world.Services())
                       : nullptr;
    }
    std::string LastMessage() const {
        const auto& shown = world.prompt.messages.shown;
        return shown.empty() ? "" : shown.back().title + "|" + shown.back().text;
    }

    TaskEditWorld world;
    PosixFileSystem runFileSystem;
    Application app;
    cCloneTask task;
    std::string first, source;
};

}  // namespace duvanto::test
