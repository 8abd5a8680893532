// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/taskedit/frmTaskProperties.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/common/QtAppPrompt.h"
#include "app/common/QtDialogParts.h"
#include "app/taskedit/QtTimeFields.h"
#include "app/taskedit/frmSelectFiles.h"

namespace duvanto {

namespace {

constexpr std::array<const char*, 7> kDayCaptions = {"Mon", "Tue", "Wed", "Thu",
                                                     "Fri", "Sat", "Sun"};

// How often the completion lets the window handle input while it reads a large folder.
constexpr int kEntriesBetweenYields = 1024;

// The local files and folders a drag carries, as paths.
std::vector<std::string> DroppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(FromQt(url.toLocalFile()));
        }
    }
    return paths;
}

}  // namespace

frmTaskProperties::frmTaskProperties(TaskPropertiesController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller) {
    setObjectName(QStringLiteral("frmTaskProperties"));
    setWindowTitle(ElidedCaption(ToQt(m_controller.Caption())));
    m_controller.SetDesktopFolder(
        FromQt(QDir(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation))
                   .absolutePath()) +
        "/");
    BuildControls();
    Refresh();
    Connect();
}

void frmTaskProperties::BuildControls() {
    auto* sourceLabel = new QLabel(tr("&Source Folder:"), this);
    txtSourceFolderPath = Named(new QLineEdit(this), "txtSourceFolderPath");
    sourceLabel->setBuddy(txtSourceFolderPath);
    cmdSelectSourceFolder = Named(new QPushButton(tr("&Browse..."), this), "cmdSelectSourceFolder");

    auto* targetLabel = new QLabel(tr("&Target Folders:"), this);
    lstTargetFolders = Named(new QListWidget(this), "lstTargetFolders");
    lstTargetFolders->setAcceptDrops(true);
    lstTargetFolders->viewport()->setAcceptDrops(true);
    // Room for five Targets; the list takes any height the window is given beyond that.
    lstTargetFolders->setMinimumHeight(lstTargetFolders->fontMetrics().height() * 5 + 8);
    targetLabel->setBuddy(lstTargetFolders);
    cmdSelectTargetFolder = Named(new QPushButton(tr("&Add..."), this), "cmdSelectTargetFolder");
    cmdRemoveFolder = Named(new QPushButton(tr("&Remove"), this), "cmdRemoveFolder");

    chkIncludeSubFolders =
        Named(new QCheckBox(tr("Include S&ubfolders"), this), "chkIncludeSubFolders");
    optWhichFiles[0] =
        Named(new QRadioButton(tr("A&ll Files and Folders"), this), "optWhichFiles0");
    optWhichFiles[1] =
        Named(new QRadioButton(tr("Selected &Files and Folders Only"), this), "optWhichFiles1");
    cmdSelect = Named(new QPushButton(tr("S&elect..."), this), "cmdSelect");

    auto* folders = new QGridLayout;
    folders->addWidget(sourceLabel, 0, 0);
    folders->addWidget(txtSourceFolderPath, 0, 1);
    folders->addWidget(cmdSelectSourceFolder, 0, 2);
    folders->addWidget(targetLabel, 1, 0, Qt::AlignTop);
    folders->addWidget(lstTargetFolders, 1, 1, 3, 1);
    folders->addWidget(cmdSelectTargetFolder, 1, 2);
    folders->addWidget(cmdRemoveFolder, 2, 2);
    folders->setRowStretch(3, 1);
    folders->addWidget(chkIncludeSubFolders, 4, 1);

    auto* whichBox = new QGroupBox(tr("Files to Clone"), this);
    auto* which = new QGridLayout(whichBox);
    which->addWidget(optWhichFiles[0], 0, 0);
    which->addWidget(optWhichFiles[1], 1, 0);
    which->addWidget(cmdSelect, 1, 1);
    which->setColumnStretch(2, 1);

    auto* frequencyLabel = new QLabel(tr("Fre&quency:"), this);
    cboFrequency = Named(new QComboBox(this), "cboFrequency");
    for (const char* label : kFrequencyLabels) {
        cboFrequency->addItem(QString::fromLatin1(label));
    }
    frequencyLabel->setBuddy(cboFrequency);
    lblFrequencyType = Named(new QLabel(this), "lblFrequencyType");
    txtIntervalIncrement = Named(new QLineEdit(this), "txtIntervalIncrement");
    txtIntervalIncrement->setMaximumWidth(70);
    lblFrequencyType->setBuddy(txtIntervalIncrement);
    // A disabled box looks like the button face, an enabled one like a window's background.
    QPalette palette = txtIntervalIncrement->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     palette.color(QPalette::Active, QPalette::Button));
    txtIntervalIncrement->setPalette(palette);
    lblStartTime = Named(new QLabel(tr("Start T&ime:"), this), "lblStartTime");
    dtpStartTime = Named(new QTimeEdit(this), "dtpStartTime");
    UseLocaleTimeForm(dtpStartTime);
    lblStartTime->setBuddy(dtpStartTime);
    lblDaysOfWeek = new QLabel(tr("Days:"), this);
    auto* days = new QHBoxLayout;
    for (std::size_t i = 0; i < chkDaysOfWeek.size(); ++i) {
        chkDaysOfWeek[i] = new QCheckBox(QString::fromLatin1(kDayCaptions[i]), this);
        chkDaysOfWeek[i]->setObjectName(QStringLiteral("chkDaysOfWeek%1").arg(i));
        days->addWidget(chkDaysOfWeek[i]);
    }
    days->addStretch(1);

    auto* scheduleBox = new QGroupBox(tr("Schedule"), this);
    auto* schedule = new QGridLayout(scheduleBox);
    schedule->addWidget(frequencyLabel, 0, 0);
    schedule->addWidget(cboFrequency, 0, 1);
    schedule->addWidget(lblFrequencyType, 0, 2, Qt::AlignRight);
    schedule->addWidget(txtIntervalIncrement, 0, 3);
    schedule->addWidget(lblStartTime, 1, 0);
    schedule->addWidget(dtpStartTime, 1, 1, Qt::AlignLeft);
    schedule->addWidget(lblDaysOfWeek, 2, 0);
    schedule->addLayout(days, 2, 1, 1, 4);
    schedule->setColumnStretch(4, 1);

    const DialogButtons buttons =
        MakeDialogButtons(this, "cmdOK", "cmdCancel", [this] { m_controller.Help(); });
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folders);
    layout->addWidget(whichBox);
    layout->addWidget(scheduleBox);
    layout->addLayout(buttons.row);
    setMinimumWidth(600);
    resize(660, minimumSizeHint().height());

    txtSourceFolderPath->installEventFilter(this);
    lstTargetFolders->installEventFilter(this);
    lstTargetFolders->viewport()->installEventFilter(this);
}

void frmTaskProperties::Connect() {
    connect(txtSourceFolderPath, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_controller.SourceTextChanged(FromQt(text));
        QueueCompletion();
    });
    connect(cmdSelectSourceFolder, &QPushButton::clicked, this, [this] {
        m_controller.BrowseSource();
        Refresh();
    });
    connect(cmdSelectTargetFolder, &QPushButton::clicked, this, [this] {
        m_controller.BrowseTarget();
        Refresh();
    });
    connect(cmdRemoveFolder, &QPushButton::clicked, this, &frmTaskProperties::RemoveSelectedTarget);
    connect(lstTargetFolders, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_controller.EditTarget(lstTargetFolders->row(item));
        Refresh();
    });
    connect(chkIncludeSubFolders, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_refreshing) {
            m_controller.SetIncludeSubFolders(checked);
        }
    });
    for (int32_t i = 0; i < 2; ++i) {
        connect(optWhichFiles[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked && !m_refreshing) {
                m_controller.SetWhichFiles(i);
            }
        });
    }
    connect(cmdSelect, &QPushButton::clicked, this, &frmTaskProperties::OnSelect);
    connect(cboFrequency, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_refreshing) {
            m_controller.ChooseFrequency(index);
            Refresh();
        }
    });
    connect(txtIntervalIncrement, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_controller.SetIncrementText(FromQt(text)); });
    connect(dtpStartTime, &QTimeEdit::timeChanged, this, [this](QTime time) {
        if (!m_refreshing) {
            m_controller.SetStartTimeSeconds(time.msecsSinceStartOfDay() / 1000);
        }
    });
    for (int32_t i = 0; i < 7; ++i) {
        connect(chkDaysOfWeek[i], &QCheckBox::toggled, this, [this, i](bool checked) {
            if (!m_refreshing) {
                m_controller.SetDay(i, checked);
            }
        });
    }
    connect(cmdOK, &QPushButton::clicked, this, &frmTaskProperties::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTaskProperties::reject);
}

void frmTaskProperties::Refresh() {
    m_refreshing = true;
    const QString source = ToQt(m_controller.SourceText());
    if (txtSourceFolderPath->text() != source) {
        txtSourceFolderPath->setText(source);
    }
    QStringList targets;
    for (const std::string& target : m_controller.Targets()) {
        targets << ToQt(target);
    }
    QStringList shown;
    for (int row = 0; row < lstTargetFolders->count(); ++row) {
        shown << lstTargetFolders->item(row)->text();
    }
    if (shown != targets) {
        const int current = lstTargetFolders->currentRow();
        lstTargetFolders->clear();
        lstTargetFolders->addItems(targets);
        if (current >= 0 && current < lstTargetFolders->count()) {
            lstTargetFolders->setCurrentRow(current);
        }
    }
    chkIncludeSubFolders->setChecked(m_controller.IncludeSubFolders());
    optWhichFiles[m_controller.WhichFiles()]->setChecked(true);
    const QString increment = ToQt(m_controller.IncrementText());
    if (txtIntervalIncrement->text() != increment) {
        txtIntervalIncrement->setText(increment);
    }
    const int32_t seconds = m_controller.StartTimeSeconds();
    dtpStartTime->setTime(QTime(seconds / 3600, seconds / 60 % 60, seconds % 60));
    for (int32_t i = 0; i < 7; ++i) {
        chkDaysOfWeek[i]->setChecked(m_controller.Day(i));
    }
    ShowFrequency();
    m_refreshing = false;
}

void frmTaskProperties::ShowFrequency() {
    cboFrequency->setCurrentIndex(m_controller.FrequencyIndex());
    const FrequencyControls controls = m_controller.Frequency();
    lblFrequencyType->setText(ToQt(controls.IncrementLabel));
    lblFrequencyType->setEnabled(controls.IncrementEnabled);
    txtIntervalIncrement->setEnabled(controls.IncrementEnabled);
    lblStartTime->setEnabled(controls.StartTimeEnabled);
    dtpStartTime->setEnabled(controls.StartTimeEnabled);
    lblDaysOfWeek->setEnabled(controls.DaysEnabled);
    for (QCheckBox* day : chkDaysOfWeek) {
        day->setEnabled(controls.DaysEnabled);
    }
}

void frmTaskProperties::QueueCompletion() {
    // The completion runs from the event loop, not inside the key handling of the box, so
    // that keys typed while it reads a folder reach the box in the ordinary way.
    if (!m_completionQueued) {
        m_completionQueued = true;
        QTimer::singleShot(0, this, &frmTaskProperties::RunCompletion);
    }
}

void frmTaskProperties::RunCompletion() {
    m_completionQueued = false;
    int entries = 0;
    const std::string added = m_controller.CompleteSourceText([&entries] {
        if (++entries % kEntriesBetweenYields == 0) {
            QApplication::processEvents();
        }
    });
    if (added.empty()) {
        return;
    }
    const QString typed = txtSourceFolderPath->text();
    const QString addition = ToQt(added);
    txtSourceFolderPath->setText(typed + addition);
    txtSourceFolderPath->setSelection(static_cast<int>(typed.size()),
                                      static_cast<int>(addition.size()));
}

void frmTaskProperties::OnOK() {
    switch (m_controller.OK()) {
        case TaskPropertiesOutcome::Saved:
            accept();
            break;
        case TaskPropertiesOutcome::RefusedIncrement:
            txtIntervalIncrement->setFocus();
            txtIntervalIncrement->selectAll();
            break;
        case TaskPropertiesOutcome::Refused:
            break;
    }
}

void frmTaskProperties::reject() {
    m_controller.Cancel();
    QDialog::reject();
}

void frmTaskProperties::OnSelect() {
    const bool open = m_controller.SelectFiles();
    Refresh();
    if (!open) {
        return;
    }
    SelectFilesController selection(m_controller.SelectFilesFor(), m_controller.Services());
    frmSelectFiles dialog(selection, this);
    if (dialog.exec() == QDialog::Accepted) {
        const SelectedFiles chosen = dialog.Chosen();
        m_controller.SelectedFilesChosen(chosen.AllFilesAndFolders, chosen.IncludeFileSpecs,
                                         chosen.IncludeFileMasks);
        Refresh();
    }
}

void frmTaskProperties::RemoveSelectedTarget() {
    const bool selected = !lstTargetFolders->selectedItems().isEmpty();
    m_controller.RemoveTarget(selected ? lstTargetFolders->currentRow() : -1);
    Refresh();
}

bool frmTaskProperties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSourceFolderPath) {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            m_controller.SourceKeyTyped(text.isEmpty() ? 0u : text.at(0).unicode());
        }
        return DropOnSource(event);
    }
    if (watched == lstTargetFolders && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveSelectedTarget();
        return true;
    }
    if (watched == lstTargetFolders->viewport()) {
        return DropOnTargets(event);
    }
    return QDialog::eventFilter(watched, event);
}

bool frmTaskProperties::DropOnSource(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasUrls() || drag->mimeData()->hasText()) {
                drag->acceptProposedAction();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            m_controller.DropOnSource(DroppedPaths(drop->mimeData()),
                                      FromQt(drop->mimeData()->text()));
            Refresh();
            drop->acceptProposedAction();
            return true;
        }
        default:
            return false;
    }
}

bool frmTaskProperties::DropOnTargets(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            m_controller.DropOnTargets(DroppedPaths(drop->mimeData()));
            Refresh();
            drop->acceptProposedAction();
            return true;
        }
        default:
            return false;
    }
}

}  // namespace duvanto
