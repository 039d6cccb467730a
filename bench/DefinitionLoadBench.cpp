// LoadDefinitions against a plain read-and-decode of the same two files, and the memory the
// loaded tables take.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "definitions/DefinitionSet.h"
#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"
#include "text/TextFile.h"

namespace {

using qm::test::FakeMachine;

class NoStop final : public qm::defs::LoadControl {
  public:
    bool StopRequested() const override { return false; }
    void LetEventsRun() override {}
};

long CurrentRssKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

FakeMachine& MachineWithLargeSet() {
    static FakeMachine machine = [] {
        FakeMachine m;
        std::vector<std::string> files, folders;
        files.reserve(100001);
        folders.reserve(100001);
        for (int i = 0; i < 100001; ++i) {
            const std::string n = std::to_string(i);
            files.push_back("threat" + n + ".exe=Threat Number " + n + "|[progfil]Vendor" + n +
                            "\\bin|" + (i % 7 == 0 ? "TYPE" : "Adware"));
            folders.push_back("vendor" + n + "=Vendor Folder " + n + "|[appdata]Vendor" + n +
                              "\\|Toolbar");
        }
        m.PutDefinitionFile("FileDefinition.dat", files);
        m.PutDefinitionFile("DirectoryDefinition.dat", folders);
        return m;
    }();
    return machine;
}

// Kept out of line so an instruction counter can measure it alone
// (valgrind --tool=callgrind --toggle-collect='*PlainReadAndDecode*').
[[gnu::noinline]] std::size_t PlainReadAndDecode(FakeMachine& m) {
    std::size_t bytes = 0;
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat"}) {
        auto reader =
            qm::text::LineReader::Open(m.files, std::string(FakeMachine::kDataFolder) + "\\" + name,
                                       qm::text::LineEnds::CrLfOnly);
        std::string line;
        while (reader->Next(line)) {
            qm::defs::DecodeLineInPlace(line);
            bytes += line.size();
        }
    }
    return bytes;
}

void BM_PlainReadAndDecode(benchmark::State& state) {
    FakeMachine& m = MachineWithLargeSet();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainReadAndDecode(m));
}
BENCHMARK(BM_PlainReadAndDecode)->Unit(benchmark::kMillisecond);

void BM_LoadDefinitions(benchmark::State& state) {
    FakeMachine& m = MachineWithLargeSet();
    qm::defs::DefinitionFiles files(m.files, FakeMachine::kDataFolder);
    const qm::defs::PathTokenExpander tokens(m.shell);
    const qm::defs::SafetyList safety({"C:\\windows\\system32\\kernel32.dll", "C:\\windows"});
    NoStop control;
    std::size_t tableBytes = 0;
    long peakRssKiB = 0;
    for (auto _ : state) {
        auto set = std::make_unique<qm::defs::DefinitionSet>();
        set->Load(files, m.files, tokens, safety, control);
        tableBytes = set->BytesReserved();
        peakRssKiB = std::max(peakRssKiB, CurrentRssKiB());
        benchmark::DoNotOptimize(set->FileTable().size() + set->FolderTable().size());
        state.PauseTiming();
        set.reset();
        state.ResumeTiming();
    }
    state.counters["tables_MiB"] = static_cast<double>(tableBytes) / (1024.0 * 1024.0);
    state.counters["process_rss_MiB"] = static_cast<double>(peakRssKiB) / 1024.0;
}
BENCHMARK(BM_LoadDefinitions)->Unit(benchmark::kMillisecond);

}  // namespace
