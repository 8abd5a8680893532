// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help pages by context number: each dialog's Help button names its context, and the help
// window shows the page that belongs to it.

#include <string>
#include <vector>

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
    // Not a number of the help file either: the page about the program, which the Help menu's
    // web items open when the build names no web address.
    HelpAboutDuvanto = -1,
};

// Whoever shows help pages; dialogs are handed one, tests hand in a recording one.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    virtual void ShowHelp(int context) = 0;
};

struct HelpTopic {
    int context;
    // The page's file name under docs/help/ ("index.html").
    std::string page;
};

// Every context the help knows, with its page.
const std::vector<HelpTopic>& HelpTopicTable();

// The page for a context; a number the help does not know opens the contents.
std::string HelpPageForContext(int context);

// The two web items of the Help menu.
enum class HelpWebItem { WebSite, ContactUs };

// What a web item opens: an address outside the program, or, when the build set none, the
// help's page about the program.
struct HelpWebTarget {
    bool external = false;
    std::string address;  // the address to open when external
    int context = HelpAboutDuvanto;
};

// The decision for a web item, given the addresses the build was configured with (either may
// be empty). A contact address that is a bare e-mail address opens a new mail to it.
HelpWebTarget WebItemTarget(HelpWebItem item, const std::string& homepageUrl,
                            const std::string& contactUrl);

}  // namespace duvanto
