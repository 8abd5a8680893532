#pragma once
// The terminal the command-line runner talks to, and its Ctrl-C.

#include <atomic>

namespace duvanto {

enum class StandardStream { Input = 0, Output = 1, Error = 2 };

bool IsTerminal(StandardStream stream);
// Columns of the terminal on that stream; 80 when unknown.
int TerminalWidth(StandardStream stream);

// From now on the first Ctrl-C sets *flag (the run stops after its current item, like Escape);
// a second one ends the program at once. Passing nullptr restores the default behaviour.
void InterruptSetsFlag(std::atomic<bool>* flag);

}  // namespace duvanto
