// SPDX-License-Identifier: GPL-3.0-or-later
// Dates written under one locale and read under another: a task list saved on the desktop is
// read by cron in the C locale, an options file moves between machines.

#include "util/DateReading.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/ScopedLocale.h"
#include "util/OleDate.h"

namespace duvanto::test {
namespace {

double OleAt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return OleDateFromLocal(LocalDateTime{y, mo, d, h, mi, s});
}

// The locales the bootstrap script generates, and C.
const char* const kLocales[] = {"C", "de_DE.UTF-8", "en_GB.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8"};

class AcrossLocales : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {
protected:
    void SetUp() override {
        for (const char* name : {Writer(), Reader()}) {
            if (!ScopedTimeLocale(name).ok()) {
                GTEST_SKIP() << "the " << name
                             << " locale is not installed (scripts/bootstrap.sh generates it)";
            }
        }
    }
    const char* Writer() const { return std::get<0>(GetParam()); }
    const char* Reader() const { return std::get<1>(GetParam()); }
};

// Every value whose day cannot be taken for a month reads back as written, whichever locale
// wrote it and whichever reads it; so do times of day, midnight dates and the values of a
// never-run task.
TEST_P(AcrossLocales, WrittenInOneReadInAnother) {
    const double values[] = {OleAt(2003, 12, 24, 16, 38, 16),
                             OleAt(2000, 1, 31),
                             OleAt(2024, 2, 29, 0, 0, 1),
                             OleAt(1999, 12, 31, 23, 59, 59),
                             OleAt(1899, 12, 30, 21, 15),
                             OleAt(1899, 12, 30, 23, 59, 59),
                             0.5,
                             0.0,
                             OleAt(9999, 12, 31)};
    for (const double value : values) {
        std::string text;
        {
            ScopedTimeLocale writer(Writer());
            text = GeneralDateText(value);
        }
        ScopedTimeLocale reader(Reader());
        EXPECT_EQ(ParseGeneralDateText(text), value)
            << "\"" << text << "\" written in " << Writer() << ", read in " << Reader();
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, AcrossLocales,
                         ::testing::Combine(::testing::ValuesIn(kLocales),
                                            ::testing::ValuesIn(kLocales)),
                         [](const auto& info) {
                             std::string name = std::string(std::get<0>(info.param)) + "_to_" +
                                                std::get<1>(info.param);
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

// A day and month that could be either: the reader's own order decides when its short date
// uses the same separator; else "/" is the US order (month first) and "." is day first.
TEST(AmbiguousDays, TheReadersOwnFormDecidesThenTheSeparator) {
    // Each locale, and the day it reads "04/12/2003" as.
    const std::pair<const char*, double> cases[] = {
        {"C", OleAt(2003, 4, 12)},           {"de_DE.UTF-8", OleAt(2003, 4, 12)},
        {"en_GB.UTF-8", OleAt(2003, 12, 4)}, {"fr_FR.UTF-8", OleAt(2003, 12, 4)},
        {"ja_JP.UTF-8", OleAt(2003, 4, 12)},
    };
    for (const auto& [name, slash] : cases) {
        ScopedTimeLocale locale(name);
        if (!locale.ok()) {
            GTEST_SKIP() << "the " << name << " locale is not installed";
        }
        EXPECT_EQ(ParseGeneralDate("04/12/2003"), slash) << name;
        EXPECT_EQ(ParseGeneralDate("4.12.2003 16:38:16"), OleAt(2003, 12, 4, 16, 38, 16)) << name;
        // The values decide when only one order gives a day.
        EXPECT_EQ(ParseGeneralDate("13/12/2003"), OleAt(2003, 12, 13)) << name;
        EXPECT_EQ(ParseGeneralDate("12/13/2003 1:00:00 PM"), OleAt(2003, 12, 13, 13)) << name;
        EXPECT_EQ(ParseGeneralDate("31.04.2003"), std::nullopt) << name;
    }
}

// The forms other locales write, read with explicit rules (no locale involved).
TEST(DateReading, NumericFormsOfOtherLocales) {
    const DateReadingRules us;  // the C locale: M/D/YYYY
    const LocalDateTime expected{2003, 12, 4, 16, 38, 16};
    auto same = [&](const std::optional<LocalDateTime>& v) {
        return v && std::tie(v->year, v->month, v->day, v->hour, v->minute, v->second) ==
                        std::tie(expected.year, expected.month, expected.day, expected.hour,
                                 expected.minute, expected.second);
    };
    for (const char* text :
         {"12/4/2003 4:38:16 PM", "04.12.2003 16:38:16", "4. 12. 2003 16:38:16",
          "04.12.2003. 16:38:16", "2003-12-04T16:38:16", "2003/12/04 16:38:16",
          "2003.12.04. 16:38:16", "2003年12月04日 16時38分16秒", "2003年12月4日 午後4時38分16秒",
          "2003년 12월 04일 오후 4:38:16", "04-12-2003 16.38.16", "12/4/2003 4:38:16 p.m.",
          " 12/4/2003  04:38:16 pm "}) {
        EXPECT_TRUE(same(ReadDateText(text, us))) << text;
    }
    DateReadingRules german;
    german.separator = '.';
    german.dayFirst = true;
    german.pm = "nachm.";
    EXPECT_TRUE(same(ReadDateText("04.12.2003 4:38:16 nachm.", german)));
    EXPECT_TRUE(same(ReadDateText("12/4/2003 4:38:16 PM", german))) << "the US form in any locale";

    const std::optional<LocalDateTime> time = ReadTimeText("午前12時05分", us);
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(std::tie(time->year, time->hour, time->minute), std::make_tuple(1899, 0, 5));
    for (const char* text :
         {"2003年12月04日 16時38分16", "04.12.2003 16:38:16 PM", "12/4/2003 16:38:16 XM",
          "04.12.03", "2003/12/4/1", "2003-12-04T", "04.12.2003 16.38:16", "12/4/2003 4:3"}) {
        EXPECT_FALSE(ReadDateText(text, us).has_value()) << text;
    }
    for (const char* text : {"4:38:16 PM PM", "午後13時00分", "16時", "16:38 時"}) {
        EXPECT_FALSE(ReadTimeText(text, us).has_value()) << text;
    }
}

}  // namespace
}  // namespace duvanto::test
