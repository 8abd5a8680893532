// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time is handed in: the scheduler, the log and the reporter read "now" from a clock so that
// tests can set it.

#include <cstdint>

namespace duvanto {

class IClock {
public:
    virtual ~IClock() = default;
    // Local date and time as an OLE date (days since 30 December 1899, fraction = time of day).
    virtual double Now() const = 0;
    // Milliseconds from a monotonic clock, wrapping at 32 bits like a tick count.
    virtual uint32_t TickCount() const = 0;
};

class SystemClock final : public IClock {
public:
    double Now() const override;
    uint32_t TickCount() const override;
};

}  // namespace duvanto
