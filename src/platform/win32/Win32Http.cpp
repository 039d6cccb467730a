#include "platform/win32/Win32Http.h"

#include <vector>

// clang-format off
#include "platform/win32/WinApi.h"
#include <wininet.h>
// clang-format on
#include "platform/win32/Handle.h"

namespace qm::platform::win32 {

namespace {

struct InternetTraits {
    using Value = HINTERNET;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<InternetTraits>;

void SetTimeouts(HINTERNET handle, DWORD timeout) {
    for (const int option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        ::InternetSetOptionA(handle, static_cast<DWORD>(option), &timeout, sizeof timeout);
    }
}

}  // namespace

std::optional<std::string> Win32Http::Get(const std::string& url, std::size_t blockBytes,
                                          const std::function<void(std::size_t)>& afterBlock) {
    if (blockBytes == 0) return std::nullopt;
    UniqueInternet session(
        ::InternetOpenA("Mozilla", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    SetTimeouts(session.get(), timeout_);
    UniqueInternet request(::InternetOpenUrlA(
        session.get(), url.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
    if (!request) return std::nullopt;
    SetTimeouts(request.get(), timeout_);
    // An error page is no answer: only a 2xx status carries the server's text.
    DWORD status = 0, length = sizeof status;
    if (!::HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                          &length, nullptr) ||
        status < 200 || status > 299) {
        return std::nullopt;
    }
    // The length the server announced, when it did: an answer that ends short of it was cut
    // off (the connection closed part way), whichever way the read loop ends.
    DWORD announced = 0;
    length = sizeof announced;
    const bool hasLength =
        ::HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                         &announced, &length, nullptr) != FALSE;
    if (hasLength && announced > kMaxAnswerBytes) return std::nullopt;
    std::string body;
    std::vector<char> block(blockBytes);
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), block.data(), static_cast<DWORD>(block.size()),
                                &got)) {
            return std::nullopt;  // cut off, or a pause longer than the time-out
        }
        if (got == 0) {
            if (hasLength && body.size() != announced) return std::nullopt;
            return body;
        }
        if (body.size() + got > kMaxAnswerBytes) return std::nullopt;
        body.append(block.data(), got);
        afterBlock(body.size());
    }
}

}  // namespace qm::platform::win32
