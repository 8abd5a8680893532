// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/HelpTopics.h"

#include <algorithm>

namespace duvanto {

const std::vector<HelpTopic>& HelpTopicTable() {
    static const std::vector<HelpTopic> table{
        {HelpContents, "index.html"},
        {HelpSelectFiles, "selected-files.html"},
        {HelpLogViewer, "log-viewer.html"},
        {HelpTroubleshooting, "troubleshooting.html"},
        {HelpTaskProperties, "task-properties.html"},
        {HelpIconLegend, "icon-legend.html"},
        {HelpPriorityRules, "priority-rules.html"},
        {HelpRestore, "restore.html"},
        {HelpQuickStart, "quick-start.html"},
        {HelpAboutDuvanto, "about.html"},
    };
    return table;
}

std::string HelpPageForContext(int context) {
    const std::vector<HelpTopic>& table = HelpTopicTable();
    auto found = std::find_if(table.begin(), table.end(), [context](const HelpTopic& topic) {
        return topic.context == context;
    });
    return found != table.end() ? found->page : table.front().page;
}

namespace {

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

HelpWebTarget WebItemTarget(HelpWebItem item, const std::string& homepageUrl,
                            const std::string& contactUrl) {
    std::string address = Trimmed(item == HelpWebItem::WebSite ? homepageUrl : contactUrl);
    if (address.empty()) {
        return HelpWebTarget{};
    }
    // "support@example.org" names a mailbox, not a page: without a scheme a browser would
    // take it for a relative address.
    if (item == HelpWebItem::ContactUs && address.find('@') != std::string::npos &&
        address.find(':') == std::string::npos) {
        address = "mailto:" + address;
    }
    return HelpWebTarget{true, address, HelpAboutDuvanto};
}

}  // namespace duvanto
