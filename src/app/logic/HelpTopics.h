#pragma once
// The help pages by context number: each dialog's Help button names its context, and the help
// window shows the page that belongs to it.

namespace duvanto {

enum HelpContext : int {
    HelpContents = 1,
    HelpSelectFiles = 3,
    HelpLogViewer = 18,
    HelpTroubleshooting = 32,
    HelpTaskProperties = 37,
    HelpIconLegend = 52,
    HelpPriorityRules = 59,
    HelpRestore = 64,
    // Not a number of the help file: the quick-start page shown on the first run.
    HelpQuickStart = 0,
};

// Whoever shows help pages; dialogs are handed one, tests hand in a recording one.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    virtual void ShowHelp(int context) = 0;
};

}  // namespace duvanto
