// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the desktop program's work off the GUI thread goes (QtRunBridge), seen without Qt, so
// that a controller hands a prepared run straight to it.

#include <functional>

#include "app/runs/RunStatusHost.h"

namespace duvanto {

class IRunWorker {
public:
    virtual ~IRunWorker() = default;
    // Work is running or waiting to run.
    virtual bool Busy() const = 0;
    // Runs work off the GUI thread and then done on it; the window takes status (when given)
    // a few times a second meanwhile, and its last state always.
    virtual void Run(std::function<void()> work, std::function<void()> done,
                     CoalescingRunHost* status) = 0;
};

}  // namespace duvanto
