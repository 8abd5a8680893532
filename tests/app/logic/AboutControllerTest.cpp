// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/AboutController.h"

#include <gtest/gtest.h>

#include "app/help/AppInfo.h"
#include "app/logic/MessageCheck.h"
#include "app/support/FakeAppPrompt.h"

namespace duvanto {
namespace {

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
