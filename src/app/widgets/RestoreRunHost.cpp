#include "app/widgets/RestoreRunHost.h"

#include "app/widgets/QtAppPrompt.h"
#include "app/widgets/QtConfirmChanges.h"

namespace duvanto {

RestoreRunHost::RestoreRunHost(std::string taskName, IRunHost* mainWindow,
                               QtConfirmChanges* confirm)
    : m_taskName(std::move(taskName)), m_mainWindow(mainWindow), m_confirm(confirm) {}

void RestoreRunHost::SetStatusText(int panel, const std::string& text) {
    if (m_mainWindow != nullptr) {
        m_mainWindow->SetStatusText(panel, text);
    }
    if (panel < 1 || panel > 2) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts[static_cast<std::size_t>(panel - 1)] = text;
    }
    if (!m_updatePending.exchange(true)) {
        QMetaObject::invokeMethod(this, &RestoreRunHost::ShowStatusTexts, Qt::QueuedConnection);
    }
}

void RestoreRunHost::ShowStatusTexts() {
    // Cleared before the texts are read: a text written from now on posts a new update.
    m_updatePending = false;
    std::array<std::string, 2> texts;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        texts = m_texts;
    }
    emit StatusTexts(ToQt(texts[0]), ToQt(texts[1]));
}

void RestoreRunHost::Pump() {
    // Escape reaches the run through its flags; the main window may count the beats.
    if (m_mainWindow != nullptr) {
        m_mainWindow->Pump();
    }
}

void RestoreRunHost::SetAnimation(bool enabled) {
    if (m_mainWindow != nullptr) {
        m_mainWindow->SetAnimation(enabled);
    }
}

void RestoreRunHost::Progress(const RunProgress& progress) {
    if (m_mainWindow != nullptr) {
        m_mainWindow->Progress(progress);
    }
}

std::vector<bool> RestoreRunHost::ConfirmOperations(const std::vector<FileOp>& operations) {
    if (m_confirm == nullptr) {
        return {};
    }
    std::vector<PlannedOperation> planned;
    planned.reserve(operations.size());
    for (const FileOp& op : operations) {
        planned.push_back(PlannedOperationFromFileOp(op));
    }
    return m_confirm->Confirm({m_taskName, std::move(planned), true});
}

void RestoreRunHost::RunStarted(const std::string& taskName) {
    if (m_mainWindow != nullptr) {
        m_mainWindow->RunStarted(taskName);
    }
}

void RestoreRunHost::RunEnded() {
    if (m_mainWindow != nullptr) {
        m_mainWindow->RunEnded();
    }
}

void RestoreRunHost::SetButtonsEnabled(bool enabled) {
    QMetaObject::invokeMethod(
        this, [this, enabled] { emit ButtonsEnabled(enabled); }, Qt::QueuedConnection);
}

void RestoreRunHost::SetStatusLabel(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, label = ToQt(text)] { emit StatusLabel(label); }, Qt::QueuedConnection);
}

}  // namespace duvanto
