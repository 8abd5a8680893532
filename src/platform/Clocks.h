// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three clocks of the machine at one moment, for telling a sleep or a set clock from time
// that simply passed.

#include <cstdint>

namespace duvanto {

struct ClockReading {
    int64_t wallMs = 0;   // the wall clock (CLOCK_REALTIME), from the epoch
    int64_t awakeMs = 0;  // CLOCK_MONOTONIC: stands still while the machine sleeps
    int64_t bootMs = 0;   // CLOCK_BOOTTIME: goes on through a sleep
};

ClockReading ReadClocks();

}  // namespace duvanto
