// What the program's small reads cost a large download under Wine: a definitions answer of
// about 10 MiB from the local definition server, read as the program reads it (blocks of 256
// bytes, the progress text and the window's message pump after each), against a plain
// InternetReadFile loop with 64 KiB blocks. The two take turns; medians are compared.
//   tools/defserver/download_bench.sh   (serves the answer and runs this under Wine)
//   qm_download_bench.exe URL [--rounds N]

// clang-format off
#include "platform/win32/WinApi.h"
#include <wininet.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Http.h"
#include "ui/win32/Win32Interaction.h"
#include "update/HttpText.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The plain loop: one session, one request, reads of `blockBytes`, nothing else.
std::size_t PlainDownload(const std::string& url, std::size_t blockBytes) {
    HINTERNET session = ::InternetOpenA("Mozilla", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET request =
        session ? ::InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                : nullptr;
    std::string body;
    std::vector<char> block(blockBytes);
    DWORD got = 0;
    while (request &&
           ::InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &got) &&
           got > 0)
        body.append(block.data(), got);
    if (request) ::InternetCloseHandle(request);
    if (session) ::InternetCloseHandle(session);
    return body.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qm_download_bench URL [--rounds N]\n");
        return 2;
    }
    const std::string url = argv[1];
    const int rounds = argc == 4 ? std::max(1, std::atoi(argv[3])) : 5;
    qm::platform::win32::Win32Http http;
    // The window's pump, with no window: it still empties the thread's queue.
    qm::ui::win32::Win32EventPump pump([] { return HWND{}; }, [] {});
    std::vector<double> program, plain, smallBlocks;
    std::size_t programBytes = 0, plainBytes = 0;
    for (int round = 0; round < rounds + 1; ++round) {
        auto start = Clock::now();
        std::string status;
        const auto body = qm::update::HttpGetTextWithProgress(http, pump, url, status);
        const double programSeconds = Seconds(start);
        start = Clock::now();
        plainBytes = PlainDownload(url, 64 * 1024);
        const double plainSeconds = Seconds(start);
        start = Clock::now();
        const std::size_t smallBytes = PlainDownload(url, qm::update::kHttpBlockBytes);
        const double smallSeconds = Seconds(start);
        programBytes = body ? body->size() : 0;
        if (programBytes == 0 || programBytes != plainBytes || smallBytes != plainBytes) {
            std::fprintf(stderr, "the downloads differ: %zu and %zu bytes\n", programBytes,
                         plainBytes);
            return 2;
        }
        if (round == 0) continue;  // untimed: the server's caches warm up
        program.push_back(programSeconds);
        plain.push_back(plainSeconds);
        smallBlocks.push_back(smallSeconds);
    }
    std::printf("Download of %.1f MiB under Wine (median of %d)\n",
                static_cast<double>(programBytes) / (1024.0 * 1024.0), rounds);
    std::printf("  plain 64 KiB reads:                        %.3f s\n", Median(plain));
    std::printf("  256-byte blocks, progress text and pump:   %.3f s\n", Median(program));
    std::printf("  ratio:                                     %.2f (target <= 2)\n",
                Median(program) / Median(plain));
    std::printf("  where the time goes: plain 256-byte reads  %.3f s (%.2f of the plain loop)\n",
                Median(smallBlocks), Median(smallBlocks) / Median(plain));
    return 0;
}
