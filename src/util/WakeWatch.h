// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notices that the machine slept, or that its clock was set, between two looks. The timers
// that pace the scheduler run on the monotonic clock, which stands still while the machine
// sleeps: after a wake a whole minute could pass before the next tick, while due times of the
// wall clock went by unseen. A sleep shows as the boot-time clock gaining on the monotonic
// one; a clock set by hand or by time synchronisation as the wall clock moving other than the
// boot-time clock.

#include <optional>

#include "platform/Clocks.h"

namespace duvanto {

// How often the programs that stay running ask: a task whose time went by while the machine
// slept runs within seconds of its waking.
inline constexpr int kWakeLookMs = 5000;

class WakeWatch {
public:
    // Differences below this are the jitter of reading three clocks one after another.
    static constexpr int64_t kToleranceMs = 2000;

    // True when, since the last reading, the machine slept or the wall clock was set; false
    // for the first reading.
    bool Look(const ClockReading& now);

private:
    std::optional<ClockReading> m_last;
};

}  // namespace duvanto
