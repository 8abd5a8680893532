// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/MainCommands.h"

#include <utility>

#include "app/mainwindow/ErrorBoundary.h"
#include "app/options/OptionsMenuController.h"

namespace duvanto {

namespace {

using Kind = CommandKind;

CommandEntry Item(std::string id, std::string caption, bool busyBeep = false,
                  std::string shortcut = "") {
    return {
        Kind::Command, std::move(id), std::move(caption), std::move(shortcut), busyBeep, false, {}};
}
CommandEntry Toggle(std::string id, std::string caption) {
    return {Kind::Toggle, std::move(id), std::move(caption), "", false, false, {}};
}
CommandEntry Menu(std::string id, std::string caption, std::vector<CommandEntry> children,
                  bool offDuringRun = false) {
    return {Kind::Submenu, std::move(id), std::move(caption), "",
            false,         offDuringRun,  std::move(children)};
}
CommandEntry Separator() {
    return {Kind::Separator, "", "", "", false, false, {}};
}

// The Options and Log menus keep their own table, which their controller reads too.
CommandEntry FromOptionsEntry(const MenuEntry& entry) {
    CommandEntry command;
    switch (entry.kind) {
        case MenuEntryKind::Command:
            command.kind = Kind::Command;
            break;
        case MenuEntryKind::Toggle:
            command.kind = Kind::Toggle;
            break;
        case MenuEntryKind::Radio:
            command.kind = Kind::Radio;
            break;
        case MenuEntryKind::Submenu:
            command.kind = Kind::Submenu;
            break;
        case MenuEntryKind::Separator:
            command.kind = Kind::Separator;
            break;
    }
    command.id = entry.name;
    command.caption = entry.caption;
    command.busyBeep = entry.command == MenuCommand::ResetErrorSelectedTask;
    for (const MenuEntry& child : entry.children) {
        command.children.push_back(FromOptionsEntry(child));
    }
    return command;
}

CommandEntry TopLevelFromOptions(const MenuEntry& entry) {
    CommandEntry menu = FromOptionsEntry(entry);
    menu.offDuringRun = true;
    return menu;
}

const CommandEntry* FindIn(const CommandEntry& entry, const std::string& id) {
    if (entry.id == id) {
        return &entry;
    }
    for (const CommandEntry& child : entry.children) {
        if (const CommandEntry* found = FindIn(child, id)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<CommandEntry>& MainMenuBar() {
    static const std::vector<CommandEntry> menus = {
        Menu("mnuFile", "&File",
             {Item("mnuFileNewTask", "&New Clone Task", true, "Ctrl+N"),
              Item("mnuFileDuplicateTask", "&Duplicate Selected Task", true),
              Item("mnuFileDeleteTask", "&Delete Task", true),
              Item("mnuFileRenameTask", "&Rename Task", true, "F2"),
              Item("mnuFileTaskProperties", "Task &Properties...", true), Separator(),
              Item("mnuFileRunSelected", "Run Selected Tas&k", true),
              Item("mnuFileRunChecked", "Run &Tasks with Checkmarks", true),
              Item("mnuFileRunAll", "Run &All Tasks", true), Separator(),
              Item("mnuFileRestore", "Restore Source from Target"), Separator(),
              Toggle("mnuFilePause", "&Pause Scheduler"),
              Item("mnuFileReport", "Cr&eate a Report of Folder Differences"), Separator(),
              Item("mnuFileNewTaskList", "Ne&w Task List..."),
              Item("mnuFileLoadTaskList", "L&oad Task List..."),
              Item("mnuFileSaveTaskListAs", "&Save Task List As..."), Separator(),
              Item("mnuFileClose", "C&lose"),
              // The tray's shut-down as well: a desktop without a tray has no other way out.
              Item("mnuFileShutDown", "Shut &Down Duvanto", true, "Ctrl+Q")},
             true),
        TopLevelFromOptions(OptionsMenuEntries()),
        TopLevelFromOptions(LogMenuEntries()),
        Menu("mnuHelp", "&Help",
             {Item("mnuHelpContents", "&Contents", false, "F1"),
              Item("mnuHelpIconLegend", "&Icon Legend"),
              Item("mnuHelpTroubleshooting", "&Troubleshooting"),
              Menu("mnuHelpWeb", "Duvanto on the &Web",
                   {Item("mnuHelpWebSite", "&Web Site"), Item("mnuHelpContactUs", "&Contact Us")}),
              Separator(), Item("mnuHelpAbout", "&About...")}),
    };
    return menus;
}

const CommandEntry& TrayMenu() {
    // Resetting the error marks during a run is safe: the run works on its own copy of its task,
    // and its outcome, applied when it ends, sets that task's mark anew.
    static const CommandEntry menu =
        Menu("mnuTray", "",
             {Item("mnuTrayCancel", "Cancel This Menu"), Separator(),
              Item("mnuTrayResetError", "Reset &Error Indicator"),
              Toggle("mnuTrayPause", "&Pause Scheduler"), Separator(),
              Item("mnuTrayShow", "&Show Main Window"), Item("mnuTraySendToTray", "Send to &Tray"),
              Separator(), Item("mnuTrayShutDown", "&Shut Down Duvanto", true)});
    return menu;
}

const CommandEntry& RunChoiceMenu() {
    static const CommandEntry menu =
        Menu("mnuRunChoice", "",
             {Item("mnuRunChoiceSelected", "Run Selected Task", true),
              Item("mnuRunChoiceChecked", "Run Tasks with Checkmarks", true)});
    return menu;
}

const std::vector<ToolbarButton>& ToolbarButtons() {
    static const std::vector<ToolbarButton> buttons = {
        {0, "mnuFileNewTask", "New Clone Task"},
        {1, "mnuFileDeleteTask", "Delete Task"},
        {2, kToolbarRun, "Run"},
        {3, "mnuFileTaskProperties", "Task Properties"},
        {4, "mnuLogView", "View Log"},
        {5, "mnuHelpContents", "Help Contents"},
    };
    return buttons;
}

const CommandEntry* TopLevelMenuOf(const std::string& id) {
    for (const CommandEntry& menu : MainMenuBar()) {
        if (FindIn(menu, id) != nullptr) {
            return &menu;
        }
    }
    return nullptr;
}

const CommandEntry* FindCommand(const std::string& id) {
    for (const CommandEntry& menu : MainMenuBar()) {
        if (const CommandEntry* found = FindIn(menu, id)) {
            return found;
        }
    }
    if (const CommandEntry* found = FindIn(TrayMenu(), id)) {
        return found;
    }
    return FindIn(RunChoiceMenu(), id);
}

void CommandRegistry::Register(const std::string& id, CommandHandler handler) {
    m_handlers[id] = std::move(handler);
}

bool RefusedDuringRun(const std::string& id) {
    const CommandEntry* entry = FindCommand(id);
    if (entry == nullptr) {
        return id == kToolbarRun;
    }
    const CommandEntry* menu = TopLevelMenuOf(id);
    return entry->busyBeep || (menu != nullptr && menu->offDuringRun);
}

void CommandRegistry::Invoke(const std::string& id) const {
    const auto found = m_handlers.find(id);
    if (found == m_handlers.end() || !found->second.run) {
        return;
    }
    // The menus that a run disables refuse their items however they are reached: the
    // right-click menu, a shortcut, a menu left open as a scheduled run began.
    if (m_flags.CloneInProgress && RefusedDuringRun(id)) {
        m_prompt.Beep();
        return;
    }
    Guarded(m_reporter, CommandLabel(id), found->second.run);
}

std::string CommandLabel(const std::string& id) {
    return "frmDuvanto." + id + "_Click";
}

CommandState CommandRegistry::State(const std::string& id) const {
    const auto found = m_handlers.find(id);
    if (found == m_handlers.end()) {
        return {false, false};
    }
    return found->second.state ? found->second.state() : CommandState{};
}

}  // namespace duvanto
