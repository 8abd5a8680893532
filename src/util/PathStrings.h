// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small path and string routines used all over the program. Paths use "/" and every folder
// path ends in "/". Positions are 1-based where the name says "Pos", as the callers count.

#include <cstddef>
#include <string>
#include <string_view>

namespace duvanto {

// What follows `leading` in `fullText`; "" when fullText does not begin with it.
std::string RemainingString(std::string_view fullText, std::string_view leading);
// Every non-overlapping occurrence of `find`, left to right; an empty `find` changes nothing.
std::string ReplaceString(std::string_view text, std::string_view find,
                          std::string_view replacement);
// Each byte of `text` that appears in `characters` becomes `replacement`.
std::string ReplaceMultipleChars(std::string_view text, std::string_view characters,
                                 std::string_view replacement);
// The item after the last "/" ("" for a path ending in "/"); the whole text without "/".
std::string GetLastItemInPath(std::string_view path);
// The name without its extension: from the last "." of the last item, unless that dot starts
// the item (".profile" keeps its name).
std::string RemoveFilenameExtension(std::string_view fileName);
// The name with its extension replaced: RemoveFilenameExtension + "." + extension.
std::string ReplaceExtension(std::string_view fileName, std::string_view extension);
// 1-based position of the next "/" at or after `startPos`; 0 when none follows.
std::size_t GetNextSlashPos(std::string_view path, std::size_t startPos);
// The canonical folder form: runs of "/" folded, "." and ".." resolved by text (never above
// the root), a trailing "/". A relative path stays relative.
std::string NormalizePath(std::string_view path);

// Blanks (spaces and tabs) off both ends.
std::string Trim(std::string_view text);
bool StringContainsIllegalFileNameCharacter(std::string_view text);
std::string EncloseInQuotes(std::string_view text);
// The text without the UTF-8 byte-order mark that some editors put at the start of a file.
std::string_view WithoutByteOrderMark(std::string_view text);
bool StringsEqualExact(std::string_view a, std::string_view b);

// Splits a file path into its folder (up to and including the last "/") and its name; a path
// without "/" is taken whole for both.
std::string FolderPartOf(std::string_view filePath);
std::string NamePartOf(std::string_view filePath);

}  // namespace duvanto
