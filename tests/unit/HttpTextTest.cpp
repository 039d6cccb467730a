// The program's two reads of its servers over a scripted server: the events run after every
// block of 256 bytes, the progress text follows the length so far, a failed request is none.
#include "update/HttpText.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"

namespace qm::update {
namespace {

TEST(HttpTextTest, BlocksYieldAndReportProgressAndFailuresAreEmpty) {
    test::FakeMachine m;
    const std::string answer(600, 'x');
    m.http.answers["http://www.server.example/asp/date.asp"] = answer;
    m.http.answers["http://www.server.example/broken"] = std::nullopt;

    std::string status;
    EXPECT_EQ(
        HttpGetTextWithProgress(m.http, m.pump, "http://www.server.example/asp/date.asp", status),
        answer);
    EXPECT_EQ(m.pump.calls, 3) << "256 + 256 + 88 bytes";
    EXPECT_EQ(status, "Downloaded 600 bytes.");

    EXPECT_EQ(HttpGetText(m.http, m.pump, "http://www.server.example/asp/date.asp"), answer);
    EXPECT_EQ(m.pump.calls, 6);
    EXPECT_EQ(HttpGetText(m.http, m.pump, "http://www.server.example/broken"), std::nullopt);
    EXPECT_EQ(HttpGetTextWithProgress(m.http, m.pump, "http://unknown.example/", status),
              std::nullopt);
    EXPECT_EQ(status, "Downloaded 600 bytes.") << "nothing arrived, nothing changes";
    EXPECT_EQ(m.pump.calls, 6);
}

}  // namespace
}  // namespace qm::update
