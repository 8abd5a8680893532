#pragma once
// The commands on a task list that both front ends give: add, remove, rename and duplicate a
// task, run tasks in order, run what the scheduler finds due. Each change is saved at once.
// The service decides and words; it shows nothing: refusals and warnings come back as
// messages in the order they are to be shown, and the front end shows them its own way.
// Everything here runs on the owner's thread; a run's own thread is started and waited for
// by the blocking calls below (a window runs the steps of TaskRun.h on threads of its own).

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tasks/Scheduler.h"
#include "tasks/TaskProperties.h"
#include "tasks/TaskRun.h"

namespace duvanto {

class Application;

enum class TaskEditStatus {
    Done,        // the list changed and was saved (or there was nothing to change)
    Refused,     // bad input: nothing changed; the last message says why (none: dropped quietly)
    NoSuchTask,  // no task of that name in the list
    Failed,      // the list could not be changed or saved (already reported)
};

struct TaskEditResult {
    TaskEditStatus Status = TaskEditStatus::Done;
    // Warnings that did not stop the change, and then the refusal, if any.
    std::vector<TaskMessage> Messages;
    std::string Name;  // the task's name after the change
};

// A caller that waits for each run: it gives each run its host and hears when the run's
// thread has ended. Both are called on the caller's thread.
class IBlockingRunFront {
public:
    virtual ~IBlockingRunFront() = default;
    // The host of the run about to start; it must last until RunEnded.
    virtual IRunHost& RunStarting() = 0;
    // The run's thread has ended and a listed task's outcome has been applied to the list.
    // Null for work that is no task run (a restore).
    virtual void RunEnded(const TaskRunOutcome* outcome) = 0;
};

// Runs `work` on a thread of its own, so that the priority rules change that thread alone,
// and waits for it.
void RunOnItsOwnThread(IBlockingRunFront& front, const std::function<void(IRunHost&)>& work);

// A blocking run's outcome and whether it failed: the error flag, or an unexpected failure
// (a log that could not be written) reported while it ran.
struct BlockingRun {
    TaskRunOutcome Outcome;
    bool Failed = false;
};

struct TasksRunResult {
    int32_t Ran = 0;
    bool AnyFailed = false;
    // Escape or Ctrl-C, or the end of the session, left the remaining tasks unrun.
    bool Stopped = false;
    bool Saved = false;
};

// The tasks of an order the user chose, still to run one after another. A name no longer
// listed when its turn comes (removed or renamed meanwhile) is passed over.
class TaskRunOrder {
public:
    TaskRunOrder() = default;
    explicit TaskRunOrder(const std::vector<std::string>& names)
        : m_names(names.begin(), names.end()) {}

    // The next name that `listed` accepts, taken off the order; nothing once none is left.
    std::optional<std::string> Next(const std::function<bool(const std::string&)>& listed);
    // No further task of the order runs.
    void Stop() { m_names.clear(); }
    const std::deque<std::string>& Remaining() const { return m_names; }

private:
    std::deque<std::string> m_names;
};

class TaskService {
public:
    // listFile: where each change is saved; empty: the list's own file (TaskListFileSpec) as
    // it is at each save. saved: called after every save, done or not (the runner tells there
    // where a list that lost lines was kept).
    TaskService(Application& app, std::string listFile, std::function<void()> saved = {});

    // A new task's name: forbidden characters, then a name taken (letter case aside).
    std::optional<TaskMessage> CheckNewName(const std::string& name) const;
    // A task whose properties were set in the properties window: the name checks again (the
    // list may have changed while the window was open), then added and saved.
    TaskEditResult AddTask(const cCloneTask& task);

    // A new task from the properties dialog's values: the name checks, the dialog's checks,
    // a warning for each folder that is not usable now (a Target may be a drive plugged in
    // later), then each Target apart from the Source. The name is trimmed.
    TaskEditResult Add(const std::string& name, const TaskPropertiesInput& input);
    // The task, its include and exclude lists in the support folder, and the older place of
    // its include list (AppPath + name + ".dvi"). The file of a list left empty is emptied: a
    // save would leave it alone and the task would come back.
    TaskEditResult Remove(const std::string& name);
    // The new name trimmed: empty drops the rename quietly; a name the list cannot hold, or
    // another task's name (letter case aside), refuses it. A change of letter case alone is a
    // rename. The task keeps its place in the list; its include and exclude lists move to
    // the new name.
    TaskEditResult Rename(const std::string& name, const std::string& newName);
    // A copy of every property under the first free name of "Copy of X", "Copy of X (2)", ...,
    // appended to the list, with an exclude list of its own.
    TaskEditResult Duplicate(const std::string& name);

    // A run in the two halves that a window uses, which never waits for a run's thread.
    // On the owner's thread: the listed task's request (a scheduled run: started by the
    // scheduler). From here on a run is in progress (CloneInProgress), so that no second run
    // slips in before the run's thread begins. Nothing, and nothing marked, when no task has
    // that name.
    std::optional<TaskRunRequest> PrepareRun(const std::string& name, bool scheduled);
    // On the owner's thread once the run's thread has ended: the listed task takes the
    // outcome, and the list is saved. False when the save failed (reported by the core).
    bool ApplyRunOutcome(const TaskRunOutcome& outcome);
    // One scheduler tick now: what the scheduler decides about the list, given the front
    // end's own conditions (its window, work of its own that a run waits for) together with
    // the program's flags (a run or a restore in progress, the scheduler paused).
    SchedulerDecision DueNow(SchedulerState& state, SchedulerConditions conditions) const;

    // Runs the task on a thread of its own and applies its outcome. Does not save.
    BlockingRun Run(cCloneTask& task, IBlockingRunFront& front);
    // A task listed nowhere (the runner's folder pair): its outcome goes to no list.
    BlockingRun RunUnlisted(const cCloneTask& task, IBlockingRunFront& front);
    // Runs the tasks one after another in the order given (a name no longer listed is
    // skipped), stops after a run that was cancelled or ended the session, then saves.
    TasksRunResult RunInOrder(const std::vector<std::string>& names, IBlockingRunFront& front);
    // One scheduler tick as a timer makes it with the window never open: the task that is
    // due, if one is, runs as a scheduled run; then the list is saved. Ran == 0: none was due.
    TasksRunResult RunDue(IBlockingRunFront& front);

    // Saves the list to its file; emptyWhenNoTask: the file of an empty list is emptied.
    bool Save(bool emptyWhenNoTask = false);

private:
    BlockingRun RunBlocking(const cCloneTask& task, IBlockingRunFront& front, bool listed);
    bool Stopping() const;
    std::string ListFile() const;
    // The task's include or exclude list in the support folder.
    std::string SupportFile(const std::string& name, const char* extension) const;

    Application& m_app;
    std::string m_listFile;
    std::function<void()> m_saved;
};

// "'NAME' has been created successfully." and the hint of the new-task command.
TaskMessage TaskCreatedMessage(const std::string& name);
// "'NAME' has been created successfully." of the duplicate command.
TaskMessage TaskDuplicatedMessage(const std::string& name);

}  // namespace duvanto
