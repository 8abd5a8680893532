// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/EngineFixture.h"

#include <algorithm>
#include <filesystem>

namespace duvanto::test {

void EngineFixture::MakeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
}

Lines EngineFixture::Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

void EngineFixture::NextRun() {
    flags.EscPressed = false;
    flags.CloneCancelled = false;
    host.escapeAfterPumps = -1;
    log.ResetInMemoryLog();
}

void EngineFixture::Fresh() {
    for (const std::string& root : {source, target}) {
        std::filesystem::remove_all(root);
        MakeFolder(root);
    }
    fileSystem.ClearFaults();
}

bool EngineFixture::Logged(const std::string& line) const {
    const Lines lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

void EngineFixture::File(const std::string& path, const std::string& content, int64_t mtime) {
    WriteFile(path, content);
    SetModificationTime(path, mtime);
}

void EngineFixture::Files(const std::string& root, std::initializer_list<std::string> specs,
                          int64_t mtime) {
    for (const std::string& spec : specs) {
        const std::size_t equals = spec.find('=');
        if (equals == std::string::npos) {
            MakeFolder(root + spec);
        } else {
            File(root + spec.substr(0, equals), spec.substr(equals + 1), mtime);
        }
    }
}

Lines EngineFixture::PlannedLines() const {
    Lines lines;
    for (const FileOp& op : clone.Plan().Ops) {
        lines.push_back(Short(cClone::DescribeFileOp(op)));
    }
    return lines;
}

Lines EngineFixture::LogLines() const {
    const std::string stamp = "12/4/2003 4:38:16 PM";
    Lines lines;
    std::string text = log.InMemoryString();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end - start);
        if (line.starts_with(stamp)) {
            line = line.substr(stamp.size());
        }
        lines.push_back(Short(line));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

Lines EngineFixture::PlanAll(bool subfolders) {
    lastPlan = clone.PlanAll(host, source, target, subfolders);
    return PlannedLines();
}

}  // namespace duvanto::test
