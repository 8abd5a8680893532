// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running a piece of a test as an ordinary user. Root ignores permission bits, so a test of a
// permission failure run as root would never see one.

#include <functional>

namespace duvanto::test {

inline constexpr unsigned kUnprivilegedId = 65534;  // nobody / nogroup

// Runs body and gives its result. As root, body runs in a forked child that has dropped to
// kUnprivilegedId first, and the result travels back as the exit code (0..255); 255 means the
// child could not drop its privileges. Folders the child has to reach must be searchable by
// others.
int RunUnprivileged(const std::function<int()>& body);

}  // namespace duvanto::test
