// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/frmDuvanto.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include "app/common/QtDialogParts.h"
#include "app/common/QtPictures.h"
#include "app/help/AppInfo.h"
#include "app/help/HelpCommands.h"
#include "app/help/frmAbout.h"
#include "app/log/QtLiveLogFeed.h"
#include "app/log/frmLog.h"
#include "app/mainwindow/QtCommandMenus.h"
#include "app/mainwindow/QtSystemTray.h"
#include "app/mainwindow/QtTaskListModel.h"
#include "app/mainwindow/QtTaskListView.h"
#include "app/mainwindow/QtTaskListWatcher.h"
#include "app/mainwindow/WindowCommands.h"
#include "app/options/OptionsCommands.h"
#include "app/options/frmPriorityRules.h"
#include "app/runs/QtFileMenuJobs.h"
#include "app/runs/QtMainWindowRuns.h"
#include "app/runs/RunCommands.h"
#include "app/taskedit/QtTaskEditHost.h"

namespace duvanto {

namespace {

// The options keep the window's size in twips, as the program always stored it: 15 to a pixel
// at the usual 96 dots per inch.
constexpr int kTwipsPerPixel = 15;
// How often the window looks whether the desktop's tray came or went: one cheap question to
// the display server.
constexpr int kTrayWatchMs = 3000;

}  // namespace

frmDuvanto::frmDuvanto(MainWindowSetup setup)
    : m_session(setup.session),
      m_app(setup.session.App()),
      m_options(setup.session.Options()),
      m_prompt(setup.prompt),
      m_trayAvailable(setup.trayAvailable),
      m_probeTray(setup.probeTray ? std::move(setup.probeTray)
                                  : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      m_help(std::make_unique<HelpWindow>(nullptr, setup.openExternal)),
      m_registry(setup.prompt, m_app.Flags, m_app.Reporter),
      m_controller(setup.session, setup.prompt, *this),
      m_optionsMenu(m_options, setup.prompt, m_app.Reporter, m_app.Clock, m_app.Flags,
                    std::move(setup.runAtLogin),
                    {[this] { OpenPriorityRules(); }, [this] { OpenLogViewer(); },
                     [this](bool show) { ShowToolbar(show); },
                     [this](bool all) {
                         if (all) {
                             m_controller.ResetErrorAll();
                         } else {
                             m_controller.ResetErrorSelected();
                         }
                     }}),
      m_listReload(setup.session.Tasks(), *this, [this] {
          m_controller.RefreshTrayIcon();
          m_controller.ShowLoadProblems();
      }) {
    setObjectName(QStringLiteral("frmDuvanto"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(ApplicationIcon());
    m_runs = std::make_unique<MainWindowRuns>(*this, setup.session, setup.prompt);
    m_controller.StartScheduledRunsWith(
        [this](const std::string& name) { m_runs->Commands().Start(name, true); });
    m_logFeed = new LiveLogFeed(m_app.CloneLog, this);
    m_listWatcher = new TaskListWatcher(this);
    // A run holds the list from its reservation until its outcome is applied.
    connect(m_listWatcher, &TaskListWatcher::Changed, this,
            [this] { m_listReload.FileChanged(m_runs->Running() || m_app.Flags.CloneInProgress); });
    // The run's entries reached the log file as it ended. What the feed still holds goes first,
    // so that the refresh finds the view ending as the file does and adds nothing twice.
    connect(m_runs.get(), &MainWindowRuns::RunApplied, this, [this] {
        if (m_logViewer != nullptr) {
            m_logFeed->Deliver();
            m_logViewer->RefreshFromLog();
        }
    });
    m_fileJobs = new FileMenuJobs(
        {m_app, m_prompt, m_help.get(), this, [this] { return SelectedTaskName(); },
         [this](RunStatusUpdate update) {
             // The progress bar is the main window's own runs'.
             update.Progress.reset();
             m_runs->ShowUpdate(update);
         },
         setup.openExternal ? QtBrowserHost::Opener([open = setup.openExternal](const QUrl& url) {
             open(url);
             return true;
         })
                            : QtBrowserHost::Opener()},
        this);
    RegisterCommands();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmDuvantoClient"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolbar();
    layout->addWidget(picToolbar);
    picLabels = new QWidget(central);
    picLabels->setObjectName(QStringLiteral("picLabels"));
    auto* labels = new QHBoxLayout(picLabels);
    labels->setContentsMargins(6, 4, 6, 4);
    labels->setSpacing(6);
    lblCurrentTaskList = new QLabel(QStringLiteral("Current Task List:"), picLabels);
    lblCurrentTaskList->setObjectName(QStringLiteral("lblCurrentTaskList"));
    lblTaskListName = new ElidingLabel(QStringLiteral("Default Task List"), picLabels);
    lblTaskListName->setObjectName(QStringLiteral("lblTaskListName"));
    QFont bold = lblTaskListName->font();
    bold.setBold(true);
    lblTaskListName->setFont(bold);
    labels->addWidget(lblCurrentTaskList);
    labels->addWidget(lblTaskListName, 1);
    layout->addWidget(picLabels);
    BuildList();
    m_taskEdit->ConnectList();
    layout->addWidget(lvwTasks, 1);
    setCentralWidget(central);

    sbrPanel1 = new StatusPanel(this);
    sbrPanel1->setObjectName(QStringLiteral("sbrPanel1"));
    sbrPanel2 = new ElidingLabel(this);
    sbrPanel2->setObjectName(QStringLiteral("sbrPanel2"));
    statusBar()->addWidget(sbrPanel1, 3);
    statusBar()->addWidget(sbrPanel2, 1);

    BuildMenus();
    m_runs->Install();
    m_tray = new SystemTray(
        m_trayAvailable, m_registry, [this] { return m_controller.TrayMenu(); }, this);
    connect(m_tray, &SystemTray::Activated, this, [this] { RestoreMainWindow(); });
    // Qt tells no one when a tray comes or goes (a panel started after the program, or ended).
    tmrTrayWatch.setInterval(kTrayWatchMs);
    connect(&tmrTrayWatch, &QTimer::timeout, this, &frmDuvanto::CheckTray);

    resize(m_options.FormWidth / kTwipsPerPixel, m_options.FormHeight / kTwipsPerPixel);
    ShowToolbar(m_options.ShowToolbar);
    tmrCloneScheduler.setInterval(kSchedulerIntervalMs);
    connect(&tmrCloneScheduler, &QTimer::timeout, this, &frmDuvanto::SchedulerTick);
    tmrMountSettle.setSingleShot(true);
    tmrMountSettle.setInterval(kMountSettleMs);
    connect(&tmrMountSettle, &QTimer::timeout, this, [this] {
        if (tmrCloneScheduler.isActive()) {
            SchedulerTick();
        }
    });
    tmrWakeWatch.setInterval(kWakeLookMs);
    connect(&tmrWakeWatch, &QTimer::timeout, this, [this] {
        if (m_wake.Look(ReadClocks()) && tmrCloneScheduler.isActive()) {
            SchedulerTick();
        }
    });
    if (m_mounts.Valid()) {
        m_mountNotifier =
            new QSocketNotifier(m_mounts.Descriptor(), QSocketNotifier::Exception, this);
        connect(m_mountNotifier, &QSocketNotifier::activated, this, [this] {
            // Each change puts the look off until the mounts are quiet, but not for longer
            // than kMountSettleMostMs: a machine busy mounting other things must not hold
            // back a drive's task.
            if (!tmrMountSettle.isActive()) {
                m_mountSettleStart.start();
            }
            if (m_mountSettleStart.elapsed() < kMountSettleMostMs) {
                tmrMountSettle.start();
            }
        });
    }
}

frmDuvanto::~frmDuvanto() {
    // A report still being made is waited for while everything it uses is whole.
    delete m_fileJobs;
    m_fileJobs = nullptr;
    m_runs.reset();
}

void frmDuvanto::RegisterCommands() {
    RegisterWindowCommands(m_registry, m_controller);
    RegisterOptionsCommands(m_registry, m_optionsMenu);
    m_taskEdit = std::make_unique<TaskEditHost>(*this, m_session, m_prompt, m_help.get());
    RegisterTaskEditCommands(m_registry, m_taskEdit->Commands());
    m_fileJobs->Register(m_registry);
    RegisterRunCommands(m_registry, m_runs->Commands());
    RegisterHelpCommands(m_registry,
                         {*m_help, [this](HelpWebItem item) { m_help->OpenWebItem(item); },
                          [this] { OpenAbout(); }});
}

void frmDuvanto::BuildMenus() {
    for (const CommandEntry& entry : MainMenuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromStdString(entry.caption));
        menu->setObjectName(QString::fromStdString(entry.id));
        FillMenu(menu, entry, m_registry);
        if (entry.id == "mnuFile") {
            mnuFile = menu;
        } else if (entry.id == "mnuOptions") {
            mnuOptions = menu;
        } else if (entry.id == "mnuLog") {
            mnuLog = menu;
        } else {
            mnuHelp = menu;
        }
    }
    connect(mnuFile, &QMenu::aboutToHide, this, [this] { mnuFile->setDefaultAction(nullptr); });
}

void frmDuvanto::BuildToolbar() {
    picToolbar = new QWidget(this);
    picToolbar->setObjectName(QStringLiteral("picToolbar"));
    picToolbar->setAutoFillBackground(true);
    QPalette palette = picToolbar->palette();
    palette.setColor(QPalette::Window, QColor(51, 103, 153));
    picToolbar->setPalette(palette);
    auto* row = new QHBoxLayout(picToolbar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);
    for (const ToolbarButton& button : ToolbarButtons()) {
        auto* tool = new QToolButton(picToolbar);
        tool->setObjectName(QStringLiteral("imgToolbar_%1").arg(button.index));
        tool->setIcon(ToolbarIcon(button.index));
        tool->setIconSize(QSize(32, 32));
        tool->setAutoRaise(true);
        tool->setToolTip(QString::fromStdString(button.toolTip));
        tool->setCursor(Qt::PointingHandCursor);
        tool->setEnabled(m_registry.Handles(button.commandId));
        const std::string id = button.commandId;
        connect(tool, &QToolButton::clicked, this, [this, id] { ToolbarClicked(id); });
        row->addWidget(tool);
        imgToolbar.push_back(tool);
    }
    row->addStretch(1);
}

void frmDuvanto::BuildList() {
    lvwTasks = new TaskListView(this);
    lvwTasks->setObjectName(QStringLiteral("lvwTasks"));
    m_model = new TaskListModel(m_session.Tasks(), this);
    lvwTasks->setModel(m_model);
    QHeaderView* header = lvwTasks->header();
    header->setSectionsClickable(true);
    lvwTasks->setColumnHidden(kNextRunFormattedColumn, true);
    lvwTasks->setColumnHidden(kLastRunFormattedColumn, true);
    lvwTasks->SetChosenColumnWidths(m_options.ColumnWidths);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const QString selected = QString::fromStdString(SelectedTaskName());
        m_model->HeaderClicked(column);
        const int row = m_model->RowOf(selected);
        if (row >= 0) {
            lvwTasks->setCurrentIndex(m_model->index(row, 0));
        }
        lvwTasks->header()->setSortIndicatorShown(true);
        lvwTasks->header()->setSortIndicator(
            column, m_model->Sort().ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    // Only what the user chose is kept: a width still at its first value keeps fitting its text.
    connect(lvwTasks, &TaskListView::ColumnWidthChosen, this, [this](int column, int width) {
        m_options.ColumnWidths[static_cast<std::size_t>(column)] = width;
    });
    lvwTasks->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvwTasks, &QWidget::customContextMenuRequested, this, &frmDuvanto::ShowContextMenu);
    connect(lvwTasks, &QAbstractItemView::doubleClicked, this,
            [this] { m_registry.Invoke("mnuFileTaskProperties"); });
    connect(lvwTasks, &TaskListView::ActivatePressed, this,
            [this] { m_registry.Invoke("mnuFileTaskProperties"); });
    connect(lvwTasks, &TaskListView::DeletePressed, this,
            [this] { ToolbarClicked("mnuFileDeleteTask"); });
    connect(lvwTasks, &TaskListView::EscapePressed, this,
            [this] { m_app.Flags.EscPressed = true; });
}

void frmDuvanto::ToolbarClicked(const std::string& commandId) {
    // While a run has the menus off, the toolbar and the Delete key only beep.
    if (!m_menusEnabled) {
        m_prompt.Beep();
        return;
    }
    m_registry.Invoke(commandId);
}

void frmDuvanto::ShowContextMenu(const QPoint& position) {
    // The menu bar's File menu is off while a run lasts; its copy here is refused as the
    // toolbar is.
    if (!m_menusEnabled) {
        m_prompt.Beep();
        return;
    }
    mnuFile->setDefaultAction(FindCommandAction(mnuFile, QString::fromLatin1(kContextMenuDefault)));
    mnuFile->popup(lvwTasks->viewport()->mapToGlobal(position));
}

void frmDuvanto::ShowToolbar(bool show) {
    picToolbar->setVisible(show);
    // The window's blue ground goes with the toolbar; the list keeps its own colours.
    picLabels->setAutoFillBackground(show);
    QPalette palette = QApplication::palette(picLabels);
    if (show) {
        palette.setColor(QPalette::Window, QColor(51, 103, 153));
        palette.setColor(QPalette::WindowText, Qt::white);
    }
    picLabels->setPalette(palette);
}

void frmDuvanto::SetTopLevelMenusEnabled(bool enabled) {
    m_menusEnabled = enabled;
    for (QMenu* menu : {mnuFile, mnuOptions, mnuLog}) {
        menu->menuAction()->setEnabled(enabled);
    }
}

void frmDuvanto::closeEvent(QCloseEvent* event) {
    if (m_controller.CloseRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void frmDuvanto::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The size inside the frame: the frame is the window manager's, and counting it would make
    // the window grow by it at every start.
    if (isVisible() && !isMinimized() && !isMaximized() && !isFullScreen()) {
        m_options.FormWidth = width() * kTwipsPerPixel;
        m_options.FormHeight = height() * kTwipsPerPixel;
    }
}

void frmDuvanto::OpenAbout() {
    auto* about = new frmAbout(m_app.AppPath, m_prompt, isVisible() ? this : nullptr);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void frmDuvanto::OpenLogViewer() {
    auto* log = new frmLog(m_app.CloneLog, m_prompt, m_app.Reporter, m_help.get(), m_app.Flags,
                           isVisible() ? this : nullptr);
    log->setAttribute(Qt::WA_DeleteOnClose);
    m_logViewer = log;
    m_logFeed->Follow(log);
    log->show();
}

void frmDuvanto::OpenPriorityRules() {
    // Modal: the options are saved when it closes.
    frmPriorityRules rules(m_app.PriorityRules, m_prompt, m_help.get(), this);
    rules.exec();
}

}  // namespace duvanto
