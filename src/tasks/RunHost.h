#pragma once
// What a task run needs of the front end that started it, beyond the engine's status host: the
// caption, the tray tooltip and the top-level menus. The run calls these on its own thread; a
// window marshals them to its thread. The task rows and the tray icon are not the run's: the
// owner refreshes them when it applies the run's outcome to the list.

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

// A whole task run's view of the front end. The order in which a run calls it is fixed: menus
// off, caption, tray tooltip, animation on, panel 1; the engine's texts and progress; then
// menus on, caption, tray tooltip, animation off, panel 1 (the outcome), panel 2 emptied.
class IRunHost : public IStatusHost {
public:
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetTrayTooltip(const std::string& tooltip) = 0;
    virtual void SetTopLevelMenusEnabled(bool enabled) = 0;
};

}  // namespace duvanto
