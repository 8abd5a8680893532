#pragma once
// A run's view of the window as a set of queued signals (status texts, caption, tray, menus), so
// that a run on another thread never touches a widget.

#include <QObject>
#include <functional>
#include <string>

#include "app/logic/AppInfo.h"
#include "app/logic/MainWindowController.h"
#include "app/logic/RunStatusHost.h"
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

    void RunStarted(const std::string& taskName) override {
        emit MenusEnabled(false);
        const QString caption = QString::fromStdString(RunCaption(taskName));
        emit Caption(caption);
        emit TrayTooltip(caption);
    }
    void RunEnded() override {
        emit MenusEnabled(true);
        emit Caption(QString::fromLatin1(kApplicationTitle));
        emit TrayTooltip(QString::fromLatin1(kApplicationTitle));
    }

signals:
    void StatusText(int panel, const QString& text);
    void Animation(bool enabled);
    void Caption(const QString& caption);
    void TrayTooltip(const QString& tooltip);
    void MenusEnabled(bool enabled);

private:
    Confirmer m_confirm;
};

}  // namespace duvanto
