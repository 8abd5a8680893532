// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs/QtConfirmChanges.h"

namespace duvanto {

QtConfirmChanges::QtConfirmChanges(IAppPrompt& prompt,
                                   std::function<void(bool)> setConfirmSyncActions,
                                   std::function<void()> cancelRun, QObject* parent)
    : QObject(parent),
      m_prompt(prompt),
      m_setConfirmSyncActions(std::move(setConfirmSyncActions)),
      m_cancelRun(std::move(cancelRun)) {}

std::vector<bool> QtConfirmChanges::Confirm(ConfirmChangesRequest request) {
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
