// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore/FolderReportCommand.h"

#include "app/taskedit/TaskEditServices.h"

namespace duvanto {

std::optional<FolderReportJob> FolderReportCommand::Start(const cCloneTask* selected) {
    return Labelled(m_app.Reporter, "frmDuvanto.mnuFileReportFolderDifferences_Click",
                    std::optional<FolderReportJob>{}, [&]() -> std::optional<FolderReportJob> {
                        if (m_app.Flags.CloneInProgress || m_running) {
                            m_prompt.Beep();
                            return std::nullopt;
                        }
                        if (selected == nullptr) {
                            m_prompt.ShowMessage(kTitle, "Please select a task first",
                                                 MessageIcon::Information, MessageButtons::OK);
                            return std::nullopt;
                        }
                        m_running = true;
                        return MakeFolderReportRequest(m_app, *selected);
                    });
}

std::string FolderReportCommand::Run(const FolderReportJob& job, IFileSystem& fileSystem,
                                     IStatusHost& host, IBrowserHost& browser) {
    ReportServices services{fileSystem, job.Compare, host,    m_app.Reporter,
                            m_prompt,   m_app.Clock, browser, m_app.AppPath};
    return ReportFolderDifferences(services, job.SourceFolder, job.TargetFolder,
                                   job.IncludeSubFolders, "", job.PathTables);
}

}  // namespace duvanto
