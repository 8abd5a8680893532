// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalPrompt.h"

#include <string>

#include "util/EscapedText.h"

namespace duvanto {

MessageAnswer TerminalPrompt::ShowMessage(const std::string& title, const std::string& text,
                                          MessageIcon icon, MessageButtons buttons) {
    // The text keeps its CR LF pairs in files; on a terminal a bare LF reads better.
    // Messages name tasks and folders, which may hold anything: nothing reaches the terminal
    // that would drive it.
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            shown += text[i];
        }
    }
    shown = EscapeForTerminal(shown);
    if (buttons == MessageButtons::OK) {
        if (m_noticesAreAnswers && icon == MessageIcon::Information) {
            m_out << shown << "\n" << std::flush;
        } else {
            m_err << title << "\n" << shown << "\n" << std::flush;
        }
        return MessageAnswer::OK;
    }
    m_err << title << "\n" << shown << "\n" << std::flush;
    const bool yesNo =
        buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoDefaultNo;
    // Without a person to ask, take the choice that changes nothing.
    const MessageAnswer safe = yesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    if (!m_interactive) {
        return safe;
    }
    const char* question = buttons == MessageButtons::RetryCancel ? "[R]etry or [C]ancel? "
                           : yesNo                                ? "[Y]es or [N]o? "
                                                                  : "[O]K or [C]ancel? ";
    m_err << question << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer) || answer.empty()) {
        return safe;
    }
    char c = static_cast<char>(answer[0] | 0x20);
    switch (buttons) {
        case MessageButtons::RetryCancel:
            return c == 'r' ? MessageAnswer::Retry : MessageAnswer::Cancel;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            return c == 'y' ? MessageAnswer::Yes : MessageAnswer::No;
        default:
            return c == 'o' ? MessageAnswer::OK : MessageAnswer::Cancel;
    }
}

}  // namespace duvanto
