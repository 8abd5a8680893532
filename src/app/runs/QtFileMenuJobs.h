// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's File menu commands that open work of their own: "Restore Source from
// Target" (the restore window, modal, over the selected task's first Target) and "Cr&eate a
// Report of Folder Differences" (on a run bridge's worker, then the page in the user's browser).

#include <QObject>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/common/QtFileTypes.h"
#include "app/help/HelpTopics.h"
#include "app/mainwindow/MainCommands.h"
#include "app/restore/FolderReportCommand.h"
#include "app/runs/QtRunBridge.h"
#include "app/runs/RunStatusHost.h"
#include "report/Report.h"

namespace duvanto {

// Opens a written page in the desktop's browser. Asked from a run bridge's worker, it opens the
// page on the GUI thread and waits for that; abandoned (the program is ending), it opens nothing
// and says so to nobody.
class QtBrowserHost : public QObject, public IBrowserHost {
    Q_OBJECT
public:
    // QDesktopServices::openUrl unless tests hand in another; false when nothing opened it.
    using Opener = std::function<bool(const QUrl&)>;
    explicit QtBrowserHost(Opener open = {}, QObject* parent = nullptr);

    OpenResult OpenFile(const std::string& fileSpec) override;

private:
    Opener m_open;
};

struct FileMenuJobsSetup {
    Application& app;
    IAppPrompt& prompt;
    IHelpViewer* help;
    QWidget* window;  // the restore window's owner
    std::function<std::string()> selectedTaskName;
    // Shows a restore's or a report's status (texts, caption, tray, menus) in the main window.
    std::function<void(const RunStatusUpdate&)> showRunStatus;
    QtBrowserHost::Opener openPage;
};

class FileMenuJobs : public QObject {
    Q_OBJECT
public:
    explicit FileMenuJobs(FileMenuJobsSetup setup, QObject* parent = nullptr);
    // A report still being made is waited for (by its bridge); its page is no longer opened.

    void Register(CommandRegistry& registry);

    // "Restore Source from Target": the command's checks, then the restore window, modal.
    void Restore();
    // "Cr&eate a Report of Folder Differences": started on the report's worker.
    void Report();
    bool ReportRunning() const { return m_report.Running(); }

signals:
    // On the GUI thread, after a report ended: the page's path, "" when none.
    void ReportFinished(const QString& page);
    // The restore window has opened (tests act on it there).
    void RestoreOpened(QWidget* window);

private:
    const cCloneTask* SelectedTask() const;

    FileMenuJobsSetup m_setup;
    QtFileTypes m_fileTypes;
    QtBrowserHost m_browser;
    FolderReportCommand m_report;
    CoalescingRunHost m_reportStatus;
    // Last: it waits for the report, which uses the members above, before they go.
    QtRunBridge m_reportBridge;
};

}  // namespace duvanto
