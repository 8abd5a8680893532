// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's commands as one table: every menu and item with its caption, order,
// separators, shortcut and busy rule. The menu bar, the right-click menu, the toolbar and the
// tray menu are built from it. What a command does is registered by its area (the window, the
// task list, options, help; later the runs and the task editing) in a CommandRegistry, so a new
// command adds a handler and never edits a switch. An item nobody handles yet is shown disabled.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/StatusHost.h"
#include "util/ErrorReporter.h"
#include "util/Prompt.h"

namespace duvanto {

enum class CommandKind { Command, Toggle, Radio, Submenu, Separator };

struct CommandEntry {
    CommandKind kind = CommandKind::Command;
    std::string id;             // the item's name ("mnuFileNewTask"); "" for separators
    std::string caption;        // as stored, "&" marking the access key
    std::string shortcut;       // Qt's portable form ("Ctrl+N"); "" for none
    bool busyBeep = false;      // while a clone runs the command only beeps
    bool offDuringRun = false;  // a top-level menu that is disabled while a clone runs
    std::vector<CommandEntry> children;
};

// "&File", "&Options", "&Log" and "&Help" in order.
const std::vector<CommandEntry>& MainMenuBar();
// The tray icon's menu and the run-choice menu of the run button (neither in the menu bar).
const CommandEntry& TrayMenu();
const CommandEntry& RunChoiceMenu();

// The right-click menu of the task list is the File menu with this item as its default.
inline constexpr char kContextMenuDefault[] = "mnuFileRunSelected";
inline constexpr char kToolbarRun[] = "tlbRun";

struct ToolbarButton {
    int index;              // the picture's index (0 to 5)
    std::string commandId;  // what a click invokes
    std::string toolTip;
};
// New task, delete task, run, task properties, view log, help contents.
const std::vector<ToolbarButton>& ToolbarButtons();

// The entry of that id in any of the tables above; nullptr when none has it.
const CommandEntry* FindCommand(const std::string& id);
// The menu-bar menu that holds the item of that id; nullptr for the tray, the run-choice menu
// and ids of no menu.
const CommandEntry* TopLevelMenuOf(const std::string& id);
// Whether the command only beeps while a clone runs: a busy-beep item, every item of the menus
// that a run disables, and the toolbar's run button.
bool RefusedDuringRun(const std::string& id);
// The label an unexpected failure of the command is reported under.
std::string CommandLabel(const std::string& id);

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

struct CommandHandler {
    std::function<void()> run;
    // Empty: enabled and not checked.
    std::function<CommandState()> state;
};

class CommandRegistry {
public:
    // Commands refused during a run beep through `prompt` while flags.CloneInProgress is set;
    // a command's unexpected failure goes to `reporter` under the command's label.
    CommandRegistry(IPrompt& prompt, const RunFlags& flags, ErrorReporter& reporter)
        : m_prompt(prompt), m_flags(flags), m_reporter(reporter) {}

    // A later registration of the same id replaces the earlier one.
    void Register(const std::string& id, CommandHandler handler);
    bool Handles(const std::string& id) const { return m_handlers.count(id) != 0; }
    // Runs the command; one refused during a run only beeps while a clone runs; an id nobody
    // handles does nothing. Whatever escapes the command is reported, never rethrown.
    void Invoke(const std::string& id) const;
    // A command nobody handles yet is disabled.
    CommandState State(const std::string& id) const;

private:
    IPrompt& m_prompt;
    const RunFlags& m_flags;
    ErrorReporter& m_reporter;
    std::map<std::string, CommandHandler> m_handlers;
};

}  // namespace duvanto
