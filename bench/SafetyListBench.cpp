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

std::vector<std::string> Probes() {
    std::vector<std::string> probes;
    for (int i = 0; i < 64; ++i) {
        probes.push_back("D:\\Program Files\\Vendor" + std::to_string(i * 37) + "\\app" +
                         std::to_string(i * 37) + ".exe");
        probes.push_back("c:\\users\\someone\\downloads\\file" + std::to_string(i) + ".exe");
    }
    return probes;
}

void BM_IsSafeLocationHashed(benchmark::State& state) {
    const qm::defs::SafetyList list(Entries(static_cast<std::size_t>(state.range(0))));
    const auto probes = Probes();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.IsSafeLocation(probes[i++ % probes.size()]));
    }
}
BENCHMARK(BM_IsSafeLocationHashed)->Arg(100)->Arg(10000);

void BM_IsSafeLocationInOrderReference(benchmark::State& state) {
    const auto entries = Entries(static_cast<std::size_t>(state.range(0)));
    const auto probes = Probes();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qm::test::ReferenceIsSafeLocation(entries, probes[i++ % probes.size()]));
    }
}
BENCHMARK(BM_IsSafeLocationInOrderReference)->Arg(100)->Arg(10000);

}  // namespace
