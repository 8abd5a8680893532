// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a plan tells a person: why each operation was planned. Made only when asked (plan
// --explain, a saved plan, the confirmation window), from the figures FileOp keeps.

#include <cstdint>
#include <string>

#include "engine/FileOp.h"
#include "platform/FileSystem.h"

namespace duvanto {

// The record of an entry the walk read; nullptr is no entry.
StampKind StampOf(const DirEntry* entry);

// "the Source is newer: 2024-05-01 10:00:00 against 2024-04-30 09:00:00 (90000 s)", and so on
// for every reason.
std::string OpReasonText(const FileOp& op);

// A time of DirEntry::modified as local time, "2024-05-01 10:00:00", with the fraction of a
// second after a "." when there is one.
std::string FileTimeText(int64_t modified);

// The words of a reason in a saved plan ("source-newer"), and back; false for a word of no
// reason.
const char* OpReasonCode(OpReason reason);
bool OpReasonFromCode(const std::string& code, OpReason& reason);

}  // namespace duvanto
