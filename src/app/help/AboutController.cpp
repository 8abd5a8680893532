// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/AboutController.h"

#include <vector>

#include "app/help/AppInfo.h"
#include "platform/ProcessPaths.h"

namespace duvanto {

namespace {

// Exactly three numbers, whatever the build's version string holds: missing ones are 0,
// further ones are dropped.
std::string MajorMinorRevision(const std::string& version) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : version + ".") {
        if (c == '.') {
            parts.push_back(part.empty() ? "0" : part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.resize(3, "0");
    return parts[0] + "." + parts[1] + "." + parts[2];
}

void AddLine(std::string& text, const std::string& label, const std::string& value) {
    if (!value.empty()) {
        text += label + ": " + value + "\r\n";
    }
}

std::string WithDetail(const std::string& value, const std::string& detail) {
    if (value.empty() || detail.empty()) {
        return value.empty() ? detail : value;
    }
    return value + " (" + detail + ")";
}

}  // namespace

SystemInfoFacts GatherSystemInfo(const std::string& programFolder) {
    SystemInfoFacts facts;
    facts.system = DescribeSystem();
    facts.executable = ExecutablePath();
    facts.programFolder = programFolder;
    return facts;
}

AboutController::AboutController(IAppPrompt& prompt, std::string version)
    : m_prompt(prompt), m_version(std::move(version)) {}

std::string AboutController::Caption() const {
    return std::string("About ") + kApplicationTitle;
}

std::string AboutController::TitleLine() const {
    return std::string(kApplicationTitle) + " v" + MajorMinorRevision(m_version);
}

std::string AboutController::LegalText() const {
    return "Warning: Duvanto makes each Target folder identical to its Source, and to do so it "
           "deletes the files and folders that only the Target has, unless the Delete Methods "
           "option says \"Do Not Delete\". Check every task before its first run, and keep a "
           "separate backup of anything you cannot afford to lose.\r\n\r\n"
           "Duvanto is free software: you may redistribute it and modify it under the terms of "
           "the GNU General Public License, version 3 or (at your option) any later version. It "
           "is provided as is, without warranty of any kind, to the extent permitted by law.";
}

std::string AboutController::SystemInfoText(const std::string& version,
                                            const SystemInfoFacts& facts) {
    const SystemDescription& system = facts.system;
    std::string about;
    AddLine(about, "Operating system", system.operatingSystem);
    AddLine(about, "Kernel", WithDetail(system.kernel, system.architecture));
    AddLine(about, "Desktop", WithDetail(system.desktop, system.sessionType));
    AddLine(about, "Qt", WithDetail(facts.qtVersion, facts.displayPlatform));
    if (about.empty()) {
        return {};
    }
    std::string text = std::string(kApplicationTitle) + " " + MajorMinorRevision(version) + "\r\n";
    text += about;
    AddLine(text, "Program", facts.executable);
    AddLine(text, "Program folder", facts.programFolder);
    return text;
}

void AboutController::ShowSystemInfo(const SystemInfoFacts& facts) {
    const std::string text = SystemInfoText(m_version, facts);
    if (text.empty()) {
        m_prompt.ShowMessage(kApplicationTitle, "System Information Is Unavailable At This Time",
                             MessageIcon::Information, MessageButtons::OK);
        return;
    }
    m_prompt.ShowMessage("System Information", text, MessageIcon::Information, MessageButtons::OK);
}

}  // namespace duvanto
