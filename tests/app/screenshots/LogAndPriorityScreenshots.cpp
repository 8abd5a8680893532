// The log viewer after two runs, the priority rules window and the rule editor, with demo
// data.

#include <memory>

#include "app/widgets/frmLog.h"
#include "app/widgets/frmPriorityRule.h"
#include "app/widgets/frmPriorityRules.h"
#include "screenshots/Screenshots.h"
#include "settings/TimeText.h"
#include "support/FakeAppPrompt.h"
#include "util/OleDate.h"

namespace duvanto::screenshots {

namespace {

// The objects a window works with, kept as long as the window lives.
struct Demo {
    explicit Demo(const std::string& home)
        : reporter(home, prompt, clock), log(home, clock, reporter, prompt) {}

    test::FakeAppPrompt prompt;
    test::FixedClock clock{OleDateFromLocal({2024, 3, 14, 22, 15, 3})};
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
    log.Add(Begin, "Photos to USB disk", "", "", "", 0, "", "");
    log.Add(CreatedFolder, "", "", "", "/media/anna/BACKUP/Photos/2024/March/", 0, "", "");
    for (const char* photo : {"IMG_2041.jpg", "IMG_2042.jpg", "IMG_2043.jpg"}) {
        log.Add(Copied, "", photo, "/home/anna/Photos/2024/March/",
                "/media/anna/BACKUP/Photos/2024/March/", 0, "", "");
    }
    at(15, 9);
    log.Add(CopyError, "", "IMG_2044.jpg", "/home/anna/Photos/2024/March/",
            "/media/anna/BACKUP/Photos/2024/March/", 28, "No space left on device", "");
    log.Add(Deleted, "", "old-draft.xcf", "", "/media/anna/BACKUP/Photos/2023/", 0, "", "");
    log.Add(End, "Photos to USB disk", "", "", "", 0, "", "");
    at(45, 0);
    log.Add(Begin, "Documents nightly", "", "", "", 0, "", "");
    log.Add(Copied, "", "Tax return 2023.pdf", "/home/anna/Documents/",
            "/srv/backup/anna/Documents/", 0, "", "");
    log.Add(DeleteError, "", "lock.tmp", "", "/srv/backup/anna/Documents/", 13, "Permission denied",
            "");
    log.Add(Copied, "", "notes.md", "/home/anna/Documents/", "/srv/backup/anna/Documents/", 0, "",
            "");
    at(45, 2);
    log.Add(End, "Documents nightly", "", "", "", 0, "", "");
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
