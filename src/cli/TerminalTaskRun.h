#pragma once
// A task run's window on a terminal: the status panels go to the progress line; the caption,
// the tray and the menus have no counterpart and are dropped; there are no task rows.

#include <string>

#include "cli/TerminalStatusHost.h"
#include "tasks/TaskRunEffects.h"

namespace duvanto {

class TerminalTaskRun : public ITaskRunEffects {
public:
    explicit TerminalTaskRun(TerminalStatusHost& host) : m_host(host) {}

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override { m_host.Pump(); }
    std::vector<bool> ConfirmOperations(const std::vector<std::string>& lines) override {
        return m_host.ConfirmOperations(lines);
    }

    int32_t RowCount() override { return 0; }
    std::string RowText(int32_t) override { return {}; }
    int32_t RowIcon(int32_t) override { return 0; }
    void SetRowIcon(int32_t, int32_t) override {}
    void SetRowItems(int32_t, const std::string&, const std::vector<std::string>&) override {}

    void SetCaption(const std::string&) override {}
    void SetTrayTooltip(const std::string&) override {}
    void SetTopLevelMenusEnabled(bool) override {}
    void SetTrayIcon(TrayIcon) override {}

    // Panel 1 as the run left it: the outcome once the run has ended.
    const std::string& LastStatus() const { return m_panel1; }

private:
    TerminalStatusHost& m_host;
    std::string m_panel1;
};

}  // namespace duvanto
