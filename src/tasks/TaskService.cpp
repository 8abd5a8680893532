#include "tasks/TaskService.h"

#include <thread>
#include <utility>

#include "engine/FolderCheck.h"
#include "tasks/Application.h"
#include "tasks/Scheduler.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

std::optional<std::string> TaskRunOrder::Next(
    const std::function<bool(const std::string&)>& listed) {
    while (!m_names.empty()) {
        std::string name = std::move(m_names.front());
        m_names.pop_front();
        if (listed(name)) {
            return name;
        }
    }
    return std::nullopt;
}

void RunOnItsOwnThread(IBlockingRunFront& front, const std::function<void(IRunHost&)>& work) {
    IRunHost& host = front.RunStarting();
    std::thread thread([&] { work(host); });
    thread.join();
    front.RunEnded(nullptr);
}

TaskService::TaskService(Application& app, std::string listFile, std::function<void()> saved)
    : m_app(app), m_listFile(std::move(listFile)), m_saved(std::move(saved)) {}

std::string TaskService::ListFile() const {
    return m_listFile.empty() ? m_app.CloneTasks.TaskListFileSpec() : m_listFile;
}

std::string TaskService::SupportFile(const std::string& name, const char* extension) const {
    return SupportFileSpec(m_app.CloneTasks.SupportFolder(), name, extension);
}

bool TaskService::Save(bool emptyWhenNoTask) {
    cCloneTasks& tasks = m_app.CloneTasks;
    const std::string file = ListFile();
    const bool saved = tasks.Count() == 0 && emptyWhenNoTask ? tasks.EmptyTaskListFile(file)
                                                             : tasks.SaveAllTasksToFile(file);
    if (m_saved) {
        m_saved();
    }
    return saved;
}

TaskEditResult TaskService::Add(const std::string& name, const TaskPropertiesInput& input) {
    TaskEditResult result;
    result.Name = Trim(name);
    auto refuse = [&result](TaskMessage message) {
        result.Messages.push_back(std::move(message));
        result.Status = TaskEditStatus::Refused;
        return result;
    };
    if (result.Name.empty()) {
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (std::optional<TaskMessage> refused = CheckNewTaskName(result.Name, m_app.CloneTasks)) {
        return refuse(*refused);
    }
    if (std::optional<TaskMessage> refused = ValidateTaskProperties(input)) {
        return refuse(*refused);
    }
    std::vector<std::pair<std::string, std::string>> folders;
    for (const std::string& target : input.Targets) {
        folders.emplace_back("Problems with Target Folder", target);
    }
    folders.emplace_back("Problems with Source Folder", input.SourceText);
    for (const auto& [title, folder] : folders) {
        int32_t errorCode = 0;
        const PathStatus status = GetPathStatus(folder, errorCode, m_app.PathTables());
        if (status != PathOk) {
            result.Messages.push_back({title, GetInvalidPathErrorMsg(status, folder, errorCode),
                                       MessageIcon::Exclamation});
        }
    }
    for (const std::string& target : input.Targets) {
        const std::string apart = CheckTargetApartFromSource(input.SourceText, target);
        if (!apart.empty()) {
            return refuse({"Invalid Target Folder", apart, MessageIcon::Exclamation});
        }
    }

    cCloneTask task;
    task.TaskName = result.Name;
    SaveTaskProperties(input, task, m_app.Clock.Now());
    if (!m_app.CloneTasks.Add(task) || !Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

std::optional<TaskMessage> TaskService::CheckNewName(const std::string& name) const {
    return CheckNewTaskName(name, m_app.CloneTasks);
}

TaskEditResult TaskService::AddTask(const cCloneTask& task) {
    TaskEditResult result;
    result.Name = task.TaskName;
    if (std::optional<TaskMessage> refused = CheckNewName(task.TaskName)) {
        result.Messages.push_back(*refused);
        result.Status = TaskEditStatus::Refused;
    } else if (!m_app.CloneTasks.Add(task) || !Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

TaskEditResult TaskService::Remove(const std::string& name) {
    TaskEditResult result;
    const cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    result.Name = task->TaskName;
    if (!m_app.CloneTasks.Remove(*task)) {
        result.Status = TaskEditStatus::Failed;
        return result;
    }
    if (!Save(true)) {
        result.Status = TaskEditStatus::Failed;
    }
    // Left behind, the lists would go to the next task given this name.
    for (const std::string& file :
         {SupportFile(result.Name, kIncludeListExtension),
          SupportFile(result.Name, kExcludeListExtension),
          SupportFileSpec(m_app.AppPath, result.Name, kIncludeListExtension)}) {
        if (FileExists(file)) {
            WriteStringToFile(file, "", false, m_app.Prompt);  // empty text deletes
        }
    }
    return result;
}

TaskEditResult TaskService::Rename(const std::string& name, const std::string& newName) {
    TaskEditResult result;
    cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    result.Name = task->TaskName;
    const std::string trimmed = Trim(newName);
    if (trimmed.empty()) {
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (std::optional<TaskMessage> refused = CheckTaskNameCharacters(trimmed)) {
        result.Messages.push_back(*refused);
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    // The task itself answers to a name that differs from its own in letter case alone.
    const cCloneTask* holder = m_app.CloneTasks.Item(trimmed);
    if (holder != nullptr && holder != task) {
        result.Messages.push_back({"Rename Task", "Duplicate task name", MessageIcon::Exclamation});
        result.Status = TaskEditStatus::Refused;
        return result;
    }
    if (trimmed == task->TaskName) {
        return result;
    }
    // The lists move to the new name: read, deleted under the old name, then written under
    // the new one (the save writes the include list), so that a change of letter case alone
    // works on a file system that ignores letter case too.
    const std::string exclude =
        ReadStringFromFile(SupportFile(task->TaskName, kExcludeListExtension));
    for (const char* extension : {kIncludeListExtension, kExcludeListExtension}) {
        const std::string file = SupportFile(task->TaskName, extension);
        if (FileExists(file)) {
            WriteStringToFile(file, "", false, m_app.Prompt);  // empty text deletes
        }
    }
    // Renamed where it stands: the list keeps its order and the next-task mark.
    task->TaskName = trimmed;
    result.Name = trimmed;
    m_app.CloneTasks.TaskChanged(trimmed);
    if (!exclude.empty()) {
        WriteStringToFile(SupportFile(trimmed, kExcludeListExtension), exclude, false,
                          m_app.Prompt);
    }
    if (!Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

TaskEditResult TaskService::Duplicate(const std::string& name) {
    TaskEditResult result;
    const cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        result.Status = TaskEditStatus::NoSuchTask;
        return result;
    }
    const std::string base = std::string("Copy of ").append(task->TaskName);
    result.Name = base;
    for (int32_t n = 2; m_app.CloneTasks.Item(result.Name) != nullptr; ++n) {
        result.Name = base;
        result.Name.append(" (").append(std::to_string(n)).append(")");
    }
    cCloneTask copy;
    cCloneTasks::CopyTaskPropertiesFromObj1ToObj2(*task, copy);
    copy.TaskName = result.Name;
    if (!m_app.CloneTasks.Add(copy)) {
        result.Status = TaskEditStatus::Failed;
        return result;
    }
    // The exclude list is only ever read from its file: the copy needs a file of its own.
    if (!copy.ExcludeFileSpecs.empty() && CreateFolderPath(m_app.CloneTasks.SupportFolder()).ok()) {
        WriteStringToFile(SupportFile(result.Name, kExcludeListExtension), copy.ExcludeFileSpecs,
                          false, m_app.Prompt);
    }
    if (!Save()) {
        result.Status = TaskEditStatus::Failed;
    }
    return result;
}

BlockingRun TaskService::RunBlocking(const cCloneTask& task, IBlockingRunFront& front,
                                     bool listed) {
    const int reported = m_app.Reporter.ReportCount();
    const TaskRunRequest request = MakeTaskRunRequest(m_app, task);
    BlockingRun run;
    IRunHost& host = front.RunStarting();
    std::thread thread([&] { run.Outcome = ExecuteTaskRun(m_app, request, host); });
    thread.join();
    if (listed) {
        ApplyTaskRunOutcome(m_app.CloneTasks, run.Outcome);
    }
    front.RunEnded(&run.Outcome);
    run.Failed = run.Outcome.ErrorOnLastClone || m_app.Reporter.ReportCount() != reported;
    return run;
}

BlockingRun TaskService::Run(cCloneTask& task, IBlockingRunFront& front) {
    return RunBlocking(task, front, true);
}

BlockingRun TaskService::RunUnlisted(const cCloneTask& task, IBlockingRunFront& front) {
    return RunBlocking(task, front, false);
}

bool TaskService::Stopping() const {
    return m_app.Flags.EscPressed || m_app.Flags.SessionEnding;
}

std::optional<TaskRunRequest> TaskService::PrepareRun(const std::string& name, bool scheduled) {
    const cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        return std::nullopt;
    }
    m_app.Flags.CloneInProgress = true;
    m_app.RunningScheduledTask = scheduled;
    return MakeTaskRunRequest(m_app, *task);
}

bool TaskService::ApplyRunOutcome(const TaskRunOutcome& outcome) {
    ApplyTaskRunOutcome(m_app.CloneTasks, outcome);
    return Save();
}

SchedulerDecision TaskService::DueNow(SchedulerState& state, SchedulerConditions conditions) const {
    conditions.CloneInProgress = conditions.CloneInProgress || m_app.Flags.CloneInProgress;
    conditions.RestoreInProgress = conditions.RestoreInProgress || m_app.RestoreInProgress;
    conditions.SchedulerPaused = conditions.SchedulerPaused || m_app.SchedulerPaused;
    return SchedulerTick(state, conditions, m_app.CloneTasks, m_app.Clock.TickCount(),
                         m_app.Clock.Now());
}

TasksRunResult TaskService::RunInOrder(const std::vector<std::string>& names,
                                       IBlockingRunFront& front) {
    TasksRunResult result;
    TaskRunOrder order(names);
    const auto listed = [this](const std::string& name) {
        return m_app.CloneTasks.Item(name) != nullptr;
    };
    while (const std::optional<std::string> name = order.Next(listed)) {
        ++result.Ran;
        result.AnyFailed = Run(*m_app.CloneTasks.Item(*name), front).Failed || result.AnyFailed;
        if (Stopping()) {
            result.Stopped = true;
            break;
        }
    }
    result.Saved = Save();
    return result;
}

TasksRunResult TaskService::RunDue(IBlockingRunFront& front) {
    TasksRunResult result;
    // From a timer the window is never open, and the start-up delay is long over.
    SchedulerState state;
    const SchedulerDecision decision = DueNow(state, {});
    if (decision.Action != SchedulerAction::RunTask) {
        return result;
    }
    m_app.RunningScheduledTask = true;
    result.Ran = 1;
    result.AnyFailed = Run(*decision.Task, front).Failed;
    result.Stopped = Stopping();
    result.Saved = Save();
    return result;
}

TaskMessage TaskCreatedMessage(const std::string& name) {
    std::string text = "'";
    text.append(name).append("' has been created successfully.\r\n\r\n");
    text.append("To run this task, click on the toolbar button with the two sheep on it.");
    return {"New Task", text, MessageIcon::Information};
}

TaskMessage TaskDuplicatedMessage(const std::string& name) {
    std::string text = "'";
    text.append(name).append("' has been created successfully.");
    return {"Duplicate Task", text, MessageIcon::Information};
}

}  // namespace duvanto
