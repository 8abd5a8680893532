#pragma once
// An application wired to a temporary program folder, a clock the tests set, a recording
// prompt and a window that records every effect of a run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TestSupport.h"
#include "tasks/Application.h"
#include "tasks/RunHost.h"
#include "util/OleDate.h"
#include "util/PathStrings.h"

namespace duvanto::test {

// The front end a run talks to, as a journal of what the run did to it.
class RecordingWindow : public IRunHost {
public:
    void SetStatusText(int panel, const std::string& text) override {
        Note("panel" + std::to_string(panel) + ":" + text);
    }
    void Pump() override {
        ++pumps;
        if (escapeAtPump > 0 && pumps >= escapeAtPump && flags != nullptr) {
            flags->EscPressed = true;
        }
    }
    void SetAnimation(bool enabled) override { Note(enabled ? "animation:on" : "animation:off"); }

    void Progress(const RunProgress& progress) override { progresses.push_back(progress); }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        confirmed = operations;
        return skip;
    }

    void SetCaption(const std::string& caption) override { Note("caption:" + caption); }
    void SetTrayTooltip(const std::string& tooltip) override { Note("tooltip:" + tooltip); }
    void SetTopLevelMenusEnabled(bool enabled) override {
        Note(enabled ? "menus:on" : "menus:off");
    }
    // The last text of a status panel.
    std::string Panel(int panel) const;

    std::vector<std::string> journal;
    std::vector<RunProgress> progresses;
    std::vector<FileOp> confirmed;
    std::vector<bool> skip;
    int pumps = 0;
    int escapeAtPump = 0;  // > 0: Escape is pressed at that pump
    RunFlags* flags = nullptr;

private:
    void Note(const std::string& entry) { journal.push_back(entry); }
};

// Thursday 4 December 2003, 16:38:16.
inline constexpr double kThursday = 37959.6932407407;

double At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

class TasksFixture : public ::testing::Test {
protected:
    TasksFixture();

    std::string Short(const std::string& text) const {
        return ReplaceString(text, temp.Path(), "~/");
    }
    // The log file's lines without their timestamps, paths shortened.
    std::vector<std::string> LogLines() const;
    // A task over folders below the temporary folder; targets joined with "<:>".
    cCloneTask Task(const std::string& name, const std::string& source,
                    const std::vector<std::string>& targets) const;

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{kThursday};
    PosixFileSystem fileSystem{TrashInside(temp.Path())};
    std::string appPath;
    Application app;
    RecordingWindow window;
};

}  // namespace duvanto::test
