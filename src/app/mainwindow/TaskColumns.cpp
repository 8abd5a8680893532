// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/TaskColumns.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

#include "settings/ProgramOptions.h"

namespace duvanto {

TaskRowView TaskRowOf(const cCloneTask& task, const std::string& waitingFor) {
    TaskRowView row;
    row.columns.push_back(task.TaskName);
    for (std::string& item : task.ListviewSubItems(waitingFor)) {
        row.columns.push_back(std::move(item));
    }
    row.columns.resize(kTaskColumnCount);
    row.icon = TaskRowImage(task);
    return row;
}

std::vector<TaskRowView> TaskRowsOf(
    const cCloneTasks& tasks, const std::function<std::string(const cCloneTask&)>& waitingFor) {
    std::vector<TaskRowView> rows;
    for (int32_t i = 1; i <= tasks.Count(); ++i) {
        const cCloneTask& task = *tasks.Item(i);
        rows.push_back(TaskRowOf(task, waitingFor ? waitingFor(task) : std::string()));
    }
    return rows;
}

void TaskSort::HeaderClicked(int clicked) {
    on = true;
    ascending = !ascending;
    column = clicked;
}

int TaskSort::KeyColumn() const {
    if (column == kNextRunColumn) {
        return kNextRunFormattedColumn;
    }
    return column == kLastRunColumn ? kLastRunFormattedColumn : column;
}

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

void SortTaskRows(std::vector<TaskRowView>& rows, const TaskSort& sort) {
    if (!sort.on) {
        return;
    }
    const auto key = static_cast<std::size_t>(sort.KeyColumn());
    std::stable_sort(rows.begin(), rows.end(), [&](const TaskRowView& a, const TaskRowView& b) {
        return sort.ascending ? LessIgnoringCase(a.columns[key], b.columns[key])
                              : LessIgnoringCase(b.columns[key], a.columns[key]);
    });
}

bool ColumnWidthChosen(const std::array<int32_t, kVisibleTaskColumns>& chosen, int column) {
    return chosen[static_cast<std::size_t>(column)] !=
           kDefaultColumnWidths[static_cast<std::size_t>(column)];
}

TaskColumnWidths LayOutTaskColumns(const std::array<int32_t, kVisibleTaskColumns>& chosen,
                                   const TaskColumnWidths& content, int viewport) {
    TaskColumnWidths widths{};
    std::vector<int> growing;  // the text columns nobody sized, while their text is cut
    for (int column = 0; column < kVisibleTaskColumns; ++column) {
        const auto i = static_cast<std::size_t>(column);
        widths[i] = chosen[i];
        if (ColumnWidthChosen(chosen, column)) {
            continue;
        }
        if (column == kNextRunColumn || column == kLastRunColumn) {
            widths[i] = std::max(widths[i], content[i]);
        } else if (content[i] > widths[i]) {
            growing.push_back(column);
        }
    }
    int left = viewport - std::accumulate(widths.begin(), widths.end(), 0);
    // The room is shared evenly; a column whose text fits gives its share back to the others.
    while (left > 0 && !growing.empty()) {
        const int share = std::max(1, left / static_cast<int>(growing.size()));
        std::vector<int> still;
        for (const int column : growing) {
            const auto i = static_cast<std::size_t>(column);
            const int given = std::min({share, content[i] - widths[i], left});
            widths[i] += given;
            left -= given;
            if (widths[i] < content[i]) {
                still.push_back(column);
            }
        }
        growing = std::move(still);
    }
    widths.back() += std::max(0, left);
    return widths;
}

}  // namespace duvanto
