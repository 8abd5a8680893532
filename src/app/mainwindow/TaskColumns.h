#pragma once
// The widths of the task list's five visible columns. A width the user chose is kept as chosen;
// the options keep only those, so a width still at its first value is one nobody chose. Such a
// column fits its text as far as the view has room: the date columns always (their text is
// short), the name, Source and Target columns from whatever room is left. The last column takes
// what is then left of the view, so the list never ends in empty space.

#include <array>
#include <cstdint>

namespace duvanto {

inline constexpr int kVisibleTaskColumns = 5;
using TaskColumnWidths = std::array<int, kVisibleTaskColumns>;

// `chosen` as the options hold it; `content` the widest text of each column, its heading
// included; `viewport` the width the list shows.
TaskColumnWidths LayOutTaskColumns(const std::array<int32_t, kVisibleTaskColumns>& chosen,
                                   const TaskColumnWidths& content, int viewport);

// Whether the user chose the column's width: it is no longer the first one.
bool ColumnWidthChosen(const std::array<int32_t, kVisibleTaskColumns>& chosen, int column);

}  // namespace duvanto
