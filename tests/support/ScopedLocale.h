// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Guards for the process-wide settings that tests change: environment variables, the LC_TIME
// locale and the time zone. Each puts the old value back when it goes, so one test cannot leak
// its setting into the next one run in the same process.

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace duvanto::test {

// Sets the variable (unsets it for nullptr) until the guard goes.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        Set(value);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv() { Set(m_old ? m_old->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) {
        if (value == nullptr) {
            unsetenv(m_name.c_str());
        } else {
            setenv(m_name.c_str(), value, 1);
        }
    }

    std::string m_name;
    std::optional<std::string> m_old;
};

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

// A POSIX TZ value, such as "UTC0" or "EST5EDT,M3.2.0,M11.1.0", or a zone name.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) : m_tz("TZ", tz) { tzset(); }

private:
    // Members go in reverse order: the variable is put back before the zone is read again.
    struct ReadZoneAgain {
        ~ReadZoneAgain() { tzset(); }
    } m_readAgain;
    ScopedEnv m_tz;
};

}  // namespace duvanto::test
