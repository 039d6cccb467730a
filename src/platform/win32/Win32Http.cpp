#include "platform/win32/Win32Http.h"

#include <atomic>
#include <memory>
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

// How often the wait for a step lets the window's events run.
constexpr DWORD kWaitSliceMilliseconds = 50;
// How long a closed request may take to let go of its buffers once it was given up.
constexpr DWORD kCloseWaitMilliseconds = 2000;

void SetTimeouts(HINTERNET handle, DWORD timeout) {
    for (const int option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        ::InternetSetOptionA(handle, static_cast<DWORD>(option), &timeout, sizeof timeout);
    }
}

// One request's state, shared with WinINet's status callback, which runs on the system's own
// threads: it only records a result and signals an event.
struct Exchange {
    UniqueKernelHandle stepDone{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle closed{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HINTERNET> request{nullptr};
    std::atomic<DWORD_PTR> result{0};
    std::atomic<DWORD> error{0};
    // Written by a read that completes later: it lives as long as the exchange.
    std::vector<char> block;
    DWORD got = 0;
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD) noexcept {
    auto* exchange = reinterpret_cast<Exchange*>(context);
    if (!exchange) return;  // the session's own notices
    switch (status) {
        case INTERNET_STATUS_HANDLE_CREATED:
            exchange->request =
                reinterpret_cast<HINTERNET>(static_cast<INTERNET_ASYNC_RESULT*>(info)->dwResult);
            break;
        case INTERNET_STATUS_REQUEST_COMPLETE: {
            const auto* done = static_cast<INTERNET_ASYNC_RESULT*>(info);
            exchange->result = done->dwResult;
            exchange->error = done->dwError;
            ::SetEvent(exchange->stepDone.get());
            break;
        }
        case INTERNET_STATUS_HANDLE_CLOSING:
            ::SetEvent(exchange->closed.get());
            break;
        default:
            break;
    }
}

// Waits for the step under way to complete, letting events run; false after `timeout`
// without completion.
bool WaitForStep(Exchange& exchange, DWORD timeout, const HttpHooks& hooks) {
    const ULONGLONG giveUpAt = ::GetTickCount64() + timeout;
    for (;;) {
        if (::WaitForSingleObject(exchange.stepDone.get(), kWaitSliceMilliseconds) ==
            WAIT_OBJECT_0) {
            return true;
        }
        if (::GetTickCount64() >= giveUpAt) return false;
        if (hooks.whileWaiting) hooks.whileWaiting();
        if (hooks.keepGoing && !hooks.keepGoing()) return false;
    }
}

// Reads the body block by block; nothing when it was cut off, too long or too slow.
std::optional<std::string> ReadBody(Exchange& exchange, HINTERNET request, DWORD timeout,
                                    const HttpHooks& hooks) {
    // The length the server announced, when it did: an answer that ends short of it was cut
    // off (the connection closed part way), whichever way the read loop ends.
    DWORD announced = 0, length = sizeof announced;
    const bool hasLength =
        ::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced,
                         &length, nullptr) != FALSE;
    if (hasLength && announced > Http::kMaxAnswerBytes) return std::nullopt;
    std::string body;
    for (;;) {
        exchange.got = 0;
        if (!::InternetReadFile(request, exchange.block.data(),
                                static_cast<DWORD>(exchange.block.size()), &exchange.got)) {
            if (::GetLastError() != ERROR_IO_PENDING) return std::nullopt;
            if (!WaitForStep(exchange, timeout, hooks) || exchange.result == 0) {
                return std::nullopt;  // cut off, or a pause longer than the time-out
            }
        }
        const DWORD got = exchange.got;
        if (got == 0) {
            if (hasLength && body.size() != announced) return std::nullopt;
            return body;
        }
        if (body.size() + got > Http::kMaxAnswerBytes) return std::nullopt;
        body.append(exchange.block.data(), got);
        if (hooks.afterBlock) hooks.afterBlock(body.size());
        if (hooks.keepGoing && !hooks.keepGoing()) return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> Win32Http::Get(const std::string& url, std::size_t blockBytes,
                                          const HttpHooks& hooks) {
    if (blockBytes == 0) return std::nullopt;
    auto exchange = std::make_unique<Exchange>();
    if (!exchange->stepDone || !exchange->closed) return std::nullopt;
    exchange->block.resize(blockBytes);
    UniqueInternet session(::InternetOpenA("Mozilla", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr,
                                           INTERNET_FLAG_ASYNC));
    if (!session) return std::nullopt;
    SetTimeouts(session.get(), timeout_);
    ::InternetSetStatusCallbackA(session.get(), OnStatus);

    std::optional<std::string> body;
    HINTERNET opened = ::InternetOpenUrlA(
        session.get(), url.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE,
        reinterpret_cast<DWORD_PTR>(exchange.get()));
    bool answered = opened != nullptr;
    if (!opened && ::GetLastError() == ERROR_IO_PENDING) {
        answered = WaitForStep(*exchange, timeout_, hooks) && exchange->result != 0;
        if (answered) opened = reinterpret_cast<HINTERNET>(exchange->result.load());
    }
    HINTERNET request = opened ? opened : exchange->request.load();
    if (answered && request) {
        // An error page is no answer: only a 2xx status carries the server's text.
        DWORD status = 0, length = sizeof status;
        if (::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                             &length, nullptr) &&
            status >= 200 && status <= 299) {
            body = ReadBody(*exchange, request, timeout_, hooks);
        }
    }
    if (!request) return body;
    // Closing a request whose read is still under way cancels it; the exchange may be freed
    // only once WinINet has let go of the request, which it says with its last notice.
    ::InternetCloseHandle(request);
    if (::WaitForSingleObject(exchange->closed.get(), kCloseWaitMilliseconds) != WAIT_OBJECT_0) {
        // A read still blocked inside the system writes into the exchange when it returns:
        // leave the exchange to it rather than free memory that may yet be written.
        static_cast<void>(exchange.release());
    }
    return body;
}

}  // namespace qm::platform::win32
