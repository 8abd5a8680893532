// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/DateReading.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <utility>

#include "util/PathStrings.h"

namespace duvanto {

namespace {

class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}
    bool AtEnd() const { return m_pos == m_text.size(); }
    // Whether the last character taken was a blank.
    bool AfterBlank() const {
        return m_pos > 0 && (m_text[m_pos - 1] == ' ' || m_text[m_pos - 1] == '\t');
    }
    bool Take(char c) {
        if (!AtEnd() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool TakeBlanks() {
        const std::size_t start = m_pos;
        while (Take(' ') || Take('\t')) {
        }
        return m_pos > start;
    }
    // Between minDigits and maxDigits decimal digits, not followed by another digit.
    bool TakeNumber(int minDigits, int maxDigits, int& value) {
        const std::size_t start = m_pos;
        int count = 0;
        value = 0;
        while (count < maxDigits && !AtEnd() && IsDigit(m_text[m_pos])) {
            value = value * 10 + (m_text[m_pos++] - '0');
            ++count;
        }
        if (count >= minDigits && (AtEnd() || !IsDigit(m_text[m_pos]))) {
            return true;
        }
        m_pos = start;
        return false;
    }
    // How many digits the number here has.
    int DigitsAhead() const {
        int count = 0;
        while (m_pos + count < m_text.size() && IsDigit(m_text[m_pos + count])) {
            ++count;
        }
        return count;
    }
    // ASCII letters match without regard to case; other bytes exactly.
    bool TakeWord(std::string_view word) {
        if (word.empty() || m_text.size() - m_pos < word.size() ||
            strncasecmp(m_text.data() + m_pos, word.data(), word.size()) != 0) {
            return false;
        }
        m_pos += word.size();
        return true;
    }
    // One of the words, with blanks allowed on both sides.
    template <std::size_t N>
    bool TakeMark(const std::array<std::string_view, N>& words) {
        const std::size_t start = m_pos;
        TakeBlanks();
        for (std::string_view word : words) {
            if (TakeWord(word)) {
                TakeBlanks();
                return true;
            }
        }
        m_pos = start;
        return false;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

constexpr std::array<std::string_view, 2> kYearMarks = {"年", "년"};
constexpr std::array<std::string_view, 2> kMonthMarks = {"月", "월"};
constexpr std::array<std::string_view, 2> kDayMarks = {"日", "일"};
constexpr std::array<std::string_view, 4> kHourMarks = {"時", "时", "點", "시"};
constexpr std::array<std::string_view, 2> kMinuteMarks = {"分", "분"};
constexpr std::array<std::string_view, 2> kSecondMarks = {"秒", "초"};

// The words that make a time AM or PM. The dotted forms go before the bare ones, which are
// their prefixes.
constexpr std::array<std::string_view, 5> kAmWords = {"a.m.", "am", "午前", "上午", "오전"};
constexpr std::array<std::string_view, 5> kPmWords = {"p.m.", "pm", "午後", "下午", "오후"};

enum class Meridiem { None, Am, Pm };

Meridiem TakeMeridiem(Cursor& in, const DateReadingRules& rules) {
    if ((!rules.am.empty() && in.TakeWord(rules.am)) ||
        std::any_of(kAmWords.begin(), kAmWords.end(),
                    [&](std::string_view word) { return in.TakeWord(word); })) {
        return Meridiem::Am;
    }
    if ((!rules.pm.empty() && in.TakeWord(rules.pm)) ||
        std::any_of(kPmWords.begin(), kPmWords.end(),
                    [&](std::string_view word) { return in.TakeWord(word); })) {
        return Meridiem::Pm;
    }
    return Meridiem::None;
}

bool IsValidDay(int year, int month, int day) {
    LocalDateTime v;
    v.year = year;
    v.month = month;
    v.day = day;
    return IsValidLocalDateTime(v);
}

// A time of day from here to the end of the text.
bool TakeTime(Cursor& in, const DateReadingRules& rules, LocalDateTime& v) {
    v.hour = v.minute = v.second = 0;
    Meridiem meridiem = TakeMeridiem(in, rules);
    in.TakeBlanks();
    if (!in.TakeNumber(1, 2, v.hour)) {
        return false;
    }
    if (in.TakeMark(kHourMarks)) {
        if (!in.TakeNumber(1, 2, v.minute) || !in.TakeMark(kMinuteMarks)) {
            return false;
        }
        if (!in.AtEnd() && in.DigitsAhead() > 0 &&
            (!in.TakeNumber(1, 2, v.second) || !in.TakeMark(kSecondMarks))) {
            return false;
        }
    } else {
        const char separator = in.Take(':') ? ':' : (in.Take('.') ? '.' : '\0');
        if (separator == '\0' || !in.TakeNumber(2, 2, v.minute)) {
            return false;
        }
        if (in.Take(separator) && !in.TakeNumber(2, 2, v.second)) {
            return false;
        }
    }
    in.TakeBlanks();
    if (meridiem == Meridiem::None) {
        meridiem = TakeMeridiem(in, rules);
    }
    in.TakeBlanks();
    if (!in.AtEnd()) {
        return false;
    }
    if (meridiem != Meridiem::None) {
        if (v.hour < 1 || v.hour > 12) {
            return false;
        }
        v.hour = v.hour % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
    }
    return v.hour <= 23 && v.minute <= 59 && v.second <= 59;
}

// Year, month and day in that order, after the year's four digits.
bool TakeYearFirstDate(Cursor& in, LocalDateTime& v, bool& iso) {
    iso = false;
    if (in.TakeMark(kYearMarks)) {
        return in.TakeNumber(1, 2, v.month) && in.TakeMark(kMonthMarks) &&
               in.TakeNumber(1, 2, v.day) && in.TakeMark(kDayMarks);
    }
    if (in.Take('-')) {
        iso = true;
        return in.TakeNumber(2, 2, v.month) && in.Take('-') && in.TakeNumber(2, 2, v.day);
    }
    const char separator = in.Take('/') ? '/' : (in.Take('.') ? '.' : '\0');
    if (separator == '\0' || !in.TakeNumber(1, 2, v.month) || !in.Take(separator) ||
        !in.TakeNumber(1, 2, v.day)) {
        return false;
    }
    if (separator == '.') {
        in.Take('.');
    }
    return true;
}

// Day and month in either order, then the four-digit year.
bool TakeYearLastDate(Cursor& in, const DateReadingRules& rules, LocalDateTime& v) {
    int first = 0;
    int second = 0;
    if (!in.TakeNumber(1, 2, first)) {
        return false;
    }
    const char separator = in.Take('/') ? '/' : (in.Take('.') ? '.' : (in.Take('-') ? '-' : '\0'));
    if (separator == '\0') {
        return false;
    }
    // Some locales put a blank after each full stop ("4. 12. 2003").
    const bool dotted = separator == '.';
    if (dotted) {
        in.TakeBlanks();
    }
    if (!in.TakeNumber(1, 2, second) || !in.Take(separator)) {
        return false;
    }
    if (dotted) {
        in.TakeBlanks();
    }
    if (!in.TakeNumber(4, 4, v.year)) {
        return false;
    }
    if (dotted) {
        in.Take('.');
    }
    const bool dayFirst = rules.separator == separator ? rules.dayFirst : separator != '/';
    v.day = dayFirst ? first : second;
    v.month = dayFirst ? second : first;
    if (!IsValidDay(v.year, v.month, v.day) && IsValidDay(v.year, v.day, v.month)) {
        std::swap(v.day, v.month);
    }
    return true;
}

}  // namespace

std::optional<LocalDateTime> ReadDateText(std::string_view text, const DateReadingRules& rules) {
    const std::string trimmed = Trim(text);
    Cursor in(trimmed);
    LocalDateTime v;
    bool iso = false;
    const bool dated = in.DigitsAhead() == 4
                           ? in.TakeNumber(4, 4, v.year) && TakeYearFirstDate(in, v, iso)
                           : TakeYearLastDate(in, rules, v);
    if (!dated || !IsValidDay(v.year, v.month, v.day)) {
        return std::nullopt;
    }
    v.hour = v.minute = v.second = 0;
    if (in.AtEnd()) {
        return v;
    }
    // A CJK date takes the blanks after its day mark with it.
    if (!(iso && in.Take('T')) && !in.TakeBlanks() && !in.AfterBlank()) {
        return std::nullopt;
    }
    if (!TakeTime(in, rules, v)) {
        return std::nullopt;
    }
    return v;
}

std::optional<LocalDateTime> ReadTimeText(std::string_view text, const DateReadingRules& rules) {
    const std::string trimmed = Trim(text);
    Cursor in(trimmed);
    LocalDateTime v;
    if (!TakeTime(in, rules, v)) {
        return std::nullopt;
    }
    return v;
}

}  // namespace duvanto
