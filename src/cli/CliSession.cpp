#include "cli/CliSession.h"

#include "platform/ProcessPaths.h"
#include "settings/PriorityRules.h"
#include "util/FileUtilities.h"
#include "util/PathStrings.h"

namespace duvanto {

void Session::ReadProgramOptions() {
    options.emplace(app.AppPath,
                    OptionTargets{app.Settings, app.CloneLog, app.PriorityRules,
                                  &app.PromptToInsertRemovableDrive},
                    app.Reporter);
    options->ReadProgramOptionsFromIniFile();
    app.SetPriorityBasedOnRules = [this] {
        SetPriorityBasedOnRules(app.PriorityRules, app.Clock, priority, app.Reporter);
    };
}

bool Session::OptionsReadWhole(std::ostream& err, bool refuse) const {
    if (!options || !options->ReadFailure) {
        return true;
    }
    const OptionsReadFailure& failure = *options->ReadFailure;
    err << "duvanto-cli: " << options->IniFileSpec();
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

std::optional<std::string> ProgramFolder(const std::string& home, bool create, std::ostream& err) {
    Result<std::string> appPath = ResolveAppPath(home, create);
    if (!appPath.ok()) {
        err << appPath.status().message() << "\n";
        return std::nullopt;
    }
    return std::move(appPath.value());
}

std::optional<InstanceLock> LockProgramFolder(const std::string& appPath, std::ostream& err) {
    Result<InstanceLock> lock = InstanceLock::Acquire(appPath);
    if (!lock.ok()) {
        if (lock.status().IsBusy()) {
            err << "Duvanto is already running\n";
        } else {
            err << "duvanto-cli: " << appPath << ": " << lock.status().message() << "\n";
        }
        return std::nullopt;
    }
    return std::move(lock.value());
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
