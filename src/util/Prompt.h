// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the core asks the user something or tells them something. The desktop program shows a
// message box; the command-line runner writes to the terminal; tests record and answer in advance.

#include <string>

namespace duvanto {

// None: a message box without an icon ("Duvanto is already running").
enum class MessageIcon { None, Information, Exclamation, Critical, Question };
// YesNoDefaultNo: a question whose Yes may destroy data; No is what Enter answers.
enum class MessageButtons { OK, OKCancel, RetryCancel, YesNo, YesNoDefaultNo };
enum class MessageAnswer { OK, Retry, Cancel, Yes, No };

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows one message and blocks until it is answered. Title and text are shown exactly as
    // given, line breaks (CR LF) included.
    virtual MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                      MessageIcon icon, MessageButtons buttons) = 0;
    // The default beep of commands refused while a clone runs.
    virtual void Beep() {}
};

}  // namespace duvanto
