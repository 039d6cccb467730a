// What the memory and cookie phases cost on the real Win32 platform, in two parts:
//
// 1. The memory pass with nothing started or ended. Against 10,000 program records, a first
//    InspectMemory reads the records and examines every running program; every later pass
//    must stop once it has listed the programs, because their names are the same as last time.
//    Such passes are timed one by one, taking turns with a bare Win32Processes::List() of the
//    same count; one run prints the median of each and their ratio (the pass should cost no
//    more than the listing), and the cost of the full pass beside them.
// 2. The cookie phase of a Smart Scan on cookie folders of 2,500, 5,000 and 10,000 files, a
//    few hundred of them on the blocked-cookie list: the time per file should stay the same
//    as the folder grows.
//
// Run under Wine:
//   WINEPREFIX=/tmp/qm-memcookie-prefix WINEDEBUG=-all wine qm_memory_cookie_bench.exe
//       [--calls N (default 200)] [--rounds N (default 5)]
// The cookie files live in a temporary folder that stands in for the cookie folder (the shell
// folder 33 is answered with it), so the prefix's own cookie folder is never touched.
// Three rounds leave the per-file figures noisy by 10 to 20 % under Wine; five hold them to a
// few per cent.

// clang-format off
#include "platform/win32/WinApi.h"
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "TempFolder.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "scan/ScanSession.h"
#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"

namespace {

using namespace qm::bench;

// The shell folder the cookie phase reads its folder from (CSIDL_COOKIES).
constexpr int kCookiesFolder = 33;

// The system's shell folders, except that the cookie folder is the benchmark's own: the phase
// then reads a folder whose size the benchmark sets, and the user's real cookies stay out of it.
class CookieFolderShell final : public qm::platform::ShellFolders {
  public:
    CookieFolderShell(qm::platform::ShellFolders& system, std::string cookies)
        : system_(system), cookies_(std::move(cookies)) {}
    std::optional<std::string> SpecialFolder(int csidl) override {
        if (csidl == kCookiesFolder) return cookies_;
        return system_.SpecialFolder(csidl);
    }
    std::optional<std::string> SpecialFolderByIdList(int csidl) override {
        if (csidl == kCookiesFolder) return cookies_;
        return system_.SpecialFolderByIdList(csidl);
    }
    std::string SystemDirectory() override { return system_.SystemDirectory(); }

  private:
    qm::platform::ShellFolders& system_;
    std::string cookies_;
};

// 10,000 program records that name no program of the machine: made-up names in made-up
// folders, written with and without folder tokens as the definition files mix them. Names end
// differently from every system program, so the look-up by name in any folder misses as well.
std::vector<std::string> ProgramRecords() {
    static constexpr std::array<const char*, 4> kFolders = {
        "C:\\Program Files\\Bench Vendor ", "[progfil]\\Bench Suite ", "[windir]\\BenchTools",
        "C:\\Documents and Settings\\All Users\\Bench Data "};
    std::vector<std::string> lines;
    lines.reserve(10000);
    for (int i = 0; i < 10000; ++i) {
        const std::string n = std::to_string(i);
        const auto kind = static_cast<std::size_t>(i) % kFolders.size();
        std::string folder = kFolders[kind];
        if (kind != 2) folder += n;
        lines.push_back("qmbenchthreat" + n + ".exe=Bench Threat " + n + "|" + folder);
    }
    return lines;
}

struct MemoryFigures {
    double firstPass = 0;        // the session's first pass: records read, every program examined
    double freshPassMedian = 0;  // the same full pass on fresh sessions, files already cached
    double unchangedMedian = 0;  // a pass with the same programs running
    double listMedian = 0;       // a bare listing
    std::size_t programs = 0;
    std::size_t unchangedCalls = 0;
    std::size_t fullAgain = 0;  // timed passes that found the programs changed and did it all
    long long inspectedByFirst = 0;
};

// The memory pass. False (after saying why) when a pass reported a threat or did work it should
// not.
std::optional<MemoryFigures> RunMemoryPart(qm::platform::win32::Win32Platform& machine,
                                           const std::string& data, int calls) {
    qm::platform::Platform& platform = machine.platform;
    qm::settings::MemorySettingsStore settings;
    // Outside a scan a hit would become the running-program alert; none of the records names a
    // running program, so any call here is a fault of the benchmark's set-up.
    struct CountingAlert final : qm::scan::RunningThreatAlert {
        int threats = 0;
        void RunningThreatFound(const qm::scan::JudgedProcess& process,
                                const std::string&) override {
            std::fprintf(stderr, "running threat reported: %s\n", process.exeName.c_str());
            ++threats;
        }
    } alert;
    const auto makeBench = [&] {
        return std::make_unique<BenchApplication>(platform, settings, data);
    };

    MemoryFigures out;
    const auto bench = makeBench();
    qm::ui::FrmMain& form = bench->form;
    qm::scan::ScanSession* const session = &bench->session;
    auto& prompts = bench->prompts;
    if (!form.cmdScan.enabled) {
        std::fprintf(stderr, "the form starts in its scanning state\n");
        return std::nullopt;
    }

    // The first pass: the running programs are new to the session, so it reads the records
    // and examines every program (its counter grows by one per program).
    const auto f = Clock::now();
    bench->app.InspectMemory(alert);
    out.firstPass = Seconds(f);
    out.inspectedByFirst = session->Counters().processesInspected;
    const auto firstList = platform.processes.List();
    if (!firstList || out.inspectedByFirst == 0) {
        std::fprintf(stderr, "the first memory pass examined no program\n");
        return std::nullopt;
    }
    out.programs = firstList->size();

    // The same full pass a few more times on fresh sessions (a fresh session has seen no
    // programs), for a median with the records already in the file cache.
    std::vector<double> fresh;
    for (int i = 0; i < 5; ++i) {
        const auto freshBench = makeBench();
        const auto t = Clock::now();
        freshBench->app.InspectMemory(alert);
        fresh.push_back(Seconds(t));
    }
    out.freshPassMedian = Median(fresh);

    // Passes and listings take turns, and which goes first alternates, so a slower stretch of
    // the machine weighs on both alike. A pass that did more than list is told by the counter:
    // only a pass that examines the programs adds to it. Such a pass (a program of the prefix
    // started or ended meanwhile) is counted apart and left out of the median.
    std::vector<double> unchanged, listed;
    bool listFailed = false;
    unchanged.reserve(static_cast<std::size_t>(calls));
    listed.reserve(static_cast<std::size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const auto pass = [&] {
            const long long before = session->Counters().processesInspected;
            const auto t = Clock::now();
            bench->app.InspectMemory(alert);
            const double seconds = Seconds(t);
            if (session->Counters().processesInspected == before) {
                unchanged.push_back(seconds);
            } else {
                ++out.fullAgain;
            }
        };
        const auto list = [&] {
            const auto t = Clock::now();
            const auto now = machine.processes.List();
            listed.push_back(Seconds(t));
            if (!now) listFailed = true;
        };
        if (i % 2 == 0) {
            pass();
            list();
        } else {
            list();
            pass();
        }
    }
    if (alert.threats != 0 || prompts.shown != 0) return std::nullopt;
    if (listFailed) {
        std::fprintf(stderr, "a bare listing failed\n");
        return std::nullopt;
    }
    if (unchanged.empty()) {
        std::fprintf(stderr, "every timed pass found the running programs changed\n");
        return std::nullopt;
    }
    out.unchangedCalls = unchanged.size();
    out.unchangedMedian = Median(unchanged);
    out.listMedian = Median(listed);
    return out;
}

// The cookie folder: `user@siteN[1].txt` for every site N, each naming its host
// "siteN.example.com". Every 32nd site is on the blocked list, every third of those with a
// leading "*", so the share of hits is the same at every folder size.
struct CookieWorkload {
    static constexpr int kBlockedEvery = 32;
    static constexpr int kLargest = 10000;

    static std::string FileName(int n) { return "qmbench@site" + std::to_string(n) + "[1].txt"; }
    static std::string Content(int n) {
        return "id\n" + std::to_string(n % 97) + "\nsite" + std::to_string(n) +
               ".example.com/\n1536\n3567587328\n30000000\n";
    }
    static bool Blocked(int n) { return n % kBlockedEvery == 0; }
    static int ExpectedHits(int files) { return (files + kBlockedEvery - 1) / kBlockedEvery; }
    static std::vector<std::string> BlockedLines() {
        std::vector<std::string> lines;
        for (int n = 0; n < kLargest; ++n) {
            if (!Blocked(n)) continue;
            const std::string host = "site" + std::to_string(n) + ".example.com";
            lines.push_back((n / kBlockedEvery) % 3 == 0 ? "*" + host : host);
        }
        return lines;
    }
};

struct CookieFigures {
    int files = 0;
    double scanMedian = 0;   // StartScan with the cookie phase
    double fixedMedian = 0;  // the same StartScan without it
    double bareMedian = 0;   // listing the folder and reading every file
    double listMedian = 0;   // listing the folder alone
    std::size_t hits = 0;
};

// The folder's files, listed as the phase lists them.
std::vector<std::string> ListCookieFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    qm::platform::win32::UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return names;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        names.emplace_back(data.cFileName);
    } while (::FindNextFileA(find.get(), &data));
    return names;
}

// What the phase is measured against: the folder listed once, every file opened and read.
// Returns the number of files read.
long BareCookieRead(const std::string& folder) {
    long read = 0;
    const std::vector<std::string> names = ListCookieFiles(folder);
    std::array<char, 4096> buffer{};
    for (const auto& name : names) {
        qm::platform::win32::UniqueFile file(
            ::CreateFileA((folder + "\\" + name).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) continue;
        DWORD got = 0;
        if (::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                       nullptr) &&
            got > 0) {
            ++read;
        }
    }
    return read;
}

// The cookie folder. Nothing (after saying why) when a scan found the wrong cookies.
std::optional<std::vector<CookieFigures>> RunCookiePart(qm::platform::win32::Win32Platform& machine,
                                                        const std::string& data,
                                                        const std::string& cookies, int rounds) {
    CookieFolderShell shell(machine.shell, cookies);
    qm::platform::Platform platform{machine.files,         shell,
                                    machine.clock,         machine.version,
                                    machine.drives,        machine.registry,
                                    machine.launcher,      machine.processes,
                                    machine.systemRestore, machine.clipboard,
                                    machine.http,          machine.dates,
                                    machine.encoding,      machine.signatures};
    qm::settings::MemorySettingsStore settings;
    BenchApplication bench(platform, settings, data);
    const auto& product = bench.product;
    auto& prompts = bench.prompts;
    qm::ui::FrmMain& form = bench.form;
    qm::scan::ScanSession& session = bench.session;
    form.SelectScanKind(qm::ui::ScanKind::Smart);
    // A Smart Scan of the cookie phase alone (with the tiny file and folder passes every Smart
    // Scan ends with): no processes, no registry.
    using qm::settings::section::kOptions;
    settings.Write(product.productName, kOptions, "chkScanRegistry", "False");
    settings.Write(product.productName, kOptions, "chkSweepMemory", "False");
    const auto cookiePhase = [&](bool on) {
        settings.Write(product.productName, kOptions, "chkScanCookies", on ? "1" : "0");
    };

    std::vector<CookieFigures> out;
    int made = 0;
    for (const int size : {2500, 5000, 10000}) {
        // The folder grows to the next size; the files already there stay.
        const auto m = Clock::now();
        for (; made < size; ++made)
            qm::wintest::PutFile(cookies + "\\" + CookieWorkload::FileName(made),
                                 CookieWorkload::Content(made));
        std::printf("cookie folder grown to %d files in %.1f s\n", size, Seconds(m));
        std::fflush(stdout);

        CookieFigures figures;
        figures.files = size;
        const std::size_t expected = static_cast<std::size_t>(CookieWorkload::ExpectedHits(size));
        const auto scanRound = [&]() -> std::optional<double> {
            cookiePhase(true);
            const auto t = Clock::now();
            bench.app.StartScan();
            const double seconds = Seconds(t);
            figures.hits = form.lvwCookiesToDelete.rows.size();
            const std::size_t shown = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size();
            if (figures.hits != expected || shown != expected ||
                session.Counters().cookiesInspected != size || prompts.shown != 0) {
                std::fprintf(stderr,
                             "the scan queued %zu cookies and showed %zu results after %lld "
                             "files; expected %zu of each after %d\n",
                             figures.hits, shown,
                             static_cast<long long>(session.Counters().cookiesInspected), expected,
                             size);
                return std::nullopt;
            }
            return seconds;
        };
        const auto fixedRound = [&]() -> std::optional<double> {
            cookiePhase(false);
            const auto t = Clock::now();
            bench.app.StartScan();
            const double seconds = Seconds(t);
            if (session.Counters().cookiesInspected != 0 || !form.lvwCookiesToDelete.rows.empty()) {
                std::fprintf(stderr, "the scan without its cookie phase read cookies\n");
                return std::nullopt;
            }
            return seconds;
        };
        const auto bareRound = [&]() -> std::optional<double> {
            const auto t = Clock::now();
            const long read = BareCookieRead(cookies);
            const double seconds = Seconds(t);
            if (read != size) {
                std::fprintf(stderr, "the bare read met %ld files, expected %d\n", read, size);
                return std::nullopt;
            }
            return seconds;
        };

        // One untimed pass of each first: the files just written, and the folder's listing,
        // are then as cached as in the timed rounds.
        if (!bareRound() || !scanRound() || !fixedRound()) return std::nullopt;
        std::vector<double> scan, fixed, bare, list;
        for (int round = 0; round < rounds; ++round) {
            std::optional<double> s, b;
            if (round % 2 == 0) {
                s = scanRound();
                b = bareRound();
            } else {
                b = bareRound();
                s = scanRound();
            }
            const auto x = fixedRound();
            if (!s || !b || !x) return std::nullopt;
            // The listing alone: what of the bare read is not opening and reading the files.
            const auto l = Clock::now();
            const std::size_t listedFiles = ListCookieFiles(cookies).size();
            list.push_back(Seconds(l));
            if (listedFiles != static_cast<std::size_t>(size)) {
                std::fprintf(stderr, "the listing met %zu files, expected %d\n", listedFiles, size);
                return std::nullopt;
            }
            scan.push_back(*s);
            bare.push_back(*b);
            fixed.push_back(*x);
            std::printf(
                "  %5d files, round %d: Smart Scan %.3f s (%.3f s without the cookie phase), "
                "bare read %.3f s, %zu hits\n",
                size, round + 1, scan.back(), fixed.back(), bare.back(), figures.hits);
            std::fflush(stdout);
        }
        figures.scanMedian = Median(scan);
        figures.fixedMedian = Median(fixed);
        figures.bareMedian = Median(bare);
        figures.listMedian = Median(list);
        out.push_back(figures);
    }
    return out;
}

int Run(int calls, int rounds) {
    qm::wintest::TempFolder work;
    const std::string data = work / "data";
    const std::string cookies = work / "cookies";
    if (!MakeFolder(data) || !MakeFolder(cookies)) return 1;

    PutDefinitionFile(data + "\\" + qm::defs::file::kPrograms, ProgramRecords());
    PutDefinitionFile(data + "\\" + qm::defs::file::kCookies, CookieWorkload::BlockedLines());
    // One record in each of the other files: the Smart Scan's file and folder passes then cost
    // one look-up each, and the required set is complete.
    PutDefinitionFile(data + "\\" + qm::defs::file::kFiles,
                      {"absentbench.dll=Bench Absent File|[drive]\\Bench Absent Folder|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kFolders,
                      {"BenchAbsent=Bench Absent Folder|[drive]\\BenchAbsent|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kRegistry,
                      {"1^Software\\QmBenchAbsent^Run=Bench Absent Value|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kSafety,
                      {"SDIR|Windows=|[windir]", "SDIR|System=|[system]",
                       "SREG|Run key=|2^SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"});

    qm::platform::win32::Win32Platform machine;

    const auto memory = RunMemoryPart(machine, data, calls);
    if (!memory) return 1;
    std::printf("Memory pass, %d program records, %zu programs running, under Wine\n", 10000,
                memory->programs);
    std::printf("  first pass (records read, every program examined):  %.3f ms (%lld inspected)\n",
                memory->firstPass * 1e3, memory->inspectedByFirst);
    std::printf("  the same full pass on fresh sessions, median of 5:  %.3f ms\n",
                memory->freshPassMedian * 1e3);
    std::printf("  pass with the same programs running, median of %zu: %.3f ms\n",
                memory->unchangedCalls, memory->unchangedMedian * 1e3);
    std::printf("  bare Win32Processes::List(), median of %d:          %.3f ms\n", calls,
                memory->listMedian * 1e3);
    std::printf("  ratio unchanged pass / bare listing:                %.2f (expected about 1.0)\n",
                memory->unchangedMedian / memory->listMedian);
    std::printf("  full pass / unchanged pass:                         %.1f\n",
                memory->freshPassMedian / memory->unchangedMedian);
    if (memory->fullAgain != 0) {
        std::printf("  (%zu timed passes met changed programs and did the full pass; left out)\n",
                    memory->fullAgain);
    }
    std::fflush(stdout);

    const auto cookieFigures = RunCookiePart(machine, data, cookies, rounds);
    if (!cookieFigures) return 1;
    std::printf("Cookie phase of a Smart Scan (no processes, no registry), under Wine\n");
    std::printf("  %6s %9s %9s %9s %12s %11s %11s %6s\n", "files", "scan s", "fixed s", "us/file",
                "phase us/f", "bare us/f", "list us/f", "hits");
    for (const auto& c : *cookieFigures) {
        const double n = c.files;
        std::printf("  %6d %9.3f %9.3f %9.1f %12.1f %11.1f %11.1f %6zu\n", c.files, c.scanMedian,
                    c.fixedMedian, c.scanMedian / n * 1e6, (c.scanMedian - c.fixedMedian) / n * 1e6,
                    c.bareMedian / n * 1e6, c.listMedian / n * 1e6, c.hits);
    }
    const auto& smallest = cookieFigures->front();
    const auto& largest = cookieFigures->back();
    const auto phasePerFile = [](const CookieFigures& c) {
        return (c.scanMedian - c.fixedMedian) / c.files;
    };
    std::printf("  phase per file, %d files / %d files:  %.2f (linear: about 1.0)\n", largest.files,
                smallest.files, phasePerFile(largest) / phasePerFile(smallest));
    std::printf("  bare read per file, same sizes:         %.2f\n",
                (largest.bareMedian / largest.files) / (smallest.bareMedian / smallest.files));
    for (const auto& c : *cookieFigures) {
        std::printf("  phase / bare read at %5d files:        %.2f\n", c.files,
                    (c.scanMedian - c.fixedMedian) / c.bareMedian);
    }
    std::printf(
        "  (medians of %d rounds; \"fixed\" is the same StartScan without the cookie phase,\n"
        "   \"bare\" lists the folder and reads every file with CreateFileA/ReadFile, \"list\"\n"
        "   only lists it with FindFirstFileA/FindNextFileA)\n",
        rounds);

    const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
    std::printf("  peak working set:               %.1f MiB\n", MiB(counters.PeakWorkingSetSize));
    std::printf("  peak pagefile usage:            %.1f MiB\n", MiB(counters.PeakPagefileUsage));
    std::printf("deleting the cookie folder and the data folder...\n");
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int calls = 200;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--calls" && !value.empty()) {
            calls = std::max(1, std::atoi(value.c_str()));
        } else if (a == "--rounds" && !value.empty()) {
            rounds = std::max(1, std::atoi(value.c_str()));
        } else {
            std::fprintf(stderr, "usage: qm_memory_cookie_bench.exe [--calls N] [--rounds N]\n");
            return 2;
        }
        ++i;
    }
    return Run(calls, rounds);
}
