// The cleaning of the server's date answers before the date parser reads them.
#include "update/DateAnswer.h"

#include <gtest/gtest.h>

namespace qm::update {
namespace {

struct Cleaning {
    const char* answer;
    const char* cleaned;
};

class DateAnswerTest : public ::testing::TestWithParam<Cleaning> {};

TEST_P(DateAnswerTest, CutsAfterTheFirstMarker) {
    EXPECT_EQ(CleanDateAnswer(GetParam().answer), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DateAnswerTest,
    ::testing::Values(Cleaning{"  12/8/2026 8:46:21 PM  ", "12/8/2026 8:46:21 PM"},
                      Cleaning{"12/8/2026 8:46:21 pm</body></html>", "12/8/2026 8:46:21 pm"},
                      Cleaning{"\t12/8/2026\r\n 8:46:21 AM\r\n", "12/8/2026 8:46:21 AM"},
                      // "PM" wins over an earlier "AM": the PM cut comes first.
                      Cleaning{"AM 1/1/2026 1:00 PM x", "AM 1/1/2026 1:00 PM"},
                      Cleaning{"12/8/2026", "12/8/2026"}, Cleaning{"", ""},
                      Cleaning{"13/45/2026 25:00 PM<br>", "13/45/2026 25:00 PM"}));

}  // namespace
}  // namespace qm::update
