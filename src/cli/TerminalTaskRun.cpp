#include "cli/TerminalTaskRun.h"

namespace duvanto {

void TerminalTaskRun::SetStatusText(int panel, const std::string& text) {
    if (panel == 1) {
        m_panel1 = text;
    }
    m_host.SetStatusText(panel, text);
}

}  // namespace duvanto
