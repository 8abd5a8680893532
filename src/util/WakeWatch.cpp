// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/WakeWatch.h"

#include <cstdlib>

namespace duvanto {

bool WakeWatch::Look(const ClockReading& now) {
    const std::optional<ClockReading> last = m_last;
    m_last = now;
    if (!last) {
        return false;
    }
    const int64_t boot = now.bootMs - last->bootMs;
    const int64_t slept = boot - (now.awakeMs - last->awakeMs);
    const int64_t set = (now.wallMs - last->wallMs) - boot;
    return slept > kToleranceMs || std::llabs(set) > kToleranceMs;
}

}  // namespace duvanto
