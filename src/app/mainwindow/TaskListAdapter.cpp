#include "app/mainwindow/TaskListAdapter.h"

#include <algorithm>
#include <cctype>

namespace duvanto {

TaskRowView TaskRowOf(const cCloneTask& task) {
    TaskRowView row;
    row.columns.push_back(task.TaskName);
    for (std::string& item : task.ListviewSubItems()) {
        row.columns.push_back(std::move(item));
    }
    row.columns.resize(kTaskColumnCount);
    row.icon = TaskRowImage(task);
    return row;
}

void TaskSort::HeaderClicked(int clicked) {
    on = true;
    ascending = !ascending;
    column = clicked;
}

int TaskSort::KeyColumn() const {
    if (column == kNextRunColumn) {
        return kNextRunFormattedColumn;
    }
    return column == kLastRunColumn ? kLastRunFormattedColumn : column;
}

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

void SortTaskRows(std::vector<TaskRowView>& rows, const TaskSort& sort) {
    if (!sort.on) {
        return;
    }
    const auto key = static_cast<std::size_t>(sort.KeyColumn());
    std::stable_sort(rows.begin(), rows.end(), [&](const TaskRowView& a, const TaskRowView& b) {
        return sort.ascending ? LessIgnoringCase(a.columns[key], b.columns[key])
                              : LessIgnoringCase(b.columns[key], a.columns[key]);
    });
}

bool TaskListAdapter::Load(const std::string& fileSpec) {
    cCloneTasks& tasks = m_app.CloneTasks;
    tasks.TaskListFileSpec(fileSpec);
    const bool read = tasks.ReadAllTasksFromFile(fileSpec);
    tasks.SetNextScheduledTask();
    return read;
}

bool TaskListAdapter::Reload() {
    cCloneTasks& tasks = m_app.CloneTasks;
    const std::string file = tasks.TaskListFileSpec();
    while (tasks.Count() > 0) {
        tasks.Remove(*tasks.Item(1));
    }
    tasks.TaskNameContainedIllegalChar(false);
    const bool read = tasks.ReadAllTasksFromFile(file, false);
    tasks.SetNextScheduledTask();
    return read;
}

bool TaskListAdapter::Save() {
    cCloneTasks& tasks = m_app.CloneTasks;
    return tasks.SaveAllTasksToFile(tasks.TaskListFileSpec());
}

const std::string& TaskListAdapter::FileSpec() const {
    return m_app.CloneTasks.TaskListFileSpec();
}

std::string TaskListAdapter::ListName() const {
    return m_app.CloneTasks.TaskListName();
}

std::vector<std::string> TaskListAdapter::ProblemLines() const {
    std::vector<std::string> lines;
    for (const TaskListProblem& problem : m_app.CloneTasks.Problems()) {
        lines.push_back(problem.LineNumber > 0 ? "line " + std::to_string(problem.LineNumber) +
                                                     ": " + problem.Description
                                               : problem.Description);
    }
    return lines;
}

bool TaskListAdapter::IllegalNamesRepaired() const {
    return m_app.CloneTasks.TaskNameContainedIllegalChar();
}

std::vector<TaskRowView> TaskListAdapter::Rows() const {
    std::vector<TaskRowView> rows;
    for (int32_t i = 1; i <= m_app.CloneTasks.Count(); ++i) {
        rows.push_back(TaskRowOf(*m_app.CloneTasks.Item(i)));
    }
    return rows;
}

int TaskListAdapter::Count() const {
    return m_app.CloneTasks.Count();
}

bool TaskListAdapter::Contains(const std::string& name) const {
    return m_app.CloneTasks.Item(name) != nullptr;
}

bool TaskListAdapter::ResetError(const std::string& name) {
    cCloneTask* task = m_app.CloneTasks.Item(name);
    if (task == nullptr) {
        return false;
    }
    task->ErrorOnLastClone = false;
    return true;
}

void TaskListAdapter::ResetAllErrors() {
    for (int32_t i = 1; i <= m_app.CloneTasks.Count(); ++i) {
        m_app.CloneTasks.Item(i)->ErrorOnLastClone = false;
    }
}

}  // namespace duvanto
