// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Inline completion of a folder path as it is typed: the rest of the next folder's name, up to
// its "/", is proposed after the typed text, selected, so that typing on replaces it.

#include <functional>
#include <string>

#include "platform/FileSystem.h"

namespace duvanto {

// The characters to add after `typed`, up to and including the next "/", or "" when there is
// nothing to add. An existing folder gets its closing "/"; otherwise the last item of the
// path is the start of a name, and the first folder of the parent (in listing order) whose
// name begins with it, letter case counting, completes it. Only absolute paths are completed,
// and never one that ends in "/". keepGoing is asked before each entry of a listing is looked
// at; false abandons the completion ("").
std::string CompleteFolderPath(const std::string& typed, IFileSystem& fileSystem,
                               const std::function<bool()>& keepGoing);

}  // namespace duvanto
