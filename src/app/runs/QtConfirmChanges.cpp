#include "app/runs/QtConfirmChanges.h"

#include <QApplication>
#include <QThread>

namespace duvanto {

QtConfirmChanges::QtConfirmChanges(IAppPrompt& prompt,
                                   std::function<void(bool)> setConfirmSyncActions,
                                   std::function<void()> cancelRun, QObject* parent)
    : QObject(parent),
      m_prompt(prompt),
      m_setConfirmSyncActions(std::move(setConfirmSyncActions)),
      m_cancelRun(std::move(cancelRun)) {}

std::vector<bool> QtConfirmChanges::Confirm(ConfirmChangesRequest request) {
    if (QThread::currentThread() == thread()) {
        return Show(std::move(request));
    }
    const std::size_t count = request.Operations.size();
    std::vector<bool> flags;
    QMetaObject::invokeMethod(
        this, [&] { flags = Show(std::move(request)); }, Qt::BlockingQueuedConnection);
    // Not answered (this object went first): the run performs everything, as after a window
    // closed at once.
    if (flags.size() != count) {
        flags.assign(count, false);
    }
    return flags;
}

std::vector<bool> QtConfirmChanges::Show(ConfirmChangesRequest request) {
    ConfirmChangesController controller(std::move(request), m_prompt, m_setConfirmSyncActions,
                                        m_cancelRun);
    frmConfirmChanges window(controller, m_parentWindow);
    m_open = &window;
    emit Opening(&window);
    window.exec();
    m_open = nullptr;
    return controller.SkipFlags();
}

}  // namespace duvanto
