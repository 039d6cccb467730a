#pragma once
// platform::Http over WinINet: agent "Mozilla", direct access, every request fetched from the
// server itself, with time-outs and a cap on the answer's length.
//
// The requests run asynchronously and the program waits for each step itself, with its own
// time-out, letting the window's events run meanwhile: WinINet's own time-outs do not hold
// everywhere for a server that accepts a connection and then falls silent.

#include "platform/Http.h"

namespace qm::platform::win32 {

class Win32Http final : public Http {
  public:
    Win32Http() = default;
    // The tests' server stalls for less than the program's half minute.
    explicit Win32Http(unsigned timeoutMilliseconds) : timeout_(timeoutMilliseconds) {}

    std::optional<std::string> Get(const std::string& url, std::size_t blockBytes,
                                   const HttpHooks& hooks) override;

  private:
    unsigned timeout_ = kTimeoutMilliseconds;
};

}  // namespace qm::platform::win32
