// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Session.h"

#include <utility>

#include "platform/ProcessPaths.h"
#include "settings/PriorityRules.h"

namespace duvanto {

Result<std::string> Session::ProgramFolder(const std::string& home, bool create) {
    return ResolveAppPath(home, create);
}

Session::Session(std::string appPath, IPrompt& prompt, Parts parts)
    : m_app(std::move(appPath), parts.clock != nullptr ? *parts.clock : m_systemClock, prompt,
            parts.fileSystem != nullptr ? *parts.fileSystem : m_systemFileSystem),
      m_tasks(m_app),
      m_runs(m_app, m_tasks) {}

Status Session::Lock() {
    Result<InstanceLock> lock = m_app.FileSystem.AcquireInstanceLock(m_app.AppPath);
    if (!lock.ok()) {
        return lock.status();
    }
    m_lock = std::move(lock.value());
    return Status();
}

void Session::ReadOptions() {
    m_options.emplace(m_app.AppPath,
                      OptionTargets{m_app.Settings, m_app.CloneLog, m_app.PriorityRules,
                                    &m_app.PromptToInsertRemovableDrive, &m_app.WaitForDrives},
                      m_app.Reporter, m_app.FileSystem);
    m_options->ReadProgramOptionsFromIniFile();
    m_app.SetPriorityBasedOnRules = [this] {
        SetPriorityBasedOnRules(m_app.PriorityRules, m_app.Clock, m_priority, m_app.Reporter);
    };
}

const std::optional<OptionsReadFailure>& Session::OptionsFailure() const {
    return m_options->ReadFailure;
}

}  // namespace duvanto
