// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages for folders that fail the shared folder check, and the check that a Target is
// neither its Source nor nested with it.

#include <cstdint>
#include <string>

namespace duvanto {

// The text shown for a GetPathStatus code (-1 for no path at all); "" for 0 and unknown codes.
std::string GetInvalidPathErrorMsg(int32_t statusCode, const std::string& path,
                                   int32_t errorNumber);

// "" when the two folders are apart; otherwise why they may not be cloned into each other.
// Folders are compared by device and inode, so two names of one folder are caught, whether
// links or bind mounts make them.
std::string CheckSourceTargetApart(const std::string& source, const std::string& target);

}  // namespace duvanto
