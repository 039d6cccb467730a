// What writing the scan report costs on the real Win32 platform: MakeReport with 10,000 result
// rows, every one a file row naming its own small executable on disk (with a version resource),
// against writing the same text in one buffered write into a new file. As after a scan, the
// report takes each file's length and company from what the scan recorded; with --lookups it
// reads every file itself instead (a length query and a company lookup a row). The two take
// turns (after one untimed pass of each); one run prints the median of each, their ratio, and
// where MakeReport's time goes: the two files it reads (the exclusion list and the quarantine
// log), the text built in memory, and the text replacing the old report (written beside it,
// the old one moved aside, the new one moved in, the old one deleted). Under Wine each of those
// file operations costs a request to the Wine server; the last ratio shows what making the text
// adds to them. Run under Wine:
//   WINEPREFIX=/tmp/qm-report-prefix WINEDEBUG=-all wine qm_report_bench.exe
//       [--rows N (default 10000)] [--rounds N (default 5)] [--lookups]

// clang-format off
#include "platform/win32/WinApi.h"
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32FileSystem.h"
#include "report/ScanReport.h"
#include "scan/CompanyName.h"
#include "scan/FileFacts.h"
#include "support/PeImage.h"
#include "text/TextFile.h"
#include "ui/FrmMain.h"

namespace {

using namespace qm::bench;
namespace pe = qm::test::pe;

constexpr int kSettleSeconds = 35;

// A small executable whose version resource names a company of its own.
std::string Image(int i) {
    return pe::Image(pe::VersionSection(pe::VersionInfo({pe::Table({
        {"CompanyName", "Bench Vendor " + std::to_string(i)},
        {"FileDescription", "Bench threat"},
    })})));
}

// The baseline: the text written with one call into a new file.
bool WriteOnce(const std::string& path, const std::string& text) {
    qm::platform::win32::UniqueFile file(::CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    return file &&
           ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) &&
           wrote == text.size();
}

int Run(int rows, int rounds, bool lookups) {
    qm::wintest::TempFolder root;
    const std::string data = root / "AntiSpywareDAT";
    const std::string threats = root / "threats";
    if (!MakeFolder(data) || !MakeFolder(threats) || !MakeFolder(data + "\\quarantine")) return 2;

    qm::ui::ListView results;
    const auto made = Clock::now();
    for (int i = 0; i < rows; ++i) {
        const std::string path = threats + "\\threat" + std::to_string(i) + ".exe";
        qm::wintest::PutFile(path, Image(i));
        qm::ui::ListItem& row =
            results.Add("Bench Threat " + std::to_string(i), qm::ui::detection::kFile);
        row.SetSubItem(1, path);
        row.SetSubItem(2, "Adware");
        row.SetSubItem(3, "Medium");
        row.SetSubItem(4, "Shows advertisements and reports the pages the user visits");
    }
    qm::wintest::PutFile(data + "\\ENoSignature.dat", "C:\\tools\\keep.exe\r\nkeep.dll\r\n");
    qm::wintest::PutFile(
        data + "\\quarantine\\QuarantineLog.txt",
        "12/8/2026 8:46:21 PM - File: bad.exe\r\n - Location: C:\\bad.exe\r\n\r\n\r\n");
    std::printf("%d files written in %.1f s\n", rows, Seconds(made));
    // The system writes new files out some 30 s after they were made: that would fall into
    // the timed rounds and slow whichever write meets it.
    std::printf("waiting %d s for them to reach the disk\n", kSettleSeconds);
    ::Sleep(kSettleSeconds * 1000);

    qm::platform::win32::Win32FileSystem files;
    // What the scan read of each file when it judged it, as a scan hands it to its report.
    qm::scan::FileFactsByLocation reported;
    for (const auto& row : results.rows) {
        reported.Record(row.SubItem(1), {qm::scan::ReadCompanyName(files, row.SubItem(1)),
                                         files.FileSize(row.SubItem(1)).value_or(0)});
    }
    qm::report::ReportInputs in{"12/8/2026 8:40:00 PM",
                                "12/8/2026 8:46:21 PM",
                                "31",
                                "402",
                                "10,000",
                                results,
                                "Quillmarsh",
                                1,
                                0};
    // --lookups: the report reads every file itself, as for rows no scan has judged.
    if (!lookups) in.reportedFiles = &reported;
    const std::string text = qm::report::MakeReportText(files, data, in);
    const std::string once = root / "once.txt";

    // Untimed passes: the file system's caches are as warm for the first timed round as later.
    if (!qm::report::MakeReport(files, data, in) || !WriteOnce(once, text)) {
        std::fprintf(stderr, "cannot write the report\n");
        return 2;
    }
    std::vector<double> make, write;
    for (int round = 0; round < rounds; ++round) {
        // Into a new file, as MakeReport writes beside the old report: overwriting the old
        // file would make ext4 write it out at once and time the disk rather than the write.
        ::DeleteFileA(once.c_str());
        auto start = Clock::now();
        if (!WriteOnce(once, text)) return 2;
        write.push_back(Seconds(start));
        start = Clock::now();
        if (!qm::report::MakeReport(files, data, in)) return 2;
        make.push_back(Seconds(start));
    }

    // Where the time goes, each step alone.
    std::vector<double> sizes, companies, reading, building, replacing;
    std::size_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        if (lookups) {
            for (const auto& row : results.rows)
                sink += files.FileSize(row.SubItem(1)).value_or(0);
            sizes.push_back(Seconds(start));
            start = Clock::now();
            for (const auto& row : results.rows)
                sink += qm::scan::ReadCompanyName(files, row.SubItem(1)).size();
            companies.push_back(Seconds(start));
        }
        start = Clock::now();
        sink += qm::text::ReadAllLines(files, data + "\\ENoSignature.dat").size();
        sink += qm::text::ReadAllLines(files, data + "\\quarantine\\QuarantineLog.txt").size();
        reading.push_back(Seconds(start));
        start = Clock::now();
        sink += qm::report::MakeReportText(files, data, in).size();
        building.push_back(Seconds(start));
        // The text in the pieces MakeReport hands on, replacing the report as it does.
        start = Clock::now();
        auto writer = files.ReplaceInPieces(qm::report::ReportPath(data),
                                            qm::platform::Durability::kRegenerable);
        constexpr std::size_t kPiece = 256 * 1024;
        for (std::size_t at = 0; writer && at < text.size(); at += kPiece)
            writer->Write(std::string_view(text).substr(at, kPiece));
        if (!writer || !writer->Commit()) return 2;
        replacing.push_back(Seconds(start));
    }

    const double makeMedian = Median(make), writeMedian = Median(write);
    std::printf("Scan report, %d file rows, %.1f MiB of text, under Wine (median of %d)\n", rows,
                static_cast<double>(text.size()) / (1024.0 * 1024.0), rounds);
    std::printf("  one buffered write of the text: %.4f s\n", writeMedian);
    std::printf("  MakeReport:                     %.4f s\n", makeMedian);
    std::printf("  ratio MakeReport / write:       %.2f (target <= 2)\n", makeMedian / writeMedian);
    std::printf("  where MakeReport's time goes, each step alone:\n");
    if (lookups) {
        std::printf("    the length queries:               %.4f s\n", Median(sizes));
        std::printf("    the company lookups:              %.4f s\n", Median(companies));
    }
    std::printf("    the exclusion list and quarantine log read: %.4f s\n", Median(reading));
    std::printf("    the text built in memory:         %.4f s\n", Median(building));
    std::printf("    the text replacing the report:    %.4f s\n", Median(replacing));
    // What the making of the text adds to the file work a report cannot do without.
    std::printf("  ratio MakeReport / (reads + replacing write): %.2f\n",
                makeMedian / (Median(reading) + Median(replacing)));
    std::printf("  peak working set: %.1f MiB (checksum %zu)\n",
                MiB(MemoryCounters().PeakWorkingSetSize), sink);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 10000, rounds = 5;
    bool lookups = false;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--lookups") {
            lookups = true;
            --i;
            continue;
        }
        if (i + 1 >= argc) break;
        const int value = std::atoi(argv[i + 1]);
        if (option == "--rows" && value > 0) {
            rows = value;
        } else if (option == "--rounds" && value > 0) {
            rounds = value;
        } else {
            std::fprintf(stderr, "usage: qm_report_bench [--rows N] [--rounds N] [--lookups]\n");
            return 2;
        }
    }
    return Run(rows, rounds, lookups);
}
