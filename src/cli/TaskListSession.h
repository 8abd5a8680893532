#pragma once
// One task command's session: the program folder, its lock for commands that change files, the
// options file and the task list read, and the task service over them.

#include <optional>
#include <string>
#include <vector>

#include "cli/CliSession.h"
#include "cli/TerminalTaskRun.h"
#include "platform/InstanceLock.h"
#include "tasks/TaskProperties.h"
#include "tasks/TaskService.h"

namespace duvanto {

struct TaskCommandArgs;

// What a command does with the files it reads.
struct TaskListUse {
    bool changesFiles = false;   // takes the lock, creates the program folder and a missing list
    bool actsOnOptions = false;  // runs tasks: refuses on an options file read only in part
};

class TaskListSession {
public:
    // A command that changes files takes the lock, creates the program folder and a missing
    // list, and refuses when the options file was read only in part: the list it names and the
    // settings of a run may then be the wrong ones.
    TaskListSession(const std::string& home, const TaskCommandArgs& args, CliStreams streams,
                    bool changesFiles);

    // kExitOk when the list is ready; otherwise the exit status of the refusal, already told.
    int Status() const { return m_status; }
    Session& Get() { return *m_session; }
    cCloneTasks& Tasks() { return m_session->app.CloneTasks; }

    // The task commands over this list; each change is saved to the list file at once.
    TaskService& Service() { return *m_service; }
    // A front for blocking runs on this terminal; printOutcome: the status line after a task.
    TerminalRunFront RunFront(bool quiet, bool printOutcome = true);
    // Shows the service's messages in their order.
    void Show(const std::vector<TaskMessage>& messages);

    // The task of exactly that name (letter case aside), or nullptr after saying that the list
    // has none.
    cCloneTask* FindTask(const std::string& name);
    std::string NoSuchTask(const std::string& name) const;
    void Show(const TaskMessage& message);

private:
    void Open(const std::string& home, const TaskCommandArgs& args, bool changesFiles);
    void PrintProblems();
    // After each save: names the backup of lines that could not be read, the first time one
    // is made.
    void TellBackup();

    CliStreams m_streams;
    int m_status = kExitOk;
    InstanceLock m_lock;
    std::optional<Session> m_session;
    std::optional<TaskService> m_service;
    std::string m_listFile;
    bool m_backupTold = false;
};

}  // namespace duvanto
