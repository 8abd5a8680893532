// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: its texts, and "&System Info...", which on Linux tells the program's version,
// the system, the desktop, the Qt version and where the program keeps its files, in one message
// a user can quote when asking for help.

#include <string>

#include "app/common/AppPrompt.h"
#include "platform/SystemInfo.h"

namespace duvanto {

struct SystemInfoFacts {
    SystemDescription system;
    std::string qtVersion;        // "6.4.2"
    std::string displayPlatform;  // Qt's platform plugin: "xcb", "wayland"
    std::string executable;       // the running program's path
    std::string programFolder;    // AppPath: options, task lists, clone.log
};

// The facts the window cannot know itself; the Qt ones are the window's to add.
SystemInfoFacts GatherSystemInfo(const std::string& programFolder);

class AboutController {
public:
    explicit AboutController(IAppPrompt& prompt, std::string version);

    std::string Caption() const;  // "About Duvanto"
    // "Duvanto v" and the major, minor and revision numbers joined by ".".
    std::string TitleLine() const;
    std::string LegalText() const;

    // The "&System Info..." button.
    void ShowSystemInfo(const SystemInfoFacts& facts);
    // The message's text; empty when nothing about the system is known.
    static std::string SystemInfoText(const std::string& version, const SystemInfoFacts& facts);

private:
    IAppPrompt& m_prompt;
    std::string m_version;
};

}  // namespace duvanto
