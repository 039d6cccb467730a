// The removal run under Wine against a bare loop doing the least a removal must: copy each
// file into a folder, put the copy on the disk (a backup a power cut could take is none) and
// delete the original, and delete each registry value.
//   WINEPREFIX=build/windows/wineprefix WINEDEBUG=-all wine qm_removal_bench.exe [--rounds N]
// Each round plants 10,000 small files (100 folders of 100) and 1,000 registry values, then
// removes them one way; the two ways take turns. The run's figure includes the verification
// of every copy (size and SHA-256 of original and copy), the quarantine log, the manifest and
// a registry-editor backup of every value.

#include <cstdlib>

#include "BenchSupport.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"

namespace {

using namespace qm::bench;

int kFolders = 100;  // --folders N: folders of 100 files each
constexpr int kFilesPerFolder = 100;
int kValues = 1000;  // --values N
constexpr const char* kKey = "Software\\QmRemovalBench";

std::string FilePath(const std::string& root, int folder, int file) {
    return root + "\\d" + std::to_string(folder) + "\\threat" + std::to_string(file) + ".dat";
}

bool Plant(const std::string& root) {
    for (int d = 0; d < kFolders; ++d) {
        if (!MakeFolder(root + "\\d" + std::to_string(d))) return false;
        for (int f = 0; f < kFilesPerFolder; ++f) {
            qm::wintest::PutFile(FilePath(root, d, f), "sample threat " + std::to_string(f));
        }
    }
    qm::platform::win32::UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    for (int v = 0; v < kValues; ++v) {
        const std::string name = "value" + std::to_string(v);
        const std::string data = "C:\\threat\\" + name + ".exe";
        ::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1));
    }
    return true;
}

// The least a removal must do.
double BareRemoval(const std::string& root, const std::string& backups) {
    const auto start = Clock::now();
    for (int d = 0; d < kFolders; ++d) {
        for (int f = 0; f < kFilesPerFolder; ++f) {
            const std::string path = FilePath(root, d, f);
            const std::string copy =
                backups + "\\" + std::to_string(d) + "-" + std::to_string(f) + ".dat";
            ::CopyFileA(path.c_str(), copy.c_str(), TRUE);
            const qm::platform::win32::UniqueFile written(
                ::CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ::FlushFileBuffers(written.get());
            ::DeleteFileA(path.c_str());
        }
    }
    qm::platform::win32::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS) {
        for (int v = 0; v < kValues; ++v)
            ::RegDeleteValueA(key.get(), ("value" + std::to_string(v)).c_str());
    }
    return Seconds(start);
}

// The program's removal run over worklists holding every file and value, all ticked.
double ProgramRemoval(qm::platform::win32::Win32Platform& machine, const std::string& data,
                      const std::string& root, std::size_t& removed, int& prompts) {
    qm::settings::MemorySettingsStore settings;
    BenchApplication bench(machine.platform, settings, data);
    qm::ui::FrmMain& form = bench.form;
    for (int d = 0; d < kFolders; ++d) {
        for (int f = 0; f < kFilesPerFolder; ++f) {
            auto& row = form.lvwFilesToBeDeleted.Add(FilePath(root, d, f));
            row.SetSubItem(1, "Bench Threat");
            row.checked = true;
        }
    }
    for (int v = 0; v < kValues; ++v) {
        auto& row = form.lvwRegistryToBeDeleted.Add("-2147483647");
        row.SetSubItem(1, kKey);
        row.SetSubItem(2, "value" + std::to_string(v));
        row.SetSubItem(3, "Bench Value");
        row.checked = true;
    }
    form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add("Bench Threat", 3).checked = true;
    const auto start = Clock::now();
    bench.app.RemoveSelected();
    const double seconds = Seconds(start);
    removed = bench.app.LastRemoval().removed.size();
    prompts = bench.prompts.shown;
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds") rounds = std::max(1, std::atoi(argv[++i]));
        if (a == "--folders") kFolders = std::max(0, std::atoi(argv[++i]));
        if (a == "--values") kValues = std::max(0, std::atoi(argv[++i]));
    }
    qm::platform::win32::Win32Platform machine;
    qm::wintest::TempFolder temp;
    std::vector<double> bare, program;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            // Which way goes first alternates, so a slower stretch of the machine weighs on both.
            const bool programTurn = (round + turn) % 2 == 0;
            const std::string place =
                temp / ("r" + std::to_string(round) + "-" + std::to_string(turn));
            const std::string root = place + "\\tree";
            const std::string data = place + "\\data";
            if (!MakeFolder(place) || !MakeFolder(root) || !MakeFolder(data) || !Plant(root)) {
                std::fprintf(stderr, "cannot plant the threats\n");
                return 1;
            }
            if (programTurn) {
                std::size_t removed = 0;
                int prompts = 0;
                program.push_back(ProgramRemoval(machine, data, root, removed, prompts));
                const auto expected =
                    static_cast<std::size_t>(kFolders * kFilesPerFolder + kValues);
                if (removed != expected || prompts != 0) {
                    std::fprintf(stderr, "the run removed %zu of %zu, asked %d times\n", removed,
                                 expected, prompts);
                    return 1;
                }
            } else {
                const std::string backups = place + "\\backups";
                MakeFolder(backups);
                bare.push_back(BareRemoval(root, backups));
            }
            std::printf("round %d: %s %.2f s\n", round + 1,
                        programTurn ? "removal run" : "bare loop",
                        programTurn ? program.back() : bare.back());
            std::fflush(stdout);
            ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        }
    }
    const double bareMedian = Median(bare), programMedian = Median(program);
    std::printf("Removal of %d files and %d registry values under Wine\n",
                kFolders * kFilesPerFolder, kValues);
    std::printf("  bare copy-and-delete loop, median of %d: %.2f s\n", rounds, bareMedian);
    std::printf("  removal run, median of %d:               %.2f s\n", rounds, programMedian);
    std::printf("  ratio run / bare:                       %.2f (target <= 1.3)\n",
                programMedian / bareMedian);
    std::printf("  peak working set:                       %.1f MiB\n",
                MiB(MemoryCounters().PeakWorkingSetSize));
    return 0;
}
