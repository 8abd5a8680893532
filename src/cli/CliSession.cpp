// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSession.h"

#include "platform/ProcessPaths.h"
#include "util/EscapedText.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

CliSession::CliSession(const std::string& appPath, CliStreams streams)
    : streams(streams),
      prompt(streams.in, streams.out, streams.err, streams.interactive),
      session(appPath, prompt, {.clock = nullptr, .fileSystem = &streams.fileSystem}),
      app(session.App()) {}

bool CliSession::Lock() {
    const Status locked = session.Lock();
    if (locked.ok()) {
        return true;
    }
    if (locked.IsBusy()) {
        streams.err << "Duvanto is already running\n";
    } else {
        streams.err << "duvanto-cli: " << app.AppPath << ": " << locked.message() << "\n";
    }
    return false;
}

bool CliSession::ReadOptions(bool refuse) {
    session.ReadOptions();
    if (!session.OptionsFailure()) {
        return true;
    }
    const OptionsReadFailure& failure = *session.OptionsFailure();
    std::ostream& err = streams.err;
    err << "duvanto-cli: " << session.Options().IniFileSpec();
    if (failure.Line > 0) {
        err << ":" << failure.Line;
    }
    err << ": [" << failure.Section << "] " << failure.Key << "=" << failure.Value
        << " could not be read (" << failure.Reason << ")";
    if (refuse) {
        err << "; the options after it would keep their first-run values, so nothing was done. "
               "Correct the file first.\n";
        return false;
    }
    err << "; the options after it keep their first-run values\n";
    return true;
}

bool CliSession::OpenTaskList(const std::string& taskList, bool createWhenMissing) {
    TaskListService& tasks = session.Tasks();
    const std::string file =
        taskList.empty() ? session.Options().TaskListFileSpec : AbsolutePath(taskList);
    const bool read = tasks.Open(file, createWhenMissing);
    for (const TaskListProblem& problem : tasks.Problems()) {
        // The description quotes the line, which may hold anything.
        streams.err << "duvanto-cli: " << EscapeForTerminal(file);
        if (problem.LineNumber > 0) {
            streams.err << ":" << problem.LineNumber;
        }
        streams.err << ": " << EscapeForTerminal(problem.Description) << "\n";
    }
    if (tasks.IllegalNamesRepaired()) {
        Show({IllegalTaskNamesRepairedMessage()});
    }
    tasks.OnSaved([this] { TellBackup(); });
    return read;
}

void CliSession::TellBackup() {
    const cCloneTasks& tasks = session.Tasks().List();
    if (!m_backupTold && !tasks.BackupFileSpec().empty()) {
        streams.err << "duvanto-cli: " << EscapeForTerminal(tasks.TaskListFileSpec())
                    << ": the lines that could not be read are kept as they were in "
                    << EscapeForTerminal(tasks.BackupFileSpec()) << "\n";
        m_backupTold = true;
    }
}

const cCloneTask* CliSession::FindTask(const std::string& name) {
    // Exactly as given: a name that the illegal-character repair left with blanks at an end
    // must still be found, and another task must not be found for it.
    const cCloneTask* task = session.Tasks().Find(name);
    if (task == nullptr) {
        streams.err << NoSuchTask(name);
    }
    return task;
}

std::string CliSession::NoSuchTask(const std::string& name) const {
    return "duvanto-cli: no task named \"" + EscapeForTerminal(name) + "\" in " +
           EscapeForTerminal(app.CloneTasks.TaskListFileSpec()) + "\n";
}

void CliSession::Show(const std::vector<TaskMessage>& messages) {
    for (const TaskMessage& message : messages) {
        prompt.ShowMessage(message.Title, message.Text, message.Icon, MessageButtons::OK);
    }
}

TerminalRunFront CliSession::RunFront(bool quiet, bool printOutcome) {
    return TerminalRunFront(streams, app.Flags, quiet, printOutcome);
}

std::optional<std::string> ProgramFolder(const std::string& home, bool create, std::ostream& err) {
    Result<std::string> appPath = Session::ProgramFolder(home, create);
    if (!appPath.ok()) {
        err << appPath.status().message() << "\n";
        return std::nullopt;
    }
    return std::move(appPath.value());
}

std::string AbsoluteFolder(const std::string& path) {
    std::string absolute = !path.empty() && path[0] == '/' ? path : CurrentWorkingFolder() + path;
    return NormalizePath(absolute);
}

std::string AbsolutePath(const std::string& path) {
    const std::string folder = AbsoluteFolder(FolderPartOf(path) == path ? "" : FolderPartOf(path));
    return folder + NamePartOf(path);
}

std::string Join(const std::vector<std::string>& pieces, const std::string& separator) {
    std::string joined;
    for (const std::string& piece : pieces) {
        joined += (joined.empty() ? "" : separator) + piece;
    }
    return joined;
}

std::vector<std::string> SelectedSpecs(const std::vector<std::string>& selected,
                                       const std::string& source) {
    std::vector<std::string> paths;
    for (const std::string& item : selected) {
        std::string path = !item.empty() && item[0] == '/' ? item : source + item;
        if (!path.empty() && path.back() != '/' && FolderExists(path)) {
            path += '/';
        }
        paths.push_back(path);
    }
    return paths;
}

}  // namespace duvanto
