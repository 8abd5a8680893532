#pragma once
// One task command's session: the program folder, its lock for commands that change files, the
// options file and the task list read, and task runs on threads of their own.

#include <functional>
#include <optional>
#include <string>

#include "cli/CliSession.h"
#include "platform/InstanceLock.h"
#include "tasks/TaskProperties.h"

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
    const std::string& ListFile() const { return m_listFile; }

    // Runs `run` on a thread of its own, as every task run goes, so that the priority rules
    // change that thread alone; Ctrl-C works as Escape meanwhile. Gives status panel 1 as the
    // run left it.
    std::string RunOnItsOwnThread(bool quiet, const std::function<void(IRunHost&)>& run);
    // Executes the task that way and prints the outcome line. False when the run met an error,
    // its log included.
    bool Execute(cCloneTask& task, bool quiet);
    // Saves the list; false (already reported) when that failed. A save leaves the file of an
    // empty list alone; emptyWhenNoTask empties it instead, after its last task was removed.
    // Names the backup of lines that could not be read the first time one is made.
    bool Save(bool emptyWhenNoTask = false);

    // The task of exactly that name (letter case aside), or nullptr after saying that the list
    // has none.
    cCloneTask* FindTask(const std::string& name);
    std::string NoSuchTask(const std::string& name) const;
    void Show(const TaskMessage& message);

private:
    void Open(const std::string& home, const TaskCommandArgs& args, bool changesFiles);
    void PrintProblems();

    CliStreams m_streams;
    int m_status = kExitOk;
    InstanceLock m_lock;
    std::optional<Session> m_session;
    std::string m_listFile;
    bool m_backupTold = false;
};

}  // namespace duvanto
