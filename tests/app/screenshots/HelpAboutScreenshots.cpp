// The About box and the help window at the quick-start page, as a user first sees them.

#include "app/widgets/HelpWindow.h"
#include "app/widgets/frmAbout.h"
#include "screenshots/Screenshots.h"
#include "support/FakeAppPrompt.h"

namespace duvanto::screenshots {

namespace {

test::FakeAppPrompt& Answers() {
    static test::FakeAppPrompt prompt;
    return prompt;
}

}  // namespace

DUVANTO_SCREENSHOT("about", [](Context& context) -> QWidget* {
    auto* about = new frmAbout(context.home, Answers());
    about->show();
    return about;
});

DUVANTO_SCREENSHOT("help-quick-start", [](Context&) -> QWidget* {
    auto* help = new HelpWindow(nullptr, [](const QUrl&) {});
    help->ShowHelp(HelpQuickStart);
    return help;
});

}  // namespace duvanto::screenshots
