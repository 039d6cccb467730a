// How much a Folder Scan costs over a bare walk of the same tree: 100,000 files in 10,110
// folders held by a fake machine, checked against 100,001 file and 100,001 folder records.
// One run prints the median of each, their ratio, the expected hits and the peak memory:
//   build/native/bench/qm_folder_scan_bench [--rounds N] [--listing indexed|fake]
//                                           [--absent-folders drive|token] [--breakdown]
//
// The fake file system lists a folder by going through every entry it holds, which on a tree
// of this size costs far more than the scan around it and would hide the scan's own cost. So by
// default the walk (bare and scanning alike) lists folders through an index of the same tree
// built once up front ("indexed"); "--listing fake" lists through the fake machine as it is.
// "--absent-folders token" writes the folder records that name nothing in the tree with folder
// tokens instead of "[drive]" (see FolderScanWorkload.h). "--breakdown" times the scan's steps
// one by one afterwards, to show where its time goes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FolderScanBreakdown.h"
#include "FolderScanWorkload.h"
#include "app/Application.h"
#include "scan/ScanSession.h"
#include "support/FakePlatform.h"
#include "text/Text.h"
#include "ui/FrmMain.h"

namespace {

using qm::bench::FolderScanWorkload;
using qm::test::FakeMachine;
using Clock = std::chrono::steady_clock;

constexpr const char* kRoot = "C:\\qmtree";
constexpr const char* kRootBelowDrive = "\\qmtree";
constexpr const char* kUsage =
    "usage: qm_folder_scan_bench [--rounds N] [--listing indexed|fake] "
    "[--absent-folders drive|token] [--breakdown]\n";

// The fake machine's files with folder listings answered from an index of the tree, so a
// listing costs what the folder holds rather than what the whole machine holds. Everything
// else goes to the fake machine.
class IndexedListing final : public qm::platform::FileSystem {
  public:
    explicit IndexedListing(qm::test::FakeFileSystem& files) : files_(files) {}

    // Records an entry put into the fake machine, under its parent folder.
    void Add(const std::string& path, std::uint32_t attributes) {
        const auto slash = path.rfind('\\');
        children_[Key(path.substr(0, slash))].push_back({path.substr(slash + 1), attributes});
    }

    std::vector<qm::platform::DirEntry> ListFolder(const std::string& folder) override {
        const auto it = children_.find(Key(folder));
        if (it == children_.end()) return files_.ListFolder(folder);
        return it->second;
    }
    std::optional<std::uint32_t> Attributes(const std::string& path) override {
        return files_.Attributes(path);
    }
    std::unique_ptr<qm::platform::ByteReader> OpenForReading(const std::string& path) override {
        return files_.OpenForReading(path);
    }
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
        return files_.WriteWholeFile(path, bytes);
    }
    bool DeleteFile(const std::string& path) override { return files_.DeleteFile(path); }
    bool RenameFile(const std::string& from, const std::string& to) override {
        return files_.RenameFile(from, to);
    }
    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return files_.MoveReplacing(from, to);
    }
    bool CreateFolder(const std::string& folder) override { return files_.CreateFolder(folder); }
    bool CopyFile(const std::string& from, const std::string& to) override {
        return files_.CopyFile(from, to);
    }
    bool AppendToFile(const std::string& path, const std::string& bytes) override {
        return files_.AppendToFile(path, bytes);
    }
    bool DeleteFolderTree(const std::string& folder) override {
        return files_.DeleteFolderTree(folder);
    }

  private:
    static std::string Key(std::string path) {
        while (!path.empty() && path.back() == '\\')
            path.pop_back();
        return qm::text::Lower(path);
    }
    qm::test::FakeFileSystem& files_;
    std::map<std::string, std::vector<qm::platform::DirEntry>> children_;
};

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    }
    return -1;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The walk the scan is measured against: list, build each child's path, enter each folder.
// Returns the number of entries met.
long BareWalk(qm::platform::FileSystem& files, const std::string& folder) {
    long entries = 0;
    for (const auto& e : files.ListFolder(folder)) {
        if (e.name == "." || e.name == "..") continue;
        ++entries;
        const std::string child = folder + e.name;
        if (e.attributes & qm::platform::attr::kDirectory) entries += BareWalk(files, child + "\\");
    }
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    bool indexed = true;
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
        } else if (a == "--listing" && (value == "fake" || value == "indexed")) {
            indexed = value == "indexed";
        } else if (a == "--absent-folders" && (value == "drive" || value == "token")) {
            absentFoldersUnderDrive = value == "drive";
        } else {
            std::fprintf(stderr, "%s", kUsage);
            return 2;
        }
        ++i;
    }

    FakeMachine m;
    IndexedListing listing(m.files);
    const auto setUp = Clock::now();
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("FileDefinition.dat", FolderScanWorkload::FileRecords(kRootBelowDrive));
    m.PutDefinitionFile("DirectoryDefinition.dat", FolderScanWorkload::FolderRecords(
                                                       kRootBelowDrive, absentFoldersUnderDrive));
    m.PutDefinitionFile("Safety.dat", FolderScanWorkload::SafetyLines());
    m.PutDefinitionFile("RegistryDefinition.dat", FolderScanWorkload::RegistryLines());
    m.PutDefinitionFile("ExeDefinition.dat", FolderScanWorkload::ExeLines());
    m.PutDefinitionFile("BlockedCookies.dat", FolderScanWorkload::CookieLines());
    m.files.PutFolder(kRoot);
    FolderScanWorkload::ForEachEntry(
        kRoot,
        [&](const std::string& path) {
            m.files.PutFolder(path);
            listing.Add(path, qm::platform::attr::kDirectory);
        },
        [&](const std::string& path) {
            m.files.PutFile(path, "MZ");
            listing.Add(path, qm::platform::attr::kArchive);
        });
    const double setUpSeconds = Seconds(setUp);
    const long treeKiB = StatusKiB("VmRSS");

    qm::platform::Platform platform{
        indexed ? static_cast<qm::platform::FileSystem&>(listing) : m.files,
        m.shell,
        m.clock,
        m.version,
        m.drives,
        m.registry,
        m.launcher,
        m.processes,
        m.systemRestore,
        m.clipboard,
        m.http,
        m.dates,
        m.encoding,
        m.signatures};
    qm::app::Application app(qm::app::FrontEnd{platform, m.settings, m.prompts, m.pickers, m.pump},
                             qm::app::StartOptions{std::string(FakeMachine::kDataFolder), {}});
    app.Store().InstallAndCount();
    qm::ui::FrmMain& form = app.Form();
    qm::scan::ScanSession& session = app.Session();
    form.SelectScanKind(qm::ui::ScanKind::Folder);
    m.pickers.folder = kRoot;

    // The scan loads the definitions once per run, on its first start; loading them here keeps
    // that out of the timed scans, which then measure the walk and the checks alone. Loaded
    // before any start, the set is read without the protected locations (each start rebuilds
    // them), which changes nothing here: none of them covers a record of this workload.
    const auto load = Clock::now();
    session.LoadDefinitions();
    const double loadSeconds = Seconds(load);

    const long expectedEntries = FolderScanWorkload::kFolders + FolderScanWorkload::kFiles;
    std::vector<double> bare, scan;
    std::size_t hits = 0;
    long long inspected = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto b = Clock::now();
        const long walked = BareWalk(platform.files, std::string(kRoot) + "\\");
        bare.push_back(Seconds(b));
        if (walked != expectedEntries) {
            std::fprintf(stderr, "bare walk met %ld entries, expected %ld\n", walked,
                         expectedEntries);
            return 1;
        }

        const auto s = Clock::now();
        app.StartScan();
        scan.push_back(Seconds(s));
        hits = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size();
        inspected = session.Counters().filesInspected;
        if (hits != static_cast<std::size_t>(FolderScanWorkload::kExpectedHits)) {
            std::fprintf(stderr, "the scan reported %zu hits, expected %d\n", hits,
                         FolderScanWorkload::kExpectedHits);
            return 1;
        }
        std::printf("round %d: bare walk %.3f s, Folder Scan %.3f s\n", round + 1, bare.back(),
                    scan.back());
        std::fflush(stdout);
    }

    const double bareMedian = Median(bare), scanMedian = Median(scan);
    std::printf("Folder Scan of %d files in %d folders, %d file and %d folder records\n",
                FolderScanWorkload::kFiles, FolderScanWorkload::kFolders,
                FolderScanWorkload::kRecords, FolderScanWorkload::kRecords);
    std::printf("  (%s listing; the folder records naming nothing in the tree under %s)\n",
                indexed ? "indexed" : "fake", absentFoldersUnderDrive ? "[drive]" : "tokens");
    std::printf("  set-up of the fake machine:     %.3f s (not timed below)\n", setUpSeconds);
    std::printf("  definition load (once):         %.3f s (not in the scan figure)\n", loadSeconds);
    std::printf("  bare walk, median of %d:         %.3f s\n", rounds, bareMedian);
    std::printf("  Folder Scan, median of %d:       %.3f s (StartScan: walk, checks, reports)\n",
                rounds, scanMedian);
    std::printf("  ratio scan / bare:              %.2f (target <= 1.25)\n",
                scanMedian / bareMedian);
    std::printf("  hits reported:                  %zu (expected %d), %lld entries inspected\n",
                hits, FolderScanWorkload::kExpectedHits, inspected);
    const long peakKiB = StatusKiB("VmHWM");
    std::printf("  peak memory (VmHWM):            %.1f MiB (target <= 100 MB)\n",
                static_cast<double>(peakKiB) / 1024.0);
    std::printf("    before the load (fake machine) %.1f MiB resident,\n",
                static_cast<double>(treeKiB) / 1024.0);
    std::printf("    so the scan's own peak is      %.1f MiB (definition tables %.1f MiB)\n",
                static_cast<double>(peakKiB - treeKiB) / 1024.0,
                static_cast<double>(app.Store().Definitions().BytesReserved()) / (1024.0 * 1024.0));
    if (breakdown)
        qm::bench::PrintBreakdown(platform.files, m.shell, app.Store().Definitions(), kRoot, rounds,
                                  scanMedian, bareMedian);
    return 0;
}
