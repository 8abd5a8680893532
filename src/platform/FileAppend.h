// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Appending to a text file and copying one file over another: the two writes of the clone log
// and the error reporter, which keep their files growing rather than rewriting them.

#include <string>
#include <string_view>

#include "platform/Status.h"

namespace duvanto {

// Writes the bytes at the end of the file, creating it (mode 0644 before the umask) when it is
// missing. Every byte is written or the failure is returned.
Status AppendToFile(const std::string& path, std::string_view bytes);

// Makes the target hold the source's bytes, creating it or replacing its contents. Copying a
// file onto itself is refused (EINVAL) rather than truncating it. A missing source is ENOENT.
Status CopyFileOver(const std::string& sourcePath, const std::string& targetPath);

}  // namespace duvanto
