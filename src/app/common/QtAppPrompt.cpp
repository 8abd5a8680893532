#include "app/common/QtAppPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace duvanto {

QString ToQt(const std::string& text) {
    QString converted = QString::fromStdString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

template <typename Ask>
auto QtAppPrompt::OnGuiThread(Ask ask) -> decltype(ask()) {
    if (QThread::currentThread() == thread()) {
        return ask();
    }
    // Handed over under the standard library's mutex rather than Qt's blocking call, so that a
    // thread checker sees the hand-over too. The release runs when the call has been made or
    // dropped (this object went first): the asking thread never waits for ever.
    struct HandOver {
        std::mutex mutex;
        std::condition_variable done;
        bool answered = false;
    };
    struct Release {
        std::shared_ptr<HandOver> handOver;
        ~Release() {
            {
                const std::lock_guard lock(handOver->mutex);
                handOver->answered = true;
            }
            handOver->done.notify_all();
        }
    };
    auto handOver = std::make_shared<HandOver>();
    decltype(ask()) answer{};
    { const std::lock_guard lock(handOver->mutex); }  // publishes the question
    auto release = std::make_shared<Release>();
    release->handOver = handOver;
    QMetaObject::invokeMethod(
        this,
        [&answer, &ask, handOver, release]() mutable {
            { const std::lock_guard lock(handOver->mutex); }
            decltype(ask()) given = ask();
            const std::lock_guard lock(handOver->mutex);
            answer = std::move(given);
        },
        Qt::QueuedConnection);
    release.reset();
    std::unique_lock lock(handOver->mutex);
    handOver->done.wait(lock, [&handOver] { return handOver->answered; });
    return answer;
}

QWidget* QtAppPrompt::ParentWindow() const {
    if (m_parentWindow) {
        return m_parentWindow;
    }
    return QApplication::activeWindow();
}

MessageAnswer QtAppPrompt::ShowMessage(const std::string& title, const std::string& text,
                                       MessageIcon icon, MessageButtons buttons) {
    return OnGuiThread([&]() -> MessageAnswer {
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
                // Escape or the close box: the choice that changes nothing.
                return buttons == MessageButtons::OK ? MessageAnswer::OK
                       : buttons == MessageButtons::YesNo ||
                               buttons == MessageButtons::YesNoDefaultNo
                           ? MessageAnswer::No
                           : MessageAnswer::Cancel;
        }
    });
}

void QtAppPrompt::Beep() {
    OnGuiThread([this]() -> bool {
        if (m_answers != nullptr) {
            m_answers->Beep();
        } else {
            QApplication::beep();
        }
        return true;
    });
}

std::optional<std::string> QtAppPrompt::AskText(const std::string& title, const std::string& prompt,
                                                const std::string& defaultText) {
    return OnGuiThread([&]() -> std::optional<std::string> {
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
    });
}

std::optional<std::string> QtAppPrompt::AskOpenFile(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return OnGuiThread([&]() -> std::optional<std::string> {
        if (m_answers != nullptr) {
            return m_answers->AskOpenFile(title, folder, filter);
        }
        QString file =
            QFileDialog::getOpenFileName(ParentWindow(), ToQt(title), ToQt(folder), ToQt(filter),
                                         nullptr, QFileDialog::DontResolveSymlinks);
        if (file.isEmpty()) {
            return std::nullopt;
        }
        return FromQt(file);
    });
}

std::optional<std::string> QtAppPrompt::AskSaveFile(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return OnGuiThread([&]() -> std::optional<std::string> {
        if (m_answers != nullptr) {
            return m_answers->AskSaveFile(title, folder, filter);
        }
        QString file =
            QFileDialog::getSaveFileName(ParentWindow(), ToQt(title), ToQt(folder), ToQt(filter),
                                         nullptr, QFileDialog::DontResolveSymlinks);
        if (file.isEmpty()) {
            return std::nullopt;
        }
        return FromQt(file);
    });
}

std::optional<std::string> QtAppPrompt::AskFolder(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& startFolder) {
    return OnGuiThread([&]() -> std::optional<std::string> {
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
    });
}

}  // namespace duvanto
