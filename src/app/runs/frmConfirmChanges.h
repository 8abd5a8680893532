// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The confirmation window: the planned operations of one Target folder and their totals, which
// the user may strike out before the run performs the rest. It stays above every other window.
// "Perform Actions" (and Enter) performs what is left; Cancel, Escape and the close box cancel
// the run. Here too: its list of operations and the opener that shows it for a run.

#include <QAbstractListModel>
#include <QCheckBox>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <array>
#include <functional>
#include <vector>

#include "app/runs/ConfirmChangesController.h"

namespace duvanto {

// The window's list over its controller: one row per planned operation left in it, with the
// kind's picture. The rows are the controller's own; nothing is copied per row, so a plan of a
// hundred thousand operations opens at once.
class FileOperationListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileOperationListModel(ConfirmChangesController& controller,
                                    QObject* parent = nullptr);

    // Strikes out the entries at the rows; the controller tells the user when none is given.
    bool RemoveRows(const std::vector<int32_t>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ConfirmChangesController& m_controller;
    std::array<QIcon, 6> m_icons;  // by FileOpType
};

class frmConfirmChanges : public QDialog {
    Q_OBJECT
public:
    explicit frmConfirmChanges(ConfirmChangesController& controller, QWidget* parent = nullptr);

    FileOperationListModel& Model() { return m_model; }

    QLabel* lblIntroduction;
    QLabel* lblTaskName;
    QLabel* lblTotals;
    QTreeView* lvwFileOps;
    QLabel* lblRemovalHint;
    QCheckBox* chkConfirmSyncActions;
    QPushButton* cmdRemove;
    QPushButton* cmdPerform;
    QPushButton* cmdCancel;

    // Cancel, Escape and the close box all come here.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RemoveSelected();
    // The column is as wide as the lines (as far as the view measures them) and never narrower
    // than the list, so that a long path can be scrolled to.
    void FitColumn();

    ConfirmChangesController& m_controller;
    FileOperationListModel m_model;
    int m_contentWidth = -1;
};

// Opens the confirmation window for a run, on the GUI thread: the run bridge carries the run's
// question there and the skip flags back. The window does not keep the GUI thread from painting
// or from answering the user.
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
