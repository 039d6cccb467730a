#include "report/ScanReport.h"

#include <string_view>
#include <utility>

#include "definitions/ExclusionList.h"
#include "definitions/Text.h"
#include "definitions/TextFile.h"
#include "removal/QuarantineStore.h"
#include "scan/CompanyName.h"

namespace qm::report {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kDashes = "-----------------------";
constexpr std::string_view kRowRule = "============================================";
constexpr std::string_view kReminder =
    "Remember: Not all items found are malicious.  In particular, cookies and recent document "
    "lists are only privacy concerns.  They cannot hurt your computer.  If you are unsure about "
    "an item please send this log to an expert before removing the item from your computer.";

// What the report builds: every text is followed by a line break of its own, and most texts
// end in one already, which gives the report its empty line after nearly every line.
class ReportBuilder {
  public:
    explicit ReportBuilder(std::size_t expected) { text_.reserve(expected); }

    // Each argument in turn, then the line break that follows every text.
    template <typename... Parts>
    void Put(const Parts&... parts) {
        (text_.append(std::string_view(parts)), ...);
        text_.append(kCrLf);
    }

    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
};

std::string InFolder(const std::string& dataFolder, std::string_view name) {
    return text::ReduceDoubleBackslashes(dataFolder + "\\" + std::string(name));
}

// The exclusion list's entries, each with a line break; lines that are empty or one blank are
// left out. Empty when the list is missing or unreadable.
std::string ExclusionText(platform::FileSystem& files, const std::string& dataFolder) {
    std::string out;
    auto reader = text::LineReader::Open(files, InFolder(dataFolder, defs::kExclusionFile));
    if (!reader) return out;
    for (std::string line; reader->Next(line);) {
        if (line.empty() || line == " ") continue;
        out.append(line).append(kCrLf);
    }
    return out;
}

// Every line of the quarantine log followed by two line breaks. Empty when there is no log.
std::string QuarantineText(platform::FileSystem& files, const std::string& dataFolder) {
    std::string out;
    auto reader = text::LineReader::Open(
        files, InFolder(dataFolder, std::string("quarantine\\") + removal::kQuarantineLog));
    if (!reader) return out;
    for (std::string line; reader->Next(line);)
        out.append(line).append(kCrLf).append(kCrLf);
    return out;
}

std::string_view KindText(int icon) {
    switch (icon) {
        case ui::detection::kCookie:
            return "Cookie";
        case ui::detection::kRegistry:
            return "Registry";
        case ui::detection::kFile:
            return "File";
        case ui::detection::kFolder:
            return "Folder";
        case ui::detection::kExcluded:
            return "EXCLUDED";
        default:
            return {};
    }
}

// Files and cookies have the length of the file at their location; a file that cannot be
// measured (gone since the scan) counts as empty.
const scan::FileFacts* KnownFacts(const ReportInputs& in, const ui::ListItem& row) {
    if (!in.reportedFiles || row.icon != ui::detection::kFile) return nullptr;
    const auto it = in.reportedFiles->find(row.SubItem(1));
    return it == in.reportedFiles->end() ? nullptr : &it->second;
}

std::string SizeText(platform::FileSystem& files, const ReportInputs& in, const ui::ListItem& row) {
    std::uint64_t size = 0;
    if (const scan::FileFacts* known = KnownFacts(in, row)) {
        size = known->size;
    } else if (row.icon == ui::detection::kFile || row.icon == ui::detection::kCookie) {
        size = files.FileSize(row.SubItem(1)).value_or(0);
    }
    return std::to_string(size) + " bytes";
}

std::string CompanyText(platform::FileSystem& files, const ReportInputs& in,
                        const ui::ListItem& row) {
    if (row.icon != ui::detection::kFile) return "N/A";
    if (const scan::FileFacts* known = KnownFacts(in, row)) return known->company;
    return scan::ReadCompanyName(files, row.SubItem(1));
}

}  // namespace

ReportInputs InputsFrom(const ui::FrmMain& form, std::string startTime, std::string finishTime,
                        const platform::ProductInfo& product) {
    return ReportInputs{std::move(startTime),
                        std::move(finishTime),
                        form.lblMemoryInspected.caption,
                        form.lblRegistryInspected.caption,
                        form.lblFilesFolderInspected.caption,
                        form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
                        product.productName,
                        product.major,
                        product.minor};
}

std::string ReportPath(const std::string& dataFolder) {
    return InFolder(dataFolder, kReportFile);
}

std::string MakeReportText(platform::FileSystem& files, const std::string& dataFolder,
                           const ReportInputs& in) {
    const std::string quarantine = QuarantineText(files, dataFolder);
    const std::string exclusions = ExclusionText(files, dataFolder);

    // About 200 bytes of labels per row besides its texts.
    std::size_t expected = 2048 + quarantine.size() + exclusions.size();
    for (const auto& row : in.results.rows)
        expected += 256 + row.text.size() + row.SubItem(1).size() + row.SubItem(4).size();
    ReportBuilder out(expected);

    out.Put(kCrLf);
    out.Put(std::string(19, ' '), in.productName, "v", std::to_string(in.major), ".",
            std::to_string(in.minor), "   Scan Report", kCrLf);
    out.Put(kCrLf);
    out.Put(kReminder, kCrLf);
    out.Put(kCrLf);
    out.Put(kDashes, kCrLf);
    out.Put(" Scan Started at  : ", in.startTime, kCrLf);
    out.Put(" Scan Finished at : ", in.finishTime, kCrLf);
    out.Put(kDashes, kCrLf);
    out.Put(kCrLf);
    out.Put(kCrLf);
    out.Put(" 1)Total Number of Processes inspected: ", in.processesInspected, kCrLf);
    out.Put(" 2)Total Number of Registry entries inspected: ", in.registryInspected, kCrLf);
    out.Put(" 3)Total Number of Files/Folders inspected: ", in.filesFoldersInspected, kCrLf);
    out.Put(kCrLf);
    out.Put("[Threats Detected]", kCrLf, kCrLf);
    for (const auto& row : in.results.rows) {
        out.Put(kRowRule, kCrLf);
        out.Put("File: ", row.SubItem(1), kCrLf);
        out.Put("Name: ", row.text, kCrLf);
        out.Put("Company: ", CompanyText(files, in, row), kCrLf);
        out.Put("Type: ", KindText(row.icon), kCrLf);
        out.Put("Size: ", SizeText(files, in, row), kCrLf);
        out.Put("Detail: ", row.SubItem(4), kCrLf);
        out.Put("Risk: ", row.SubItem(3), kCrLf, kCrLf);
    }
    out.Put(kRowRule, kCrLf, kCrLf);
    out.Put("Total = ", std::to_string(in.results.rows.size()), kCrLf);
    if (!exclusions.empty()) {
        out.Put(kCrLf, "[Files Currently Excluded]", kCrLf, kCrLf, exclusions, kCrLf);
    }
    if (!quarantine.empty()) {
        out.Put(kCrLf, "[Current Quarantine Log]", kCrLf, kCrLf, quarantine, kCrLf, kCrLf);
    }
    out.Put(kCrLf);
    out.Put("=====================End Of Report.");
    return out.Take();
}

bool WriteReport(platform::FileSystem& files, const std::string& dataFolder,
                 const std::string& text) {
    // Written beside the old report and moved over it, so there is no moment without one.
    return files.WriteWholeFile(ReportPath(dataFolder), text);
}

bool MakeReport(platform::FileSystem& files, const std::string& dataFolder,
                const ReportInputs& inputs) {
    return WriteReport(files, dataFolder, MakeReportText(files, dataFolder, inputs));
}

std::string ViewerText(platform::FileSystem& files, const std::string& path) {
    std::string shown;
    auto reader = text::LineReader::Open(files, path);
    if (!reader) return shown;
    for (std::string line; shown.size() < kMaxViewerText && reader->Next(line);) {
        if (text::TrimView(line).empty()) {
            shown.append(kCrLf);
        } else {
            shown.append(line);
        }
    }
    return shown;
}

}  // namespace qm::report
