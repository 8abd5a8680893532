// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace duvanto {

namespace {

// From linux/ioprio.h, spelled out because older headers lack the macros.
constexpr int kIoprioWhoProcess = 1;
constexpr int kIoprioClassShift = 13;
constexpr int kIoprioLevelMask = (1 << kIoprioClassShift) - 1;
constexpr int kIoprioClassNone = 0;
constexpr int kIoprioClassBestEffort = 2;
constexpr int kBestEffortLevel = 4;  // the kernel's default level within best-effort
// The lowest best-effort level rather than the idle class: idle I/O can wait for ever on a
// busy disk, which the low priority class never did to a run.
constexpr int kLowestBestEffortLevel = 7;

int IoPriorityValue(int ioClass, int level) {
    return (ioClass << kIoprioClassShift) | level;
}

// The nice value and I/O priority that make up each class.
struct ClassValues {
    int nice;
    int ioLevel;  // within best-effort
};

bool ValuesOfClass(int32_t priorityClass, ClassValues& values) {
    switch (priorityClass) {
        case IDLE_PRIORITY_CLASS:
            values = {19, kLowestBestEffortLevel};
            return true;
        case NORMAL_PRIORITY_CLASS:
            values = {0, kBestEffortLevel};
            return true;
        case HIGH_PRIORITY_CLASS:
            values = {-5, kBestEffortLevel};
            return true;
        default:
            return false;
    }
}

int CurrentNice(bool& ok) {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    ok = !(nice == -1 && errno != 0);
    return nice;
}

// With PRIO_PROCESS and a thread id, Linux changes that one thread only.
Status SetNice(int nice) {
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) != 0) {
        return Status::FromErrno(errno);
    }
    return Status::Ok();
}

Status SetIoPriority(int value) {
    if (syscall(SYS_ioprio_set, kIoprioWhoProcess, gettid(), value) != 0) {
        return Status::FromErrno(errno);
    }
    return Status::Ok();
}

}  // namespace

int32_t ThreadPriority::CurrentClass() const {
    bool ok = false;
    const int nice = CurrentNice(ok);
    const ThreadIo io = ThreadIoPriority();
    if (!ok || io.ioClass < 0) {
        return 0;
    }
    for (const int32_t priorityClass :
         {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS}) {
        ClassValues values{};
        ValuesOfClass(priorityClass, values);
        // With no class of its own, a thread's I/O follows its nice value: best-effort at
        // the level the nice value gives, which matches a class only at its own level.
        const int ioLevel = io.ioClass == kIoprioClassNone ? (nice + 20) / 5 : io.level;
        const bool bestEffort =
            io.ioClass == kIoprioClassBestEffort || io.ioClass == kIoprioClassNone;
        if (nice == values.nice && bestEffort && ioLevel == values.ioLevel) {
            return priorityClass;
        }
    }
    return 0;
}

Status ThreadPriority::SetClass(int32_t priorityClass) {
    ClassValues values{};
    if (!ValuesOfClass(priorityClass, values)) {
        return Status::FromErrno(EINVAL);
    }
    bool known = false;
    const int oldNice = CurrentNice(known);
    // The nice value first: it is the step that can be refused, and then nothing has changed.
    Status changed = SetNice(values.nice);
    if (!changed.ok()) {
        return changed;
    }
    changed = SetIoPriority(IoPriorityValue(kIoprioClassBestEffort, values.ioLevel));
    if (!changed.ok() && known) {
        (void)SetNice(oldNice);  // the failure worth telling is the I/O one
    }
    return changed;
}

ThreadIo ThreadIoPriority() {
    const long value = syscall(SYS_ioprio_get, kIoprioWhoProcess, gettid());
    if (value < 0) {
        return {-1, -1};
    }
    return {static_cast<int>(value >> kIoprioClassShift),
            static_cast<int>(value & kIoprioLevelMask)};
}

}  // namespace duvanto
