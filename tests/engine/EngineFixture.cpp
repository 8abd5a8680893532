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
    for (const FileOp& op : clone.FileOps()) {
        lines.push_back(Short(cClone::DescribeFileOp(op)));
    }
    return lines;
}

std::vector<std::string> EngineFixture::PlanAll(bool subfolders) {
    lastPlanOk = clone.PlanAll(host, source, target, subfolders);
    return PlannedLines();
}

}  // namespace duvanto::test
