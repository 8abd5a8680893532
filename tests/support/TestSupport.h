// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared test helpers: a temporary folder removed afterwards, a prompt that records what it was
// shown and answers from a queue, and a clock that stands still until moved.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "util/Clock.h"
#include "util/Prompt.h"

namespace duvanto::test {

// A fresh folder under $TMPDIR (or /tmp). Path() ends in "/". Removed with its contents,
// write bits restored first, when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + relative.
    std::string operator/(const std::string& relative) const { return m_path + relative; }

private:
    std::string m_path;
};

// Writes bytes to a file, creating missing parent folders.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Whether anything, a dangling link too, stands at the path.
bool PathExists(const std::string& path);
// The names in a folder, sorted; none when the folder is missing.
std::vector<std::string> FolderNames(const std::string& folder);
// Whether a descriptor of this process is open on the folder (path ending in "/") or below it.
bool HoldsOpen(const std::string& folder);
// Sets the modification time (and access time) in nanoseconds since the epoch.
void SetModificationTime(const std::string& path, int64_t secondsSinceEpoch,
                         int64_t nanoseconds = 0);

struct ShownMessage {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

class RecordingPrompt : public IPrompt {
public:
    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    void Beep() override { ++beeps; }

    // Answers given in order; when empty, the first button's answer (OK, Retry or Yes).
    std::deque<MessageAnswer> answers;
    std::vector<ShownMessage> shown;
    int beeps = 0;
};

class FixedClock : public IClock {
public:
    explicit FixedClock(double now = 0.0) : now(now) {}
    double Now() const override { return now; }
    uint32_t TickCount() const override { return ticks; }

    double now;
    uint32_t ticks = 0;
};

// True when the test runs as root, which ignores permission bits.
bool RunningAsRoot();

}  // namespace duvanto::test
