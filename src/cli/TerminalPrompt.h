// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes on a terminal: the title and text go to the error stream; a question is asked
// on standard input when it is a terminal, and answered with its safe choice otherwise.

#include <istream>
#include <ostream>

#include "util/Prompt.h"

namespace duvanto {

class TerminalPrompt : public IPrompt {
public:
    // Messages go to `err` under their title.
    TerminalPrompt(std::istream& in, std::ostream& out, std::ostream& err, bool interactive)
        : m_in(in), m_out(out), m_err(err), m_interactive(interactive) {}

    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    void Beep() override { m_err << '\a' << std::flush; }

    // From now on a notice (information icon, OK) goes to `out` as its text alone, for a
    // command whose answer it is.
    void NoticesAreAnswers(bool answers) { m_noticesAreAnswers = answers; }

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_interactive;
    bool m_noticesAreAnswers = false;
};

}  // namespace duvanto
