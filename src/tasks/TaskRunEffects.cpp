#include "tasks/TaskRunEffects.h"

namespace duvanto {

int32_t FindTaskRow(ITaskRows& rows, const std::string& taskName) {
    const int32_t count = rows.RowCount();
    for (int32_t row = 0; row < count; ++row) {
        if (rows.RowText(row) == taskName) {
            return row;
        }
    }
    return -1;
}

}  // namespace duvanto
