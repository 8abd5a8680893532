// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/PriorityRulesController.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/logic/MessageCheck.h"
#include "app/options/PriorityRuleController.h"
#include "app/support/FakeAppPrompt.h"
#include "app/support/RecordingHelpViewer.h"
#include "settings/TimeText.h"

namespace duvanto {
namespace {

using test::FakeAppPrompt;
using test::IsMessage;

cPriorityRule Rule(int startHour, int startMinute, int endHour, int endMinute,
                   int32_t priorityClass = NORMAL_PRIORITY_CLASS) {
    return {TimeOfDayFromClock(startHour, startMinute), TimeOfDayFromClock(endHour, endMinute),
            priorityClass, ""};
}

class PriorityRulesControllerTest : public ::testing::Test, protected test::PromptAndReporter {
protected:
    cPriorityRules rules{reporter};
    test::RecordingHelpViewer help;
    PriorityRulesController controller{rules, prompt, &help};
    // What the editor was opened on, in order.
    std::vector<std::optional<cPriorityRule>> editorShown;

    // An editor that answers `rule` (nothing: Cancel).
    PriorityRuleEditor Answer(std::optional<cPriorityRule> rule) {
        return [this, rule](const std::optional<cPriorityRule>& shown) {
            editorShown.push_back(shown);
            return rule;
        };
    }
    // Opens the window on the given rules.
    void OpenWith(const std::vector<cPriorityRule>& existing) {
        for (const cPriorityRule& rule : existing) {
            ASSERT_TRUE(rules.Add(rule));
        }
        controller.Open();
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const cPriorityRule& rule : rules.PriorityRules()) {
            keys.push_back(rule.Key);
        }
        return keys;
    }
    void ExpectOneMessage(const char* title, const char* text, MessageIcon icon) {
        ASSERT_EQ(prompt.messages.shown.size(), 1u);
        EXPECT_TRUE(test::IsMessage(prompt.messages.shown[0], title, text, icon));
        prompt.messages.shown.clear();
    }
};

TEST_F(PriorityRulesControllerTest, OpeningWithNoRulesAddsTheAllDayLowRule) {
    controller.Open();
    EXPECT_EQ(controller.Lines(),
              (std::vector<std::string>{"12:00 AM to 11:59 PM - LOW PRIORITY"}));
    controller.Open();
    EXPECT_EQ(rules.Count(), 1);
}

TEST_F(PriorityRulesControllerTest, NewRulesThatOverlapAnotherAreRefused) {
    OpenWith({Rule(11, 0, 13, 0)});
    EXPECT_FALSE(controller.New(Answer(Rule(8, 0, 12, 0))));
    ExpectOneMessage("Add Failed",
                     "The Priority Rule could not be added because it conflicts with an existing "
                     "rule.",
                     MessageIcon::Exclamation);
    EXPECT_EQ(rules.Count(), 1);

    // Which ranges overlap is the rules' own decision, tested with them.
    EXPECT_TRUE(controller.New(Answer(Rule(13, 1, 14, 0, HIGH_PRIORITY_CLASS))));
    EXPECT_TRUE(controller.New(Answer(Rule(22, 0, 6, 0, IDLE_PRIORITY_CLASS))));
    EXPECT_EQ(controller.Lines(), (std::vector<std::string>{
                                      "11:00 AM to 01:00 PM - NORMAL PRIORITY",
                                      "01:01 PM to 02:00 PM - HIGH PRIORITY",
                                      "10:00 PM to 06:00 AM - LOW PRIORITY",
                                  }));
    EXPECT_FALSE(controller.New(Answer(std::nullopt)));  // Cancel
    EXPECT_EQ(rules.Count(), 3);
    EXPECT_TRUE(prompt.messages.shown.empty());
    EXPECT_FALSE(editorShown.back().has_value());
}

TEST_F(PriorityRulesControllerTest, EditingWithoutAChangeOrIntoAnotherRulesTextIsNotUnique) {
    OpenWith({Rule(8, 0, 12, 0), Rule(13, 0, 17, 0)});
    // Unchanged, or the text of the other rule: uniqueness is asked before overlap.
    for (const cPriorityRule& answer : {Rule(8, 0, 12, 0), Rule(13, 0, 17, 0)}) {
        EXPECT_FALSE(controller.Edit(0, Answer(answer)));
        ExpectOneMessage("Edit Failed",
                         "The Priority Rule could not be changed.  Make sure that it is unique.",
                         MessageIcon::Exclamation);
    }
    ASSERT_TRUE(editorShown.back().has_value());
    EXPECT_EQ(editorShown.back()->Key, "08:00 AM to 12:00 PM - NORMAL PRIORITY");
    EXPECT_FALSE(controller.Edit(0, Answer(Rule(8, 0, 13, 30))));
    ExpectOneMessage("Edit Failed", "The changes conflict with an existing rule.",
                     MessageIcon::Exclamation);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"08:00 AM to 12:00 PM - NORMAL PRIORITY",
                                                "01:00 PM to 05:00 PM - NORMAL PRIORITY"}));
}

TEST_F(PriorityRulesControllerTest, AnEditedRuleKeepsItsLineAndMovesToTheEndOfTheRules) {
    OpenWith({Rule(8, 0, 12, 0), Rule(13, 0, 17, 0)});
    // Overlapping only its own old range is fine.
    EXPECT_TRUE(controller.Edit(0, Answer(Rule(7, 0, 12, 30, HIGH_PRIORITY_CLASS))));
    EXPECT_EQ(controller.Lines(), (std::vector<std::string>{
                                      "07:00 AM to 12:30 PM - HIGH PRIORITY",
                                      "01:00 PM to 05:00 PM - NORMAL PRIORITY",
                                  }));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"01:00 PM to 05:00 PM - NORMAL PRIORITY",
                                                "07:00 AM to 12:30 PM - HIGH PRIORITY"}));
    // The line still names its rule after the move.
    EXPECT_TRUE(controller.Edit(0, Answer(Rule(7, 0, 12, 30, IDLE_PRIORITY_CLASS))));
    EXPECT_EQ(controller.Lines()[0], "07:00 AM to 12:30 PM - LOW PRIORITY");
    EXPECT_EQ(rules.Count(), 2);
    EXPECT_TRUE(prompt.messages.shown.empty());

    EXPECT_FALSE(controller.Edit(1, Answer(std::nullopt)));
    EXPECT_EQ(rules.Count(), 2);
}

TEST_F(PriorityRulesControllerTest, EditAndRemoveNeedASelectedRule) {
    OpenWith({Rule(8, 0, 12, 0), Rule(13, 0, 17, 0)});
    EXPECT_FALSE(controller.Edit(-1, Answer(Rule(1, 0, 2, 0))));
    ExpectOneMessage("Edit/View Priority Rule", "Please select a Priority Rule",
                     MessageIcon::Information);
    EXPECT_TRUE(editorShown.empty());
    EXPECT_FALSE(controller.Remove(-1));
    ExpectOneMessage("Remove Priority Rule", "Please select a Priority Rule",
                     MessageIcon::Information);
    EXPECT_FALSE(controller.Remove(2));
    prompt.messages.shown.clear();

    EXPECT_TRUE(controller.Remove(0));
    EXPECT_EQ(controller.Lines(),
              (std::vector<std::string>{"01:00 PM to 05:00 PM - NORMAL PRIORITY"}));
    EXPECT_EQ(Keys(), controller.Lines());
    controller.Help();
    EXPECT_EQ(help.shown, (std::vector<int>{59}));
}

TEST(PriorityRuleControllerTest, TheEditorShowsAndBuildsPureTimesOfDayAndClasses) {
    EXPECT_EQ(PriorityRuleController::Shown(std::nullopt), (PriorityRuleFields{0, 0, 23, 59, 0}));
    const cPriorityRule night = Rule(22, 0, 6, 5, HIGH_PRIORITY_CLASS);
    EXPECT_EQ(PriorityRuleController::Shown(night), (PriorityRuleFields{22, 0, 6, 5, 2}));
    EXPECT_EQ(PriorityRuleController::Shown(Rule(9, 30, 17, 0)).classIndex, 1);
    EXPECT_EQ(PriorityRuleController::Shown(Rule(9, 30, 17, 0, 16)).classIndex, 0);

    const cPriorityRule built = PriorityRuleController::Built({22, 0, 6, 5, 2});
    EXPECT_EQ(PriorityRuleText(built), "10:00 PM to 06:05 AM - HIGH PRIORITY");
    EXPECT_EQ(built.StartTime, night.StartTime);
    EXPECT_EQ(built.EndTime, night.EndTime);
    EXPECT_EQ(PriorityRuleController::Built({0, 0, 23, 59, 1}).PriorityClass,
              NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(PriorityRuleController::Built({0, 0, 23, 59, 0}).PriorityClass, IDLE_PRIORITY_CLASS);
}

}  // namespace
}  // namespace duvanto
