// Win32Http against a real HTTP server on loopback, run by the test in a thread of its own:
// the answer arrives whole in blocks of at most the size asked for, and an error page or an
// answer cut off before its announced length is no answer.
#include <gtest/gtest.h>

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Http.h"

namespace qm::platform::win32 {
namespace {

// Answers each connection by the path it asks for, then closes it.
class LoopbackServer {
  public:
    LoopbackServer() {
        WSADATA wsa{};
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        int length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stopping_ = true;
        ::closesocket(listener_);
        thread_.join();
        ::WSACleanup();
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    static std::string Body() {
        std::string body;
        for (int i = 0; i < 1000; ++i)
            body += static_cast<char>('a' + i % 26);
        return body;
    }
    // Each request's head, as it came.
    std::vector<std::string> Requests() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

  private:
    void Serve() {
        while (!stopping_) {
            SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string head;
            char buffer[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const int got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                head.append(buffer, static_cast<std::size_t>(got));
            }
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head);
            }
            std::string answer;
            if (head.rfind("GET /text ", 0) == 0) {
                answer =
                    "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n" + Body();
            } else if (head.rfind("GET /short ", 0) == 0) {
                answer = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nthe first bytes";
            } else {
                answer =
                    "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\n"
                    "not here.";
            }
            ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
            ::closesocket(client);
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

TEST(HttpOnLoopbackTest, AnswersArriveWholeInSmallBlocksAndFailuresGiveNothing) {
    LoopbackServer server;
    Win32Http http(1000);
    std::vector<std::size_t> lengths;
    const auto text =
        http.Get(server.Url("/text"), 256, [&](std::size_t soFar) { lengths.push_back(soFar); });
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, LoopbackServer::Body());
    ASSERT_FALSE(lengths.empty());
    EXPECT_EQ(lengths.back(), 1000u);
    for (std::size_t i = 0; i < lengths.size(); ++i)
        EXPECT_LE(lengths[i] - (i == 0 ? 0 : lengths[i - 1]), 256u);
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests[0].find("User-Agent: Mozilla"), std::string::npos) << requests[0];

    EXPECT_EQ(http.Get(server.Url("/missing"), 256, [](std::size_t) {}), std::nullopt)
        << "an error page is no answer";
    EXPECT_EQ(http.Get(server.Url("/short"), 256, [](std::size_t) {}), std::nullopt)
        << "an answer cut off part way is no answer";
    EXPECT_EQ(http.Get("http://127.0.0.1:1/", 256, [](std::size_t) {}), std::nullopt);
}

}  // namespace
}  // namespace qm::platform::win32
