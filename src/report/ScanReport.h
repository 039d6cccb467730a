#pragma once
// The scan report: after a scan, "Scan_Log.txt" in the data folder holds the scan's times and
// counters, every row of the results list with its details, the exclusion list, what the
// browsers open and the quarantine log. Each scan's report replaces the last. The viewer shows it
// with the empty line after nearly every text line folded away.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/VersionInfo.h"
#include "scan/FileFacts.h"
#include "shields/BrowserProfiles.h"
#include "ui/Controls.h"
#include "ui/FrmMain.h"

namespace qm::report {

inline constexpr const char* kReportFile = "Scan_Log.txt";

// What a report is made of, all read at the moment it is written.
struct ReportInputs {
    std::string startTime;
    std::string finishTime;
    // The scan page's counters as they are displayed.
    std::string processesInspected;
    std::string registryInspected;
    std::string filesFoldersInspected;
    // Rows: text = threat name, sub-item 1 location, 3 risk, 4 details; the icon is the kind.
    const ui::ListView& results;
    std::string productName;
    int major = 0;
    int minor = 0;
    // What the scan already read of the files it reported; a file row found here is not
    // opened again.
    const scan::FileFactsByLocation* reportedFiles = nullptr;
    // Folders and files the walk could not enter or name in the system's code page; the
    // report says so only when there were any.
    long long skipped = 0;
    // The browser profiles with their start pages and search engines; the report has their
    // section only when there are any.
    const std::vector<shields::BrowserProfile>* browserProfiles = nullptr;
};

// The inputs as the main window holds them: its counters and its results list.
ReportInputs InputsFrom(const ui::FrmMain& form, std::string startTime, std::string finishTime,
                        const platform::ProductInfo& product);

// DataFolder\Scan_Log.txt.
std::string ReportPath(const std::string& dataFolder);

// The whole report. Besides the inputs it reads the exclusion list and the quarantine log in
// the data folder, and for file and cookie rows the file at the row's location (its length;
// for files also the company in its version information). A lookup that fails leaves that
// row's field as it found it ("0 bytes", no company), never another row's value.
std::string MakeReportText(platform::FileSystem& files, const std::string& dataFolder,
                           const ReportInputs& inputs);

// Replaces the report in one step: when the new one cannot be written the previous one stays
// whole. False when it was not written.
bool WriteReport(platform::FileSystem& files, const std::string& dataFolder,
                 const std::string& text);

// MakeReportText's text, replacing the report as WriteReport does; written out in pieces while
// it is made, so a report of many thousand rows is never held whole in memory.
bool MakeReport(platform::FileSystem& files, const std::string& dataFolder,
                const ReportInputs& inputs);

// The viewer shows at most this much of a file (one edited by hand can be of any size).
inline constexpr std::size_t kMaxViewerText = 64u << 20;

// The text the viewer shows for the file at `path`: a line that is empty but for blanks gives a
// line break, any other line is shown as it is with no line break of its own. Empty when the
// file is missing.
std::string ViewerText(platform::FileSystem& files, const std::string& path);

}  // namespace qm::report
