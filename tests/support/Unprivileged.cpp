// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace duvanto::test {

int RunUnprivileged(const std::function<int()>& body) {
    if (geteuid() != 0) {
        return body();
    }
    pid_t child = fork();
    if (child < 0) {
        return 255;
    }
    if (child == 0) {
        // _exit: the child must not run the test framework's exit handlers a second time.
        if (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 ||
            setuid(kUnprivilegedId) != 0) {
            _exit(255);
        }
        _exit(body() & 0xFF);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return 255;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

}  // namespace duvanto::test
