// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace duvanto::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/duvanto-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests take write and search bits away to provoke failures; give them back so the
    // folder can go.
    for (auto it = fs::recursive_directory_iterator(
             m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            chmod(it->path().c_str(), 0700);
        }
    }
    chmod(m_path.c_str(), 0700);
    fs::remove_all(m_path, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HoldsOpen(const std::string& folder) {
    const std::string withoutSlash = folder.substr(0, folder.size() - 1);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
        std::error_code unreadable;
        const std::string held = fs::read_symlink(entry.path(), unreadable).string();
        if (held == withoutSlash || held.starts_with(folder)) {
            return true;
        }
    }
    return false;
}

void SetModificationTime(const std::string& path, int64_t secondsSinceEpoch, int64_t nanoseconds) {
    timespec times[2];
    times[0].tv_sec = secondsSinceEpoch;
    times[0].tv_nsec = nanoseconds;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("cannot set times of " + path);
    }
}

MessageAnswer RecordingPrompt::ShowMessage(const std::string& title, const std::string& text,
                                           MessageIcon icon, MessageButtons buttons) {
    shown.push_back({title, text, icon, buttons});
    if (!answers.empty()) {
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
        case MessageButtons::RetryCancel:
            return MessageAnswer::Retry;
        case MessageButtons::YesNo:
            return MessageAnswer::Yes;
        case MessageButtons::YesNoDefaultNo:
            return MessageAnswer::No;
        case MessageButtons::OK:
        case MessageButtons::OKCancel:
            break;
    }
    return MessageAnswer::OK;
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

}  // namespace duvanto::test
