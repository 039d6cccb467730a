// The system's date parser and formatter as the update reads and writes its dates: United
// States dates with a 12-hour time, a midnight written without its time, and texts that name
// no date.
#include "platform/win32/Win32Dates.h"

#include <gtest/gtest.h>

namespace qm::platform::win32 {
namespace {

TEST(Win32DatesTest, ServerDatesReadCompareAndWriteAsTheSystemDoes) {
    Win32Dates dates;
    const auto evening = dates.Parse("12/8/2026 8:46:21 PM");
    const auto lateNight = dates.Parse("12/9/2026 1:00:00 AM");
    ASSERT_TRUE(evening && lateNight);
    EXPECT_LT(*evening, *lateNight);
    EXPECT_EQ(dates.Format(*evening), "12/8/2026 8:46:21 PM");
    const auto installed = dates.Parse("3/16/2006 12:00:00 AM");
    ASSERT_TRUE(installed);
    EXPECT_EQ(dates.Format(*installed), "3/16/2006");
    EXPECT_EQ(dates.Parse("3/16/2006"), installed);
    for (const char* none : {"13/45/2026 25:00 PM", "", "not a date", "<html>"})
        EXPECT_EQ(dates.Parse(none), std::nullopt) << none;
}

}  // namespace
}  // namespace qm::platform::win32
