// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/mainwindow/MainWindowController.h"

namespace duvanto::test {

// The main window as its controllers see it, recording what it was told.
class FakeMainWindowView : public IMainWindowView {
public:
    bool IsShown() const override { return shown; }
    bool IsMinimized() const override { return minimized; }
    bool IsMaximized() const override { return false; }
    bool TrayAvailable() const override { return tray; }
    void RestoreMainWindow() override {
        shown = true;
        minimized = false;
        events.push_back("restore");
    }
    void HideMainWindow() override {
        shown = false;
        events.push_back("hide");
    }
    void MinimizeMainWindow() override {
        shown = true;
        minimized = true;
        events.push_back("minimize");
    }
    void SetStatusText(int panel, const std::string& text) override { panels[panel] = text; }
    void SetTaskListName(const std::string& name) override {
        if (failLoad) {
            throw std::logic_error("the label is gone");
        }
        listName = name;
    }
    void RefreshTaskRows() override { ++refreshed; }
    std::string SelectedTaskName() const override { return selected; }
    void SetTrayIcon(TrayState icon) override { trayIcon = icon; }
    void SetTrayToolTip(const std::string& text) override { toolTip = text; }
    void SetPaused(bool value) override { paused = value; }
    void ShowTrayReminder() override { events.push_back("reminder"); }
    void ShowHelp(int context) override { events.push_back("help " + std::to_string(context)); }
    void EndProgram() override { events.push_back("end"); }

    bool shown = false;
    bool minimized = false;
    bool tray = true;
    bool paused = false;
    bool failLoad = false;
    int refreshed = 0;
    std::string toolTip;
    std::string selected;
    std::string listName;
    TrayState trayIcon = TrayState::Normal;
    std::map<int, std::string> panels;
    std::vector<std::string> events;
};

}  // namespace duvanto::test
