// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log/LogCommands.h"

#include <optional>

#include "util/PathStrings.h"

namespace duvanto {

void SaveLog(cCloneLog& log, IAppPrompt& prompt, ErrorReporter& reporter) {
    try {
        const std::optional<std::string> file =
            prompt.AskSaveFile(kSaveLogTitle, FolderPartOf(log.LogFileSpec()), kSaveLogFilter);
        if (!file || file->empty()) {
            return;
        }
        log.AppendInMemoryStringToLogFile();
        log.SaveAs(*file);
    } catch (...) {
        reporter.ReportCurrentException("frmDuvanto.mnuLogSaveAs_Click");
    }
}

std::string GroupedDigits(uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace duvanto
