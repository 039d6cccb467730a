#pragma once
// Plain HTTP GET, the one way the program talks to its definition server.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace qm::platform {

// What a read lets its caller do while the answer comes in.
struct HttpHooks {
    // After each block, with the body's length so far.
    std::function<void(std::size_t)> afterBlock;
    // Now and then while nothing arrives: the window's events run during a slow answer too.
    std::function<void()> whileWaiting;
    // Asked after each block and while waiting, when set: false gives the request up (it
    // fails), so the user's Cancel or an exchange's overall deadline ends it however slowly
    // the server answers.
    std::function<bool()> keepGoing;
};

class Http {
  public:
    // An answer longer than this is no answer of the definition server's: the request fails.
    static constexpr std::size_t kMaxAnswerBytes = 64u << 20;
    // How long a connection, a request or a pause in the answer may take before the request
    // fails: the program has one thread, which a server that never answers must not hold. A
    // server that sends a byte now and then is ended by the caller's `keepGoing`.
    static constexpr unsigned kTimeoutMilliseconds = 30000;

    virtual ~Http() = default;
    // Fetches `url` straight from the server (no proxy, no cache) in blocks of up to
    // `blockBytes`. The body's bytes as sent, or nothing when the request failed: no
    // connection, a status other than 2xx, a time-out, or an answer over kMaxAnswerBytes.
    virtual std::optional<std::string> Get(const std::string& url, std::size_t blockBytes,
                                           const HttpHooks& hooks) = 0;
};

}  // namespace qm::platform
