// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File masks of selected-items runs, in the syntax of util/Wildcard.h; letter case does not
// matter.

#include <string>
#include <string_view>
#include <vector>

namespace duvanto {

bool MaskMatches(std::string_view fileName, std::string_view mask);
bool FileMatchesPatternInCollection(std::string_view fileName,
                                    const std::vector<std::string>& masks);

// Splits at the separator, trims blanks off each piece and keeps every piece, empty ones too.
// An empty text gives no pieces.
void FillColWithParsedStringElems(std::vector<std::string>& collection, std::string_view text,
                                  std::string_view separator);

}  // namespace duvanto
