// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PriorityRules.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <iostream>
#include <thread>
#include <utility>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "settings/TimeText.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"
#include "util/OleDate.h"

namespace duvanto::test {
namespace {

double At(int hour, int minute, int second = 0) {
    return OleDateFromLocal({1899, 12, 30, hour, minute, second});
}

cPriorityRule Rule(double start, double end, int32_t priorityClass) {
    return {start, end, priorityClass, ""};
}

class PriorityRulesTest : public ::testing::Test {
protected:
    ScopedTimeLocale locale{"C"};
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock;
    PosixFileSystem fileSystem;
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};
    cPriorityRules rules{reporter};
};

TEST_F(PriorityRulesTest, DisplayTextIsTheKeyAndDuplicatesAndUnknownKeysAreReported) {
    ASSERT_TRUE(rules.Add(Rule(At(9, 30), At(17, 0), NORMAL_PRIORITY_CLASS)));
    ASSERT_TRUE(rules.Add(DefaultPriorityRule()));
    ASSERT_TRUE(rules.Add(Rule(At(12, 0), At(12, 5, 59), 7)));
    ASSERT_EQ(rules.Count(), 3);
    EXPECT_EQ(rules.PriorityRules()[0].Key, "09:30 AM to 05:00 PM - NORMAL PRIORITY");
    EXPECT_EQ(rules.PriorityRules()[1].Key, "12:00 AM to 11:59 PM - LOW PRIORITY");
    EXPECT_EQ(rules.PriorityRules()[2].Key, "12:00 PM to 12:05 PM - ");
    EXPECT_EQ(PriorityRuleText(Rule(At(22, 0), At(6, 0), HIGH_PRIORITY_CLASS)),
              "10:00 PM to 06:00 AM - HIGH PRIORITY");

    EXPECT_FALSE(rules.Add(DefaultPriorityRule()));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cPriorityRules.Add");
    EXPECT_FALSE(rules.Remove("01:00 AM to 02:00 AM - LOW PRIORITY"));
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].title, "Unexpected Error in cPriorityRules.Remove");
    EXPECT_EQ(rules.Count(), 3);

    EXPECT_TRUE(rules.DoesThisRuleExist("12:00 am to 11:59 pm - low priority"));
    EXPECT_TRUE(rules.Remove("12:00 AM to 11:59 PM - LOW PRIORITY"));
    EXPECT_EQ(rules.Count(), 2);
    EXPECT_FALSE(rules.DoesThisRuleExist("12:00 AM to 11:59 PM - LOW PRIORITY"));
}

TEST_F(PriorityRulesTest, TheRuleCoveringTheMinuteDecides) {
    EXPECT_EQ(rules.GetApplicablePriorityClass(38000 + At(12, 0)), IDLE_PRIORITY_CLASS);

    rules.Add(Rule(At(22, 0), At(6, 0), HIGH_PRIORITY_CLASS));
    rules.Add(Rule(At(6, 1), At(8, 0), 7));
    rules.Add(Rule(At(12, 0), At(23, 59), NORMAL_PRIORITY_CLASS));
    rules.Add(Rule(At(11, 0), At(13, 0), HIGH_PRIORITY_CLASS));
    const double day = 38000;  // a date part is ignored
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(23, 30)), HIGH_PRIORITY_CLASS);
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(6, 0, 59)), HIGH_PRIORITY_CLASS);
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(6, 1)), IDLE_PRIORITY_CLASS);
    EXPECT_FALSE(cPriorityRules::IsTimeInRange(At(23, 59, 30), At(22, 0), At(6, 0)));
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(10, 0)), IDLE_PRIORITY_CLASS);
    // The first rule added wins where two overlap.
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(12, 30)), NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(rules.GetApplicablePriorityClass(day + At(11, 30)), HIGH_PRIORITY_CLASS);

    cPriorityRules allDay(reporter);
    allDay.Add(Rule(At(0, 0), At(23, 59), NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(allDay.GetApplicablePriorityClass(day + At(23, 59, 40)), NORMAL_PRIORITY_CLASS);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PriorityRulesTest, OverlapsWithOtherRulesAreConflicts) {
    rules.Add(Rule(At(11, 0), At(13, 0), NORMAL_PRIORITY_CLASS));
    EXPECT_TRUE(rules.DoesRuleConflictWithOtherRules(Rule(At(8, 0), At(12, 0), 64), ""));
    // Containment either way, with neither end inside the other range in one direction.
    EXPECT_TRUE(rules.DoesRuleConflictWithOtherRules(Rule(At(10, 0), At(14, 0), 64), ""));
    EXPECT_TRUE(rules.DoesRuleConflictWithOtherRules(Rule(At(11, 30), At(12, 0), 64), ""));
    EXPECT_TRUE(rules.DoesRuleConflictWithOtherRules(Rule(At(23, 0), At(11, 0), 64), ""));
    EXPECT_FALSE(rules.DoesRuleConflictWithOtherRules(Rule(At(13, 1), At(10, 59), 64), ""));

    cPriorityRules morning(reporter);
    morning.Add(Rule(At(8, 0), At(12, 0), NORMAL_PRIORITY_CLASS));
    EXPECT_FALSE(morning.DoesRuleConflictWithOtherRules(Rule(At(12, 1), At(13, 0), 64), ""));
    morning.Add(Rule(At(20, 0), At(21, 0), HIGH_PRIORITY_CLASS));
    const cPriorityRule overlapsFirstOnly = Rule(At(7, 0), At(8, 0), 64);
    EXPECT_TRUE(morning.DoesRuleConflictWithOtherRules(overlapsFirstOnly, ""));
    const std::string firstKey = morning.PriorityRules()[0].Key;
    EXPECT_FALSE(morning.DoesRuleConflictWithOtherRules(overlapsFirstOnly, firstKey));
}

TEST_F(PriorityRulesTest, RulesAreKeptInTheOptionsFile) {
    IniDocument ini = IniDocument::Parse(
        "[Priority Rules]\n"
        "NumRules=4\n"
        "PriorityRule1=9:30:00 AM,5:00:00 PM,32\n"
        "PriorityRule2=\n"
        "PriorityRule3=12/4/2003 10:00:00 PM, 1:00:00 AM ,128\n"
        "PriorityRule9=1:00:00 AM,2:00:00 AM,64\n");
    ReadPriorityRules(rules, "4", ini);
    ASSERT_EQ(rules.Count(), 2);
    EXPECT_EQ(rules.PriorityRules()[0].Key, "09:30 AM to 05:00 PM - NORMAL PRIORITY");
    // The date part is dropped, so the range test can reach the rule.
    EXPECT_EQ(rules.PriorityRules()[1].StartTime, At(22, 0));
    EXPECT_EQ(rules.PriorityRules()[1].PriorityClass, HIGH_PRIORITY_CLASS);

    IniDocument saved;
    WritePriorityRules(rules, saved);
    EXPECT_EQ(saved.Text(),
              "[Priority Rules]\r\nNumRules=2\r\n"
              "PriorityRule1=9:30:00 AM,5:00:00 PM,32\r\n"
              "PriorityRule2=10:00:00 PM,1:00:00 AM,128\r\n");

    ReadPriorityRules(rules, "0", saved);
    ASSERT_EQ(rules.Count(), 1);
    EXPECT_EQ(rules.PriorityRules()[0].Key, "12:00 AM to 11:59 PM - LOW PRIORITY");
    EXPECT_EQ(PriorityRuleValue(rules.PriorityRules()[0]), "12:00:00 AM,11:59:00 PM,64");
}

// The file holds the locale's long time; C.UTF-8 writes it as the C locale does. The key
// shown in the list keeps its own form.
TEST_F(PriorityRulesTest, RuleTimesFollowTheLocalesLongTime) {
    const cPriorityRule rule = Rule(At(9, 30), At(23, 59), NORMAL_PRIORITY_CLASS);
    for (const auto& [name, value] : {std::pair{"de_DE.utf8", "09:30:00,23:59:00,32"},
                                      {"C.UTF-8", "9:30:00 AM,11:59:00 PM,32"}}) {
        ScopedTimeLocale locale(name);
        if (!locale.ok()) {
            std::cout << "[  SKIPPED ] locale " << name << " is not installed\n";
            continue;
        }
        EXPECT_EQ(PriorityRuleValue(rule), value) << name;
        EXPECT_EQ(PriorityRuleText(rule), "09:30 AM to 11:59 PM - NORMAL PRIORITY") << name;
        const IniDocument ini =
            IniDocument::Parse(std::string("[Priority Rules]\nPriorityRule1=") + value +
                               "\nPriorityRule2=1:00:00 AM,2:00:00 AM,64\n");
        ReadPriorityRules(rules, "2", ini);
        ASSERT_EQ(rules.Count(), 2) << name;
        EXPECT_EQ(rules.PriorityRules()[0].StartTime, At(9, 30)) << name;
        EXPECT_EQ(rules.PriorityRules()[0].EndTime, At(23, 59)) << name;
        EXPECT_EQ(rules.PriorityRules()[1].StartTime, At(1, 0)) << name;
    }
}

TEST_F(PriorityRulesTest, AnUnreadableRuleStopsTheReadAtThatKey) {
    const auto readStops = [&](const std::string& numRules, const std::string& second,
                               long number) {
        const IniDocument ini = IniDocument::Parse(
            "[Priority Rules]\nPriorityRule1=" + PriorityRuleValue(DefaultPriorityRule()) +
            "\nPriorityRule2=" + second + "\n");
        try {
            ReadPriorityRules(rules, numRules, ini);
            ADD_FAILURE() << second << " was read";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), number) << second;
        }
    };
    readStops("2", "1:00:00 AM,2:00:00 AM", 9);
    EXPECT_EQ(rules.Count(), 1);  // the rule before it stays
    readStops("2", "one,2:00:00 AM,64", 13);
    readStops("2", "1:00:00 AM,2:00:00 AM,99999999999", 6);

    rules.Add(Rule(At(1, 0), At(2, 0), 64));
    EXPECT_THROW(ReadPriorityRules(rules, "two", IniDocument{}), RuntimeError);
    EXPECT_EQ(rules.Count(), 2);  // a bad count reads nothing and keeps what was there
    ReadPriorityRules(rules, "1e12", IniDocument{});
    EXPECT_EQ(rules.Count(), 0);
}

// Records what ChangePriority asks of the thread.
class FakePriority : public IThreadPriority {
public:
    int32_t CurrentClass() const override { return current; }
    Status SetClass(int32_t priorityClass) override {
        requested.push_back(priorityClass);
        if (refuse) {
            return Status::FromErrno(EACCES);
        }
        current = priorityClass;
        return Status::Ok();
    }
    int32_t current = NORMAL_PRIORITY_CLASS;
    bool refuse = false;
    std::vector<int32_t> requested;
};

TEST_F(PriorityRulesTest, ChangePrioritySetsOnlyADifferentClassAndTakesARefusalQuietly) {
    FakePriority fake;
    EXPECT_TRUE(ChangePriority(fake, NORMAL_PRIORITY_CLASS, reporter));
    EXPECT_TRUE(fake.requested.empty());

    rules.Add(Rule(At(22, 0), At(6, 0), HIGH_PRIORITY_CLASS));
    clock.now = 38000 + At(23, 0);
    fake.refuse = true;
    SetPriorityBasedOnRules(rules, clock, fake, reporter);
    EXPECT_EQ(fake.requested, std::vector<int32_t>{HIGH_PRIORITY_CLASS});
    EXPECT_EQ(fake.current, NORMAL_PRIORITY_CLASS);
    EXPECT_TRUE(prompt.shown.empty());

    fake.refuse = false;
    clock.now = 38000 + At(12, 0);
    SetPriorityBasedOnRules(rules, clock, fake, reporter);
    EXPECT_EQ(fake.current, IDLE_PRIORITY_CLASS);
}

// Runs body on a thread of its own, so the test's own thread keeps its priority.
void OnFreshThread(const std::function<void()>& body) {
    std::thread thread(body);
    thread.join();
}

constexpr int kBestEffort = 2;

int ThreadNice() {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

// Cron may start the runner niced: a run under a rule still gets both values of its class.
TEST_F(PriorityRulesTest, ClassesChangeTheCallingThreadOnlyAndInFull) {
    ThreadPriority priority;
    const int32_t before = priority.CurrentClass();
    rules.Add(Rule(At(0, 0), At(23, 59), IDLE_PRIORITY_CLASS));
    clock.now = 38000 + At(12, 0);
    OnFreshThread([&] {
        ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 5), 0);
        ThreadPriority thread;
        EXPECT_EQ(thread.CurrentClass(), 0) << "nice 5 is no class of its own";
        SetPriorityBasedOnRules(rules, clock, thread, reporter);
        EXPECT_EQ(thread.CurrentClass(), IDLE_PRIORITY_CLASS);
        EXPECT_EQ(ThreadNice(), 19);
        EXPECT_EQ(ThreadIoPriority().ioClass, kBestEffort);
        EXPECT_EQ(ThreadIoPriority().level, 7);
        EXPECT_EQ(thread.SetClass(5).code(), EINVAL);
        EXPECT_EQ(thread.CurrentClass(), IDLE_PRIORITY_CLASS);
    });
    EXPECT_EQ(priority.CurrentClass(), before);
    EXPECT_TRUE(prompt.shown.empty());

    if (geteuid() != 0) {
        GTEST_SKIP() << "raising a priority needs privilege";
    }
    OnFreshThread([] {
        ThreadPriority thread;
        ASSERT_TRUE(thread.SetClass(IDLE_PRIORITY_CLASS).ok());
        const Status raised = thread.SetClass(HIGH_PRIORITY_CLASS);
        if (!raised.ok()) {
            // A container without CAP_SYS_NICE refuses even root: the class stays.
            EXPECT_EQ(thread.CurrentClass(), IDLE_PRIORITY_CLASS);
            return;
        }
        EXPECT_EQ(thread.CurrentClass(), HIGH_PRIORITY_CLASS);
        EXPECT_EQ(ThreadIoPriority().ioClass, kBestEffort);
        EXPECT_EQ(ThreadIoPriority().level, 4);
        ASSERT_TRUE(thread.SetClass(NORMAL_PRIORITY_CLASS).ok());
        EXPECT_EQ(ThreadNice(), 0);
    });
}

TEST(ThreadPriorityTest, AnUnprivilegedRaiseLeavesThePriorityAsItWas) {
    TempDir dir;
    // As root this runs in a forked child dropped to an ordinary user; the child's only thread
    // is then lowered, never the test's.
    const int result = RunUnprivileged([&] {
        RecordingPrompt prompt;
        FixedClock clock(38000 + At(10, 0));
        PosixFileSystem fileSystem;
        ErrorReporter reporter(dir.Path(), prompt, clock, fileSystem);
        int code = 0;
        OnFreshThread([&] {
            ThreadPriority thread;
            if (!thread.SetClass(IDLE_PRIORITY_CLASS).ok()) {
                code = 1;
                return;
            }
            cPriorityRules rules(reporter);
            rules.Add(Rule(At(9, 0), At(11, 0), NORMAL_PRIORITY_CLASS));
            SetPriorityBasedOnRules(rules, clock, thread, reporter);
            const Status raised = thread.SetClass(HIGH_PRIORITY_CLASS);
            if (raised.ok() || (raised.code() != EACCES && raised.code() != EPERM)) {
                code = 2;
            } else if (thread.CurrentClass() != IDLE_PRIORITY_CLASS ||
                       ThreadIoPriority().level != 7) {
                code = 3;
            } else if (!prompt.shown.empty()) {
                code = 4;
            }
        });
        return code;
    });
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace duvanto::test
