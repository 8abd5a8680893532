// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace duvanto {

namespace {

// Written only outside the handlers.
std::atomic<bool>* g_interruptFlag = nullptr;
std::atomic<bool>* g_sessionEndingFlag = nullptr;

extern "C" void OnInterrupt(int) {
    if (g_interruptFlag != nullptr && !g_interruptFlag->exchange(true)) {
        return;
    }
    // The second Ctrl-C: end now, as the default action would.
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
}

// SIGTERM and SIGHUP: the session ends. Only lock-free atomics are touched here. A repeat
// changes nothing: a service manager may send both, and the run is stopping already.
extern "C" void OnSessionEnd(int) {
    if (g_sessionEndingFlag != nullptr) {
        g_sessionEndingFlag->store(true);
    }
    if (g_interruptFlag != nullptr) {
        g_interruptFlag->store(true);
    }
}

}  // namespace

bool IsTerminal(StandardStream stream) {
    return isatty(static_cast<int>(stream)) == 1;
}

int TerminalWidth(StandardStream stream) {
    winsize size{};
    if (ioctl(static_cast<int>(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

void InterruptSetsFlag(std::atomic<bool>* flag, std::atomic<bool>* sessionEnding) {
    g_interruptFlag = flag;
    g_sessionEndingFlag = sessionEnding;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = flag != nullptr ? OnInterrupt : SIG_DFL;
    sigaction(SIGINT, &action, nullptr);
    struct sigaction ending {};
    sigemptyset(&ending.sa_mask);
    ending.sa_handler = sessionEnding != nullptr ? OnSessionEnd : SIG_DFL;
    sigaction(SIGTERM, &ending, nullptr);
    sigaction(SIGHUP, &ending, nullptr);
}

}  // namespace duvanto
