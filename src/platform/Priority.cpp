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
constexpr int kIoprioClassBestEffort = 2;
constexpr int kIoprioClassIdle = 3;
constexpr int kBestEffortLevel = 4;  // the kernel's default level within best-effort

int IoPriorityValue(int ioClass, int level) {
    return (ioClass << kIoprioClassShift) | level;
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
    if (!ok || nice == 0) {
        return NORMAL_PRIORITY_CLASS;
    }
    return nice < 0 ? HIGH_PRIORITY_CLASS : IDLE_PRIORITY_CLASS;
}

Status ThreadPriority::SetClass(int32_t priorityClass) {
    int nice = 0;
    int ioPriority = IoPriorityValue(kIoprioClassBestEffort, kBestEffortLevel);
    switch (priorityClass) {
        case IDLE_PRIORITY_CLASS:
            nice = 19;
            ioPriority = IoPriorityValue(kIoprioClassIdle, 0);
            break;
        case NORMAL_PRIORITY_CLASS:
            break;
        case HIGH_PRIORITY_CLASS:
            nice = -5;
            break;
        default:
            return Status::FromErrno(EINVAL);
    }
    bool known = false;
    const int oldNice = CurrentNice(known);
    // The nice value first: it is the step that can be refused, and then nothing has changed.
    Status changed = SetNice(nice);
    if (!changed.ok()) {
        return changed;
    }
    changed = SetIoPriority(ioPriority);
    if (!changed.ok() && known) {
        SetNice(oldNice);
    }
    return changed;
}

int ThreadIoClass() {
    const long value = syscall(SYS_ioprio_get, kIoprioWhoProcess, gettid());
    return value < 0 ? -1 : static_cast<int>(value >> kIoprioClassShift);
}

}  // namespace duvanto
