#include "UsDate.h"

#include <cctype>
#include <cstdio>
#include <ctime>

namespace qm::defserver {

namespace {

// Reads a number of at most `digits` digits at `at`; nothing when there is none.
std::optional<int> Number(std::string_view s, std::size_t& at, std::size_t digits) {
    std::size_t start = at;
    int value = 0;
    while (at < s.size() && at - start < digits && std::isdigit(static_cast<unsigned char>(s[at])))
        value = value * 10 + (s[at++] - '0');
    if (at == start) return std::nullopt;
    return value;
}

bool Expect(std::string_view s, std::size_t& at, char c) {
    if (at >= s.size() || s[at] != c) return false;
    ++at;
    return true;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<std::string> SortableFromUs(std::string_view us) {
    while (!us.empty() && us.front() == ' ')
        us.remove_prefix(1);
    while (!us.empty() && us.back() == ' ')
        us.remove_suffix(1);
    std::size_t at = 0;
    const auto month = Number(us, at, 2);
    if (!month || !Expect(us, at, '/')) return std::nullopt;
    const auto day = Number(us, at, 2);
    if (!day || !Expect(us, at, '/')) return std::nullopt;
    const auto year = Number(us, at, 4);
    if (!year || *month < 1 || *month > 12 || *day < 1 || *day > DaysIn(*month, *year) ||
        *year < 100) {
        return std::nullopt;
    }
    int hour = 0, minute = 0, second = 0;
    if (at < us.size()) {
        if (!Expect(us, at, ' ')) return std::nullopt;
        const auto h = Number(us, at, 2);
        if (!h || !Expect(us, at, ':')) return std::nullopt;
        const auto mi = Number(us, at, 2);
        if (!mi) return std::nullopt;
        std::optional<int> sec = 0;
        if (at < us.size() && us[at] == ':') {
            ++at;
            sec = Number(us, at, 2);
            if (!sec) return std::nullopt;
        }
        if (!Expect(us, at, ' ') || at + 2 != us.size()) return std::nullopt;
        const std::string marker{static_cast<char>(std::toupper(us[at])),
                                 static_cast<char>(std::toupper(us[at + 1]))};
        if ((marker != "AM" && marker != "PM") || *h < 1 || *h > 12 || *mi > 59 || *sec > 59) {
            return std::nullopt;
        }
        hour = *h % 12 + (marker == "PM" ? 12 : 0);
        minute = *mi;
        second = *sec;
    }
    char out[80];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", *year, *month, *day, hour,
                  minute, second);
    return std::string(out);
}

std::string UsFromSortable(const std::string& sortable) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(sortable.c_str(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        return {};
    }
    char out[80];
    std::snprintf(out, sizeof out, "%d/%d/%d %d:%02d:%02d %s", month, day, year,
                  hour % 12 == 0 ? 12 : hour % 12, minute, second, hour < 12 ? "AM" : "PM");
    return out;
}

std::string SortableNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char out[32];
    std::strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", &local);
    return out;
}

}  // namespace qm::defserver
