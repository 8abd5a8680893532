#include "cli/TerminalPrompt.h"

#include <string>

namespace duvanto {

MessageAnswer TerminalPrompt::ShowMessage(const std::string& title, const std::string& text,
                                          MessageIcon icon, MessageButtons buttons) {
    // The text keeps its CR LF pairs in files; on a terminal a bare LF reads better.
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            shown += text[i];
        }
    }
    if (buttons == MessageButtons::OK) {
        if (m_noticesAreAnswers && icon == MessageIcon::Information) {
            m_out << shown << "\n" << std::flush;
        } else {
            m_err << title << "\n" << shown << "\n" << std::flush;
        }
        return MessageAnswer::OK;
    }
    m_err << title << "\n" << shown << "\n" << std::flush;
    const bool retry = buttons == MessageButtons::RetryCancel;
    // Without a person to ask, take the choice that changes nothing.
    const MessageAnswer safe = retry ? MessageAnswer::Cancel : MessageAnswer::No;
    if (!m_interactive) {
        return safe;
    }
    m_err << (retry ? "[R]etry or [C]ancel? " : "[Y]es or [N]o? ") << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer) || answer.empty()) {
        return safe;
    }
    char c = static_cast<char>(answer[0] | 0x20);
    if (retry) {
        return c == 'r' ? MessageAnswer::Retry : MessageAnswer::Cancel;
    }
    return c == 'y' ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace duvanto
