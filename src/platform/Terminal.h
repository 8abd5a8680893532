// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The terminal the command-line runner talks to, its Ctrl-C, and the end of its session.

#include <atomic>

namespace duvanto {

enum class StandardStream { Input = 0, Output = 1, Error = 2 };

bool IsTerminal(StandardStream stream);
// Columns of the terminal on that stream; 80 when unknown.
int TerminalWidth(StandardStream stream);

// From now on the first Ctrl-C sets *flag (the run stops after its current item, like Escape);
// a second one ends the program at once. With sessionEnding, SIGTERM and SIGHUP set
// *sessionEnding and then *flag, as often as they come: the run stops the same way and its log
// is kept whole. Passing nullptr restores the default behaviour.
void InterruptSetsFlag(std::atomic<bool>* flag, std::atomic<bool>* sessionEnding = nullptr);

}  // namespace duvanto
