// What merging a large update costs on the real Win32 platform: an answer of 10,000 ADD and
// 10,000 DEL records (every DEL naming a line that is there) into a FileDefinition.dat of
// 100,001 lines, against a plain line-by-line copy of the same file. Both read through the
// program's line reader and end with the file on the disk; the merge includes its journal (the
// whole set replaced in one step). Each round starts from the same files; the two take turns
// and the medians are compared. A second answer of 100,000 DEL records followed by 100,000 ADD
// records shows that sorting out the records grows with their number, not its square: it must
// take under 10 times the 10,000/10,000 merge. Run under Wine:
//   WINEPREFIX=build/windows/wineprefix WINEDEBUG=-all wine qm_merge_bench.exe [--rounds N]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "definitions/LineScramble.h"
#include "platform/win32/Win32FileSystem.h"
#include "text/TextFile.h"
#include "update/DefinitionMerge.h"

namespace {

using namespace qm::bench;
using qm::defs::EncodeLine;

constexpr int kLines = 100001;
constexpr int kAdds = 10000;
constexpr int kDeletes = 10000;

struct SilentProgress final : qm::update::MergeProgress {
    void ShowStatus(const std::string&) override {}
    void LetEventsRun() override {}
};

std::string Definitions() {
    std::string content;
    for (int i = 0; i < kLines; ++i) {
        content += EncodeLine("threat" + std::to_string(i) + ".exe=Bench Threat " +
                              std::to_string(i) + "|[progfil]Bench Vendor|Adware") +
                   "\r\n";
    }
    return content;
}

// `deletes` DEL records and then `adds` ADD records (of keys nothing deletes).
std::string DeletionsThenAdditions(int deletes, int adds) {
    std::string answer;
    for (int i = 0; i < deletes; ++i) {
        answer += EncodeLine("FILE") + "|DEL[DEF]" +
                  EncodeLine("threat" + std::to_string(i * (kLines / deletes)) + ".exe") + "[BR]";
    }
    for (int i = 0; i < adds; ++i) {
        answer += EncodeLine("FILE") + "|ADD[DEF]" + EncodeLine("added" + std::to_string(i)) +
                  ".exe=" + EncodeLine("Added Threat") + "|" + EncodeLine("[progfil]New") + "|" +
                  EncodeLine("Adware") + "[BR]";
    }
    return answer;
}

std::string Answer() {
    std::string answer;
    for (int i = 0; i < kAdds; ++i) {
        answer += EncodeLine("FILE") + "|ADD[DEF]" + EncodeLine("added" + std::to_string(i)) +
                  ".exe=" + EncodeLine("Added Threat") + "|" + EncodeLine("[progfil]New") + "|" +
                  EncodeLine("Adware") + "[BR]";
    }
    for (int i = 0; i < kDeletes; ++i) {
        // Spread over the file, every one a line that is there.
        answer += EncodeLine("FILE") + "|DEL[DEF]" +
                  EncodeLine("threat" + std::to_string(i * (kLines / kDeletes)) + ".exe") + "[BR]";
    }
    return answer;
}

double PlainCopy(qm::platform::FileSystem& files, const std::string& from, const std::string& to) {
    const auto start = Clock::now();
    auto lines = qm::text::LineReader::Open(files, from, qm::text::LineEnds::CrLfOnly);
    std::string copy;
    for (std::string line; lines && lines->Next(line);)
        copy.append(line).append("\r\n");
    files.WriteWholeFile(to, copy);
    return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    if (argc == 3 && std::string(argv[1]) == "--rounds") rounds = std::max(1, std::atoi(argv[2]));
    qm::wintest::TempFolder root;
    const std::string data = root / "AntiSpywareDAT";
    if (!MakeFolder(data)) return 2;
    const std::string definitions = Definitions();
    const std::string answer = Answer();
    qm::platform::win32::Win32FileSystem files;
    SilentProgress progress;

    const std::string large = DeletionsThenAdditions(10 * kDeletes, 10 * kAdds);
    const auto putFiles = [&] {
        for (const char* name :
             {"FileDefinition.dat", "ExeDefinition.dat", "RegistryDefinition.dat",
              "BlockedCookies.dat", "DirectoryDefinition.dat", "Safety.dat"}) {
            qm::wintest::PutFile(data + "\\" + name, "");
        }
        qm::wintest::PutFile(data + "\\FileDefinition.dat", definitions);
    };

    std::vector<double> merge, copy, largeMerge;
    int changes = 0;
    for (int round = 0; round < rounds + 1; ++round) {
        putFiles();
        const double copied = PlainCopy(files, data + "\\FileDefinition.dat", root / "copy.dat");
        auto start = Clock::now();
        const auto result = qm::update::MergeDefinitions(files, data, answer, progress);
        const double merged = Seconds(start);
        changes = result.changes;
        if (!result.complete) {
            std::fprintf(stderr, "the merge could not write\n");
            return 2;
        }
        if (round == 0) continue;  // untimed: the caches warm up
        merge.push_back(merged);
        copy.push_back(copied);
        putFiles();
        start = Clock::now();
        if (!qm::update::MergeDefinitions(files, data, large, progress).complete) return 2;
        largeMerge.push_back(Seconds(start));
        putFiles();
        qm::update::MergeDefinitions(files, data, answer, progress);
    }
    const auto merged =
        qm::text::ReadAllLines(files, data + "\\FileDefinition.dat", qm::text::LineEnds::CrLfOnly);
    std::printf("Merge of %d ADD and %d DEL records into %d lines under Wine (median of %d)\n",
                kAdds, kDeletes, kLines, rounds);
    std::printf("  plain line-by-line copy: %.3f s\n", Median(copy));
    std::printf("  merge:                   %.3f s\n", Median(merge));
    std::printf("  ratio merge / copy:      %.2f (target <= 2)\n", Median(merge) / Median(copy));
    std::printf("  changes %d, lines after the merge %zu (expected %d)\n", changes, merged.size(),
                kLines + kAdds - kDeletes);
    std::printf(
        "  %d DEL then %d ADD records: %.3f s, ratio to the merge above %.2f "
        "(target < 10)\n",
        10 * kDeletes, 10 * kAdds, Median(largeMerge), Median(largeMerge) / Median(merge));
    std::printf("  peak working set: %.1f MiB\n", MiB(MemoryCounters().PeakWorkingSetSize));
    return 0;
}
