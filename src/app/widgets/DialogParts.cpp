#include "app/widgets/DialogParts.h"

#include <QShortcut>

namespace duvanto {

DialogButtons MakeDialogButtons(QWidget* dialog, const char* okName, const char* cancelName,
                                std::function<void()> help) {
    DialogButtons buttons;
    buttons.ok = Named(new QPushButton(QObject::tr("OK"), dialog), okName);
    buttons.ok->setDefault(true);
    buttons.cancel = Named(new QPushButton(QObject::tr("Cancel"), dialog), cancelName);
    buttons.help = Named(new QPushButton(QObject::tr("&Help"), dialog), "cmdHelp");
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    buttons.row->addWidget(buttons.help);
    QObject::connect(buttons.help, &QPushButton::clicked, dialog, help);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(f1, &QShortcut::activated, dialog, std::move(help));
    return buttons;
}

}  // namespace duvanto
