#pragma once
// platform::Http over WinINet: agent "Mozilla", direct access, every request fetched from the
// server itself, with time-outs and a cap on the answer's length.

#include "platform/Http.h"

namespace qm::platform::win32 {

class Win32Http final : public Http {
  public:
    Win32Http() = default;
    // The tests' server stalls for less than the program's half minute.
    explicit Win32Http(unsigned timeoutMilliseconds) : timeout_(timeoutMilliseconds) {}

    std::optional<std::string> Get(const std::string& url, std::size_t blockBytes,
                                   const std::function<void(std::size_t)>& afterBlock) override;

  private:
    unsigned timeout_ = kTimeoutMilliseconds;
};

}  // namespace qm::platform::win32
