#pragma once
// The main window's one way into the core's task list: loading and saving it, the rows it
// shows (text and icon derived from each task's own fields) and the error flags it resets.
// Everything the window needs of the list goes through here, so that a reshaped core changes
// this file and not the window.

#include <string>
#include <vector>

#include "tasks/Application.h"

namespace duvanto {

// The seven columns: the task's name, then Source, Target, Next Run, Last Run and the two
// hidden sort keys of the date columns.
inline constexpr int kTaskColumnCount = 7;
inline constexpr int kNextRunColumn = 3;
inline constexpr int kLastRunColumn = 4;
inline constexpr int kNextRunFormattedColumn = 5;
inline constexpr int kLastRunFormattedColumn = 6;

struct TaskRowView {
    std::vector<std::string> columns;  // kTaskColumnCount texts
    int icon = ImageSheepFolder;       // TaskImage
    const std::string& Name() const { return columns.front(); }
};

TaskRowView TaskRowOf(const cCloneTask& task);

// Sorting by header click: the first click turns sorting on, every click flips the order
// (ascending first). The date columns sort by their hidden sort keys.
struct TaskSort {
    bool on = false;
    bool ascending = false;
    int column = 0;

    void HeaderClicked(int clicked);
    int KeyColumn() const;
};
// Stable, letter case aside; unchanged while sorting is off.
void SortTaskRows(std::vector<TaskRowView>& rows, const TaskSort& sort);

class TaskListAdapter {
public:
    explicit TaskListAdapter(Application& app) : m_app(app) {}

    // Reads the list file into the (empty) task list, creating a missing one, and marks the
    // next scheduled task. False when the file could not be read at all.
    bool Load(const std::string& fileSpec);
    // Saves the list to its file; false (reported by the core) when that failed.
    bool Save();
    // Whether another program changed the list's file since the list read or saved it.
    bool ChangedElsewhere() const { return m_app.CloneTasks.FileChangedElsewhere(); }
    // Empties the list and reads its file again (a missing one is not created) and marks the
    // next scheduled task. False when the file could not be read at all.
    bool Reload();
    const std::string& FileSpec() const;
    std::string ListName() const;
    // What the last load could not take as it stands, one line per flaw ("line 3: ...").
    std::vector<std::string> ProblemLines() const;
    bool IllegalNamesRepaired() const;

    // In list order.
    std::vector<TaskRowView> Rows() const;
    int Count() const;
    bool Contains(const std::string& name) const;

    // Clears the task's error flag; false when the list has no such task.
    bool ResetError(const std::string& name);
    void ResetAllErrors();

    TrayIcon TrayIconChoice() const { return m_app.TrayIconChoice(); }

private:
    Application& m_app;
};

}  // namespace duvanto
