#pragma once
// A task run on a thread of its own. The run's view of the window is a set of queued signals
// (status texts, caption, tray, menus), so it never touches a widget; its outcome reaches the
// window once the thread has ended.

#include <QObject>
#include <QThread>
#include <functional>
#include <string>

#include "app/logic/MainWindowController.h"
#include "app/logic/RunLauncher.h"
#include "tasks/TaskRunEffects.h"

namespace duvanto {

class QtTaskRunEffects : public QObject, public ITaskRunEffects {
    Q_OBJECT
public:
    using Confirmer = std::function<std::vector<bool>(const std::vector<std::string>&)>;
    explicit QtTaskRunEffects(Confirmer confirm = {}, QObject* parent = nullptr)
        : QObject(parent), m_confirm(std::move(confirm)) {}

    void SetStatusText(int panel, const std::string& text) override {
        emit StatusText(panel, QString::fromStdString(text));
    }
    void Pump() override {}
    void SetAnimation(bool enabled) override { emit Animation(enabled); }
    std::vector<bool> ConfirmOperations(const std::vector<std::string>& lines) override {
        return m_confirm ? m_confirm(lines) : std::vector<bool>{};
    }

    // The rows are the window's to derive from the task once the outcome is applied.
    int32_t RowCount() override { return 0; }
    std::string RowText(int32_t) override { return {}; }
    int32_t RowIcon(int32_t) override { return 0; }
    void SetRowIcon(int32_t, int32_t) override {}
    void SetRowItems(int32_t, const std::string&, const std::vector<std::string>&) override {}

    void SetCaption(const std::string& caption) override {
        emit Caption(QString::fromStdString(caption));
    }
    void SetTrayTooltip(const std::string& tooltip) override {
        emit TrayTooltip(QString::fromStdString(tooltip));
    }
    void SetTopLevelMenusEnabled(bool enabled) override { emit MenusEnabled(enabled); }
    void SetTrayIcon(TrayState icon) override { emit TrayIconChosen(static_cast<int>(icon)); }

signals:
    void StatusText(int panel, const QString& text);
    void Animation(bool enabled);
    void Caption(const QString& caption);
    void TrayTooltip(const QString& tooltip);
    void MenusEnabled(bool enabled);
    void TrayIconChosen(int icon);

private:
    Confirmer m_confirm;
};

class TaskRunThread : public QThread {
    Q_OBJECT
public:
    TaskRunThread(RunLauncher& launcher, std::string taskName, ITaskRunEffects& effects,
                  QObject* parent = nullptr)
        : QThread(parent),
          m_launcher(launcher),
          m_taskName(std::move(taskName)),
          m_effects(effects) {}

    // Read once the thread has finished.
    const RunOutcome& Outcome() const { return m_outcome; }

protected:
    void run() override { m_outcome = m_launcher.Run(m_taskName, m_effects); }

private:
    RunLauncher& m_launcher;
    std::string m_taskName;
    ITaskRunEffects& m_effects;
    RunOutcome m_outcome;
};

}  // namespace duvanto
