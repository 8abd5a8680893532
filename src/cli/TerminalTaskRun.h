#pragma once
// A task run's host on a terminal: the status panels and the progress go to the progress line;
// the caption, the tray and the menus have no counterpart and are dropped.

#include <string>

#include "cli/TerminalStatusHost.h"
#include "tasks/RunHost.h"

namespace duvanto {

class TerminalTaskRun : public IRunHost {
public:
    explicit TerminalTaskRun(TerminalStatusHost& host) : m_host(host) {}

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override { m_host.Pump(); }
    void Progress(const RunProgress& progress) override { m_host.Progress(progress); }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        return m_host.ConfirmOperations(operations);
    }

    void SetCaption(const std::string&) override {}
    void SetTrayTooltip(const std::string&) override {}
    void SetTopLevelMenusEnabled(bool) override {}

    // Panel 1 as the run left it: the outcome once the run has ended.
    const std::string& LastStatus() const { return m_panel1; }

private:
    TerminalStatusHost& m_host;
    std::string m_panel1;
};

}  // namespace duvanto
