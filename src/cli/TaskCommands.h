// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's commands on the task list: list, run, due, add, remove, report and restore.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace duvanto {

struct TaskCommandArgs {
    std::string taskList;  // --task-list: this file instead of the options' list
    // list, run, due
    bool all = false;
    bool quiet = false;
    bool allowMassDelete = false;  // run
    std::vector<std::string> tasks;
    // add, remove
    std::string name;
    std::string source;
    std::vector<std::string> targets;
    std::string schedule = "manual";
    bool noSubfolders = false;
    std::vector<std::string> selected;
    std::vector<std::string> masks;
    // report, restore
    std::string out;
    std::vector<std::string> items;
};

struct TaskCommands {
    CLI::App* list = nullptr;
    CLI::App* run = nullptr;
    CLI::App* due = nullptr;
    CLI::App* watch = nullptr;
    CLI::App* add = nullptr;
    CLI::App* remove = nullptr;
    CLI::App* report = nullptr;
    CLI::App* restore = nullptr;
};

TaskCommands AddTaskCommands(CLI::App& app, TaskCommandArgs& args);

// Runs whichever of the commands was parsed; -1 when none was.
int RunTaskCommand(const TaskCommands& commands, const std::string& home,
                   const TaskCommandArgs& args, CliStreams streams);

}  // namespace duvanto
