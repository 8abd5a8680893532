// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

namespace duvanto {
namespace {

TEST(SystemInfoTest, TheOperatingSystemIsNamedAsOsReleaseNamesIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n",
         "Debian GNU/Linux 12 (bookworm)"},
        // Without PRETTY_NAME: NAME and VERSION; CR LF lines and comments are read too.
        {"# written by hand\r\nNAME=Fedora\r\nVERSION='39 (Workstation Edition)'\r\n",
         "Fedora 39 (Workstation Edition)"},
        {"NAME=\"Arch Linux\"\nID=arch\n", "Arch Linux"},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$HOME\"\n", "Say \"hi\" \\ $HOME"},
        {"PRETTY_NAME=\"\"\nNAME=Alpine\nVERSION=3.19\n", "Alpine 3.19"},
        {"garbage without equals\n", ""},
        {"", ""},
    };
    for (const auto& [text, name] : cases) {
        EXPECT_EQ(OperatingSystemName(text), name) << text;
    }
}

TEST(SystemInfoTest, TheRunningSystemHasAKernelAndAnArchitecture) {
    const SystemDescription system = DescribeSystem();
    EXPECT_EQ(system.kernel.rfind("Linux ", 0), 0u) << system.kernel;
    EXPECT_FALSE(system.architecture.empty());
}

}  // namespace
}  // namespace duvanto
