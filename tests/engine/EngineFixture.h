// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Source and a Target folder on disk and an engine wired to them, with a log whose buffer
// the tests read and a prompt that records.

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "platform/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/TestSupport.h"
#include "tasks/Trees.h"
#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto {

// Failures name the result, not its number.
inline void PrintTo(StepResult result, std::ostream* out) {
    static const char* const kNames[] = {"Ok", "Failed", "Cancelled"};
    *out << kNames[static_cast<int>(result)];
}

}  // namespace duvanto

namespace duvanto::test {

using Lines = std::vector<std::string>;

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture()
        : reporter(temp.Path(), prompt, clock, fileSystem),
          log(temp.Path(), clock, reporter, prompt, fileSystem),
          clone(CloneSettings{}, log, fileSystem, flags, reporter),
          host(flags) {
        source = temp / "S/";
        target = temp / "T/";
        MakeFolder(source);
        MakeFolder(target);
        clone.Settings.DeleteMethod = DeleteMethodType::RegularDelete;
        // Many tests empty a Target on purpose; the guard against that has tests of its own.
        clone.Settings.MaxDeletePercent = 0;
    }

    static void MakeFolder(const std::string& path);
    static Lines Sorted(Lines lines);
    Lines Trashed() const { return FolderNames(temp / "Trash/files"); }
    // A file with content and a modification time (seconds since the epoch).
    static void File(const std::string& path, const std::string& content,
                     int64_t mtime = 1'000'000'000);
    // Files below root from "path=content" specs, all with the same modification time; a spec
    // without "=" is a folder.
    static void Files(const std::string& root, std::initializer_list<std::string> specs,
                      int64_t mtime = 1'000'000'000);

    // Plans a whole-folder run and gives the description lines with the temporary folder's path
    // replaced by "~/", so that expectations read like the tree.
    Lines PlanAll(bool subfolders = true);
    Lines PlannedLines() const;
    StepResult CloneAll(bool subfolders = true) {
        return clone.CloneAll(host, source, target, subfolders);
    }
    // Another run in the same test: no Escape, no cancel, an empty log.
    void NextRun();
    // Empty Source and Target folders and no faults, for the next case of a table.
    void Fresh();
    // The log buffer's lines without their timestamp, paths shortened as in PlannedLines.
    Lines LogLines() const;
    bool Logged(const std::string& line) const;
    std::string Short(const std::string& text) const {
        return ReplaceString(text, temp.Path(), "~/");
    }

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{37959.6932407407};
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    ErrorReporter reporter;
    RunFlags flags;
    cCloneLog log;
    cClone clone;
    // The engine's own settings, under the name the comparison tests know them by.
    CloneSettings& compare = clone.Settings;
    RecordingStatusHost host;
    std::string source, target;
    StepResult lastPlan = StepResult::Failed;
};

}  // namespace duvanto::test
