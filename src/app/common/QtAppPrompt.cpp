// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/QtAppPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "app/runs/QtRunBridge.h"

namespace duvanto {

QString ToQt(const std::string& text) {
    QString converted = QString::fromStdString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

namespace {

// Escape, the close box, or a question nobody will answer: the choice that changes nothing.
MessageAnswer ChangesNothing(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return MessageAnswer::OK;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

}  // namespace

QWidget* QtAppPrompt::ParentWindow() const {
    if (m_parentWindow) {
        return m_parentWindow;
    }
    return QApplication::activeWindow();
}

MessageAnswer QtAppPrompt::ShowMessage(const std::string& title, const std::string& text,
                                       MessageIcon icon, MessageButtons buttons) {
    // Asked from a run's worker, the box opens on the GUI thread and the run waits for it.
    return QtRunBridge::Ask<MessageAnswer>(
        [this, title, text, icon, buttons]() -> MessageAnswer {
            if (m_answers != nullptr) {
                return m_answers->ShowMessage(title, text, icon, buttons);
            }
            QMessageBox box(ParentWindow());
            box.setWindowTitle(ToQt(title));
            box.setText(ToQt(text));
            switch (icon) {
                case MessageIcon::None:
                    box.setIcon(QMessageBox::NoIcon);
                    break;
                case MessageIcon::Information:
                    box.setIcon(QMessageBox::Information);
                    break;
                case MessageIcon::Exclamation:
                    box.setIcon(QMessageBox::Warning);
                    break;
                case MessageIcon::Critical:
                    box.setIcon(QMessageBox::Critical);
                    break;
                case MessageIcon::Question:
                    box.setIcon(QMessageBox::Question);
                    break;
            }
            // The first button is the default one, as the texts of the questions expect.
            switch (buttons) {
                case MessageButtons::OK:
                    box.setStandardButtons(QMessageBox::Ok);
                    break;
                case MessageButtons::OKCancel:
                    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                    box.setDefaultButton(QMessageBox::Ok);
                    break;
                case MessageButtons::RetryCancel:
                    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
                    box.setDefaultButton(QMessageBox::Retry);
                    break;
                case MessageButtons::YesNo:
                    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                    box.setDefaultButton(QMessageBox::Yes);
                    break;
                case MessageButtons::YesNoDefaultNo:
                    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                    box.setDefaultButton(QMessageBox::No);
                    break;
            }
            switch (box.exec()) {
                case QMessageBox::Ok:
                    return MessageAnswer::OK;
                case QMessageBox::Retry:
                    return MessageAnswer::Retry;
                case QMessageBox::Yes:
                    return MessageAnswer::Yes;
                case QMessageBox::No:
                    return MessageAnswer::No;
                default:
                    return ChangesNothing(buttons);
            }
        },
        ChangesNothing(buttons));
}

void QtAppPrompt::Beep() {
    QtRunBridge::Ask<bool>(
        [this] {
            if (m_answers != nullptr) {
                m_answers->Beep();
            } else {
                QApplication::beep();
            }
            return true;
        },
        false);
}

std::optional<std::string> QtAppPrompt::AskText(const std::string& title, const std::string& prompt,
                                                const std::string& defaultText) {
    return QtRunBridge::Ask<std::optional<std::string>>(
        [this, title, prompt, defaultText]() -> std::optional<std::string> {
            if (m_answers != nullptr) {
                return m_answers->AskText(title, prompt, defaultText);
            }
            bool ok = false;
            QString answer = QInputDialog::getText(ParentWindow(), ToQt(title), ToQt(prompt),
                                                   QLineEdit::Normal, ToQt(defaultText), &ok);
            if (!ok) {
                return std::nullopt;
            }
            return FromQt(answer);
        },
        std::nullopt);
}

std::optional<std::string> QtAppPrompt::AskFileName(bool save, const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return QtRunBridge::Ask<std::optional<std::string>>(
        [this, save, title, folder, filter]() -> std::optional<std::string> {
            if (m_answers != nullptr) {
                return save ? m_answers->AskSaveFile(title, folder, filter)
                            : m_answers->AskOpenFile(title, folder, filter);
            }
            const auto ask = save ? &QFileDialog::getSaveFileName : &QFileDialog::getOpenFileName;
            QString file = ask(ParentWindow(), ToQt(title), ToQt(folder), ToQt(filter), nullptr,
                               QFileDialog::DontResolveSymlinks);
            if (file.isEmpty()) {
                return std::nullopt;
            }
            return FromQt(file);
        },
        std::nullopt);
}

std::optional<std::string> QtAppPrompt::AskOpenFile(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return AskFileName(false, title, folder, filter);
}

std::optional<std::string> QtAppPrompt::AskSaveFile(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return AskFileName(true, title, folder, filter);
}

std::optional<std::string> QtAppPrompt::AskFolder(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& startFolder) {
    return QtRunBridge::Ask<std::optional<std::string>>(
        [this, title, prompt, startFolder]() -> std::optional<std::string> {
            if (m_answers != nullptr) {
                return m_answers->AskFolder(title, prompt, startFolder);
            }
            QFileDialog dialog(ParentWindow(), ToQt(prompt.empty() ? title : prompt),
                               ToQt(startFolder));
            dialog.setObjectName(QStringLiteral("dlgBrowseForFolder"));
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
                return std::nullopt;
            }
            std::string answer = FromQt(dialog.selectedFiles().constFirst());
            if (answer.empty()) {
                return std::nullopt;
            }
            if (answer.back() != '/') {
                answer += '/';
            }
            return answer;
        },
        std::nullopt);
}

}  // namespace duvanto
