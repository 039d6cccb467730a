// Win32Http against a real HTTP server on loopback, run by the test in a thread of its own:
// the answer arrives whole in blocks of at most the size asked for, and an error page, an
// answer cut off before its announced length or one that stalls part way is no answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "platform/win32/Win32Http.h"

namespace qm::platform::win32 {
namespace {

std::string Body() {
    std::string body;
    for (int i = 0; i < 1000; ++i)
        body += static_cast<char>('a' + i % 26);
    return body;
}

wintest::LoopbackAnswer Answer(const std::string& head) {
    if (head.rfind("GET /text ", 0) == 0) return wintest::OkAnswer(Body());
    // Shorter than announced, then closed; or the headers and a little, then silence.
    const std::string cut = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nthe first bytes";
    if (head.rfind("GET /short ", 0) == 0) return {cut, false};
    if (head.rfind("GET /stall ", 0) == 0) return {cut, true};
    return {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot here.",
            false};
}

TEST(HttpOnLoopbackTest, AnswersArriveWholeInSmallBlocksAndFailuresGiveNothing) {
    wintest::LoopbackServer server(Answer);
    Win32Http http(1000);
    std::vector<std::size_t> lengths;
    const auto text = http.Get(server.Url("/text"), 256,
                               {[&](std::size_t soFar) { lengths.push_back(soFar); }, {}, {}});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, Body());
    ASSERT_FALSE(lengths.empty());
    EXPECT_EQ(lengths.back(), 1000u);
    for (std::size_t i = 0; i < lengths.size(); ++i)
        EXPECT_LE(lengths[i] - (i == 0 ? 0 : lengths[i - 1]), 256u);
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests[0].find("User-Agent: Mozilla"), std::string::npos) << requests[0];

    EXPECT_EQ(http.Get(server.Url("/missing"), 256, {}), std::nullopt)
        << "an error page is no answer";
    EXPECT_EQ(http.Get(server.Url("/short"), 256, {}), std::nullopt)
        << "an answer cut off part way is no answer";
    EXPECT_EQ(http.Get("http://127.0.0.1:1/", 256, {}), std::nullopt);

    // A server that falls silent after its headers: the request gives up after its time-out,
    // and the window's events ran while it waited.
    int waits = 0;
    EXPECT_EQ(http.Get(server.Url("/stall"), 256, {{}, [&] { ++waits; }, {}}), std::nullopt);
    EXPECT_GT(waits, 0);
}

// However long the time-out, the caller's word ends a request that is waiting: the user's
// Cancel, or the exchange's deadline.
TEST(HttpOnLoopbackTest, TheCallerEndsAWaitingRequest) {
    wintest::LoopbackServer server(Answer);
    Win32Http http(600000);
    int waits = 0;
    EXPECT_EQ(
        http.Get(server.Url("/stall"), 256, {{}, [&] { ++waits; }, [&] { return waits < 3; }}),
        std::nullopt);
    EXPECT_EQ(waits, 3) << "given up at the third wait, not after the time-out";
}

}  // namespace
}  // namespace qm::platform::win32
