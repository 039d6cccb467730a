#include "update/DefinitionMerge.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "definitions/MergeJournal.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::update {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The six files in the order they are processed, and which kinds reach each.
enum class Route { Files, Programs, Registry, Cookies, Folders, Safety };
struct RoutedFile {
    const char* name;
    Route route;
};
constexpr RoutedFile kRouting[] = {
    {defs::file::kFiles, Route::Files},       {defs::file::kPrograms, Route::Programs},
    {defs::file::kRegistry, Route::Registry}, {defs::file::kCookies, Route::Cookies},
    {defs::file::kFolders, Route::Folders},   {defs::file::kSafety, Route::Safety},
};

bool IsSafetyKind(std::string_view kind) {
    return kind.find_first_of("Ss") != std::string_view::npos;
}

bool Reaches(const std::string& kind, Route route) {
    switch (route) {
        case Route::Files:
            return kind == "FILE" || kind == "EXE" || kind == "DLL";
        case Route::Programs:
            return kind == "EXE";
        case Route::Registry:
            return kind == "REG";
        case Route::Cookies:
            return kind == "COOK";
        case Route::Folders:
            return kind == "DIR";
        case Route::Safety:
            return IsSafetyKind(kind);
    }
    return false;
}

// The text up to the first `separator`, or all of it.
std::string_view Before(std::string_view s, char separator) {
    return s.substr(0, s.find(separator));
}

// Field `n` of `s` split at `separator`, as a split into an array gives it; nothing when there
// are fewer fields.
std::optional<std::string_view> Field(std::string_view s, char separator, std::size_t n) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t cut = s.find(separator, start);
        if (cut == std::string_view::npos) return std::nullopt;
        start = cut + 1;
    }
    return Before(s.substr(start), separator);
}

// The body with its plain separators scrambled as a stored line has them.
std::string ScrambleSeparators(std::string_view body) {
    return text::ReplaceAll(text::ReplaceAll(body, "|", defs::EncodeLine("|")), "=",
                            defs::EncodeLine("="));
}

// The line an ADD record stores for its kind; nothing when the body lacks the fields its kind
// needs (such a record is skipped).
std::optional<std::string> LineOf(const UpdateRecord& record) {
    const std::string& kind = record.kind;
    const std::string_view body = record.body;
    if (kind == "REG") {
        // "<b0>=<b1>|<a1>|<a2>" becomes a whole-key registry line: a1 ^= b1 | a2.
        const auto a0 = Field(body, '|', 0), a1 = Field(body, '|', 1), a2 = Field(body, '|', 2);
        if (!a0 || !a1 || !a2) return std::nullopt;
        const auto b1 = Field(*a0, '=', 1);
        if (!b1) return std::nullopt;
        return std::string(*a1) + defs::EncodeLine("^=") + std::string(*b1) +
               defs::EncodeLine("|") + std::string(*a2);
    }
    if (kind == "COOK") return std::string(Before(body, '='));
    if (IsSafetyKind(kind)) return defs::EncodeLine(kind + "|") + ScrambleSeparators(body);
    return ScrambleSeparators(body);
}

// A stored line's key for comparing, into `key`: the decoded line up to its first "=", in lower
// case. The scramble maps characters one to one, so only that part is decoded.
void StoredKey(std::string_view line, std::string& key) {
    static const char kScrambledEquals = defs::EncodeLine("=")[0];
    key.assign(Before(line, kScrambledEquals));
    defs::DecodeLineInPlace(key);
    text::LowerInPlace(key);
}

// Reads through to the end and tells whether it got there: a read that fails part way must
// not pass for the end of the file, or a rewrite would drop the rest of it.
class CountingReader final : public platform::ByteReader {
  public:
    explicit CountingReader(std::unique_ptr<platform::ByteReader> inner)
        : inner_(std::move(inner)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t got = inner_->Read(buffer, size);
        read_ += got;
        return got;
    }
    std::uint64_t BytesRead() const { return read_; }

  private:
    std::unique_ptr<platform::ByteReader> inner_;
    std::uint64_t read_ = 0;
};

// Collects short writes into pieces of 256 KiB: each write to the file is a call into the
// system, and a definition file has a hundred thousand lines.
class BufferedOut {
  public:
    explicit BufferedOut(platform::Appender& out) : out_(out) {}
    bool Line(std::string_view line) {
        buffer_.append(line).append(kCrLf);
        return buffer_.size() < kPiece || Flush();
    }
    bool Bytes(std::string_view bytes) {
        buffer_.append(bytes);
        return buffer_.size() < kPiece || Flush();
    }
    bool Flush() {
        const bool written = buffer_.empty() || out_.Append(buffer_);
        buffer_.clear();
        return written;
    }

  private:
    static constexpr std::size_t kPiece = 256 * 1024;
    platform::Appender& out_;
    std::string buffer_;
};

// What one file gets from the answer.
struct FileChanges {
    std::vector<std::string> added;
    std::vector<std::string> deletions;  // scrambled keys, in answer order
};

// How often the look at the records lets the window's events run.
constexpr std::size_t kRecordsPerYield = 1000;

// A key deleted and then added again in the same answer is not deleted: each addition takes
// back the deletions of its key that came before it. The deletions are found by key, so an
// answer of many deletions and many additions costs one look-up per record.
FileChanges ChangesFor(const std::vector<UpdateRecord>& records, Route route, int& changes,
                       MergeProgress& progress) {
    FileChanges out;
    std::vector<bool> takenBack;
    std::unordered_map<std::string_view, std::vector<std::size_t>> deletionsOf;
    std::size_t seen = 0;
    for (const auto& record : records) {
        if (++seen % kRecordsPerYield == 0) progress.LetEventsRun();
        if (!Reaches(record.kind, route)) continue;
        if (record.action == "ADD") {
            auto line = LineOf(record);
            if (!line) continue;
            out.added.push_back(std::move(*line));
            ++changes;
            if (const auto eq = record.body.find('='); eq != std::string::npos) {
                const auto found = deletionsOf.find(std::string_view(record.body).substr(0, eq));
                if (found != deletionsOf.end()) {
                    for (const std::size_t i : found->second)
                        takenBack[i] = true;
                    deletionsOf.erase(found);
                }
            }
        } else if (record.action == "DEL") {
            const std::string_view key = Before(record.body, '=');
            deletionsOf[key].push_back(out.deletions.size());
            out.deletions.emplace_back(key);
            takenBack.push_back(false);
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.deletions.size(); ++i) {
        if (takenBack[i]) continue;
        if (kept != i) out.deletions[kept] = std::move(out.deletions[i]);
        ++kept;
    }
    out.deletions.resize(kept);
    return out;
}

class Merger {
  public:
    Merger(platform::FileSystem& files, MergeProgress& progress)
        : files_(files), progress_(progress) {}

    // Writes the file's new content under its scratch name; false when it needs none or it
    // could not be made (then `failed_` is set, and no scratch file is left).
    bool Prepare(const std::string& path, const std::string& scratch, const FileChanges& changes) {
        progress_.ShowStatus("Applying new updates...");
        progress_.LetEventsRun();
        if (progress_.Cancelled()) failed_ = true;
        if (failed_) return false;
        const bool exists = files_.Attributes(path).has_value();
        if (changes.deletions.empty() && changes.added.empty() && exists) return false;
        // A scratch file of an earlier run would otherwise be appended to.
        files_.DeleteFile(scratch);
        auto writer = files_.OpenForAppending(scratch);
        // The scratch file exists from here on, even when the new content is empty: the
        // journal takes a missing scratch file for one already moved into place.
        bool written = writer != nullptr && writer->Append(std::string_view());
        if (written) {
            written = changes.deletions.empty()
                          ? CopyAndAppend(path, exists, changes.added, *writer)
                          : Rewrite(path, exists, changes, *writer);
            // On the disk before the journal can name it.
            written = written && writer->Flush();
            writer.reset();
        }
        if (!written) {
            failed_ = true;
            files_.DeleteFile(scratch);
            return false;
        }
        return true;
    }

    bool failed() const { return failed_; }

  private:
    // The old content as it is, then the added lines.
    bool CopyAndAppend(const std::string& path, bool exists, const std::vector<std::string>& added,
                       platform::Appender& writer) {
        BufferedOut out(writer);
        bool endsInLineBreak = true;
        if (exists) {
            const auto size = files_.FileSize(path);
            auto reader = files_.OpenForReading(path);
            if (!size || !reader) return false;
            CountingReader counted(std::move(reader));
            std::vector<char> chunk(64 * 1024);
            char beforeLast = 0, last = 0;
            while (const std::size_t got = counted.Read(chunk.data(), chunk.size())) {
                if (!out.Bytes(std::string_view(chunk.data(), got))) return false;
                beforeLast = got >= 2 ? chunk[got - 2] : last;
                last = chunk[got - 1];
            }
            if (counted.BytesRead() < *size) return false;
            // A last line without its line break would run into the first added one.
            endsInLineBreak = counted.BytesRead() == 0 || (beforeLast == '\r' && last == '\n');
        }
        if (!endsInLineBreak && !added.empty() && !out.Bytes(kCrLf)) return false;
        for (const auto& line : added) {
            if (!out.Line(line)) return false;
        }
        return out.Flush();
    }

    // Every line of the file and then the added ones, but for empty and single-blank lines and
    // those whose key is to be deleted.
    bool Rewrite(const std::string& path, bool exists, const FileChanges& changes,
                 platform::Appender& writer) {
        BufferedOut out(writer);
        std::unordered_set<std::string> doomed;
        for (const auto& key : changes.deletions) {
            std::string plain = defs::DecodeLine(key);
            text::LowerInPlace(plain);
            doomed.insert(std::move(plain));
        }
        long long lineInFile = 0;
        bool written = true;
        std::string key;
        const auto take = [&](const std::string& line) {
            ++lineInFile;
            if (++linesRead_ % 100 == 0) {
                progress_.ShowStatus("Removing outdated definitions: checking entry " +
                                     std::to_string(lineInFile));
                progress_.LetEventsRun();
                if (progress_.Cancelled()) written = false;
            }
            if (line.empty() || line == " ") return;
            StoredKey(line, key);
            if (doomed.contains(key)) return;
            written = written && out.Line(line);
        };
        if (exists) {
            const auto size = files_.FileSize(path);
            auto reader = files_.OpenForReading(path);
            if (!size || !reader) return false;
            auto counted = std::make_unique<CountingReader>(std::move(reader));
            const CountingReader& count = *counted;
            text::LineReader lines(std::move(counted), text::LineEnds::CrLfOnly);
            for (std::string line; written && lines.Next(line);)
                take(line);
            if (!written) return false;
            if (count.BytesRead() < *size) return false;
        }
        for (const auto& line : changes.added)
            take(line);
        return out.Flush() && written;
    }

    platform::FileSystem& files_;
    MergeProgress& progress_;
    long long linesRead_ = 0;  // across all files of this merge
    bool failed_ = false;
};

}  // namespace

std::vector<UpdateRecord> ParseAnswer(std::string_view answer) {
    std::vector<UpdateRecord> records;
    std::size_t start = 0;
    while (start <= answer.size()) {
        std::size_t cut = text::FindNoCase(answer, "[BR]", start);
        if (cut == std::string_view::npos) cut = answer.size();
        const std::string_view record = text::TrimView(answer.substr(start, cut - start));
        start = cut + 4;
        const std::size_t def = record.find("[DEF]");
        if (record.empty() || def == std::string_view::npos) continue;
        const std::string_view header = record.substr(0, def);
        const std::size_t bar = header.find('|');
        if (bar == std::string_view::npos) continue;
        records.push_back({defs::DecodeLine(header.substr(0, bar)),
                           std::string(Before(header.substr(bar + 1), '|')),
                           std::string(record.substr(def + 5))});
    }
    return records;
}

PreparedMerge::PreparedMerge(platform::FileSystem& files, std::string dataFolder)
    : files_(&files), dataFolder_(std::move(dataFolder)) {}

PreparedMerge::PreparedMerge(PreparedMerge&& other) noexcept
    : changes(other.changes),
      files_(other.files_),
      dataFolder_(std::move(other.dataFolder_)),
      prepared_(std::move(other.prepared_)),
      ready_(other.ready_),
      cancelled_(other.cancelled_) {
    other.prepared_.clear();
}

PreparedMerge::~PreparedMerge() {
    Discard();
}

void PreparedMerge::Discard() {
    if (files_) defs::DiscardScratchFiles(*files_, dataFolder_, prepared_);
    prepared_.clear();
}

bool PreparedMerge::Commit(const std::optional<std::string>& date) {
    if (!ready_) return false;
    std::vector<std::string> names = std::move(prepared_);
    prepared_.clear();
    if (date) {
        // The date moves in with the files it dates: a set without it would be merged again.
        const defs::DefinitionFiles set(*files_, dataFolder_);
        if (!text::WriteAllLines(*files_, set.PathOf(defs::ScratchNameOf(defs::file::kDate)),
                                 {*date})) {
            defs::DiscardScratchFiles(*files_, dataFolder_, names);
            return false;
        }
        names.emplace_back(defs::file::kDate);
    }
    if (names.empty()) return true;
    return defs::ReplaceSetInOneStep(*files_, dataFolder_, names);
}

PreparedMerge PrepareMerge(platform::FileSystem& files, const std::string& dataFolder,
                           std::string_view answer, MergeProgress& progress) {
    const std::vector<UpdateRecord> records = ParseAnswer(answer);
    const defs::DefinitionFiles set(files, dataFolder);
    PreparedMerge prepared(files, dataFolder);
    Merger merger(files, progress);
    for (const auto& routed : kRouting) {
        const FileChanges changes = ChangesFor(records, routed.route, prepared.changes, progress);
        if (!changes.deletions.empty()) ++prepared.changes;
        if (merger.Prepare(set.PathOf(routed.name), set.PathOf(defs::ScratchNameOf(routed.name)),
                           changes)) {
            prepared.prepared_.emplace_back(routed.name);
        }
    }
    // When one file could not be made, none replaces its file, and the next update applies
    // the whole answer again.
    if (merger.failed()) {
        prepared.Discard();
        prepared.ready_ = false;
        prepared.changes = 0;
        prepared.cancelled_ = progress.Cancelled();
    }
    return prepared;
}

MergeResult MergeDefinitions(platform::FileSystem& files, const std::string& dataFolder,
                             std::string_view answer, MergeProgress& progress) {
    PreparedMerge prepared = PrepareMerge(files, dataFolder, answer, progress);
    if (!prepared.Ready()) return MergeResult{0, false};
    return MergeResult{prepared.changes, prepared.Commit(std::nullopt)};
}

}  // namespace qm::update
