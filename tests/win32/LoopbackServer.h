#pragma once
// A small HTTP server on loopback, in a thread of the test's own: each connection gets the
// answer its request head asks for, then is closed; an answer marked as stalling sends its
// bytes and then falls silent until the client hangs up.

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm::wintest {

struct LoopbackAnswer {
    std::string bytes;  // status line, headers and body as sent
    bool stallAfter = false;
};

// "HTTP/1.1 200 OK" with the body and its length.
inline LoopbackAnswer OkAnswer(const std::string& body) {
    return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n\r\n" + body,
            false};
}

class LoopbackServer {
  public:
    using Answerer = std::function<LoopbackAnswer(const std::string& head)>;

    explicit LoopbackServer(Answerer answer) : answer_(std::move(answer)) {
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
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
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
            const LoopbackAnswer answer = answer_(head);
            ::send(client, answer.bytes.data(), static_cast<int>(answer.bytes.size()), 0);
            if (answer.stallAfter) {
                // Silent until the client hangs up or the test ends.
                const DWORD poll = 100;
                ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&poll),
                             sizeof poll);
                while (!stopping_) {
                    const int got = ::recv(client, buffer, sizeof buffer, 0);
                    if (got == 0 || (got < 0 && ::WSAGetLastError() != WSAETIMEDOUT)) break;
                }
            }
            ::closesocket(client);
        }
    }

    Answerer answer_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace qm::wintest
