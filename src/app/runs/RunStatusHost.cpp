// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/RunStatusHost.h"

#include <array>
#include <cstdio>

#include "app/help/AppInfo.h"

namespace duvanto {

bool RunStatusUpdate::Empty() const {
    return !Panel1 && !Panel2 && !Caption && !TrayTooltip && !MenusEnabled && !Animation &&
           !Progress;
}

void CoalescingRunHost::SetStatusText(int panel, const std::string& text) {
    const std::lock_guard lock(m_mutex);
    (panel == 2 ? m_pending.Panel2 : m_pending.Panel1) = text;
}

void CoalescingRunHost::SetAnimation(bool enabled) {
    const std::lock_guard lock(m_mutex);
    m_pending.Animation = enabled;
}

void CoalescingRunHost::Progress(const RunProgress& progress) {
    const std::lock_guard lock(m_mutex);
    m_pending.Progress = progress;
}

std::vector<bool> CoalescingRunHost::ConfirmOperations(const std::vector<FileOp>& operations) {
    return m_confirm ? m_confirm(operations) : std::vector<bool>{};
}

std::string RunCaption(const std::string& taskName) {
    return "Duvanto running task: " + taskName;
}

void CoalescingRunHost::RunStarted(const std::string& taskName) {
    const std::lock_guard lock(m_mutex);
    m_pending.MenusEnabled = false;
    m_pending.Caption = RunCaption(taskName);
    m_pending.TrayTooltip = m_pending.Caption;
}

void CoalescingRunHost::RunEnded() {
    const std::lock_guard lock(m_mutex);
    m_pending.MenusEnabled = true;
    m_pending.Caption = kApplicationTitle;
    m_pending.TrayTooltip = kApplicationTitle;
}

bool AskMassDelete(IPrompt& prompt, bool scheduled, const std::string& why) {
    if (scheduled) {
        return false;
    }
    const std::string text = why + ".\r\n\r\nDelete them all the same?";
    return prompt.ShowMessage(kMassDeleteTitle, text, MessageIcon::Exclamation,
                              MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes;
}

RunStatusUpdate CoalescingRunHost::Take() {
    const std::lock_guard lock(m_mutex);
    RunStatusUpdate taken = std::move(m_pending);
    m_pending = {};
    return taken;
}

namespace {

// "3 of 8 files".
std::string CountOf(int64_t done, int64_t total, const char* one, const char* many) {
    std::string text = std::to_string(done);
    text += " of ";
    text += std::to_string(total);
    text += ' ';
    text += total == 1 ? one : many;
    return text;
}

}  // namespace

std::string FormatBytes(int64_t bytes) {
    if (bytes < 1024) {
        std::string text = std::to_string(bytes);
        text += bytes == 1 ? " byte" : " bytes";
        return text;
    }
    static constexpr std::array<const char*, 5> kUnits = {"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    // Rounded as it will be shown, so that 1023.96 KB reads 1.0 MB, never 1024.0 KB.
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024.0;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f %s", value, kUnits[unit]);
    return text.data();
}

ProgressDisplay DescribeProgress(const RunProgress& progress) {
    ProgressDisplay display;
    if (progress.FilesTotal < 0) {
        display.Text = std::to_string(progress.FilesDone);
        display.Text += progress.FilesDone == 1 ? " file scanned" : " files scanned";
        return display;
    }
    // The bar shows what the status text's percentage measures, and names only what it counts:
    // no bytes where the copies have none.
    display.Percent = ProgressPercent(progress);
    if (progress.FilesTotal > 0) {
        display.Text = CountOf(progress.FilesDone, progress.FilesTotal, "file", "files");
        if (progress.BytesTotal > 0) {
            display.Text += ", ";
            display.Text += FormatBytes(progress.BytesDone < 0 ? 0 : progress.BytesDone);
            display.Text += " of ";
            display.Text += FormatBytes(progress.BytesTotal);
        }
    } else if (progress.OperationsTotal > 0) {
        // Without files, every operation is a folder's.
        display.Text =
            CountOf(progress.OperationsDone, progress.OperationsTotal, "folder", "folders");
    } else {
        display.Text = "nothing to do";
    }
    return display;
}

}  // namespace duvanto
