// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Clock.h"

#include <chrono>

#include "util/OleDate.h"

namespace duvanto {

double SystemClock::Now() const {
    return OleDateFromTimeT(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

uint32_t SystemClock::TickCount() const {
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    // The cast keeps the low 32 bits: the tick count wraps as callers expect.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace duvanto
