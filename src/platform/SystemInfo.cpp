// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace duvanto {

namespace {

// os-release values are shell-style: bare, or in single or double quotes, where a backslash
// keeps the next character.
std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') ||
        value.back() != value.front()) {
        return value;
    }
    const std::string inner = value.substr(1, value.size() - 2);
    if (value.front() == '\'') {
        return inner;
    }
    std::string text;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\' && i + 1 < inner.size()) {
            ++i;
        }
        text += inner[i];
    }
    return text;
}

std::string ReadText(const char* path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string OperatingSystemName(const std::string& osReleaseText) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(osReleaseText);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) {
            continue;
        }
        fields[line.substr(0, equals)] = Unquoted(line.substr(equals + 1));
    }
    if (!fields["PRETTY_NAME"].empty()) {
        return fields["PRETTY_NAME"];
    }
    const std::string& name = fields["NAME"];
    const std::string& version = fields["VERSION"];
    return name.empty() || version.empty() ? name : name + " " + version;
}

SystemDescription DescribeSystem() {
    SystemDescription system;
    std::string osRelease = ReadText("/etc/os-release");
    if (osRelease.empty()) {
        osRelease = ReadText("/usr/lib/os-release");
    }
    system.operatingSystem = OperatingSystemName(osRelease);
    struct utsname names {};
    if (uname(&names) == 0) {
        system.kernel = std::string(names.sysname) + " " + names.release;
        system.architecture = names.machine;
    }
    system.desktop = Environment("XDG_CURRENT_DESKTOP");
    system.sessionType = Environment("XDG_SESSION_TYPE");
    return system;
}

}  // namespace duvanto
