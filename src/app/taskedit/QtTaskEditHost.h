// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's side of the commands that change tasks and task lists: the rows it
// refreshes and selects, the list's in-place editor for a rename, and the task properties
// window, opened modally with what the task-editing windows need.

#include <memory>

#include "app/common/QtFileTypes.h"
#include "app/taskedit/TaskEditCommands.h"
#include "session/Session.h"

namespace duvanto {

class frmDuvanto;
class HelpWindow;

class TaskEditHost : public ITaskEditView {
public:
    TaskEditHost(frmDuvanto& window, Session& session, IAppPrompt& prompt, HelpWindow* help);
    ~TaskEditHost() override;

    TaskEditCommands& Commands() { return *m_commands; }
    // Connects the list's editor to the rename; once the list view exists.
    void ConnectList();

    // ITaskEditView
    std::string SelectedTaskName() const override;
    void RefreshTaskRows(const std::string& select) override;
    void BeginRename(const std::string& name) override;
    PropertiesEditResult EditTaskProperties(cCloneTask& task) override;
    void SetTaskListName(const std::string& name) override;
    void RefreshTrayIcon() override;
    void ShowLoadProblems() override;

private:
    frmDuvanto& m_window;
    Application& m_app;
    IAppPrompt& m_prompt;
    HelpWindow* m_help;
    QtFileTypes m_fileTypes;
    std::unique_ptr<TaskEditCommands> m_commands;
};

}  // namespace duvanto
