// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The priority classes of a task run, applied to the thread that runs it. Linux lets a thread
// lower its CPU priority but not raise it again without privilege, so each run starts on a
// fresh thread at the program's own priority.

#include <cstdint>

#include "platform/Status.h"

namespace duvanto {

enum PriorityClassValue : int32_t {
    NORMAL_PRIORITY_CLASS = 32,
    IDLE_PRIORITY_CLASS = 64,
    HIGH_PRIORITY_CLASS = 128,
};

// The calling thread's priority: read and set. A fake stands in for it in tests.
class IThreadPriority {
public:
    virtual ~IThreadPriority() = default;
    // The class the thread runs at; 0 when its values are those of no class.
    virtual int32_t CurrentClass() const = 0;
    virtual Status SetClass(int32_t priorityClass) = 0;
};

// 64: nice 19 and best-effort I/O at its lowest level (7); 32: nice 0 and best-effort I/O at
// level 4; 128: nice -5 and best-effort level 4. A thread runs at a class only when both of its
// values are the class's own: a thread that cron started niced is at none (0), so the class is
// set in full. A refused change (raising the priority without privilege) leaves both as they
// were; a class other than the three is refused with EINVAL.
class ThreadPriority final : public IThreadPriority {
public:
    int32_t CurrentClass() const override;
    Status SetClass(int32_t priorityClass) override;
};

// The calling thread's I/O scheduling class as the kernel numbers it (0 none, 1 real-time,
// 2 best-effort, 3 idle) and its level within the class; -1 for both when it cannot be read.
struct ThreadIo {
    int ioClass;
    int level;
};
ThreadIo ThreadIoPriority();

}  // namespace duvanto
