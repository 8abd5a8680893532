// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The widths of the task list's five visible columns. A width the user chose is kept as chosen;
// the options keep only those, so a width still at its first value is one nobody chose. Such a
// column fits its text as far as the view has room: the date columns always (their text is
// short), the name, Source and Target columns from whatever room is left. The last column takes
// what is then left of the view, so the list never ends in empty space.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tasks/CloneTasks.h"
#include "tasks/RunHost.h"

namespace duvanto {

// The rows the list shows: text and icon derived from each task's own fields.
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

// waitingFor: the drive a due task waits for ("" for none), which its Next Run column shows.
TaskRowView TaskRowOf(const cCloneTask& task, const std::string& waitingFor = {});
// Every task of the list, in list order; waitingFor as above, for each task.
std::vector<TaskRowView> TaskRowsOf(
    const cCloneTasks& tasks,
    const std::function<std::string(const cCloneTask&)>& waitingFor = nullptr);

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

inline constexpr int kVisibleTaskColumns = 5;
using TaskColumnWidths = std::array<int, kVisibleTaskColumns>;

// `chosen` as the options hold it; `content` the widest text of each column, its heading
// included; `viewport` the width the list shows.
TaskColumnWidths LayOutTaskColumns(const std::array<int32_t, kVisibleTaskColumns>& chosen,
                                   const TaskColumnWidths& content, int viewport);

// Whether the user chose the column's width: it is no longer the first one.
bool ColumnWidthChosen(const std::array<int32_t, kVisibleTaskColumns>& chosen, int column);

}  // namespace duvanto
