#include "platform/Terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace duvanto {

namespace {

std::atomic<bool>* g_interruptFlag = nullptr;  // written only outside the handler

extern "C" void OnInterrupt(int) {
    if (g_interruptFlag != nullptr && !g_interruptFlag->exchange(true)) {
        return;
    }
    // The second Ctrl-C: end now, as the default action would.
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
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

void InterruptSetsFlag(std::atomic<bool>* flag) {
    g_interruptFlag = flag;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = flag != nullptr ? OnInterrupt : SIG_DFL;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace duvanto
