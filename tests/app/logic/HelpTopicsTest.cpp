// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/HelpTopics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/help/AboutController.h"
#include "app/help/AppInfo.h"
#include "app/logic/MessageCheck.h"
#include "app/support/FakeAppPrompt.h"

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

SystemInfoFacts FullFacts() {
    SystemInfoFacts facts;
    facts.system = {"Debian GNU/Linux 12 (bookworm)", "Linux 6.1.0-18-amd64", "x86_64", "GNOME",
                    "wayland"};
    facts.qtVersion = "6.4.2";
    facts.displayPlatform = "xcb";
    facts.executable = "/usr/bin/duvanto";
    facts.programFolder = "/home/ann/.config/duvanto/";
    return facts;
}

TEST(AboutControllerTest, TheTitleLineHasThreeVersionNumbers) {
    test::FakeAppPrompt prompt;
    const struct {
        const char* version;
        const char* title;
    } cases[] = {
        {"0.1.0", "Duvanto v0.1.0"},
        {"2.5", "Duvanto v2.5.0"},
        {"1.2.3.4", "Duvanto v1.2.3"},
        {"", "Duvanto v0.0.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AboutController(prompt, c.version).TitleLine(), c.title) << c.version;
    }
    AboutController about(prompt, ProgramVersion());
    EXPECT_EQ(about.Caption(), "About Duvanto");
    EXPECT_EQ(about.TitleLine(), "Duvanto v" + ProgramVersion());
    EXPECT_NE(about.LegalText().find(
                  "GNU General Public License, version 3 or (at your option) any later version"),
              std::string::npos);
}

TEST(AboutControllerTest, SystemInfoListsWhatIsKnownInOneMessageOrSaysNothingIs) {
    test::FakeAppPrompt prompt;
    AboutController about(prompt, "0.1.0");
    about.ShowSystemInfo(FullFacts());

    SystemInfoFacts partial = FullFacts();
    partial.system.desktop.clear();
    partial.system.sessionType.clear();
    partial.system.architecture.clear();
    partial.displayPlatform.clear();
    partial.executable.clear();
    about.ShowSystemInfo(partial);
    SystemInfoFacts nothing;
    nothing.programFolder = "/home/ann/.config/duvanto/";  // ours, not the system's
    about.ShowSystemInfo(nothing);

    ASSERT_EQ(prompt.messages.shown.size(), 3u);
    EXPECT_TRUE(test::IsMessage(prompt.messages.shown[0], "System Information",
                                "Duvanto 0.1.0\r\n"
                                "Operating system: Debian GNU/Linux 12 (bookworm)\r\n"
                                "Kernel: Linux 6.1.0-18-amd64 (x86_64)\r\n"
                                "Desktop: GNOME (wayland)\r\n"
                                "Qt: 6.4.2 (xcb)\r\n"
                                "Program: /usr/bin/duvanto\r\n"
                                "Program folder: /home/ann/.config/duvanto/\r\n",
                                MessageIcon::Information));
    EXPECT_EQ(prompt.messages.shown[1].text,
              "Duvanto 0.1.0\r\n"
              "Operating system: Debian GNU/Linux 12 (bookworm)\r\n"
              "Kernel: Linux 6.1.0-18-amd64\r\n"
              "Qt: 6.4.2\r\n"
              "Program folder: /home/ann/.config/duvanto/\r\n");
    EXPECT_EQ(prompt.messages.shown[2].title, "Duvanto");
    EXPECT_EQ(prompt.messages.shown[2].text, "System Information Is Unavailable At This Time");
}

}  // namespace
}  // namespace duvanto
