#pragma once
// A Source and a Target folder on disk and an engine wired to them, with a log whose buffer
// the tests read and a prompt that records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Clone.h"
#include "log/CloneLog.h"
#include "platform/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/TestSupport.h"
#include "util/ErrorReporter.h"
#include "util/PathStrings.h"

namespace duvanto::test {

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture()
        : reporter(temp.Path(), prompt, clock),
          log(temp.Path(), clock, reporter, prompt),
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
    // A file with content and a modification time (seconds since the epoch).
    static void File(const std::string& path, const std::string& content,
                     int64_t mtime = 1'000'000'000);

    // Plans a whole-folder run and gives the description lines with the temporary folder's path
    // replaced by "~/", so that expectations read like the tree.
    std::vector<std::string> PlanAll(bool subfolders = true);
    std::vector<std::string> PlannedLines() const;
    // The log buffer's lines without their timestamp, paths shortened as in PlannedLines.
    std::vector<std::string> LogLines() const;
    std::string Short(const std::string& text) const {
        return ReplaceString(text, temp.Path(), "~/");
    }

    TempDir temp;
    RecordingPrompt prompt;
    FixedClock clock{37959.6932407407};
    ErrorReporter reporter;
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    RunFlags flags;
    cCloneLog log;
    cClone clone;
    // The engine's own settings, under the name the comparison tests know them by.
    CloneSettings& compare = clone.Settings;
    RecordingStatusHost host;
    std::string source, target;
    bool lastPlanOk = false;
};

}  // namespace duvanto::test
