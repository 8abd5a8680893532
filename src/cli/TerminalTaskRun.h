// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A task run's host on a terminal: the status panels and the progress go to the progress line;
// the start and end of a run have nothing to show beyond the status texts that follow them.

#include <atomic>
#include <optional>
#include <string>

#include "cli/Cli.h"
#include "cli/TerminalStatusHost.h"
#include "session/RunQueue.h"
#include "tasks/RunHost.h"

namespace duvanto {

class TerminalTaskRun : public IRunHost {
public:
    TerminalTaskRun(TerminalStatusHost& host, std::ostream& err, bool allowMassDelete = false)
        : m_host(host), m_err(err), m_allowMassDelete(allowMassDelete) {}

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override { m_host.Pump(); }
    void Progress(const RunProgress& progress) override { m_host.Progress(progress); }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        return m_host.ConfirmOperations(operations);
    }
    // --allow-mass-delete answers. A refused run did nothing, which a script or a user at the
    // terminal should not have to find out from the log.
    bool AllowMassDelete(const std::string& why) override;

    void RunStarted(const std::string&) override {}
    void RunEnded() override {}

    // Panel 1 as the run left it: the outcome once the run has ended.
    const std::string& LastStatus() const { return m_panel1; }

private:
    TerminalStatusHost& m_host;
    std::ostream& m_err;
    bool m_allowMassDelete;
    std::string m_panel1;
};

// The runner waiting for each run: a progress line of its own for every run (none when quiet
// or not on a terminal), Ctrl-C working as Escape while the run lasts, and after a listed
// task's run the status text it ended with, on a line of its own.
class TerminalRunFront : public IBlockingRunFront {
public:
    TerminalRunFront(CliStreams streams, RunFlags& flags, bool quiet, bool printOutcome)
        : m_streams(streams), m_flags(flags), m_quiet(quiet), m_printOutcome(printOutcome) {}

    IRunHost& RunStarting() override;
    void RunEnded(const TaskRunOutcome* outcome) override;
    // The runs of this call may delete most of a Target (--allow-mass-delete).
    void AllowMassDelete(bool allow) { m_allowMassDelete = allow; }
    // After each run the signals set this flag (as InterruptSetsFlag(flag, flag)) instead of
    // taking their default action: a program that goes on between runs ends in its own time.
    void SignalsBetweenRuns(std::atomic<bool>* flag) { m_betweenRuns = flag; }

private:
    CliStreams m_streams;
    RunFlags& m_flags;
    bool m_quiet;
    bool m_printOutcome;
    bool m_allowMassDelete = false;
    std::atomic<bool>* m_betweenRuns = nullptr;
    std::optional<TerminalStatusHost> m_host;
    std::optional<TerminalTaskRun> m_window;
};

}  // namespace duvanto
