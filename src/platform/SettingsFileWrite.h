// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing the files a user keeps and may manage with other tools: task lists, the options file,
// include and exclude lists. Dotfile managers keep such files as symbolic links into a
// repository of their own; a save must update the file the link points to, not replace the link.

#include <string>
#include <string_view>

#include "platform/Status.h"

namespace duvanto {

// The path with a chain of symbolic links at its last component followed to the file they
// name (relative targets taken from each link's folder); the path itself when it is no link.
// ELOOP after 40 links.
Result<std::string> FollowFileLinks(const std::string& path);

// Makes `bytes` the whole content of the file the path names, through any links at it: the
// file a link points to is replaced atomically, beside it, and the link stays a link. A link
// whose file does not exist yet creates it.
Status WriteFileThroughLinks(const std::string& path, std::string_view bytes);

// Creates the file with the bytes, never replacing anything (EEXIST when the name is taken,
// even by a link). Written and synced before it returns.
Status WriteNewFile(const std::string& path, std::string_view bytes);

}  // namespace duvanto
