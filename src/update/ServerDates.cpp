#include "update/ServerDates.h"

#include <cmath>
#include <cstdio>

#include "platform/Clock.h"
#include "text/Text.h"

namespace qm::update {

namespace {

// Reads an unsigned number of 1 to `maxDigits` digits at `at`.
std::optional<unsigned> Number(std::string_view s, std::size_t& at, std::size_t maxDigits) {
    std::size_t digits = 0;
    unsigned value = 0;
    while (at < s.size() && s[at] >= '0' && s[at] <= '9' && digits < maxDigits) {
        value = value * 10 + static_cast<unsigned>(s[at] - '0');
        ++at;
        ++digits;
    }
    if (digits == 0 || (at < s.size() && s[at] >= '0' && s[at] <= '9')) return std::nullopt;
    return value;
}

bool Expect(std::string_view s, std::size_t& at, char c) {
    if (at >= s.size() || s[at] != c) return false;
    ++at;
    return true;
}

void SkipBlanks(std::string_view s, std::size_t& at) {
    while (at < s.size() && s[at] == ' ')
        ++at;
}

}  // namespace

std::optional<double> ParseServerDate(std::string_view text) {
    const std::string_view s = text::TrimView(text);
    std::size_t at = 0;
    const auto month = Number(s, at, 2);
    if (!month || !Expect(s, at, '/')) return std::nullopt;
    const auto day = Number(s, at, 2);
    if (!day || !Expect(s, at, '/')) return std::nullopt;
    const std::size_t yearAt = at;
    const auto year = Number(s, at, 4);
    if (!year || at - yearAt != 4) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
    const long long days = platform::DaysFromCivil(*year, *month, *day);
    long long y = 0;
    unsigned m = 0, d = 0;
    platform::CivilFromDays(days, y, m, d);
    if (m != *month || d != *day) return std::nullopt;  // 2/30 and the like

    unsigned hour = 0, minute = 0, second = 0;
    SkipBlanks(s, at);
    if (at < s.size()) {
        const auto h = Number(s, at, 2);
        if (!h || !Expect(s, at, ':')) return std::nullopt;
        const auto mi = Number(s, at, 2);
        if (!mi) return std::nullopt;
        std::optional<unsigned> sec = 0u;
        if (at < s.size() && s[at] == ':') {
            ++at;
            sec = Number(s, at, 2);
            if (!sec) return std::nullopt;
        }
        SkipBlanks(s, at);
        const std::string_view marker = s.substr(at);
        hour = *h, minute = *mi, second = *sec;
        if (minute > 59 || second > 59) return std::nullopt;
        if (marker.empty()) {
            if (hour > 23) return std::nullopt;
        } else {
            const bool am = text::EqualsNoCase(marker, "AM"), pm = text::EqualsNoCase(marker, "PM");
            if ((!am && !pm) || hour < 1 || hour > 12) return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
        }
    }
    return static_cast<double>(days + platform::kDateValueOfUnixEpoch) +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

namespace {

std::string Format(double date, bool alwaysTime) {
    auto days = static_cast<long long>(std::floor(date));
    auto seconds =
        static_cast<long long>(std::llround((date - static_cast<double>(days)) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    long long y = 0;
    unsigned m = 0, d = 0;
    platform::CivilFromDays(days - platform::kDateValueOfUnixEpoch, y, m, d);
    std::string text = std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
    if (seconds == 0 && !alwaysTime) return text;
    const long long h = seconds / 3600, mi = seconds / 60 % 60, s = seconds % 60;
    char time[32];
    std::snprintf(time, sizeof time, " %lld:%02lld:%02lld %s", h % 12 == 0 ? 12 : h % 12, mi, s,
                  h < 12 ? "AM" : "PM");
    return text + time;
}

}  // namespace

std::string FormatServerDate(double date) {
    return Format(date, false);
}

std::string FormatServerDateWithTime(double date) {
    return Format(date, true);
}

std::optional<std::string> StoredFormOf(std::string_view text) {
    const auto date = ParseServerDate(text);
    if (!date) return std::nullopt;
    const std::string trimmed(text::TrimView(text));
    if (trimmed == FormatServerDate(*date) || trimmed == FormatServerDateWithTime(*date))
        return trimmed;
    return FormatServerDate(*date);
}

std::optional<double> ReadStoredDate(platform::Dates& dates, const std::string& text) {
    // The form the program writes is taken as it is. Anything else was written in the user's
    // own formats, where "2/12/2026" may well mean 2 December: the system's parser reads it.
    const auto server = ParseServerDate(text);
    if (server && StoredFormOf(text) == std::string(text::TrimView(text))) return server;
    if (const auto own = dates.Parse(text)) return own;
    return server;
}

}  // namespace qm::update
