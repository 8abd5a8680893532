#include "app/restore/frmRestore.h"

#include <QHBoxLayout>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"
#include "app/restore/QtRestoreRunHost.h"
#include "app/taskedit/QtSelectionTreeView.h"

namespace duvanto {

frmRestore::frmRestore(RestoreController& controller, IRunHost* mainWindow,
                       QtConfirmChanges* confirm, QWidget* parent)
    : QDialog(parent),
      m_controller(controller),
      m_mainWindow(mainWindow),
      m_confirm(confirm),
      m_model(controller.Tree()) {
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

void frmRestore::Restore() {
    std::optional<RestoreJob> job = m_controller.StartRestore();
    if (!job) {
        return;
    }
    // The host and the thread hold nothing of this window: if the window goes first, the run
    // still ends cleanly and its updates are dropped.
    auto* host =
        new RestoreRunHost("RESTORE SOURCE: " + job->Restore.TaskName, m_mainWindow, m_confirm);
    connect(host, &RestoreRunHost::StatusTexts, this, &frmRestore::ShowProgress);
    connect(host, &RestoreRunHost::StatusLabel, lblStatus, &QLabel::setText);
    connect(host, &RestoreRunHost::ButtonsEnabled, this, [this](bool enabled) {
        cmdRestore->setEnabled(enabled);
        cmdCancel->setEnabled(enabled);
        cmdHelp->setEnabled(enabled);
    });
    auto outcome = std::make_shared<RestoreOutcome>(RestoreOutcome::Refused);
    Application* app = &m_controller.App();
    QThread* thread = QThread::create([app, job = std::move(*job), host, outcome] {
        *outcome = RestoreController::Run(*app, job, *host, *host);
    });
    connect(thread, &QThread::finished, this, [this, outcome] { Finished(*outcome); });
    connect(thread, &QThread::finished, host, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void frmRestore::ShowProgress(const QString& panel1, const QString& panel2) {
    const int32_t percent = RestoreController::PercentDone(FromQt(panel2));
    lblProgress->setText(percent < 0 && !panel2.isEmpty() ? panel1 + QStringLiteral("   ") + panel2
                                                          : panel1);
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
