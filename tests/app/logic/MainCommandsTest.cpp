// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/MainCommands.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/support/FakeAppPrompt.h"
#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

namespace duvanto {
namespace {

// A menu's items in order: "-" for a separator, a submenu as "caption>".
std::vector<std::string> Captions(const CommandEntry& menu) {
    std::vector<std::string> captions;
    for (const CommandEntry& item : menu.children) {
        if (item.kind == CommandKind::Separator) {
            captions.push_back("-");
        } else {
            captions.push_back(item.caption + (item.kind == CommandKind::Submenu ? ">" : ""));
        }
    }
    return captions;
}

const CommandEntry& Menu(const std::string& id) {
    const CommandEntry* menu = FindCommand(id);
    EXPECT_NE(menu, nullptr) << id;
    return *menu;
}

TEST(MainCommandsTest, MenusHoldTheirItemsInOrder) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"", {"&File>", "&Options>", "&Log>", "&Help>"}},
        {"mnuFile",
         {"&New Clone Task",
          "&Duplicate Selected Task",
          "&Delete Task",
          "&Rename Task",
          "Task &Properties...",
          "-",
          "Run Selected Tas&k",
          "Run &Tasks with Checkmarks",
          "Run &All Tasks",
          "-",
          "Restore Source from Target",
          "-",
          "&Pause Scheduler",
          "Cr&eate a Report of Folder Differences",
          "-",
          "Ne&w Task List...",
          "L&oad Task List...",
          "&Save Task List As...",
          "-",
          "C&lose",
          "Shut &Down Duvanto"}},
        {"mnuHelp",
         {"&Contents", "&Icon Legend", "&Troubleshooting", "Duvanto on the &Web>", "-",
          "&About..."}},
        {"mnuHelpWeb", {"&Web Site", "&Contact Us"}},
        {"mnuOptionsResetError", {"&Selected Task", "&All Tasks"}},
        {"mnuOptionsToolbar", {"&Show Toolbar", "&Hide Toolbar"}},
        {"mnuTray",
         {"Cancel This Menu", "-", "Reset &Error Indicator", "&Pause Scheduler", "-",
          "&Show Main Window", "Send to &Tray", "-", "&Shut Down Duvanto"}},
        {"mnuRunChoice", {"Run Selected Task", "Run Tasks with Checkmarks"}},
    };
    for (const auto& [id, captions] : expected) {
        if (id.empty()) {
            EXPECT_EQ(Captions(CommandEntry{CommandKind::Submenu, "", "", "", false, false,
                                            MainMenuBar()}),
                      captions);
        } else {
            EXPECT_EQ(Captions(Menu(id)), captions) << id;
        }
    }
    // The Options menu ends with the items of the main window alone.
    const std::vector<std::string> options = Captions(MainMenuBar()[1]);
    ASSERT_GE(options.size(), 2u);
    EXPECT_EQ(options[options.size() - 2], "Reset &Error Indicator>");
    EXPECT_EQ(options.back(), "&Toolbar>");
}

// Every menu is usable by keyboard: the menu bar's four keys are F, O, L and H, and within a
// menu no two items share an access key, except where the stored captions themselves give the
// same letter (Qt then moves between those items on each press, Enter chooses): the tray's
// "&Shut Down Duvanto" keeps its letter apart from the File menu's, where D is the word's own.
TEST(MainCommandsTest, AccessKeysAreUniqueWithinEachMenu) {
    std::string barKeys;
    std::vector<std::string> shared;
    const std::function<void(const CommandEntry&)> check = [&](const CommandEntry& menu) {
        std::map<char, std::string> keys;
        for (const CommandEntry& item : menu.children) {
            const std::size_t amp = item.caption.find('&');
            if (amp != std::string::npos && amp + 1 < item.caption.size()) {
                const char key = static_cast<char>(
                    std::tolower(static_cast<unsigned char>(item.caption[amp + 1])));
                if (!keys.emplace(key, item.caption).second) {
                    shared.push_back(keys[key] + " / " + item.caption);
                }
            }
            check(item);
        }
    };
    for (const CommandEntry& menu : MainMenuBar()) {
        barKeys += menu.caption.substr(menu.caption.find('&') + 1, 1);
        check(menu);
    }
    check(TrayMenu());
    EXPECT_EQ(barKeys, "FOLH");
    EXPECT_EQ(shared, (std::vector<std::string>{"&Duplicate Selected Task / &Delete Task",
                                                "Task &Properties... / &Pause Scheduler",
                                                "&Duplicate Selected Task / Shut &Down Duvanto",
                                                "&Show Main Window / &Shut Down Duvanto"}));
}

TEST(MainCommandsTest, ToolbarButtonsNameCommandsOfTheTable) {
    std::vector<int> indexes;
    for (const ToolbarButton& button : ToolbarButtons()) {
        indexes.push_back(button.index);
        if (button.commandId != kToolbarRun) {
            EXPECT_NE(FindCommand(button.commandId), nullptr) << button.commandId;
        }
    }
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_NE(FindCommand(kContextMenuDefault), nullptr);
}

// A command nobody handles is off and does nothing. While a run lasts its menus are off, and so
// is every item of them however it is reached (the right-click menu is the File menu, a
// shortcut, a menu left open): each only beeps, until the run ends. The tray menu stays usable
// but for Shut Down, and so does Help.
TEST(CommandRegistryTest, EveryItemOfTheMenusARunDisablesOnlyBeepsDuringARun) {
    test::PromptAndReporter world;
    test::RecordingPrompt& prompt = world.prompt.messages;
    RunFlags flags;
    CommandRegistry registry(world.prompt, flags, world.reporter);
    EXPECT_FALSE(registry.State("mnuFileDuplicateTask").enabled);
    registry.Invoke("mnuFileDuplicateTask");
    std::vector<std::string> ids;
    const std::function<void(const CommandEntry&)> collect = [&](const CommandEntry& menu) {
        for (const CommandEntry& item : menu.children) {
            if (item.kind == CommandKind::Submenu) {
                collect(item);
            } else if (item.kind != CommandKind::Separator) {
                ids.push_back(item.id);
            }
        }
    };
    for (const CommandEntry& menu : MainMenuBar()) {
        collect(menu);
    }
    collect(TrayMenu());
    std::vector<std::string> ran;
    for (const std::string& id : ids) {
        registry.Register(id, {[&ran, id] { ran.push_back(id); }, {}});
    }

    flags.CloneInProgress = true;
    for (const std::string& id : ids) {
        registry.Invoke(id);
    }
    for (const std::string& id : ran) {
        EXPECT_TRUE(id.rfind("mnuHelp", 0) == 0 || id.rfind("mnuTray", 0) == 0) << id;
    }
    EXPECT_EQ(ran, (std::vector<std::string>{
                       "mnuHelpContents", "mnuHelpIconLegend", "mnuHelpTroubleshooting",
                       "mnuHelpWebSite", "mnuHelpContactUs", "mnuHelpAbout", "mnuTrayCancel",
                       "mnuTrayResetError", "mnuTrayPause", "mnuTrayShow", "mnuTraySendToTray"}));
    EXPECT_EQ(prompt.beeps, static_cast<int>(ids.size() - ran.size()));
    EXPECT_TRUE(prompt.shown.empty());

    flags.CloneInProgress = false;
    registry.Invoke("mnuFileNewTask");
    EXPECT_EQ(ran.back(), "mnuFileNewTask");
}

// A command that fails unexpectedly is reported under its label, with the failure's kind kept
// in ERR_DETAIL.TXT, and the registry returns as from any other command.
TEST(CommandRegistryTest, AnUnexpectedFailureOfACommandIsReportedUnderItsLabel) {
    test::TempDir home;
    test::RecordingPrompt prompt;
    test::FixedClock clock;
    PosixFileSystem fileSystem;
    ErrorReporter reporter(home.Path(), prompt, clock, fileSystem);
    RunFlags flags;
    CommandRegistry registry(prompt, flags, reporter);
    registry.Register("mnuFileNewTaskList",
                      {[] { throw std::out_of_range("vector index 7 of 3"); }, {}});
    registry.Invoke("mnuFileNewTaskList");

    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in frmDuvanto.mnuFileNewTaskList_Click");
    EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Exclamation);
    const std::string& text = prompt.shown[0].text;
    EXPECT_EQ(text.rfind("Error: vector index 7 of 3\r\nSource: "
                         "frmDuvanto.mnuFileNewTaskList_Click\r\nNo: 5\r\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("See the ERR_DETAIL.TXT file before proceeding."), std::string::npos);
    const std::string detail = test::ReadFile(home / "ERR_DETAIL.TXT");
    EXPECT_NE(detail.find("Exception: std::out_of_range: vector index 7 of 3"), std::string::npos)
        << detail;
}

}  // namespace
}  // namespace duvanto
