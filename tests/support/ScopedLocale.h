#pragma once
// Guards for the process-wide settings that date texts depend on: the LC_TIME locale and the
// time zone. Each puts the old value back when it goes, so one test cannot leak its setting
// into the next one run in the same process.

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace duvanto::test {

class ScopedTimeLocale {
public:
    // ok() is false when the machine lacks the locale; the old one stays in force then.
    explicit ScopedTimeLocale(const char* name) : m_old(std::setlocale(LC_TIME, nullptr)) {
        m_ok = std::setlocale(LC_TIME, name) != nullptr;
    }
    ~ScopedTimeLocale() { std::setlocale(LC_TIME, m_old.c_str()); }
    ScopedTimeLocale(const ScopedTimeLocale&) = delete;
    ScopedTimeLocale& operator=(const ScopedTimeLocale&) = delete;
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

class ScopedTimeZone {
public:
    // A POSIX TZ value, such as "UTC0" or "EST5EDT,M3.2.0,M11.1.0" (no zone files needed).
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_old) {
            setenv("TZ", m_old->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};

}  // namespace duvanto::test
