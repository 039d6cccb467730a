#include "platform/win32/Win32Clock.h"

#include <vector>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

// Both formatters return the length including the terminating NUL, 0 on failure; asked with
// no buffer they return the length they need.
template <typename Format>
std::string Formatted(Format format) {
    const int needed = format(nullptr, 0);
    if (needed <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(needed));
    const int written = format(buffer.data(), needed);
    if (written <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(written - 1));
}

unsigned long long SecondsOf(const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           10'000'000ull;
}

constexpr unsigned long long kOffsetLifeSeconds = 60;

}  // namespace

unsigned long long Win32Clock::Milliseconds() {
    return ::GetTickCount64();
}

LocalTime Win32Clock::Now() {
    FILETIME system{};
    ::GetSystemTimeAsFileTime(&system);
    const unsigned long long second = SecondsOf(system);
    if (offsetReadAt_ == 0 || second - offsetReadAt_ >= kOffsetLifeSeconds) {
        SYSTEMTIME local{};
        ::GetLocalTime(&local);
        FILETIME localFile{};
        if (::SystemTimeToFileTime(&local, &localFile)) {
            localOffsetSeconds_ =
                static_cast<long long>(SecondsOf(localFile)) - static_cast<long long>(second);
        }
        offsetReadAt_ = second;
    }
    const auto localSeconds =
        static_cast<unsigned long long>(static_cast<long long>(second) + localOffsetSeconds_);
    const unsigned long long ticks = localSeconds * 10'000'000ull;
    const FILETIME localFile{static_cast<DWORD>(ticks & 0xFFFFFFFFull),
                             static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME parts{};
    ::FileTimeToSystemTime(&localFile, &parts);
    return LocalTime{parts.wYear, parts.wMonth,  parts.wDay,   parts.wDayOfWeek,
                     parts.wHour, parts.wMinute, parts.wSecond};
}

LocalTime Win32Clock::UniversalNow() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    return LocalTime{now.wYear, now.wMonth,  now.wDay,   now.wDayOfWeek,
                     now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Clock::NowText() {
    FILETIME system{};
    ::GetSystemTimeAsFileTime(&system);
    const unsigned long long second = SecondsOf(system);
    if (second == shownSecond_) return shownText_;
    // One reading of the clock for both halves, so a call at midnight cannot pair one day's
    // date with the next day's time.
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::string date = Formatted([&now](char* out, int size) {
        return ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, out, size);
    });
    const std::string time = Formatted([&now](char* out, int size) {
        return ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, out, size);
    });
    shownSecond_ = second;
    shownText_ = date + " " + time;
    return shownText_;
}

}  // namespace qm::platform::win32
