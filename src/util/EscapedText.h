// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names shown as one line of text. A name may hold any byte but "/" and NUL; a line feed or an
// escape sequence in one must not break a line-per-entry form (the clone log, the plan, the
// confirmation list, the runner's task lines) nor drive a terminal.

#include <string>
#include <string_view>

namespace duvanto {

// Control characters become "\xNN" (two upper-case hex digits per byte) and "\" becomes "\\",
// so that a name holding the text \x0A never reads like one holding a line feed. Control
// characters are the bytes below 32 and 127; the C1 controls U+0080 to U+009F (in UTF-8 the
// pairs C2 80 to C2 9F); and a byte 80 to 9F that is no part of a UTF-8 character, which a
// terminal set to a single-byte character set takes for a C1 control (9B opens an escape
// sequence as ESC [ does). Everything else, UTF-8 and other bytes included, passes unchanged.
std::string EscapeControlCharacters(std::string_view text);

// For messages on a terminal that no program parses: control characters are escaped as above
// but line feeds stay, and backslashes stay as they are.
std::string EscapeForTerminal(std::string_view text);

}  // namespace duvanto
