// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The app prompt over Qt's message box, input dialog and file dialogs. A run's worker may ask
// too: the run bridge carries the question to the GUI thread, and the run waits for the answer
// (a question abandoned with the run gets the answer that changes nothing).
// Tests hand in another prompt that answers instead (AnswerFrom), so nothing ever pops up.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "app/common/AppPrompt.h"

namespace duvanto {

class QtAppPrompt : public QObject, public IAppPrompt {
    Q_OBJECT
public:
    explicit QtAppPrompt(QObject* parent = nullptr) : QObject(parent) {}

    // The window the boxes belong to; the active window when none is set.
    void SetParentWindow(QWidget* window) { m_parentWindow = window; }
    // From now on every question goes to `answers` instead of a dialog; nullptr restores the
    // dialogs. The answering prompt is only ever called on the GUI thread.
    void AnswerFrom(IAppPrompt* answers) { m_answers = answers; }

    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    void Beep() override;
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& defaultText) override;
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& folder,
                                           const std::string& filter) override;
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& folder,
                                           const std::string& filter) override;
    // The desktop's folder choosers (GTK's, the portal's) have no line for a prompt, but every
    // one shows its caption: the prompt is the caption.
    std::optional<std::string> AskFolder(const std::string& title, const std::string& prompt,
                                         const std::string& startFolder) override;

private:
    QWidget* ParentWindow() const;
    // The file dialog to open or to save, or the answers a test gave.
    std::optional<std::string> AskFileName(bool save, const std::string& title,
                                           const std::string& folder, const std::string& filter);

    QPointer<QWidget> m_parentWindow;
    IAppPrompt* m_answers = nullptr;
};

// Qt's text for a CR LF text: line breaks as Qt shows them.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

}  // namespace duvanto
