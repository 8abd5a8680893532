#pragma once
// Names shown as one line of text. A name may hold any byte but "/" and NUL; a line feed or an
// escape sequence in one must not break a line-per-entry form (the clone log, the plan, the
// confirmation list) nor drive a terminal.

#include <string>
#include <string_view>

namespace duvanto {

// Bytes below 32 and 127 become "\xNN" (two upper-case hex digits) and "\" becomes "\\", so that
// a name holding the text \x0A never reads like one holding a line feed. Everything else,
// UTF-8 included, passes unchanged.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace duvanto
