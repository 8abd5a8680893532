// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a task's include list (TASK.dvi): its selected items, full paths under the Source
// (folders ending in "/"), as one string. The items are joined by "<:>"; lists that older
// versions wrote joined by commas read as before.
//
// A name may hold anything, the separator included, so three sequences that begin with "<//"
// stand for what an item cannot show as it is:
//   "<//:>"  the separator "<:>" inside a name
//   "<///>"  "<//" itself inside a name
//   "<//>"   an empty item (the whole item; anywhere else it is read as it stands)
// and a list of one item that holds a comma ends with "<:>", so that no reader takes it for a
// list joined by commas. A full path never holds "//" (an empty step): the selection windows
// never wrote these sequences, and an older version reading a new list sees each escaped item
// as a path with an empty step, which names nothing. It logs the item as missing and never
// clones another file for it.

#include <string>
#include <string_view>
#include <vector>

namespace duvanto {

// The list as the include list file holds it; no items give "".
std::string EncodeIncludeList(const std::vector<std::string>& items);

// The items of an include list file's text, exactly as they were encoded. A text without "<:>"
// is a list joined by commas, where a piece that does not begin with "/" (blanks aside) is the
// rest of the name before it, commas included: an older version wrote a single name holding a
// comma that way. Empty pieces (a separator at the end, two in a row) name nothing and are left
// out.
std::vector<std::string> DecodeIncludeList(std::string_view text);

}  // namespace duvanto
