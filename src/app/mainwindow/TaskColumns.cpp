#include "app/mainwindow/TaskColumns.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "app/mainwindow/TaskListAdapter.h"
#include "settings/ProgramOptions.h"

namespace duvanto {

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
