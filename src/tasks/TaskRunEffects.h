#pragma once
// What a task run and the task list need of the main window beyond the engine's status host:
// its task rows, caption, tray tooltip and icon, and the top-level menus. The desktop program
// implements these over its widgets, the command-line runner over the terminal, the tests with
// a recording fake.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/StatusHost.h"

namespace duvanto {

// The small icons of the task rows, numbered as the window's image list holds them.
enum TaskImage : int32_t {
    ImageSheepFolder = 1,           // normal
    ImageSheepFolderError = 2,      // the last run had an error
    ImageSheepFolderNext = 3,       // the next task the scheduler will run
    ImageSheepFolderErrorNext = 4,  // next to run, with an error
};

enum class TrayIcon { Normal, Error, Paused };

// The rows of the main window's task list, counted from 0.
class ITaskRows {
public:
    virtual ~ITaskRows() = default;
    virtual int32_t RowCount() = 0;
    virtual std::string RowText(int32_t row) = 0;
    virtual int32_t RowIcon(int32_t row) = 0;
    virtual void SetRowIcon(int32_t row, int32_t image) = 0;
    // The row's text and its sub-items 1 to 6 in column order.
    virtual void SetRowItems(int32_t row, const std::string& text,
                             const std::vector<std::string>& subItems) = 0;
};

// The first row whose text is the name; -1 when none is.
int32_t FindTaskRow(ITaskRows& rows, const std::string& taskName);

// A whole task run's view of the window. Status panels, the pump and the animation switch are
// the engine's status host.
class ITaskRunEffects : public IStatusHost, public ITaskRows {
public:
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetTrayTooltip(const std::string& tooltip) = 0;
    virtual void SetTopLevelMenusEnabled(bool enabled) = 0;
    virtual void SetTrayIcon(TrayIcon icon) = 0;
};

}  // namespace duvanto
