// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/OptionsMenuController.h"

#include <map>
#include <optional>
#include <utility>

#include "app/log/LogCommands.h"
#include "settings/ValueText.h"
#include "util/PathStrings.h"

namespace duvanto {

namespace {

using Kind = MenuEntryKind;
using Cmd = MenuCommand;

MenuEntry Item(Kind kind, std::string name, std::string caption, Cmd command) {
    return {kind, std::move(name), std::move(caption), command, {}, std::nullopt, 0};
}
MenuEntry Submenu(std::string name, std::string caption, std::vector<MenuEntry> children) {
    return {Kind::Submenu,
            std::move(name),
            std::move(caption),
            Cmd::None,
            std::move(children),
            std::nullopt,
            0};
}
MenuEntry Separator() {
    return {Kind::Separator, "", "", Cmd::None, {}, std::nullopt, 0};
}

// The check item of a switch among the run options.
MenuEntry OptionToggle(EngineOptionId id, Cmd command) {
    const OptionMenuItem& item = EngineOptionOf(id).menu;
    MenuEntry entry = Item(Kind::Toggle, item.name, item.text, command);
    entry.option = id;
    return entry;
}

// The submenu of a method among the run options: a radio item a choice, their commands
// following `first` in the choices' order.
MenuEntry OptionChoices(EngineOptionId id, Cmd first) {
    const EngineOption& option = EngineOptionOf(id);
    std::vector<MenuEntry> items;
    for (const EngineOptionChoice& choice : option.choices) {
        MenuEntry entry = Item(Kind::Radio, choice.menu.name, choice.menu.text,
                               static_cast<Cmd>(static_cast<int>(first) + choice.value));
        entry.option = id;
        entry.choice = choice.value;
        items.push_back(std::move(entry));
    }
    return Submenu(option.menu.name, option.menu.text, std::move(items));
}

void CollectOptionItems(const MenuEntry& entry, std::map<Cmd, const MenuEntry*>& items) {
    if (entry.option) {
        items.emplace(entry.command, &entry);
    }
    for (const MenuEntry& child : entry.children) {
        CollectOptionItems(child, items);
    }
}

// The item of a run option that a command stands for; nullptr for other commands.
const MenuEntry* OptionItemOf(Cmd command) {
    static const std::map<Cmd, const MenuEntry*> items = [] {
        std::map<Cmd, const MenuEntry*> found;
        CollectOptionItems(OptionsMenuEntries(), found);
        return found;
    }();
    const auto item = items.find(command);
    return item == items.end() ? nullptr : item->second;
}

constexpr char kRunAtLoginTitle[] = "Run at Login";

// A file can only be moved into a trash on its own file system, so a drive's files go to that
// drive's trash folder; where none can be made they are not deleted at all (platform/Trash.h).
constexpr char kTrashWarning[] =
    "Files on removeable drives and network drives are not sent \r\n"
    "to the Trash in your home folder.  They go to the trash folder\r\n"
    "of their own drive, or stay where they are when none can be\r\n"
    "made there.  This is determined by the operating system;\r\n"
    "Duvanto has no control over this.\r\n"
    "\r\n"
    "Do you still wish to select this Delete Method?";

}  // namespace

const LogSizeChoice& OptionsMenuController::LogSizeOf(MenuCommand command) {
    return kLogSizes[static_cast<std::size_t>(command) - static_cast<std::size_t>(Cmd::LogSize100)];
}

// In the order of the options file's keys, then the items of the main window alone.
const MenuEntry& OptionsMenuEntries() {
    static const MenuEntry menu = Submenu(
        "mnuOptions", "&Options",
        {OptionChoices(EngineOptionId::CompareMethod, Cmd::CompareDateTime),
         Submenu("mnuOptionsFAT", "FAT/NTFS Issues",
                 {OptionToggle(EngineOptionId::IgnoreTwoSecDiff, Cmd::IgnoreTwoSecDiff),
                  OptionToggle(EngineOptionId::IgnoreDaylightSavings, Cmd::IgnoreDaylightSavings)}),
         OptionToggle(EngineOptionId::IgnoreSystemFolders, Cmd::IgnoreSystemFolders),
         OptionToggle(EngineOptionId::IgnoreHiddenFolders, Cmd::IgnoreHiddenFolders), Separator(),
         Item(Kind::Command, "mnuOptionsSetPriority", "Priority Rules...", Cmd::PriorityRules),
         Submenu("mnuOptionsRunOnWindowsStartup", "Run at &Login",
                 {Item(Kind::Radio, "mnuOptionsRunOnWindowsStartupCurrentUser",
                       "When Current User is Logged On", Cmd::RunAtLoginCurrentUser),
                  Item(Kind::Radio, "mnuOptionsRunOnWindowsStartupAnyUser",
                       "When Any User is Logged On", Cmd::RunAtLoginAnyUser),
                  Item(Kind::Radio, "mnuOptionsRunOnWindowsStartupNoRun", "Do Not Run on Startup",
                       Cmd::RunAtLoginNoRun)}),
         Separator(), OptionChoices(EngineOptionId::CopyMethod, Cmd::CopyRegular),
         OptionChoices(EngineOptionId::DeleteMethod, Cmd::DeleteRegular),
         Item(Kind::Toggle, "mnuOptionsPromptToInsertRemovableDrive",
              "Prompt Me to Insert Removable Drives", Cmd::PromptToInsertRemovableDrive),
         Item(Kind::Toggle, "mnuOptionsWaitForDrives", "&Wait for Drives That Are Away",
              Cmd::WaitForDrives),
         Item(Kind::Command, "mnuOptionsDelayBeforeFirstTask",
              "Delay Before First Task Execution...", Cmd::DelayBeforeFirstTask),
         OptionToggle(EngineOptionId::CopyOnlyIfNewer, Cmd::CopyOnlyIfNewer),
         OptionToggle(EngineOptionId::ConfirmSyncActions, Cmd::ConfirmSyncActions), Separator(),
         Submenu("mnuOptionsResetError", "Reset &Error Indicator",
                 {Item(Kind::Command, "mnuOptionsResetErrorSelected", "&Selected Task",
                       Cmd::ResetErrorSelectedTask),
                  Item(Kind::Command, "mnuOptionsResetErrorAll", "&All Tasks",
                       Cmd::ResetErrorAllTasks)}),
         Submenu("mnuOptionsToolbar", "&Toolbar",
                 {Item(Kind::Radio, "mnuOptionsToolbarShow", "&Show Toolbar", Cmd::ToolbarShow),
                  Item(Kind::Radio, "mnuOptionsToolbarHide", "&Hide Toolbar", Cmd::ToolbarHide)})});
    return menu;
}

const MenuEntry& LogMenuEntries() {
    static const MenuEntry menu =
        Submenu("mnuLog", "&Log",
                {Item(Kind::Command, "mnuLogView", "View &Log", Cmd::LogView), Separator(),
                 Submenu("mnuLogSize", "&Reset Log At Size",
                         {Item(Kind::Radio, "mnuLogSize100", "&100 kb", Cmd::LogSize100),
                          Item(Kind::Radio, "mnuLogSize200", "&200 kb", Cmd::LogSize200),
                          Item(Kind::Radio, "mnuLogSize500", "&500 kb", Cmd::LogSize500),
                          Item(Kind::Radio, "mnuLogSize1Meg", "1 &Meg", Cmd::LogSize1Meg)}),
                 Item(Kind::Toggle, "mnuLogOnlyErrors", "Log Only &Errors", Cmd::LogOnlyErrors),
                 Separator(), Item(Kind::Command, "mnuLogClear", "&Clear Log", Cmd::LogClear),
                 Item(Kind::Command, "mnuLogSaveAs", "&Save Log As...", Cmd::LogSaveAs)});
    return menu;
}

MessageAnswer OptionsMenuController::AutostartWording::ShowMessage(const std::string& title,
                                                                   const std::string& text,
                                                                   MessageIcon icon,
                                                                   MessageButtons buttons) {
    return m_prompt.ShowMessage(ReplaceString(title, "Registry", "autostart entry"),
                                ReplaceString(text, "Registry", "autostart entry"), icon, buttons);
}

OptionsMenuController::OptionsMenuController(ProgramOptions& options, IAppPrompt& prompt,
                                             ErrorReporter& reporter, const IClock& clock,
                                             const RunFlags& flags, RunAtLoginSetup runAtLogin,
                                             OptionsMenuWindows windows)
    : m_options(options),
      m_prompt(prompt),
      m_reporter(reporter),
      m_flags(flags),
      m_windows(std::move(windows)),
      m_startupCommand{std::move(runAtLogin.executablePath), std::move(runAtLogin.programFolder)},
      m_autostartWording(prompt),
      m_autostartReporter(options.AppPath(), m_autostartWording, clock, options.FileSystem()),
      m_startupEntries(std::move(runAtLogin.folders), m_autostartReporter, options.FileSystem()) {
    // The options file keeps a choice for other readers; it says what the entries do.
    m_options.RunOnStartup = ChoiceOf(m_startupEntries.Current(m_startupCommand));
}

MenuItemState OptionsMenuController::State(MenuCommand command) const {
    const ProgramOptions& o = m_options;
    bool checked = false;
    if (const MenuEntry* item = OptionItemOf(command)) {
        const int32_t value = EngineOptionValue(o.Targets().settings, *item->option);
        checked = item->kind == Kind::Toggle ? value != 0 : value == item->choice;
    } else {
        switch (command) {
            case Cmd::PromptToInsertRemovableDrive:
                checked = o.PromptToInsertRemovableDrive;
                break;
            case Cmd::WaitForDrives:
                checked = o.WaitForDrives;
                break;
            // The entries on disk, as they are now: someone may have removed one meanwhile.
            case Cmd::RunAtLoginCurrentUser:
                checked = m_startupEntries.Current(m_startupCommand).currentUser;
                break;
            case Cmd::RunAtLoginAnyUser:
                checked = m_startupEntries.Current(m_startupCommand).allUsers;
                break;
            case Cmd::RunAtLoginNoRun:
                checked = m_startupEntries.Current(m_startupCommand) == StartupState{};
                break;
            case Cmd::ToolbarShow:
            case Cmd::ToolbarHide:
                checked = o.ShowToolbar == (command == Cmd::ToolbarShow);
                break;
            case Cmd::LogSize100:
            case Cmd::LogSize200:
            case Cmd::LogSize500:
            case Cmd::LogSize1Meg:
                checked = o.LogSize == LogSizeOf(command).item;
                break;
            case Cmd::LogOnlyErrors:
                checked = o.Targets().log.LogOnlyErrors();
                break;
            default:
                break;
        }
    }
    return {checked, MenusEnabled()};
}

void OptionsMenuController::Run(MenuCommand command) {
    if (const MenuEntry* item = OptionItemOf(command)) {
        const EngineOptionId id = *item->option;
        const int32_t value = item->kind == Kind::Toggle
                                  ? EngineOptionValue(m_options.Targets().settings, id) == 0
                                  : item->choice;
        if (id == EngineOptionId::DeleteMethod) {
            ChooseDeleteMethod(static_cast<DeleteMethodType>(value));
        } else {
            SetOption(id, value);
        }
        return;
    }
    switch (command) {
        case Cmd::PromptToInsertRemovableDrive:
            Set(m_options.PromptToInsertRemovableDrive, !m_options.PromptToInsertRemovableDrive);
            break;
        case Cmd::WaitForDrives:
            Set(m_options.WaitForDrives, !m_options.WaitForDrives);
            break;
        case Cmd::PriorityRules:
            if (m_windows.openPriorityRules) {
                m_windows.openPriorityRules();
            }
            Save();  // the rules live in the options file
            break;
        case Cmd::RunAtLoginCurrentUser:
            ChooseRunAtLogin(RunOnStartupChoice::CurrentUser);
            break;
        case Cmd::RunAtLoginAnyUser:
            ChooseRunAtLogin(RunOnStartupChoice::AllUsers);
            break;
        case Cmd::RunAtLoginNoRun:
            ChooseRunAtLogin(RunOnStartupChoice::NoRun);
            break;
        case Cmd::DelayBeforeFirstTask:
            AskDelayBeforeFirstTask();
            break;
        case Cmd::ResetErrorSelectedTask:
        case Cmd::ResetErrorAllTasks:
            if (m_windows.resetErrorIndicators) {
                m_windows.resetErrorIndicators(command == Cmd::ResetErrorAllTasks);
            }
            break;
        case Cmd::ToolbarShow:
        case Cmd::ToolbarHide:
            ChooseToolbar(command == Cmd::ToolbarShow);
            break;
        case Cmd::LogView:
            UnlessBusy([this] {
                if (m_windows.openLogViewer) {
                    m_windows.openLogViewer();
                }
            });
            break;
        case Cmd::LogSize100:
        case Cmd::LogSize200:
        case Cmd::LogSize500:
        case Cmd::LogSize1Meg:
            ChooseLogSize(LogSizeOf(command));
            break;
        case Cmd::LogOnlyErrors:
            ToggleLogOnlyErrors();
            break;
        case Cmd::LogClear:
            UnlessBusy([this] { m_options.Targets().log.DeleteLogFile(); });
            break;
        case Cmd::LogSaveAs:
            UnlessBusy([this] { SaveLog(m_options.Targets().log, m_prompt, m_reporter); });
            break;
        default:
            break;
    }
}

void OptionsMenuController::Save() {
    m_options.RunOnStartup = ChoiceOf(m_startupEntries.Current(m_startupCommand));
    const Status saved = m_options.SaveProgramOptionsToIniFile();
    if (!saved.ok()) {
        const RuntimeError failure = FileRuntimeError(saved);
        m_reporter.ReportUnexpectedError(
            "modIniFile.SaveProgramOptionsToIniFile",
            {failure.Number(), failure.what(), failure.SystemErrorCode()});
    }
}

template <typename T>
void OptionsMenuController::Set(T& setting, T value) {
    if (setting != value) {
        setting = value;
        Save();
    }
}

void OptionsMenuController::SetOption(EngineOptionId id, int32_t value) {
    CloneSettings& settings = m_options.Targets().settings;
    if (EngineOptionValue(settings, id) != value) {
        SetEngineOptionValue(settings, id, value);
        Save();
    }
}

void OptionsMenuController::ChooseDeleteMethod(DeleteMethodType method) {
    if (method == DeleteMethodType::SendToRecycleBin && m_options.SendToRecycleBinMsg) {
        // Cleared before asking, so the warning is shown once whatever the answer.
        m_options.SendToRecycleBinMsg = false;
        Save();
        if (m_prompt.ShowMessage("Send To Trash", kTrashWarning, MessageIcon::Information,
                                 MessageButtons::YesNo) == MessageAnswer::No) {
            return;
        }
    }
    Set(m_options.Targets().settings.DeleteMethod, method);
}

void OptionsMenuController::ChooseLogSize(const LogSizeChoice& size) {
    const int32_t bytes = size.kib * 1024;
    if (m_options.LogSize == size.item && m_options.Targets().log.MaxLogFileSize() == bytes) {
        return;
    }
    m_options.LogSize = size.item;
    m_options.Targets().log.MaxLogFileSize(bytes);
    Save();
}

void OptionsMenuController::ToggleLogOnlyErrors() {
    cCloneLog& log = m_options.Targets().log;
    log.LogOnlyErrors(!log.LogOnlyErrors());
    Save();
    if (log.LogOnlyErrors() && log.CurrInMemoryLogSize() != 0) {
        m_prompt.ShowMessage("Log Only Errors",
                             "This change will be applied only to tasks that are run after this "
                             "point.\r\n\r\nIf you wish, you can Clear your log file of previous "
                             "activity.\r\nThe Clear Log option is available in the Log menu",
                             MessageIcon::Information, MessageButtons::OK);
    }
}

void OptionsMenuController::AskDelayBeforeFirstTask() {
    try {
        const int32_t current = m_options.DelayBeforeFirstTask;
        const std::optional<std::string> typed = m_prompt.AskText(
            "Delay Duration",
            "How many minutes should pass after Duvanto startup before the first task is "
            "executed?\r\n\r\nEnter only numeric values.",
            std::to_string(current == 0 ? 1 : current));
        const std::string answer = typed ? Trim(*typed) : std::string();
        if (answer.empty()) {
            return;
        }
        const std::string quoted = "\"" + answer + "\"";
        if (!IsNumericText(answer)) {
            m_prompt.ShowMessage("Invalid Delay Input",
                                 quoted +
                                     " is not a valid numeric input.\r\n\r\nFor example, enter "
                                     "\"5\" (without the quotes)\r\nfor a five minute delay.",
                                 MessageIcon::Exclamation, MessageButtons::OK);
            return;
        }
        const int32_t minutes = LongFromText(answer);
        if (minutes <= 0) {
            m_prompt.ShowMessage(
                "Invalid Delay Input",
                quoted +
                    " is not a valid delay input.\r\n\r\nThe delay value must be a positive "
                    "number.",
                MessageIcon::Exclamation, MessageButtons::OK);
            return;
        }
        Set(m_options.DelayBeforeFirstTask, minutes);
        m_prompt.ShowMessage("Delay",
                             "This change will take effect the next time Duvanto is "
                             "launched.",
                             MessageIcon::Information, MessageButtons::OK);
    } catch (...) {
        m_reporter.ReportCurrentException("mnuOptionsDelayBeforeFirstTask_Click");
    }
}

void OptionsMenuController::ChooseRunAtLogin(RunOnStartupChoice choice) {
    const RunAtLoginChange change = ChooseRunOnStartup(choice, m_startupEntries, m_startupCommand);
    if (!change.acted) {
        return;
    }
    Save();
    TellRunAtLoginProblems(choice, change);
}

void OptionsMenuController::TellRunAtLoginProblems(RunOnStartupChoice choice,
                                                   const RunAtLoginChange& change) {
    if (change.failedScope >= 0) {
        const std::string path = m_startupEntries.EntryPath(change.failedScope);
        const std::string text =
            change.failedScope == AllUsersScope && change.writeFailure.IsAccessDenied()
                ? "Starting Duvanto when any user logs on needs administrator rights: only "
                  "root may write the autostart entry " +
                      path +
                      ".\r\n\r\nNothing was changed. To make this choice, run Duvanto as "
                      "root; to start Duvanto when you log on, choose \"When Current User is "
                      "Logged On\"."
                : "The autostart entry " + path +
                      " could not be written: " + change.writeFailure.message() +
                      ".\r\n\r\nNothing was changed.";
        m_prompt.ShowMessage(kRunAtLoginTitle, text, MessageIcon::Exclamation, MessageButtons::OK);
        return;
    }
    if (change.keptScope >= 0) {
        const std::string path = m_startupEntries.EntryPath(change.keptScope);
        std::string text =
            "The autostart entry " + path + " could not be removed: " +
            (change.removeFailure.IsAccessDenied() ? std::string("that needs administrator rights")
                                                   : change.removeFailure.message()) +
            ".";
        if (change.keptScope == AllUsersScope) {
            text += choice == RunOnStartupChoice::CurrentUser
                        ? " It still starts Duvanto when other users log on; for you, your own "
                          "entry takes its place."
                        : " It still starts Duvanto when any user logs on, you included.";
        }
        m_prompt.ShowMessage(kRunAtLoginTitle, text, MessageIcon::Exclamation, MessageButtons::OK);
    }
}

void OptionsMenuController::ChooseToolbar(bool show) {
    if (m_options.ShowToolbar == show) {
        return;
    }
    m_options.ShowToolbar = show;
    Save();
    if (m_windows.showToolbar) {
        m_windows.showToolbar(show);
    }
}

void OptionsMenuController::UnlessBusy(const std::function<void()>& command) {
    if (m_flags.CloneInProgress) {
        m_prompt.Beep();
        return;
    }
    command();
}

}  // namespace duvanto
