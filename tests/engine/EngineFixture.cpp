#include "engine/EngineFixture.h"

#include <sys/stat.h>

#include <filesystem>

namespace duvanto::test {

void EngineFixture::MakeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
}

void EngineFixture::File(const std::string& path, const std::string& content, int64_t mtime) {
    WriteFile(path, content);
    SetModificationTime(path, mtime);
}

std::vector<std::string> EngineFixture::PlannedLines() const {
    std::vector<std::string> lines;
    for (const FileOp& op : clone.Plan().Ops) {
        lines.push_back(Short(cClone::DescribeFileOp(op)));
    }
    return lines;
}

std::vector<std::string> EngineFixture::LogLines() const {
    const std::string stamp = "12/4/2003 4:38:16 PM";
    std::vector<std::string> lines;
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

std::vector<std::string> EngineFixture::PlanAll(bool subfolders) {
    lastPlan = clone.PlanAll(host, source, target, subfolders);
    return PlannedLines();
}

}  // namespace duvanto::test
