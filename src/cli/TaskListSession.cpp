#include "cli/TaskListSession.h"

#include "tasks/TaskRun.h"

#include <cerrno>
#include <thread>

#include "cli/TaskCommands.h"
#include "cli/TerminalTaskRun.h"
#include "platform/ProcessPaths.h"
#include "platform/Terminal.h"

namespace duvanto {

TaskListSession::TaskListSession(const std::string& home, const TaskCommandArgs& args,
                                 CliStreams streams, bool changesFiles)
    : m_streams(streams) {
    Open(home, args, changesFiles);
}

void TaskListSession::Open(const std::string& home, const TaskCommandArgs& args,
                           bool changesFiles) {
    Result<std::string> appPath = ResolveAppPath(home, changesFiles);
    if (!appPath.ok()) {
        m_streams.err << appPath.status().message() << "\n";
        m_status = kExitUsage;
        return;
    }
    if (changesFiles) {
        Result<InstanceLock> lock = InstanceLock::Acquire(appPath.value());
        if (!lock.ok()) {
            m_streams.err << (lock.status().IsBusy() ? "Duvanto is already running"
                                                     : "duvanto-cli: " + appPath.value() + ": " +
                                                           lock.status().message())
                          << "\n";
            m_status = kExitUsage;
            return;
        }
        m_lock = std::move(lock.value());
    }
    m_session.emplace(appPath.value(), m_streams);
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
}

void TaskListSession::PrintProblems() {
    for (const TaskListProblem& problem : Tasks().Problems()) {
        m_streams.err << "duvanto-cli: " << m_listFile;
        if (problem.LineNumber > 0) {
            m_streams.err << ":" << problem.LineNumber;
        }
        m_streams.err << ": " << problem.Description << "\n";
    }
}

std::string TaskListSession::RunOnItsOwnThread(bool quiet,
                                               const std::function<void(IRunHost&)>& run) {
    Application& app = m_session->app;
    const bool progress = !quiet && IsTerminal(StandardStream::Output);
    TerminalStatusHost host(m_streams.in, m_streams.out, progress,
                            TerminalWidth(StandardStream::Output));
    TerminalTaskRun window(host);
    InterruptSetsFlag(&app.Flags.EscPressed, &app.Flags.SessionEnding);
    std::thread thread([&] { run(window); });
    thread.join();
    InterruptSetsFlag(nullptr);
    host.Finish();
    return window.LastStatus();
}

bool TaskListSession::Execute(cCloneTask& task, bool quiet) {
    const int reported = Get().app.Reporter.ReportCount();
    const TaskRunRequest request = MakeTaskRunRequest(Get().app, task);
    TaskRunOutcome outcome;
    const std::string status = RunOnItsOwnThread(
        quiet, [&](IRunHost& window) { outcome = ExecuteTaskRun(Get().app, request, window); });
    ApplyTaskRunOutcome(Tasks(), outcome);
    m_streams.out << status << "\n" << std::flush;
    // An unexpected failure, such as a log that could not be written, fails the run too.
    return !outcome.ErrorOnLastClone && Get().app.Reporter.ReportCount() == reported;
}

bool TaskListSession::Save(bool emptyWhenNoTask) {
    cCloneTasks& tasks = Tasks();
    const bool saved = tasks.Count() == 0 && emptyWhenNoTask ? tasks.EmptyTaskListFile(m_listFile)
                                                             : tasks.SaveAllTasksToFile(m_listFile);
    if (!m_backupTold && !tasks.BackupFileSpec().empty()) {
        m_streams.err << "duvanto-cli: " << m_listFile
                      << ": the lines that could not be read are kept as they were in "
                      << tasks.BackupFileSpec() << "\n";
        m_backupTold = true;
    }
    return saved;
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
    return "duvanto-cli: no task named \"" + name + "\" in " + m_listFile + "\n";
}

void TaskListSession::Show(const TaskMessage& message) {
    m_session->prompt.ShowMessage(message.Title, message.Text, message.Icon, MessageButtons::OK);
}

}  // namespace duvanto
