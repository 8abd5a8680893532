// SPDX-License-Identifier: GPL-3.0-or-later
// The log viewer after two runs, the priority rules window and the rule editor, with demo
// data.

#include <memory>

#include "app/log/frmLog.h"
#include "app/options/frmPriorityRule.h"
#include "app/options/frmPriorityRules.h"
#include "screenshots/Screenshots.h"
#include "settings/TimeText.h"
#include "support/FakeAppPrompt.h"
#include "util/OleDate.h"

namespace duvanto::screenshots {

namespace {

// The objects a window works with, kept as long as the window lives.
struct Demo {
    explicit Demo(const std::string& home)
        : reporter(home, prompt, clock, fileSystem),
          log(home, clock, reporter, prompt, fileSystem) {}

    test::FakeAppPrompt prompt;
    test::FixedClock clock{OleDateFromLocal({2024, 3, 14, 22, 15, 3})};
    PosixFileSystem fileSystem;
    ErrorReporter reporter;
    cCloneLog log;
    cPriorityRules rules{reporter};
    RunFlags flags;
};

void WriteDemoRuns(Demo& demo) {
    cCloneLog& log = demo.log;
    const auto at = [&](int minute, int second) {
        demo.clock.now = OleDateFromLocal({2024, 3, 14, 22, minute, second});
    };
    at(15, 3);
    log.Add({.Type = Begin, .TaskName = "Photos to USB disk"});
    log.Add({.Type = CreatedFolder, .TargetFolder = "/media/anna/BACKUP/Photos/2024/March/"});
    for (const char* photo : {"IMG_2041.jpg", "IMG_2042.jpg", "IMG_2043.jpg"}) {
        log.Add({.Type = Copied,
                 .FileName = photo,
                 .SourceFolder = "/home/anna/Photos/2024/March/",
                 .TargetFolder = "/media/anna/BACKUP/Photos/2024/March/"});
    }
    at(15, 9);
    log.Add({.Type = CopyError,
             .FileName = "IMG_2044.jpg",
             .SourceFolder = "/home/anna/Photos/2024/March/",
             .TargetFolder = "/media/anna/BACKUP/Photos/2024/March/",
             .ErrorNumber = 28,
             .ErrorDescription = "No space left on device"});
    log.Add({.Type = Deleted,
             .FileName = "old-draft.xcf",
             .TargetFolder = "/media/anna/BACKUP/Photos/2023/"});
    log.Add({.Type = End, .TaskName = "Photos to USB disk"});
    at(45, 0);
    log.Add({.Type = Begin, .TaskName = "Documents nightly"});
    log.Add({.Type = Copied,
             .FileName = "Tax return 2023.pdf",
             .SourceFolder = "/home/anna/Documents/",
             .TargetFolder = "/srv/backup/anna/Documents/"});
    log.Add({.Type = DeleteError,
             .FileName = "lock.tmp",
             .TargetFolder = "/srv/backup/anna/Documents/",
             .ErrorNumber = 13,
             .ErrorDescription = "Permission denied"});
    log.Add({.Type = Copied,
             .FileName = "notes.md",
             .SourceFolder = "/home/anna/Documents/",
             .TargetFolder = "/srv/backup/anna/Documents/"});
    at(45, 2);
    log.Add({.Type = End, .TaskName = "Documents nightly"});
    log.AppendInMemoryStringToLogFile();
    log.ResetInMemoryLog();
}

cPriorityRule Rule(int startHour, int startMinute, int endHour, int endMinute,
                   int32_t priorityClass) {
    return {TimeOfDayFromClock(startHour, startMinute), TimeOfDayFromClock(endHour, endMinute),
            priorityClass, ""};
}

DUVANTO_SCREENSHOT("log-viewer", [](Context& context) -> QWidget* {
    auto* demo = new Demo(context.home);
    WriteDemoRuns(*demo);
    auto* window =
        Owning(new frmLog(demo->log, demo->prompt, demo->reporter, nullptr, demo->flags), demo);
    window->show();
    return window;
});

DUVANTO_SCREENSHOT("priority-rules", [](Context& context) -> QWidget* {
    auto* demo = new Demo(context.home);
    demo->rules.Add(Rule(8, 0, 18, 0, IDLE_PRIORITY_CLASS));
    demo->rules.Add(Rule(18, 1, 23, 59, NORMAL_PRIORITY_CLASS));
    demo->rules.Add(Rule(0, 0, 7, 59, HIGH_PRIORITY_CLASS));
    auto* window = Owning(new frmPriorityRules(demo->rules, demo->prompt, nullptr), demo);
    window->lstPriorityRules->setCurrentRow(1);
    window->show();
    return window;
});

DUVANTO_SCREENSHOT("priority-rule", [](Context&) -> QWidget* {
    auto* window = new frmPriorityRule(Rule(18, 1, 23, 59, NORMAL_PRIORITY_CLASS));
    window->show();
    return window;
});

}  // namespace

}  // namespace duvanto::screenshots
