// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/HelpTopics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace duvanto {
namespace {

// The pages are compiled in from the source tree's docs/help/.
const std::filesystem::path kHelpFolder = std::filesystem::path(DUVANTO_SOURCE_DIR) / "docs/help";

TEST(HelpTopicsTest, EveryContextReachesAPageThatExistsAndAnUnknownOneTheContents) {
    const struct {
        int context;
        const char* what;
    } contexts[] = {
        {HelpContents, "Help, Contents"},
        {HelpSelectFiles, "the Selected Files and Folders window"},
        {HelpLogViewer, "the log viewer"},
        {HelpTroubleshooting, "Help, Troubleshooting and the error reporter"},
        {HelpTaskProperties, "the task properties dialog"},
        {HelpIconLegend, "Help, Icon Legend"},
        {HelpPriorityRules, "the priority rules"},
        {HelpRestore, "the restore window"},
        {HelpQuickStart, "the first run"},
        {HelpAboutDuvanto, "the web items without an address"},
    };
    std::set<std::string> pages;
    for (const auto& [context, what] : contexts) {
        const std::string page = HelpPageForContext(context);
        EXPECT_TRUE(std::filesystem::is_regular_file(kHelpFolder / page))
            << what << " (" << context << "): " << page;
        pages.insert(page);
    }
    EXPECT_EQ(pages.size(), std::size(contexts)) << "two contexts share a page";
    EXPECT_EQ(HelpTopicTable().size(), std::size(contexts));
    // An unknown context opens the contents.
    EXPECT_EQ(HelpPageForContext(2), HelpPageForContext(HelpContents));
    EXPECT_EQ(HelpPageForContext(9999), "index.html");
}

TEST(HelpTopicsTest, WebItemsOpenTheBuiltInAddressesOrElseTheAboutPage) {
    const struct {
        HelpWebItem item;
        const char* homepage;
        const char* contact;
        bool external;
        const char* address;
    } cases[] = {
        {HelpWebItem::WebSite, "", "", false, ""},
        {HelpWebItem::ContactUs, "", "", false, ""},
        {HelpWebItem::WebSite, "  ", "mailto:a@b.example", false, ""},
        {HelpWebItem::WebSite, "https://duvanto.example/", "", true, "https://duvanto.example/"},
        {HelpWebItem::ContactUs, "https://duvanto.example/", "", false, ""},
        {HelpWebItem::ContactUs, "", " support@duvanto.example ", true,
         "mailto:support@duvanto.example"},
        {HelpWebItem::ContactUs, "", "mailto:support@duvanto.example", true,
         "mailto:support@duvanto.example"},
        {HelpWebItem::ContactUs, "", "https://duvanto.example/contact?from=help@menu", true,
         "https://duvanto.example/contact?from=help@menu"},
    };
    for (const auto& c : cases) {
        const HelpWebTarget target = WebItemTarget(c.item, c.homepage, c.contact);
        SCOPED_TRACE(std::string(c.homepage) + " | " + c.contact);
        EXPECT_EQ(target.external, c.external);
        EXPECT_EQ(target.address, c.address);
        if (!target.external) {
            EXPECT_EQ(target.context, HelpAboutDuvanto);
        }
    }
}

}  // namespace
}  // namespace duvanto
