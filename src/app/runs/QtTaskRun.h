#pragma once
// A task run on a thread of its own. The run's view of the window is a set of queued signals
// (status texts, caption, tray, menus), so it never touches a widget; its outcome reaches the
// window once the thread has ended.

#include <QObject>
#include <QThread>
#include <functional>
#include <string>

#include "app/mainwindow/MainWindowController.h"
#include "app/runs/RunLauncher.h"
#include "tasks/RunHost.h"

namespace duvanto {

class QtTaskRunEffects : public QObject, public IRunHost {
    Q_OBJECT
public:
    using Confirmer = std::function<std::vector<bool>(const std::vector<FileOp>&)>;
    explicit QtTaskRunEffects(Confirmer confirm = {}, QObject* parent = nullptr)
        : QObject(parent), m_confirm(std::move(confirm)) {}

    void SetStatusText(int panel, const std::string& text) override {
        emit StatusText(panel, QString::fromStdString(text));
    }
    void Pump() override {}
    void SetAnimation(bool enabled) override { emit Animation(enabled); }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        return m_confirm ? m_confirm(operations) : std::vector<bool>{};
    }

    void SetCaption(const std::string& caption) override {
        emit Caption(QString::fromStdString(caption));
    }
    void SetTrayTooltip(const std::string& tooltip) override {
        emit TrayTooltip(QString::fromStdString(tooltip));
    }
    void SetTopLevelMenusEnabled(bool enabled) override { emit MenusEnabled(enabled); }

signals:
    void StatusText(int panel, const QString& text);
    void Animation(bool enabled);
    void Caption(const QString& caption);
    void TrayTooltip(const QString& tooltip);
    void MenusEnabled(bool enabled);

private:
    Confirmer m_confirm;
};

class TaskRunThread : public QThread {
    Q_OBJECT
public:
    TaskRunThread(RunLauncher& launcher, TaskRunRequest request, IRunHost& host,
                  QObject* parent = nullptr)
        : QThread(parent), m_launcher(launcher), m_request(std::move(request)), m_host(host) {}

    // Read once the thread has finished.
    const TaskRunOutcome& Outcome() const { return m_outcome; }

protected:
    void run() override { m_outcome = m_launcher.Run(m_request, m_host); }

private:
    RunLauncher& m_launcher;
    TaskRunRequest m_request;
    IRunHost& m_host;
    TaskRunOutcome m_outcome;
};

}  // namespace duvanto
