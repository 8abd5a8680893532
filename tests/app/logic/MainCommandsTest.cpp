#include "app/logic/MainCommands.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

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
          "C&lose"}},
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
// menu no two items share an access key, except the three pairs that the stored captions
// themselves give (Qt then moves between the two items on each press, Enter chooses).
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

TEST(CommandRegistryTest, BusyCommandsBeepWhileACloneRunsAndUnhandledOnesAreOff) {
    test::RecordingPrompt prompt;
    RunFlags flags;
    CommandRegistry registry(prompt, flags);
    std::vector<std::string> ran;
    registry.Register("mnuFileNewTask", {[&] { ran.push_back("new"); }, {}});
    registry.Register("mnuFileClose", {[&] { ran.push_back("close"); }, {}});

    EXPECT_FALSE(registry.State("mnuFileDuplicateTask").enabled);
    registry.Invoke("mnuFileDuplicateTask");  // nobody handles it yet: nothing happens
    EXPECT_TRUE(registry.State("mnuFileNewTask").enabled);

    flags.CloneInProgress = true;
    registry.Invoke("mnuFileNewTask");
    registry.Invoke("mnuFileClose");  // not a busy command
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(ran, std::vector<std::string>{"close"});

    flags.CloneInProgress = false;
    registry.Invoke("mnuFileNewTask");
    EXPECT_EQ(ran, (std::vector<std::string>{"close", "new"}));
    EXPECT_EQ(prompt.beeps, 1);
}

}  // namespace
}  // namespace duvanto
