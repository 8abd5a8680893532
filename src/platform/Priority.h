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
    virtual int32_t CurrentClass() const = 0;
    virtual Status SetClass(int32_t priorityClass) = 0;
};

// 64: nice 19 and the idle I/O class; 32: nice 0 and best-effort I/O; 128: nice -5 and
// best-effort I/O. The class is read back from the nice value: below 0 is 128, 0 is 32, above
// 0 is 64. A refused change (raising the priority without privilege) leaves both as they were;
// a class other than the three is refused with EINVAL.
class ThreadPriority final : public IThreadPriority {
public:
    int32_t CurrentClass() const override;
    Status SetClass(int32_t priorityClass) override;
};

// The calling thread's I/O scheduling class as the kernel numbers it (0 none, 1 real-time,
// 2 best-effort, 3 idle), or -1 when it cannot be read.
int ThreadIoClass();

}  // namespace duvanto
