// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ConnectedRuns.h"

#include <sstream>

#include "platform/FileSystem.h"
#include "util/ErrorReporter.h"

namespace duvanto {

namespace {

// One record per line: MOUNT, LIST and TASK separated by tabs. A list's path may hold any
// character but the null one, so tabs, line ends and the escape character itself are written
// as %09, %0A, %0D and %25.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '%':
                escaped += "%25";
                break;
            case '\t':
                escaped += "%09";
                break;
            case '\n':
                escaped += "%0A";
                break;
            case '\r':
                escaped += "%0D";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Unescaped(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string code = text.substr(i + 1, 2);
            const char c = code == "25"   ? '%'
                           : code == "09" ? '\t'
                           : code == "0A" ? '\n'
                           : code == "0D" ? '\r'
                                          : '\0';
            if (c != '\0') {
                plain += c;
                i += 2;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace

const std::string& ConnectedRuns::RanFor(const std::string& listFileSpec,
                                         const std::string& taskName) {
    static const std::string kNone;
    Load();
    const auto found = m_mounts.find({listFileSpec, taskName});
    return found == m_mounts.end() ? kNone : found->second;
}

void ConnectedRuns::Record(const std::string& listFileSpec, const std::string& taskName,
                           const std::string& mount) {
    Load();
    const Key key{listFileSpec, taskName};
    const auto found = m_mounts.find(key);
    if (mount.empty()) {
        if (found == m_mounts.end()) {
            return;
        }
        m_mounts.erase(found);
    } else if (found != m_mounts.end() && found->second == mount) {
        return;
    } else {
        m_mounts[key] = mount;
    }
    Save();
}

void ConnectedRuns::Load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    // A missing file has no records; an unreadable one is taken the same way, so that at worst
    // a task runs once more for a drive that is there.
    Result<std::string> content = m_fs.ReadWholeFile(m_fileSpec);
    if (!content.ok()) {
        return;
    }
    std::istringstream lines(content.value());
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find('\t');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : line.find('\t', first + 1);
        if (second == std::string::npos || line.find('\t', second + 1) != std::string::npos ||
            first == 0) {
            continue;
        }
        m_mounts[{Unescaped(line.substr(first + 1, second - first - 1)),
                  Unescaped(line.substr(second + 1))}] = Unescaped(line.substr(0, first));
    }
}

void ConnectedRuns::Save() {
    std::string content;
    for (const auto& [key, mount] : m_mounts) {
        content += Escaped(mount) + '\t' + Escaped(key.first) + '\t' + Escaped(key.second) + '\n';
    }
    try {
        const Status written = m_fs.WriteFileAtomically(m_fileSpec, content);
        if (!written.ok()) {
            throw FileRuntimeError(written);
        }
    } catch (...) {
        m_reporter.ReportCurrentException("ConnectedRuns.Save");
    }
}

}  // namespace duvanto
