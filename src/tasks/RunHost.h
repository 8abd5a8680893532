// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a task run tells the front end that started it, beyond the engine's status host: that
// it started and that it ended. The run calls these on its own thread; a window marshals them to
// its thread and words them (caption, tray tooltip, menus) as it shows them. The task rows and
// the tray icon are not the run's: the owner refreshes them when it applies the run's outcome
// to the list.

#include <cstdint>
#include <string>

#include "engine/StatusHost.h"

namespace duvanto {

// The small icons of the task rows, numbered as the window's image list holds them. A view
// picks one from the task itself (TaskRowImage).
enum TaskImage : int32_t {
    ImageSheepFolder = 1,           // normal
    ImageSheepFolderError = 2,      // the last run had an error
    ImageSheepFolderNext = 3,       // the next task the scheduler will run
    ImageSheepFolderErrorNext = 4,  // next to run, with an error
};

enum class TrayIcon { Normal, Error, Paused };

// A whole task run's view of the front end. The order in which a run calls it is fixed: started,
// animation on, panel 1; the engine's texts, progress and questions; then ended, animation off,
// panel 1 (the outcome), panel 2 emptied.
class IRunHost : public IStatusHost {
public:
    virtual void RunStarted(const std::string& taskName) = 0;
    virtual void RunEnded() = 0;
};

}  // namespace duvanto
