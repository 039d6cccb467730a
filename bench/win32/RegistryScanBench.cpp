// How much the Smart Scan's registry phase costs over a bare loop of the same registry calls:
// 50,000 registry records against keys and values the benchmark creates under its own key in
// HKEY_CURRENT_USER, with the real Win32 platform. Bare and scan rounds alternate (after one
// untimed pass of each); one run prints the median of each, their ratio, the hits and the peak
// memory, then deletes its key and its data folder. Run under Wine:
//   WINEPREFIX=/tmp/qm-regbench-prefix WINEDEBUG=-all wine qm_registry_scan_bench.exe
//       [--rounds N (default 7)] [--breakdown]
// "--breakdown" times the phase's steps one by one afterwards, to show where its time goes.
//
// What the scan figure holds: StartScan of a Smart Scan with the cookie and process phases
// switched off, so it is the registry phase plus the scan's fixed cost (the protected locations,
// one file record and one folder record, the finish). That fixed cost is measured on its own
// too (the same start with the registry phase switched off) and printed beside it.

// clang-format off
#include "platform/win32/WinApi.h"
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "TempFolder.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "definitions/PathTokens.h"
#include "definitions/Records.h"
#include "i18n/MessageCatalogue.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "scan/ScanSession.h"
#include "settings/SettingsStore.h"
#include "text/Text.h"
#include "text/TextFile.h"
#include "ui/FrmMain.h"

namespace {

using namespace qm::bench;

using qm::platform::win32::UniqueRegKey;

// The access the scan opens every key with: what removing it would need (see Registry.h).
constexpr REGSAM kRemovalAccess = 0x3F;

// One registry record as the scan reads it once its line is split: the root, the key path and
// the value name (empty for a record naming the whole key).
struct RegistryEntry {
    HKEY root;
    int hiveCode;  // 1 HKEY_CURRENT_USER, 2 HKEY_LOCAL_MACHINE
    std::string key;
    std::string value;
};

// The records and the registry content they are checked against. Everything that exists lives
// under `base` (a key of HKEY_CURRENT_USER named after the process): 100 product keys
// base\VendorV\ProductP, each with string, number and binary values. Of the 50,000 records:
//   - 300 hits: 100 string values (one in four REG_EXPAND_SZ), 100 number values, 100 whole
//     product keys;
//   - 100 binary values, which exist but never count as found;
//   - the rest name nothing: values missing under existing keys, values under missing keys of
//     both hives, and whole keys missing below existing ones.
// Half the value records end their key with "\" ("key\^value"), half do not: both name the
// same key.
struct RegistryWorkload {
    static constexpr int kRecords = 50000;
    static constexpr int kVendors = 10;
    static constexpr int kProductsPerVendor = 10;
    static constexpr int kKeys = kVendors * kProductsPerVendor;
    static constexpr int kStringHits = 100;
    static constexpr int kNumberHits = 100;
    static constexpr int kKeyHits = 100;
    static constexpr int kBinaryLookalikes = 100;
    static constexpr int kExpectedHits = kStringHits + kNumberHits + kKeyHits;

    std::string base;
    std::vector<RegistryEntry> entries;
    std::vector<std::string> lines;

    explicit RegistryWorkload(std::string baseKey) : base(std::move(baseKey)) {
        entries.reserve(kRecords);
        lines.reserve(kRecords);
        static constexpr std::array<const char*, 4> kCategories = {"Adware", "Spyware", "Toolbar",
                                                                   "Hijacker"};
        const auto add = [&](RegistryEntry entry, const std::string& threat, int n) {
            // Value records write the key with or without its closing "\"; key records
            // with "^^", as the definition files do.
            std::string line = std::to_string(entry.hiveCode) + "^" + entry.key;
            if (!entry.value.empty() && n % 2 == 0) line += "\\";
            line += "^" + entry.value + "=" + threat + " " + std::to_string(n) + "|" +
                    kCategories[static_cast<std::size_t>(n) % kCategories.size()];
            lines.push_back(std::move(line));
            entries.push_back(std::move(entry));
        };
        for (int h = 0; h < kStringHits; ++h)
            add({HKEY_CURRENT_USER, 1, KeyPath(h), StringName(h)}, "Bench String Threat", h);
        for (int h = 0; h < kNumberHits; ++h)
            add({HKEY_CURRENT_USER, 1, KeyPath(h + 37), NumberName(h)}, "Bench Number Threat", h);
        for (int h = 0; h < kKeyHits; ++h)
            add({HKEY_CURRENT_USER, 1, KeyPath(h), ""}, "Bench Key Threat", h);
        for (int h = 0; h < kBinaryLookalikes; ++h)
            add({HKEY_CURRENT_USER, 1, KeyPath(h + 11), BinaryName(h)}, "Bench Binary Lookalike",
                h);
        for (int i = static_cast<int>(entries.size()); i < kRecords; ++i) {
            const std::string n = std::to_string(i);
            switch (i % 5) {
                case 0:
                case 1:  // the key opens, the value is not there
                    add({HKEY_CURRENT_USER, 1, KeyPath(i), "Missing" + n}, "Bench Absent Value", i);
                    break;
                case 2:  // the key does not open
                    add({HKEY_CURRENT_USER, 1, base + "\\Absent" + n + "\\Run", "Missing" + n},
                        "Bench Absent Key Value", i);
                    break;
                case 3:  // the same in the other hive, where the benchmark creates nothing
                    add({HKEY_LOCAL_MACHINE, 2, "SOFTWARE\\" + AbsentVendor() + "\\App" + n, "Run"},
                        "Bench Absent Machine Value", i);
                    break;
                default:  // a whole key missing below an existing one
                    add({HKEY_CURRENT_USER, 1, KeyPath(i) + "\\Gone" + n, ""}, "Bench Absent Key",
                        i);
                    break;
            }
        }
    }

    // The product keys with their values; false (after saying why) when one cannot be made.
    bool Create() const {
        for (int k = 0; k < kKeys; ++k) {
            UniqueRegKey key;
            const LONG made = ::RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(k).c_str(), 0, nullptr,
                                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                key.put(), nullptr);
            if (made != ERROR_SUCCESS) {
                std::fprintf(stderr, "cannot create %s: error %ld\n", KeyPath(k).c_str(), made);
                return false;
            }
        }
        const auto set = [](const std::string& keyPath, const std::string& name, DWORD type,
                            const void* data, DWORD size) {
            UniqueRegKey key;
            if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, key.put()) !=
                ERROR_SUCCESS) {
                return false;
            }
            return ::RegSetValueExA(key.get(), name.c_str(), 0, type,
                                    static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
        };
        bool ok = true;
        for (int h = 0; h < kStringHits; ++h) {
            const std::string text =
                "C:\\Program Files\\Bench Vendor\\toolbar" + std::to_string(h) + ".dll";
            ok = ok && set(KeyPath(h), StringName(h), h % 4 == 0 ? REG_EXPAND_SZ : REG_SZ,
                           text.c_str(), static_cast<DWORD>(text.size() + 1));
        }
        for (int h = 0; h < kNumberHits; ++h) {
            const DWORD number = static_cast<DWORD>(h);
            ok = ok && set(KeyPath(h + 37), NumberName(h), REG_DWORD, &number, sizeof number);
        }
        for (int h = 0; h < kBinaryLookalikes; ++h) {
            const std::array<BYTE, 4> bytes = {1, 2, 3, static_cast<BYTE>(h)};
            ok = ok && set(KeyPath(h + 11), BinaryName(h), REG_BINARY, bytes.data(),
                           static_cast<DWORD>(bytes.size()));
        }
        if (!ok) std::fprintf(stderr, "cannot set the values under %s\n", base.c_str());
        return ok;
    }

  private:
    // The product key of record or hit number n.
    std::string KeyPath(int n) const {
        const int k = n % kKeys;
        return base + "\\Vendor" + std::to_string(k / kProductsPerVendor) + "\\Product" +
               std::to_string(k % kProductsPerVendor);
    }
    std::string AbsentVendor() const { return base.substr(base.rfind('\\') + 1) + "-Absent"; }
    static std::string StringName(int h) { return "Toolbar" + std::to_string(h); }
    static std::string NumberName(int h) { return "Flags" + std::to_string(h); }
    static std::string BinaryName(int h) { return "Blob" + std::to_string(h); }
};

// The benchmark's key, deleted with everything below it however the run ends.
class OwnedKey {
  public:
    // A key left by an interrupted run of a process with the same id goes first: its values
    // would otherwise stay beside the ones this run makes.
    explicit OwnedKey(std::string path) : path_(std::move(path)) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~OwnedKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The processor time the program has used so far, user and kernel.
double ProcessorSeconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        const ULONGLONG ticks = (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        return static_cast<double>(ticks) / 1e7;  // 100 ns ticks
    };
    return seconds(kernel) + seconds(user);
}

// The loop the phase is measured against: the calls the scan makes for every record, on
// records already split. A key record opens its key; a value record opens the key, asks the
// value's type and size, and reads a string or a number. Returns how many are found.
int BareLoop(const std::vector<RegistryEntry>& entries) {
    int found = 0;
    std::vector<BYTE> buffer(256);
    for (const auto& e : entries) {
        UniqueRegKey key;
        if (::RegOpenKeyExA(e.root, e.key.c_str(), 0, kRemovalAccess, key.put()) != ERROR_SUCCESS) {
            continue;
        }
        if (e.value.empty()) {
            ++found;
            continue;
        }
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExA(key.get(), e.value.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            continue;
        }
        if (type == REG_DWORD) {
            DWORD number = 0;
            DWORD got = sizeof number;
            if (::RegQueryValueExA(key.get(), e.value.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&number), &got) == ERROR_SUCCESS) {
                ++found;
            }
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            if (buffer.size() < size + 1u) buffer.resize(size + 1u);
            DWORD got = static_cast<DWORD>(buffer.size());
            if (::RegQueryValueExA(key.get(), e.value.c_str(), nullptr, &type, buffer.data(),
                                   &got) == ERROR_SUCCESS) {
                ++found;
            }
        }
    }
    return found;
}

// Where the phase's time goes: its steps for every record, each timed alone over the whole
// file, built from the public pieces the phase is made of and called as it calls them. Every
// round runs each step once, the bare loop and the scan among them, so a slower or faster stretch
// of the machine weighs on all steps alike; each step's figure is its median. What the steps leave
// of the phase is its bookkeeping: the counters, the progress text every 25 records, the reports
// and the per-line event call.
void PrintBreakdown(qm::platform::Platform& platform, const std::string& registryFile,
                    const std::vector<RegistryEntry>& entries, int rounds,
                    const std::function<void()>& scan, double fixedSeconds) {
    std::size_t sink = 0;  // keeps every result alive, so no step is optimised away
    const auto readLines = [&](const std::function<void(std::string&)>& each) {
        auto reader =
            qm::text::LineReader::Open(platform.files, registryFile, qm::text::LineEnds::CrLfOnly);
        std::string line;
        while (reader && reader->Next(line)) {
            qm::defs::DecodeLineInPlace(line);
            each(line);
        }
    };
    const std::string driveRoot = qm::defs::SystemDriveRoot(platform.shell);
    const std::vector<std::function<void()>> steps = {
        // 0: the bare loop
        [&] { sink += static_cast<std::size_t>(BareLoop(entries)); },
        // 1: the registry calls through the platform, on records already split
        [&] {
            using qm::platform::RegistryAccess;
            for (const auto& e : entries) {
                const auto root = static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(e.root));
                if (e.value.empty()) {
                    sink += platform.registry.KeyOpens(root, qm::text::Trim(e.key),
                                                       RegistryAccess::Change);
                } else {
                    sink +=
                        platform.registry.ReadValueAs(root, e.key, e.value, RegistryAccess::Change)
                            .text.size();
                }
            }
        },
        // 2: reading and unscrambling the file
        [&] { readLines([&](std::string& line) { sink += line.size(); }); },
        // 3: the Smart Scan itself
        scan,
        // 4: the same read, and every record split as the phase splits it
        [&] {
            const qm::defs::PathTokenExpander tokens(platform.shell);
            readLines([&](std::string& line) {
                const auto record = qm::defs::SplitRegistryRecord(line);
                if (!record) return;
                const std::string left =
                    tokens.Expand(qm::text::ReplaceAll(record->keySpec, "[drive]", driveRoot));
                const auto fields = qm::text::Split(left, '^');
                if (fields.size() < 3) return;
                const auto hive = qm::scan::HiveFromCode(fields[0]);
                if (!hive) return;
                const std::string key(fields[1]);
                const std::string value = qm::text::ReduceDoubleBackslashes(fields[2]);
                const std::string location = hive->name + "\\" + key + value;
                sink += location.size() + record->threatName.size();
            });
        },
    };
    // Beside the elapsed time, the program's own processor time (user and kernel) for each
    // step: under Wine every registry call is a round trip to the wine server, so what the
    // elapsed time adds to the processor time is mostly waiting for the server.
    std::vector<std::vector<double>> times(steps.size()), cpu(steps.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const double c = ProcessorSeconds();
            const auto t = Clock::now();
            steps[i]();
            times[i].push_back(Seconds(t));
            cpu[i].push_back(ProcessorSeconds() - c);
        }
    }
    const auto figure = [&](std::size_t i) {
        return std::to_string(Median(times[i])).substr(0, 5) + " s, processor " +
               std::to_string(Median(cpu[i])).substr(0, 5) + " s";
    };
    const double bare = Median(times[0]), calls = Median(times[1]),
                 phase = Median(times[3]) - fixedSeconds, parse = Median(times[4]);

    std::printf("where the registry phase's time goes (each step alone, median of %d):\n", rounds);
    std::printf("  bare loop:                       %s\n", figure(0).c_str());
    std::printf("  registry calls via the platform: %s (%.2f x the bare loop)\n", figure(1).c_str(),
                calls / bare);
    std::printf("  read and unscramble the file:    %s\n", figure(2).c_str());
    std::printf("  ... and split every record:      %s\n", figure(4).c_str());
    std::printf("  Smart Scan:                      %s\n", figure(3).c_str());
    std::printf(
        "  the phase (scan minus fixed):    %.3f s; beyond the calls and the split %.3f s\n", phase,
        phase - parse - calls);
    std::printf("  (checksum %zu)\n", sink);
}

int Run(int rounds, bool breakdown) {
    qm::wintest::TempFolder work;
    const std::string data = work.path();
    const OwnedKey baseKey("Software\\QmRegistryBench-" + std::to_string(::GetCurrentProcessId()));

    const auto setUp = Clock::now();
    const RegistryWorkload workload(baseKey.path());
    if (!workload.Create()) return 1;
    const std::string registryFile = data + "\\" + qm::defs::file::kRegistry;
    PutDefinitionFile(registryFile, workload.lines);
    // One record in each of the other files: the Smart Scan's file and folder passes then cost
    // one look-up each, and the required set is complete.
    PutDefinitionFile(data + "\\" + qm::defs::file::kFiles,
                      {"absentbench.dll=Bench Absent File|[drive]\\Bench Absent Folder|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kFolders,
                      {"BenchAbsent=Bench Absent Folder|[drive]\\BenchAbsent|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kPrograms,
                      {"benchexe.exe=Bench Exe|[windir]|Adware"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kCookies, {"bench-tracker.example"});
    PutDefinitionFile(data + "\\" + qm::defs::file::kSafety,
                      {"SDIR|Windows=|[windir]", "SDIR|System=|[system]",
                       "SREG|Run key=|2^SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"});
    std::printf("%d registry records written, %d keys made under HKEY_CURRENT_USER\\%s in %.1f s\n",
                RegistryWorkload::kRecords, RegistryWorkload::kKeys, baseKey.path().c_str(),
                Seconds(setUp));
    std::fflush(stdout);

    // The platform as the console front end builds it, with the settings in memory.
    qm::platform::win32::Win32Platform machine;
    qm::settings::MemorySettingsStore settings;
    qm::platform::Platform& platform = machine.platform;

    BenchApplication bench(platform, settings, data);
    const auto& product = bench.product;
    auto& prompts = bench.prompts;
    const auto& messages = bench.app.Messages();
    qm::ui::FrmMain& form = bench.form;
    qm::scan::ScanSession& session = bench.session;
    form.SelectScanKind(qm::ui::ScanKind::Smart);
    // A Smart Scan without its cookie and process phases (both would only add their own cost).
    using qm::settings::section::kOptions;
    settings.Write(product.productName, kOptions, "chkScanCookies", "0");
    settings.Write(product.productName, kOptions, "chkSweepMemory", "False");
    const auto registryPhase = [&](bool on) {
        settings.Write(product.productName, kOptions, "chkScanRegistry", on ? "1" : "0");
    };

    std::size_t hits = 0;
    long long inspected = 0;
    // Each pass checks its own result: a benchmark that found the wrong entries measured
    // the wrong work.
    const auto bareRound = [&]() -> std::optional<double> {
        const auto b = Clock::now();
        const int found = BareLoop(workload.entries);
        const double seconds = Seconds(b);
        if (found != RegistryWorkload::kExpectedHits) {
            std::fprintf(stderr, "the bare loop found %d entries, expected %d\n", found,
                         RegistryWorkload::kExpectedHits);
            return std::nullopt;
        }
        return seconds;
    };
    const auto scanRound = [&]() -> std::optional<double> {
        registryPhase(true);
        const auto s = Clock::now();
        bench.app.StartScan();
        const double seconds = Seconds(s);
        hits = form.lvwRegistryToBeDeleted.rows.size();
        inspected = session.Counters().registryInspected;
        const std::size_t shown = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.size();
        if (hits != static_cast<std::size_t>(RegistryWorkload::kExpectedHits) || shown != hits ||
            inspected != RegistryWorkload::kRecords || prompts.shown != 0) {
            std::fprintf(stderr,
                         "the scan queued %zu registry entries and showed %zu results after "
                         "checking %lld records; expected %d of each after %d\n",
                         hits, shown, inspected, RegistryWorkload::kExpectedHits,
                         RegistryWorkload::kRecords);
            return std::nullopt;
        }
        return seconds;
    };
    // The same start without the registry phase: what the scan figure holds besides it.
    const auto fixedRound = [&]() -> std::optional<double> {
        registryPhase(false);
        const auto f = Clock::now();
        bench.app.StartScan();
        const double seconds = Seconds(f);
        if (!form.lvwRegistryToBeDeleted.rows.empty() ||
            form.lblRegistryInspected.caption != messages.getMessages("MSG_NOTSELECTED")) {
            std::fprintf(stderr, "the scan without its registry phase checked registry entries\n");
            return std::nullopt;
        }
        return seconds;
    };

    // The first pass over the benchmark's keys has cost Wine up to three times a later one;
    // one untimed pass of each keeps that out of the medians.
    const auto warmBare = bareRound();
    const auto warmScan = scanRound();
    if (!warmBare || !warmScan || !fixedRound()) return 1;
    std::printf("warm-up (not counted): bare loop %.3f s, Smart Scan %.3f s\n", *warmBare,
                *warmScan);
    std::fflush(stdout);

    std::vector<double> bare, scan, fixed;
    for (int round = 0; round < rounds; ++round) {
        // The loops take turns going first, so neither always runs after the other.
        std::optional<double> b, s;
        if (round % 2 == 0) {
            b = bareRound();
            s = scanRound();
        } else {
            s = scanRound();
            b = bareRound();
        }
        const auto f = fixedRound();
        if (!b || !s || !f) return 1;
        bare.push_back(*b);
        scan.push_back(*s);
        fixed.push_back(*f);
        std::printf(
            "round %d: bare loop %.3f s, Smart Scan %.3f s (%.3f s without the registry "
            "phase), %zu hits\n",
            round + 1, bare.back(), scan.back(), fixed.back(), hits);
        std::fflush(stdout);
    }

    const PROCESS_MEMORY_COUNTERS memory = MemoryCounters();
    const double bareMedian = Median(bare), scanMedian = Median(scan), fixedMedian = Median(fixed);
    std::printf("Registry phase of a Smart Scan, %d registry records (%d exist), under Wine\n",
                RegistryWorkload::kRecords, RegistryWorkload::kExpectedHits);
    std::printf("  bare loop, median of %d:         %.3f s (RegOpenKeyExA/RegQueryValueExA)\n",
                rounds, bareMedian);
    std::printf(
        "  Smart Scan, median of %d:        %.3f s (StartScan: registry phase, one file\n"
        "                                  and one folder record, no cookies or "
        "processes)\n",
        rounds, scanMedian);
    std::printf(
        "  of which the fixed cost:        %.3f s (the same StartScan without the registry "
        "phase)\n",
        fixedMedian);
    std::printf("  ratio scan / bare:              %.2f (target <= 1.3)\n",
                scanMedian / bareMedian);
    std::printf("  ratio phase alone / bare:       %.2f (scan minus fixed cost)\n",
                (scanMedian - fixedMedian) / bareMedian);
    std::printf("  hits reported:                  %zu (expected %d), %lld records checked\n", hits,
                RegistryWorkload::kExpectedHits, inspected);
    std::printf("  peak working set:               %.1f MiB\n", MiB(memory.PeakWorkingSetSize));
    std::printf("  peak pagefile usage:            %.1f MiB\n", MiB(memory.PeakPagefileUsage));
    if (breakdown) {
        // The breakdown's scans check their hits as the rounds' scans do.
        bool scansRight = true;
        PrintBreakdown(
            platform, registryFile, workload.entries, rounds,
            [&] { scansRight = scanRound().has_value() && scansRight; }, fixedMedian);
        if (!scansRight) return 1;
    }
    std::printf("deleting HKEY_CURRENT_USER\\%s...\n", baseKey.path().c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 7;
    bool breakdown = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--breakdown") {
            breakdown = true;
        } else if (a == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: qm_registry_scan_bench.exe [--rounds N] [--breakdown]\n");
            return 2;
        }
    }
    return Run(rounds, breakdown);
}
