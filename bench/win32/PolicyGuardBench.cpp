// The browser policy guard's tick over 500 policy values in the user's Chrome policy key and
// five subkeys (the case a managed machine has every five seconds), on the real Win32 registry,
// measured in one run so that the ratios hold on a busy machine:
// - the guard's tick with nothing changed (target: under 5 ms), and the home-page timer's whole
//   tick around it (the start-page check and the background work bracket; memory shield off);
// - the comparison every tick made before the registry watches: every key tree read, the
//   accepted state read from its file, and the two compared;
// - a tick after a hijacker's write below the Chrome key, which reads that key again, puts the
//   value back with its backup, and the tick after it, which confirms.
// Prints the median of each.
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

template <typename Work>
double Milliseconds(Work&& work) {
    const auto start = Clock::now();
    work();
    return Seconds(start) * 1000.0;
}

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
    const std::string product = program.app->Product().productName;
    for (const auto& [key, value] : {std::pair{"optAlwaysnotifybeforerestoring", "False"},
                                     std::pair{"optRestoredefaultwithoutnotification", "True"},
                                     std::pair{"optMemorySheildOn", "False"}}) {
        program.settings.Write(product, "OptionAndSettings", key, value);
    }
    shields::BrowserPolicyGuard& guard = program.app->BrowserPolicies();
    guard.Check();  // the first look accepts the 500 values
    platform::Registry& machine = program.machine.platform.registry;

    std::vector<double> quiet, timer, before;
    for (int i = 0; i < ticks; ++i) {
        quiet.push_back(Milliseconds([&] { guard.Check(); }));
        timer.push_back(Milliseconds([&] { program.app->HomePageShieldTick(); }));
        before.push_back(Milliseconds([&] {
            const auto accepted = guard.Accepted();
            const auto changes = shields::Differences(accepted.value_or(shields::PolicyState{}),
                                                      shields::ReadPolicyState(machine));
            if (!changes.empty()) std::fprintf(stderr, "unexpected changes\n");
        }));
    }
    std::vector<double> changed, confirmed;
    const std::string hijacked = std::string(kChrome) + "\\List0";
    for (int i = 0; i < std::max(1, ticks / 5); ++i) {
        registry.WriteString(platform::root::kCurrentUser, hijacked, "hijack",
                             "http://hijack.example/" + std::to_string(i));
        changed.push_back(Milliseconds([&] { guard.Check(); }));
        confirmed.push_back(Milliseconds([&] { guard.Check(); }));
    }
    const bool putBack =
        registry.ReadValue(platform::root::kCurrentUser, hijacked, "hijack").status ==
        platform::RegistryRead::Status::NoValue;
    registry.DeleteKeyTree(platform::root::kCurrentUser, kChrome);

    std::printf("policy guard over 500 values, medians of %d ticks:\n", ticks);
    std::printf("  guard tick, nothing changed           %8.3f ms (target < 5 ms)\n",
                Median(quiet));
    std::printf("  home-page timer's whole tick          %8.3f ms\n", Median(timer));
    std::printf("  every key and the file read, compared %8.3f ms (%.0fx the guard's tick)\n",
                Median(before), Median(before) / std::max(Median(quiet), 1e-6));
    std::printf("  tick after a hijacker's write         %8.3f ms (%s), and the next %.3f ms\n",
                Median(changed), putBack ? "put back" : "NOT put back", Median(confirmed));
    return putBack ? 0 : 1;
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
