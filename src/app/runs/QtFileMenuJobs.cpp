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
    bool opened = false;
    const auto open = [&] {
        // Abandoned: the program is ending, and a message about the page would only hold it.
        opened = m_abandoned || m_open(page);
    };
    if (QThread::currentThread() == thread()) {
        open();
    } else {
        QMetaObject::invokeMethod(this, open, Qt::BlockingQueuedConnection);
    }
    // Qt tells only whether the desktop took the page, not why not: a missing browser and one
    // that did not start look alike, and both are "Web Page not opened".
    return opened ? OpenResult::Opened : OpenResult::Failed;
}

void QtBrowserHost::Abandon() {
    m_abandoned = true;
}

FileMenuJobs::FileMenuJobs(FileMenuJobsSetup setup, QObject* parent)
    : QObject(parent),
      m_setup(std::move(setup)),
      m_browser(m_setup.openPage),
      m_report(m_setup.app, m_setup.prompt) {}

FileMenuJobs::~FileMenuJobs() {
    m_browser.Abandon();
    // The report's thread may be asking the GUI thread something (a message, the browser):
    // answer while waiting, or neither would ever end.
    while (m_reportThread != nullptr && !m_reportThread->wait(20)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
        TaskEditServices{m_setup.prompt, m_setup.help, m_setup.app.Reporter, m_treeFileSystem,
                         m_setup.app.Clock, m_setup.app.PathTables(), m_fileTypes});
    QtTaskRunEffects effects;
    if (m_setup.connectRunEffects) {
        m_setup.connectRunEffects(effects);
    }
    frmRestore window(controller, &effects, nullptr, m_setup.window);
    emit RestoreOpened(&window);
    window.exec();
}

void FileMenuJobs::Report() {
    std::optional<FolderReportJob> job = m_report.Start(SelectedTask());
    if (!job) {
        return;
    }
    // Connected at the first report: the main window is whole by then.
    if (!m_reportEffectsConnected && m_setup.connectRunEffects) {
        m_setup.connectRunEffects(m_reportEffects);
        m_reportEffectsConnected = true;
    }
    // The busy pointer, not the hourglass: the window stays usable while the report is made.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_reportThread = QThread::create([this, job = std::move(*job)] {
        // Read on the GUI thread only once this thread has ended.
        m_reportPage = m_report.Run(job, m_reportFileSystem, m_reportEffects, m_browser);
    });
    m_reportThread->setParent(this);
    connect(m_reportThread, &QThread::finished, this, [this] {
        const QString page = QString::fromStdString(m_reportPage);
        m_reportThread->deleteLater();
        m_reportThread = nullptr;
        m_report.Finished();
        QApplication::restoreOverrideCursor();
        emit ReportFinished(page);
    });
    m_reportThread->start();
}

}  // namespace duvanto
