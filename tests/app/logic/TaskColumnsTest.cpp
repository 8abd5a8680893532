// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/TaskColumns.h"

#include <gtest/gtest.h>

#include <numeric>

namespace duvanto {
namespace {

using Stored = std::array<int32_t, kVisibleTaskColumns>;
constexpr Stored kFirstWidths = {150, 100, 100, 125, 125};

// Name, Source, Target, Next Run, Last Run.
TEST(TaskColumnsTest, ChosenWidthsStayTheOthersFitTheirTextAndTheLastFillsTheView) {
    const struct {
        const char* what;
        Stored stored;
        TaskColumnWidths content;
        int viewport;
        TaskColumnWidths expected;
    } cases[] = {
        {"the first window: dates whole, the view a little short of it all",
         kFirstWidths,
         {90, 300, 260, 140, 140},
         622,
         {150, 100, 100, 140, 140}},
        {"a wide window: the paths whole, the last column to the edge",
         kFirstWidths,
         {90, 300, 260, 140, 140},
         1260,
         {150, 300, 260, 140, 410}},
        {"a little room: shared evenly between the cut paths",
         kFirstWidths,
         {90, 300, 300, 140, 140},
         700,
         {150, 135, 135, 140, 140}},
        {"a path that fits gives the rest of its share to the other",
         kFirstWidths,
         {90, 110, 400, 140, 140},
         700,
         {150, 110, 160, 140, 140}},
        {"what the user chose is kept, even narrower than its text",
         {150, 230, 100, 125, 90},
         {400, 300, 260, 140, 140},
         600,
         {150, 230, 100, 140, 90}},
        {"a chosen last column still fills a wider view",
         {150, 100, 100, 125, 90},
         {90, 90, 90, 140, 140},
         900,
         {150, 100, 100, 140, 410}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayOutTaskColumns(c.stored, c.content, c.viewport), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace duvanto
