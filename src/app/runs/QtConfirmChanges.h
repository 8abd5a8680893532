// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens the confirmation window for a run, on the GUI thread: the run bridge carries the run's
// question there and the skip flags back. The window does not keep the GUI thread from painting
// or from answering the user.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/runs/ConfirmChangesController.h"
#include "app/runs/frmConfirmChanges.h"

namespace duvanto {

class QtConfirmChanges : public QObject {
    Q_OBJECT
public:
    // Lives on the GUI thread. `setConfirmSyncActions` is the owner's (the option and its menu
    // check), called on the GUI thread when the user changes the window's box; `cancelRun`
    // too, when the user cancels the window (the owner stops the run as Escape does).
    QtConfirmChanges(IAppPrompt& prompt, std::function<void(bool)> setConfirmSyncActions,
                     std::function<void()> cancelRun = {}, QObject* parent = nullptr);

    // The window the confirmation belongs to (it still stays above all others).
    void SetParentWindow(QWidget* window) { m_parentWindow = window; }

    // Shows the window and returns one flag per operation, true for those struck out (all of
    // them when the window was cancelled).
    std::vector<bool> Confirm(ConfirmChangesRequest request);

    // The window now open, if any (the owner closes it at session end, which cancels it).
    frmConfirmChanges* OpenWindow() const { return m_open; }

signals:
    // On the GUI thread, just before the window is shown.
    void Opening(frmConfirmChanges* window);

private:
    IAppPrompt& m_prompt;
    std::function<void(bool)> m_setConfirmSyncActions;
    std::function<void()> m_cancelRun;
    QPointer<QWidget> m_parentWindow;
    QPointer<frmConfirmChanges> m_open;
};

}  // namespace duvanto
