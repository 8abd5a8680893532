// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Log menu's commands that the log viewer shares: Save Log As, and the size texts.

#include <cstdint>
#include <string>

#include "app/common/AppPrompt.h"
#include "log/CloneLog.h"
#include "util/ErrorReporter.h"

namespace duvanto {

inline constexpr char kSaveLogTitle[] = "Save Clone Log As...";
inline constexpr char kSaveLogFilter[] = "Duvanto Log (*.log)";

// Asks for a file (starting in the log's folder, asking before replacing one), then appends
// the log's buffer to its file and copies the file there. Cancel does nothing. A failure is
// reported under "frmDuvanto.mnuLogSaveAs_Click".
void SaveLog(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter);

// "1,234,567": digits grouped by three, at least one digit.
std::string GroupedDigits(uint64_t value);

}  // namespace duvanto
