// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run's view of the window as the run's thread sees it: every text, switch and progress the
// run reports is kept as its latest value, and the window takes what changed a few times a
// second. A run of a hundred thousand files thus costs the window twenty updates a second, not
// a hundred thousand. The confirmation list and the prompts are not coalesced: they block the
// run's thread until the window answers.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tasks/RunHost.h"
#include "util/Prompt.h"

namespace duvanto {

// "Duvanto running task: NAME": the caption and the tray tooltip while the task runs.
std::string RunCaption(const std::string& taskName);

// What changed since the window last looked; each field holds its latest value.
struct RunStatusUpdate {
    std::optional<std::string> Panel1;
    std::optional<std::string> Panel2;
    std::optional<std::string> Caption;
    std::optional<std::string> TrayTooltip;
    std::optional<bool> MenusEnabled;
    std::optional<bool> Animation;
    std::optional<RunProgress> Progress;

    bool Empty() const;
};

class CoalescingRunHost : public IRunHost {
public:
    using Confirmer = std::function<std::vector<bool>(const std::vector<FileOp>&)>;
    using MassDeleteAsker = std::function<bool(const std::string& why)>;
    explicit CoalescingRunHost(Confirmer confirm = {}, MassDeleteAsker allowMassDelete = {})
        : m_confirm(std::move(confirm)), m_allowMassDelete(std::move(allowMassDelete)) {}

    // On the run's thread.
    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override {}
    void SetAnimation(bool enabled) override;
    void Progress(const RunProgress& progress) override;
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override;
    bool AllowMassDelete(const std::string& why) override {
        return m_allowMassDelete && m_allowMassDelete(why);
    }
    // The caption and tray tooltip name the running task (RunCaption), the menus are off;
    // once it ended, both say "Duvanto" again and the menus are on.
    void RunStarted(const std::string& taskName) override;
    void RunEnded() override;

    // On the window's thread: what changed since the last call, and nothing pending after it.
    RunStatusUpdate Take();

private:
    Confirmer m_confirm;
    MassDeleteAsker m_allowMassDelete;
    std::mutex m_mutex;
    RunStatusUpdate m_pending;
};

// The desktop program's answer when a run would delete a large share of its Target: a run the
// scheduler started is refused (nobody is there to see it); one the user started asks, No
// being what Enter answers. True lets the run go on.
inline constexpr char kMassDeleteTitle[] = "Duvanto - Mass Deletion";
bool AskMassDelete(IPrompt& prompt, bool scheduled, const std::string& why);

// The progress bar beside panel 2: its percentage, the same as panel 2's (-1 while the total is
// not known yet, which shows a busy bar), and its text, which names the files and the bytes.
struct ProgressDisplay {
    int Percent = -1;
    std::string Text;
};
ProgressDisplay DescribeProgress(const RunProgress& progress);

// "512 bytes", "1.5 KB", "20.0 MB", "3.2 GB" (units of 1024).
std::string FormatBytes(int64_t bytes);

}  // namespace duvanto
