#include "report/ScanReport.h"

#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "definitions/ExclusionList.h"
#include "removal/QuarantineStore.h"
#include "scan/CompanyName.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::report {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kDashes = "-----------------------";
constexpr std::string_view kRowRule = "============================================";
constexpr std::string_view kReminder =
    "Remember: Not all items found are malicious.  In particular, cookies and recent document "
    "lists are only privacy concerns.  They cannot hurt your computer.  If you are unsure about "
    "an item please send this log to an expert before removing the item from your computer.";

// Copies a short piece without a call into the runtime: a report is a dozen pieces of a few
// bytes per row, and under Wine the runtime's memcpy costs more per call than such a piece
// takes to copy. The copies overlap where the length is no multiple of their width.
template <std::size_t Width>
void CopyWord(char* to, const char* from) {
    char word[Width];
    std::memcpy(word, from, Width);  // a fixed width: the compiler copies it inline
    std::memcpy(to, word, Width);
}

void CopyPiece(char* to, const char* from, std::size_t size) {
    if (size > 256) {
        std::memcpy(to, from, size);
    } else if (size > 32) {
        // A path or a description: whole words of 32, the last one overlapping the end.
        for (std::size_t at = 0; at + 32 < size; at += 32)
            CopyWord<32>(to + at, from + at);
        CopyWord<32>(to + size - 32, from + size - 32);
    } else if (size > 16) {
        CopyWord<16>(to, from);
        CopyWord<16>(to + size - 16, from + size - 16);
    } else if (size >= 8) {
        CopyWord<8>(to, from);
        CopyWord<8>(to + size - 8, from + size - 8);
    } else if (size >= 4) {
        CopyWord<4>(to, from);
        CopyWord<4>(to + size - 4, from + size - 4);
    } else if (size >= 2) {
        CopyWord<2>(to, from);
        CopyWord<2>(to + size - 2, from + size - 2);
    } else if (size == 1) {
        *to = *from;
    }
}

// Keeps every piece: the report as one text.
class TextCollector final : public platform::PieceWriter {
  public:
    bool Write(std::string_view bytes) override {
        text_.append(bytes);
        return true;
    }
    bool Commit() override { return true; }
    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
};

// What the report builds: every text is followed by a line break of its own, and most texts
// end in one already, which gives the report its empty line after nearly every line. The text
// goes to the writer in pieces of 256 KiB as it grows, so a report of many thousand rows is
// never held whole in memory.
class ReportBuilder {
  public:
    explicit ReportBuilder(platform::PieceWriter& writer)
        : writer_(writer), buffer_(std::make_unique_for_overwrite<char[]>(kPiece)) {}

    // Each argument in turn, then the line break that follows every text.
    template <typename... Parts>
    void Put(const Parts&... parts) {
        Append(parts..., kCrLf);
    }

    // Each argument in turn and nothing more. A row's dozen parts are measured together, so
    // the room left is looked at once a row rather than once a part.
    template <typename... Parts>
    void Append(const Parts&... parts) {
        const std::size_t total = (ViewOf(parts).size() + ...);
        if (total > kPiece - used_) {
            (Add(ViewOf(parts)), ...);
            return;
        }
        char* to = buffer_.get() + used_;
        ((CopyPiece(to, ViewOf(parts).data(), ViewOf(parts).size()), to += ViewOf(parts).size()),
         ...);
        used_ += total;
    }

    // Hands on what is left; false when any piece could not be written.
    bool Finish() {
        HandOn();
        return written_;
    }

  private:
    static constexpr std::size_t kPiece = 256 * 1024;

    // A label's length is known from its type: no strlen for each of the many thousand times
    // it is put.
    template <std::size_t N>
    static std::string_view ViewOf(const char (&label)[N]) {
        return {label, N - 1};
    }
    static std::string_view ViewOf(std::string_view text) { return text; }

    void Add(std::string_view part) {
        if (part.size() > kPiece - used_) {
            HandOn();
            if (part.size() > kPiece) {
                written_ = written_ && writer_.Write(part);
                return;
            }
        }
        CopyPiece(buffer_.get() + used_, part.data(), part.size());
        used_ += part.size();
    }

    void HandOn() {
        if (used_ == 0) return;
        written_ = written_ && writer_.Write(std::string_view(buffer_.get(), used_));
        used_ = 0;
    }

    platform::PieceWriter& writer_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool written_ = true;
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

// What the report says of a row's file: its company and length as the scan recorded them when
// it judged the file, or as read now for a row no scan has judged. A file that cannot be
// measured (gone since the scan) counts as empty; rows that are no file have no company.
class RowFacts {
  public:
    RowFacts(platform::FileSystem& files, const ReportInputs& in, const ui::ListItem& row) {
        const bool isFile = row.icon == ui::detection::kFile;
        if (isFile && in.reportedFiles) {
            if (const scan::FileFacts* known = in.reportedFiles->Find(row.SubItem(1))) {
                company_ = known->company;
                size_ = known->size;
                return;
            }
        }
        if (isFile) {
            read_ = scan::ReadCompanyName(files, row.SubItem(1));
            company_ = read_;
        }
        if (isFile || row.icon == ui::detection::kCookie)
            size_ = files.FileSize(row.SubItem(1)).value_or(0);
    }
    std::string_view company() const { return company_; }
    std::string_view size() {
        const auto end = std::to_chars(digits_, digits_ + sizeof digits_, size_).ptr;
        return {digits_, static_cast<std::size_t>(end - digits_)};
    }

  private:
    std::string read_;
    std::string_view company_ = "N/A";
    std::uint64_t size_ = 0;
    char digits_[24];
};

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

namespace {

void BuildReport(platform::FileSystem& files, const std::string& dataFolder, const ReportInputs& in,
                 ReportBuilder& out) {
    const std::string quarantine = QuarantineText(files, dataFolder);
    const std::string exclusions = ExclusionText(files, dataFolder);

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
    if (in.skipped > 0) {
        out.Put(" 4)Files/Folders that could not be scanned (their names cannot be shown): ",
                std::to_string(in.skipped), kCrLf);
    }
    out.Put(kCrLf);
    out.Put("[Threats Detected]", kCrLf, kCrLf);
    for (const auto& row : in.results.rows) {
        // Each of the row's texts is put with a line break of its own after the one it ends
        // in, as every other text of the report; the labels carry those breaks, which keeps a
        // report of many thousand rows to a few appends per row.
        RowFacts facts(files, in, row);
        out.Append(kRowRule, "\r\n\r\nFile: ", row.SubItem(1),                //
                   "\r\n\r\nName: ", row.text,                                //
                   "\r\n\r\nCompany: ", facts.company(),                      //
                   "\r\n\r\nType: ", KindText(row.icon),                      //
                   "\r\n\r\nSize: ", facts.size(), " bytes\r\n\r\nDetail: ",  //
                   row.SubItem(4), "\r\n\r\nRisk: ", row.SubItem(3), "\r\n\r\n\r\n");
    }
    out.Put(kRowRule, kCrLf, kCrLf);
    out.Put("Total = ", std::to_string(in.results.rows.size()), kCrLf);
    if (!exclusions.empty()) {
        out.Put(kCrLf, "[Files Currently Excluded]", kCrLf, kCrLf, exclusions, kCrLf);
    }
    if (in.browserProfiles && !in.browserProfiles->empty()) {
        out.Put(kCrLf, "[Browser Start Pages And Search Engines]", kCrLf);
        for (const shields::BrowserProfile& profile : *in.browserProfiles) {
            for (const std::string& line : shields::BrowserProfileLines(profile))
                out.Put(line, kCrLf);
            out.Put(kCrLf);
        }
    }
    if (!quarantine.empty()) {
        out.Put(kCrLf, "[Current Quarantine Log]", kCrLf, kCrLf, quarantine, kCrLf, kCrLf);
    }
    out.Put(kCrLf);
    out.Put("=====================End Of Report.");
}

}  // namespace

std::string MakeReportText(platform::FileSystem& files, const std::string& dataFolder,
                           const ReportInputs& in) {
    TextCollector text;
    ReportBuilder out(text);
    BuildReport(files, dataFolder, in, out);
    out.Finish();
    return text.Take();
}

// Written beside the old report and moved over it, so there is no moment without one. A report
// is made again by the next scan: it need not wait for the disk.
bool WriteReport(platform::FileSystem& files, const std::string& dataFolder,
                 const std::string& text) {
    auto writer = files.ReplaceInPieces(ReportPath(dataFolder), platform::Durability::kRegenerable);
    return writer && writer->Write(text) && writer->Commit();
}

bool MakeReport(platform::FileSystem& files, const std::string& dataFolder,
                const ReportInputs& in) {
    auto writer = files.ReplaceInPieces(ReportPath(dataFolder), platform::Durability::kRegenerable);
    if (!writer) return false;
    ReportBuilder out(*writer);
    BuildReport(files, dataFolder, in, out);
    return out.Finish() && writer->Commit();
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
