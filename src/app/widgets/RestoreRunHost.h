#pragma once
// What a restore run on its own thread talks to: the restore window, reached only through
// queued signals, and, when the owner hands them in, the main window's run effects (caption,
// tray tooltip, menus, status bar; they must accept calls from a run's thread) and the
// confirmation window. Status texts are coalesced: however fast the engine writes them, at most
// one update waits in the window's queue, and it shows the latest texts.

#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <mutex>
#include <string>

#include "restore/Restore.h"
#include "tasks/RunHost.h"

namespace duvanto {

class QtConfirmChanges;

class RestoreRunHost : public QObject, public IRunHost, public IRestoreWindow {
    Q_OBJECT
public:
    // Made on the GUI thread, used by the run's thread, released on the GUI thread after the
    // run ended. `taskName` names the run in the confirmation window.
    RestoreRunHost(std::string taskName, IRunHost* mainWindow, QtConfirmChanges* confirm);

    void SetStatusText(int panel, const std::string& text) override;
    void Pump() override;
    void SetAnimation(bool enabled) override;
    void Progress(const RunProgress& progress) override;
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override;
    void RunStarted(const std::string& taskName) override;
    void RunEnded() override;

    void SetButtonsEnabled(bool enabled) override;
    void SetStatusLabel(const std::string& text) override;

signals:
    // On the GUI thread.
    void StatusTexts(const QString& panel1, const QString& panel2);
    void ButtonsEnabled(bool enabled);
    void StatusLabel(const QString& text);

private:
    void ShowStatusTexts();

    const std::string m_taskName;
    IRunHost* const m_mainWindow;
    QtConfirmChanges* const m_confirm;
    std::mutex m_mutex;
    std::array<std::string, 2> m_texts;  // guarded by m_mutex
    std::atomic<bool> m_updatePending{false};
};

}  // namespace duvanto
