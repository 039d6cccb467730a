// IsSafeLocation's cost per call against SafetyLists of 100 and 10,000 entries: the hashed
// look-up stays flat while the in-order reference grows with the list.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "definitions/SafetyList.h"
#include "support/ReferenceSafety.h"

namespace {

std::vector<std::string> Entries(std::size_t n) {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < n; ++i) {
        entries.push_back("C:\\Program Files\\Vendor" + std::to_string(i) + "\\app" +
                          std::to_string(i) + ".exe");
    }
    return entries;
}

// Half the probes are listed (on another drive letter, which is folded to C), half are not but
// have a listed entry's length, so every probe takes the hashed path whatever the list's size.
std::vector<std::string> Probes(std::size_t listSize) {
    std::vector<std::string> probes;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::string n = std::to_string((i * 37) % listSize);
        probes.push_back("D:\\Program Files\\Vendor" + n + "\\app" + n + ".exe");
        probes.push_back("c:\\Program Files\\Vendor" + n + "\\app" + n + ".dll");
    }
    return probes;
}

void BM_IsSafeLocationHashed(benchmark::State& state) {
    const qm::defs::SafetyList list(Entries(static_cast<std::size_t>(state.range(0))));
    const auto probes = Probes(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.IsSafeLocation(probes[i++ % probes.size()]));
    }
}
BENCHMARK(BM_IsSafeLocationHashed)->Arg(100)->Arg(10000);

void BM_IsSafeLocationInOrderReference(benchmark::State& state) {
    const auto entries = Entries(static_cast<std::size_t>(state.range(0)));
    const auto probes = Probes(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qm::test::ReferenceIsSafeLocation(entries, probes[i++ % probes.size()]));
    }
}
BENCHMARK(BM_IsSafeLocationInOrderReference)->Arg(100)->Arg(10000);

}  // namespace
