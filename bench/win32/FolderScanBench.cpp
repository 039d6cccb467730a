// How much a Folder Scan costs over a bare walk of the same tree on disk: 100,000 files in
// 10,110 folders under a temporary folder, checked against 100,001 file and 100,001 folder
// records, with the real Win32 platform. One run prints the median of each, their ratio, the
// expected hits and the peak memory, then deletes the tree. Run under Wine:
//   WINEPREFIX=build/windows/wineprefix WINEDEBUG=-all wine qm_folder_scan_bench.exe [--rounds N]
//       [--absent-folders drive|token] [--breakdown]
// "--absent-folders token" writes the folder records that name nothing in the tree with folder
// tokens instead of "[drive]" (see FolderScanWorkload.h). "--breakdown" times the scan's steps
// one by one afterwards, to show where its time goes.

// clang-format off
#include "platform/win32/WinApi.h"
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "../FolderScanBreakdown.h"
#include "../FolderScanWorkload.h"
#include "BenchSupport.h"
#include "TempFolder.h"
#include "definitions/LineScramble.h"
#include "i18n/MessageCatalogue.h"
#include "platform/win32/Handle.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Platform.h"
#include "scan/ScanSession.h"
#include "ui/FrmMain.h"

namespace {

using namespace qm::bench;

using qm::bench::FolderScanWorkload;
using qm::platform::win32::UniqueFind;

// Deletes a folder and everything in it. Each folder is listed in full before anything in it is
// deleted: deleting entries while the listing is still being read makes the listing skip some
// of the remaining ones on large folders.
void RemoveTree(const std::string& folder) {
    std::vector<std::pair<std::string, bool>> children;  // path, is a folder
    WIN32_FIND_DATAA data{};
    {
        UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &data));
        if (find) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                children.emplace_back(folder + "\\" + name,
                                      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
            } while (::FindNextFileA(find.get(), &data));
        }
    }
    for (const auto& [path, isFolder] : children) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder) {
            RemoveTree(path);
        } else {
            ::DeleteFileA(path.c_str());
        }
    }
    ::RemoveDirectoryA(folder.c_str());
}

// The benchmark's folder inside the temporary folder, deleted however the run ends.
class OwnedTree {
  public:
    explicit OwnedTree(std::string path) : path_(std::move(path)) {}
    ~OwnedTree() { RemoveTree(path_); }
    OwnedTree(const OwnedTree&) = delete;
    OwnedTree& operator=(const OwnedTree&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The walk the scan is measured against: list, build each child's path, enter each folder.
// `folder` ends with "\". Returns the number of entries met.
long BareWalk(const std::string& folder) {
    long entries = 0;
    WIN32_FIND_DATAA data{};
    UniqueFind find(::FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return 0;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        ++entries;
        const std::string child = folder + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) entries += BareWalk(child + "\\");
    } while (::FindNextFileA(find.get(), &data));
    return entries;
}

int Run(int rounds, bool absentFoldersUnderDrive, bool breakdown) {
    qm::wintest::TempFolder work;
    // Made (and deleted) inside the temporary folder, before it goes.
    const OwnedTree dataFolder(work / "data");
    const OwnedTree tree(work / "tree");
    const std::string& data = dataFolder.path();
    const std::string& root = tree.path();
    if (!MakeFolder(data) || !MakeFolder(root)) return 1;
    // "[drive]" & this names the root on the drive the walk is on.
    const std::string rootBelowDrive = root.substr(root.find('\\'));

    const auto setUp = Clock::now();
    PutDefinitionFile(data + "\\FileDefinition.dat",
                      FolderScanWorkload::FileRecords(rootBelowDrive));
    PutDefinitionFile(data + "\\DirectoryDefinition.dat",
                      FolderScanWorkload::FolderRecords(rootBelowDrive, absentFoldersUnderDrive));
    PutDefinitionFile(data + "\\Safety.dat", FolderScanWorkload::SafetyLines());
    PutDefinitionFile(data + "\\RegistryDefinition.dat", FolderScanWorkload::RegistryLines());
    PutDefinitionFile(data + "\\ExeDefinition.dat", FolderScanWorkload::ExeLines());
    PutDefinitionFile(data + "\\BlockedCookies.dat", FolderScanWorkload::CookieLines());
    bool made = true;
    FolderScanWorkload::ForEachEntry(
        root, [&](const std::string& path) { made = made && MakeFolder(path); },
        [&](const std::string& path) {
            if (made) qm::wintest::PutFile(path, "MZ");
        });
    if (!made) return 1;
    const double setUpSeconds = Seconds(setUp);
    std::printf("tree of %d files in %d folders made under %s in %.1f s\n",
                FolderScanWorkload::kFiles, FolderScanWorkload::kFolders, root.c_str(),
                setUpSeconds);
    std::fflush(stdout);

    // The platform as the console front end builds it.
    qm::platform::win32::Win32Platform machine;
    qm::platform::win32::RegistrySettingsStore settings;
    qm::platform::Platform& platform = machine.platform;

    BenchApplication bench(platform, settings, data);
    auto& prompts = bench.prompts;
    auto& pickers = bench.pickers;
    qm::ui::FrmMain& form = bench.form;
    qm::scan::ScanSession& session = bench.session;
    form.SelectScanKind(qm::ui::ScanKind::Folder);
    pickers.folder = root;

    // The scan loads the definitions once per run, on its first start; loading them here keeps
    // that out of the timed scans, which then measure the walk and the checks alone. Loaded
    // before any start, the set is read without the protected locations (each start rebuilds
    // them), which changes nothing here: none of them covers a record of this workload.
    const auto load = Clock::now();
    session.LoadDefinitions();
    const double loadSeconds = Seconds(load);
    const SIZE_T afterLoadWorkingSet = MemoryCounters().WorkingSetSize;

    const long expectedEntries = FolderScanWorkload::kFolders + FolderScanWorkload::kFiles;
    std::vector<double> bare, scan;
    std::size_t hits = 0;
    long long inspected = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto b = Clock::now();
        const long walked = BareWalk(root + "\\");
        bare.push_back(Seconds(b));
        if (walked != expectedEntries) {
            std::fprintf(stderr, "bare walk met %ld entries, expected %ld\n", walked,
                         expectedEntries);
            return 1;
        }

        const auto s = Clock::now();
        bench.app.StartScan();
        scan.push_back(Seconds(s));
        hits = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size();
        inspected = session.Counters().filesInspected;
        if (hits != static_cast<std::size_t>(FolderScanWorkload::kExpectedHits) ||
            prompts.shown != 0) {
            std::fprintf(stderr, "the scan reported %zu hits, expected %d\n", hits,
                         FolderScanWorkload::kExpectedHits);
            return 1;
        }
        std::printf("round %d: bare walk %.3f s, Folder Scan %.3f s\n", round + 1, bare.back(),
                    scan.back());
        std::fflush(stdout);
    }

    const PROCESS_MEMORY_COUNTERS memory = MemoryCounters();
    const double bareMedian = Median(bare), scanMedian = Median(scan);
    std::printf("Folder Scan of %d files in %d folders on disk, %d file and %d folder records\n",
                FolderScanWorkload::kFiles, FolderScanWorkload::kFolders,
                FolderScanWorkload::kRecords, FolderScanWorkload::kRecords);
    std::printf("  (the folder records naming nothing in the tree under %s)\n",
                absentFoldersUnderDrive ? "[drive]" : "tokens");
    std::printf("  definition load (once):         %.3f s (not in the scan figure)\n", loadSeconds);
    std::printf("  bare walk, median of %d:         %.3f s (FindFirstFileA/FindNextFileA)\n",
                rounds, bareMedian);
    std::printf("  Folder Scan, median of %d:       %.3f s (StartScan: walk, checks, reports)\n",
                rounds, scanMedian);
    std::printf("  ratio scan / bare:              %.2f (target <= 1.25)\n",
                scanMedian / bareMedian);
    std::printf("  hits reported:                  %zu (expected %d), %lld entries inspected\n",
                hits, FolderScanWorkload::kExpectedHits, inspected);
    std::printf("  peak working set:               %.1f MiB (target <= 100 MB)\n",
                MiB(memory.PeakWorkingSetSize));
    std::printf("  peak pagefile usage:            %.1f MiB\n", MiB(memory.PeakPagefileUsage));
    std::printf(
        "  working set after the load:     %.1f MiB, definition tables %.1f MiB\n",
        MiB(afterLoadWorkingSet),
        static_cast<double>(bench.app.Store().Definitions().BytesReserved()) / (1024.0 * 1024.0));
    if (breakdown) {
        qm::bench::PrintBreakdown(platform.files, platform.shell, bench.app.Store().Definitions(),
                                  root, rounds, scanMedian, bareMedian);
    }
    std::printf("deleting the tree...\n");
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    bool absentFoldersUnderDrive = true;
    bool breakdown = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--breakdown") {
            breakdown = true;
            continue;
        }
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--rounds" && !value.empty()) {
            rounds = std::max(1, std::atoi(value.c_str()));
        } else if (a == "--absent-folders" && (value == "drive" || value == "token")) {
            absentFoldersUnderDrive = value == "drive";
        } else {
            std::fprintf(stderr,
                         "usage: qm_folder_scan_bench.exe [--rounds N] "
                         "[--absent-folders drive|token] [--breakdown]\n");
            return 2;
        }
        ++i;
    }
    return Run(rounds, absentFoldersUnderDrive, breakdown);
}
