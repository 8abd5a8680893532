// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/QtFileMenuJobs.h"

#include <QApplication>
#include <QDesktopServices>

#include "app/restore/RestoreController.h"
#include "app/restore/frmRestore.h"

namespace duvanto {

QtBrowserHost::QtBrowserHost(Opener open, QObject* parent)
    : QObject(parent), m_open(std::move(open)) {
    if (!m_open) {
        m_open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    }
}

IBrowserHost::OpenResult QtBrowserHost::OpenFile(const std::string& fileSpec) {
    const QUrl page = QUrl::fromLocalFile(QString::fromStdString(fileSpec));
    // Abandoned: the program is ending, and a message about the page would only hold it.
    const bool opened = QtRunBridge::Ask<bool>([open = m_open, page] { return open(page); }, true);
    // Qt tells only whether the desktop took the page, not why not: a missing browser and one
    // that did not start look alike, and both are "Web Page not opened".
    return opened ? OpenResult::Opened : OpenResult::Failed;
}

FileMenuJobs::FileMenuJobs(FileMenuJobsSetup setup, QObject* parent)
    : QObject(parent),
      m_setup(std::move(setup)),
      m_browser(m_setup.openPage),
      m_report(m_setup.app, m_setup.prompt) {
    if (m_setup.showRunStatus) {
        connect(&m_reportBridge, &QtRunBridge::Status, this,
                [this](const RunStatusUpdate& update) { m_setup.showRunStatus(update); });
    }
}

void FileMenuJobs::Register(CommandRegistry& registry) {
    registry.Register("mnuFileRestore", {[this] { Restore(); }, {}});
    registry.Register("mnuFileReport", {[this] { Report(); }, {}});
}

const cCloneTask* FileMenuJobs::SelectedTask() const {
    const std::string name = m_setup.selectedTaskName ? m_setup.selectedTaskName() : "";
    return name.empty() ? nullptr : m_setup.app.CloneTasks.Item(name);
}

void FileMenuJobs::Restore() {
    std::optional<cRestore> restore = RestoreController::Prepare(m_setup.app, SelectedTask());
    if (!restore) {
        return;
    }
    // The controller holds RestoreInProgress for as long as the window is open: no scheduled
    // run and no run of the window's starts meanwhile.
    RestoreController controller(
        m_setup.app, *restore,
        TaskEditServices{m_setup.prompt, m_setup.help, m_setup.app.Reporter, m_setup.app.FileSystem,
                         m_setup.app.Clock, m_setup.app.PathTables(), m_fileTypes});
    frmRestore window(controller, m_setup.window);
    if (m_setup.showRunStatus) {
        connect(&window.Bridge(), &QtRunBridge::Status, this,
                [this](const RunStatusUpdate& update) { m_setup.showRunStatus(update); });
    }
    emit RestoreOpened(&window);
    window.exec();
}

void FileMenuJobs::Report() {
    std::optional<FolderReportJob> job = m_report.Start(SelectedTask());
    if (!job) {
        return;
    }
    // The busy pointer, not the hourglass: the window stays usable while the report is made.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto page = std::make_shared<std::string>();
    m_reportBridge.Run(
        [this, page, job = std::move(*job)] {
            *page = m_report.Run(job, m_setup.app.FileSystem, m_reportStatus, m_browser);
        },
        [this, page] {
            m_report.Finished();
            QApplication::restoreOverrideCursor();
            emit ReportFinished(QString::fromStdString(*page));
        },
        &m_reportStatus);
}

}  // namespace duvanto
