#include "cli/TaskListSession.h"

#include "cli/TaskCommands.h"
#include "util/EscapedText.h"

namespace duvanto {

TaskListSession::TaskListSession(const std::string& home, const TaskCommandArgs& args,
                                 CliStreams streams, bool changesFiles)
    : m_streams(streams) {
    Open(home, args, changesFiles);
}

void TaskListSession::Open(const std::string& home, const TaskCommandArgs& args,
                           bool changesFiles) {
    const std::optional<std::string> appPath = ProgramFolder(home, changesFiles, m_streams.err);
    if (!appPath) {
        m_status = kExitUsage;
        return;
    }
    if (changesFiles) {
        std::optional<InstanceLock> lock = LockProgramFolder(*appPath, m_streams.err);
        if (!lock) {
            m_status = kExitUsage;
            return;
        }
        m_lock = std::move(*lock);
    }
    m_session.emplace(*appPath, m_streams);
    m_session->ReadProgramOptions();
    if (!m_session->OptionsReadWhole(m_streams.err, changesFiles)) {
        m_status = kExitUsage;
        return;
    }

    m_listFile =
        args.taskList.empty() ? m_session->options->TaskListFileSpec : AbsolutePath(args.taskList);
    cCloneTasks& tasks = Tasks();
    tasks.TaskListFileSpec(m_listFile);
    const bool read = tasks.ReadAllTasksFromFile(m_listFile, changesFiles);
    PrintProblems();
    if (tasks.TaskNameContainedIllegalChar()) {
        Show(IllegalTaskNamesRepairedMessage());
    }
    if (!read) {
        m_status = kExitUsage;
        return;
    }
    tasks.SetNextScheduledTask();
    m_service.emplace(m_session->app, m_listFile, [this] { TellBackup(); });
}

void TaskListSession::PrintProblems() {
    for (const TaskListProblem& problem : Tasks().Problems()) {
        // The description quotes the line, which may hold anything.
        m_streams.err << "duvanto-cli: " << EscapeForTerminal(m_listFile);
        if (problem.LineNumber > 0) {
            m_streams.err << ":" << problem.LineNumber;
        }
        m_streams.err << ": " << EscapeForTerminal(problem.Description) << "\n";
    }
}

TerminalRunFront TaskListSession::RunFront(bool quiet, bool printOutcome) {
    return TerminalRunFront(m_streams, m_session->app.Flags, quiet, printOutcome);
}

void TaskListSession::TellBackup() {
    const cCloneTasks& tasks = Tasks();
    if (!m_backupTold && !tasks.BackupFileSpec().empty()) {
        m_streams.err << "duvanto-cli: " << EscapeForTerminal(m_listFile)
                      << ": the lines that could not be read are kept as they were in "
                      << EscapeForTerminal(tasks.BackupFileSpec()) << "\n";
        m_backupTold = true;
    }
}

cCloneTask* TaskListSession::FindTask(const std::string& name) {
    // Exactly as given: a name that the illegal-character repair left with blanks at an end
    // must still be found, and another task must not be found for it.
    cCloneTask* task = Tasks().Item(name);
    if (task == nullptr) {
        m_streams.err << NoSuchTask(name);
    }
    return task;
}

std::string TaskListSession::NoSuchTask(const std::string& name) const {
    return "duvanto-cli: no task named \"" + EscapeForTerminal(name) + "\" in " +
           EscapeForTerminal(m_listFile) + "\n";
}

void TaskListSession::Show(const TaskMessage& message) {
    m_session->prompt.ShowMessage(message.Title, message.Text, message.Icon, MessageButtons::OK);
}

void TaskListSession::Show(const std::vector<TaskMessage>& messages) {
    for (const TaskMessage& message : messages) {
        Show(message);
    }
}

}  // namespace duvanto
