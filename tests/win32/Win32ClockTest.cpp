// Win32Clock: the local date and time in the user's short date and long time formats.
#include "platform/win32/Win32Clock.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {
namespace {

int Hour12(int hour24) {
    return hour24 % 12 == 0 ? 12 : hour24 % 12;
}

TEST(Win32ClockTest, NowTextIsTheCurrentLocalTimeInTheGeneralForm) {
    SYSTEMTIME before{};
    ::GetLocalTime(&before);
    const std::string text = Win32Clock().NowText();
    SYSTEMTIME after{};
    ::GetLocalTime(&after);

    // The prefix's user locale is U.S. English: M/D/YYYY h:mm:ss AM|PM.
    static const std::regex form(
        R"(^(\d{1,2})/(\d{1,2})/(\d{4}) (\d{1,2}):(\d{2}):(\d{2}) (AM|PM)$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, form)) << text;
    const int month = std::stoi(m[1]);
    const int day = std::stoi(m[2]);
    const int year = std::stoi(m[3]);
    const int hour = std::stoi(m[4]);
    const int minute = std::stoi(m[5]);
    const bool pm = m[7] == "PM";

    // Local time (not UTC), taken between the two readings: it matches one of them in every
    // field that a boundary between them could change.
    const auto matches = [&](const SYSTEMTIME& t) {
        return month == t.wMonth && day == t.wDay && year == t.wYear && hour == Hour12(t.wHour) &&
               pm == (t.wHour >= 12) && minute == t.wMinute;
    };
    EXPECT_TRUE(matches(before) || matches(after)) << text;
}

}  // namespace
}  // namespace qm::platform::win32
