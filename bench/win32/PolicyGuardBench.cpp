// One tick of the browser policy guard with nothing changed, over 500 policy values in the
// user's Chrome policy key and five subkeys (the case a managed machine has every five
// seconds), on the real Win32 registry. Prints the median of the ticks (target: under 5 ms).
//   WINEPREFIX=build/windows/wineprefix WINEDEBUG=-all wine qm_policy_guard_bench.exe [--ticks N]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/Win32Registry.h"

namespace qm::bench {
namespace {

constexpr const char* kChrome = "Software\\Policies\\Google\\Chrome";

int Run(int ticks) {
    platform::win32::Win32Registry registry;
    registry.DeleteKeyTree(platform::root::kCurrentUser, kChrome);
    for (int key = 0; key < 5; ++key) {
        const std::string path = std::string(kChrome) + "\\List" + std::to_string(key);
        for (int value = 1; value <= 100; ++value) {
            registry.WriteString(platform::root::kCurrentUser, path, std::to_string(value),
                                 "https://site" + std::to_string(value) + ".example/page");
        }
    }
    wintest::TempFolder data;
    wintest::DiskScan program(data.path());
    shields::BrowserPolicyGuard& guard = program.app->BrowserPolicies();
    guard.Check();  // the first look accepts the 500 values
    std::vector<double> times;
    for (int i = 0; i < ticks; ++i) {
        const auto start = Clock::now();
        guard.Check();
        times.push_back(Seconds(start) * 1000.0);
    }
    // Where a tick's time goes: reading the keys, and reading the accepted state.
    std::vector<double> reads, loads;
    for (int i = 0; i < ticks; ++i) {
        auto start = Clock::now();
        const auto state = shields::ReadPolicyState(program.machine.platform.registry);
        reads.push_back(Seconds(start) * 1000.0);
        start = Clock::now();
        const auto accepted = guard.Accepted();
        loads.push_back(Seconds(start) * 1000.0);
    }
    std::printf("  reading the policy keys %.2f ms, reading the accepted state %.2f ms\n",
                Median(reads), Median(loads));
    registry.DeleteKeyTree(platform::root::kCurrentUser, kChrome);
    std::printf("policy guard tick over 500 values, median of %d: %.2f ms (target < 5 ms)\n", ticks,
                Median(times));
    return 0;
}

}  // namespace
}  // namespace qm::bench

int main(int argc, char** argv) {
    int ticks = 50;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--ticks") == 0) ticks = std::max(1, std::atoi(argv[i + 1]));
    }
    return qm::bench::Run(ticks);
}
