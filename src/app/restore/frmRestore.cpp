// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore/frmRestore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <functional>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"
#include "app/taskedit/QtSelectionTreeView.h"

namespace duvanto {

// The restore's view of both windows from its worker: the status texts kept for the bridge to
// take, the buttons and the label passed on to the restore window.
class RestoreRunHost : public CoalescingRunHost, public IRestoreWindow {
public:
    RestoreRunHost(std::function<void(bool)> buttonsEnabled,
                   std::function<void(const std::string&)> statusLabel)
        : m_buttonsEnabled(std::move(buttonsEnabled)), m_statusLabel(std::move(statusLabel)) {}

    void SetButtonsEnabled(bool enabled) override { m_buttonsEnabled(enabled); }
    void SetStatusLabel(const std::string& text) override { m_statusLabel(text); }

private:
    std::function<void(bool)> m_buttonsEnabled;
    std::function<void(const std::string&)> m_statusLabel;
};

frmRestore::frmRestore(RestoreController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_model(controller.Tree()) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(ElidedCaption(ToQt(m_controller.Caption())));
    setWindowIcon(ApplicationIcon());
    setModal(true);

    auto* treeLabel = new QLabel(tr("&Check the files and folders to restore:"), this);
    tvwFolderContents = Named(new SelectionTreeView(this), "tvwFolderContents");
    tvwFolderContents->setHeaderHidden(true);
    tvwFolderContents->setUniformRowHeights(true);
    tvwFolderContents->setModel(&m_model);
    treeLabel->setBuddy(tvwFolderContents);

    lblStatus = Named(new QLabel(this), "lblStatus");
    lblProgress = Named(new QLabel(this), "lblProgress");
    lblProgress->setTextFormat(Qt::PlainText);
    lblProgress->setMinimumWidth(1);  // a long folder path must not widen the window
    prgProgress = Named(new QProgressBar(this), "prgProgress");
    prgProgress->setRange(0, 100);
    lblProgress->hide();
    prgProgress->hide();

    const auto help = [this] {
        // Help is off while a restore runs, F1 included.
        if (!m_controller.Running()) {
            m_controller.Help();
        }
    };
    const DialogButtons buttons = MakeDialogButtons(this, "cmdRestore", "cmdCancel", help);
    cmdRestore = buttons.ok;
    cmdRestore->setText(tr("&Restore"));
    cmdCancel = buttons.cancel;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treeLabel);
    layout->addWidget(tvwFolderContents, 1);
    layout->addWidget(lblStatus);
    layout->addWidget(lblProgress);
    layout->addWidget(prgProgress);
    layout->addLayout(buttons.row);
    resize(520, 480);

    connect(cmdRestore, &QPushButton::clicked, this, &frmRestore::Restore);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRestore::reject);
    connect(&m_model, &SelectionTreeModel::ReadingChanged, this, [this](bool reading) {
        if (reading) {
            tvwFolderContents->setCursor(Qt::BusyCursor);
        } else {
            tvwFolderContents->unsetCursor();
        }
    });
    m_run = std::make_unique<RestoreRunHost>(
        [this](bool enabled) {
            m_bridge.Tell([this, enabled] {
                cmdRestore->setEnabled(enabled);
                cmdCancel->setEnabled(enabled);
                cmdHelp->setEnabled(enabled);
            });
        },
        [this](const std::string& text) {
            m_bridge.Tell([this, label = ToQt(text)] { lblStatus->setText(label); });
        });
    connect(&m_bridge, &QtRunBridge::Status, this, &frmRestore::ShowProgress);
    m_model.Activate();
    tvwFolderContents->expand(m_model.index(0, 0));
    tvwFolderContents->setCurrentIndex(m_model.index(0, 0));
    tvwFolderContents->setFocus();
}

void frmRestore::reject() {
    // Escape, the close box and Cancel: during a restore they ask it to stop, and the window
    // closes once the run has told how it ended.
    if (m_controller.Escape()) {
        QDialog::reject();
    }
}

frmRestore::~frmRestore() = default;

void frmRestore::Restore() {
    std::optional<RestoreJob> job = m_controller.StartRestore();
    if (!job) {
        return;
    }
    m_panel1.clear();
    m_panel2.clear();
    auto outcome = std::make_shared<RestoreOutcome>(RestoreOutcome::Refused);
    m_bridge.Run([app = &m_controller.App(), job = std::move(*job), host = m_run.get(),
                  outcome] { *outcome = RestoreController::Run(*app, job, *host, *host); },
                 [this, outcome] { Finished(*outcome); }, m_run.get());
}

void frmRestore::ShowProgress(const RunStatusUpdate& update) {
    if (!update.Panel1 && !update.Panel2) {
        return;
    }
    if (update.Panel1) {
        m_panel1 = ToQt(*update.Panel1);
    }
    if (update.Panel2) {
        m_panel2 = ToQt(*update.Panel2);
    }
    const int32_t percent = RestoreController::PercentDone(FromQt(m_panel2));
    lblProgress->setText(percent < 0 && !m_panel2.isEmpty()
                             ? m_panel1 + QStringLiteral("   ") + m_panel2
                             : m_panel1);
    if (percent < 0) {
        prgProgress->setRange(0, 0);  // counting: how much there is to do is not known yet
    } else {
        prgProgress->setRange(0, 100);
        prgProgress->setValue(percent);
    }
    lblProgress->show();
    prgProgress->show();
}

void frmRestore::Finished(RestoreOutcome outcome) {
    lblProgress->hide();
    prgProgress->hide();
    cmdRestore->setEnabled(true);
    cmdCancel->setEnabled(true);
    cmdHelp->setEnabled(true);
    if (m_controller.Finished(outcome)) {
        accept();
    }
}

}  // namespace duvanto
