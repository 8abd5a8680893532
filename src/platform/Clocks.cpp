// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clocks.h"

#include <time.h>

namespace duvanto {

namespace {

int64_t Milliseconds(clockid_t clock) {
    timespec now{};
    ::clock_gettime(clock, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

ClockReading ReadClocks() {
    return {Milliseconds(CLOCK_REALTIME), Milliseconds(CLOCK_MONOTONIC),
            Milliseconds(CLOCK_BOOTTIME)};
}

}  // namespace duvanto
