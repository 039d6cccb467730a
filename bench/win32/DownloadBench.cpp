// What a large signed definitions answer costs under Wine: about 10 MiB from the local
// definition server, read as the program reads it (blocks of 256 bytes, the progress text and
// the window's message pump after each), against a plain InternetReadFile loop with 64 KiB
// blocks; and the check of its signature (SHA-256 of the signed bytes and the ECDSA check,
// with the system's CNG) against the download. They take turns; medians are compared.
//   tools/defserver/download_bench.sh   (serves the answer and runs this under Wine)
//   qm_download_bench.exe DEFINITIONS_URL KEYS_URL DATE [--rounds N]
// DATE is the date the definitions query sent, which the signature covers.

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
#include "platform/win32/Win32Signatures.h"
#include "ui/win32/Win32Interaction.h"
#include "update/HttpText.h"
#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

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

// The answer's signature checked as the program checks it, with the key of that id among
// `keys`: the signed bytes split off and put together, their digest, the ECDSA check.
bool Verifies(qm::platform::Signatures& signatures, const std::vector<qm::update::KeyLine>& keys,
              const std::string& answer, const std::string& date) {
    const qm::update::SplitAnswer split = qm::update::SplitSignedAnswer(answer);
    if (!split.signature) return false;
    const auto key = std::find_if(keys.begin(), keys.end(), [&](const qm::update::KeyLine& k) {
        return k.id == split.signature->keyId;
    });
    const auto digest =
        signatures.Sha256(qm::update::SignedBytes(*split.signature, date, split.body));
    return key != keys.end() && digest &&
           signatures.VerifyP256(key->publicKey, *digest, split.signature->signature);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: qm_download_bench DEFINITIONS_URL KEYS_URL DATE [--rounds N]\n");
        return 2;
    }
    const std::string url = argv[1], keysUrl = argv[2], date = argv[3];
    const int rounds = argc == 6 ? std::max(1, std::atoi(argv[5])) : 5;
    qm::platform::win32::Win32Http http;
    qm::platform::win32::Win32Signatures signatures;
    // The window's pump, with no window: it still empties the thread's queue.
    qm::ui::win32::Win32EventPump pump([] { return HWND{}; }, [] {});
    const auto keyFile = qm::update::HttpGetText(http, pump, keysUrl);
    const std::vector<qm::update::KeyLine> keys =
        qm::update::ParseKeyFile(keyFile.value_or(std::string()));
    std::vector<double> program, plain, smallBlocks, verification;
    std::size_t programBytes = 0, plainBytes = 0;
    for (int round = 0; round < rounds + 1; ++round) {
        auto start = Clock::now();
        std::string status;
        const auto body = qm::update::HttpGetTextWithProgress(http, pump, url, status);
        const double programSeconds = Seconds(start);
        start = Clock::now();
        const bool verified = body && Verifies(signatures, keys, *body, date);
        const double verifySeconds = Seconds(start);
        if (!verified) {
            std::fprintf(stderr, "the answer's signature does not verify with the keys of %s\n",
                         keysUrl.c_str());
            return 2;
        }
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
        verification.push_back(verifySeconds);
    }
    std::printf("Download of %.1f MiB, signed, under Wine (median of %d)\n",
                static_cast<double>(programBytes) / (1024.0 * 1024.0), rounds);
    std::printf("  plain 64 KiB reads:                        %.3f s\n", Median(plain));
    std::printf("  256-byte blocks, progress text and pump:   %.3f s\n", Median(program));
    std::printf("  ratio:                                     %.2f (target <= 2)\n",
                Median(program) / Median(plain));
    std::printf("  where the time goes: plain 256-byte reads  %.3f s (%.2f of the plain loop)\n",
                Median(smallBlocks), Median(smallBlocks) / Median(plain));
    std::printf("  signature check (SHA-256 and ECDSA, CNG):  %.3f s\n", Median(verification));
    std::printf("  check / program's download:                %.3f (target <= 0.10)\n",
                Median(verification) / Median(program));
    std::printf("  check / plain 64 KiB download:             %.3f\n",
                Median(verification) / Median(plain));
    return 0;
}
