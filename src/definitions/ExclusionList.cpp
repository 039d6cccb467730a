#include "definitions/ExclusionList.h"

#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::defs {

namespace {

// The file's bytes as they are, or nothing when it cannot be read.
std::optional<std::string> ReadBytes(platform::FileSystem& files, const std::string& path) {
    auto reader = files.OpenForReading(path);
    if (!reader) return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    while (const std::size_t got = reader->Read(buffer, sizeof buffer))
        bytes.append(buffer, got);
    return bytes;
}

}  // namespace

void ExclusionList::Load(platform::FileSystem& files, const std::string& path,
                         LoadControl& control) {
    // Built aside and swapped in whole: events run while the file is read, and a handler that
    // runs then (an ALLOW answered in the memory shield's alert) may ask the list, or reload
    // it, meanwhile. It finds the previous list whole, and nothing it does can move the
    // strings the look-up's views point into.
    // A load that begins while this one reads (the nested reload) reads the file as it is
    // now, newer than what this one read: its list stands.
    const unsigned long long generation = ++loads_;
    std::vector<std::string> entries;
    auto reader = text::LineReader::Open(files, path);
    if (reader) {
        std::string line;
        while (reader->Next(line)) {
            if (!text::TrimView(line).empty()) {
                std::size_t start = 0;
                for (;;) {
                    const std::size_t bar = line.find('|', start);
                    const std::string_view piece = std::string_view(line).substr(
                        start, bar == std::string::npos ? std::string::npos : bar - start);
                    // An empty piece (from "||" or a trailing "|") names nothing.
                    if (!piece.empty()) entries.push_back(text::Lower(piece));
                    if (bar == std::string::npos) break;
                    start = bar + 1;
                }
            }
            control.LetEventsRun();
        }
    }
    if (generation != loads_) return;
    // Filled only now: the views must not move with the vector. Swapping the vectors moves
    // no string, so the views stay good.
    std::unordered_set<std::string_view> lookup;
    for (const auto& entry : entries)
        lookup.insert(entry);
    entries_.swap(entries);
    lookup_.swap(lookup);
}

std::vector<std::string> ExclusionList::ReadEntries(platform::FileSystem& files,
                                                    const std::string& path) {
    std::vector<std::string> entries;
    for (auto& line : text::ReadAllLines(files, path)) {
        if (!text::TrimView(line).empty()) entries.push_back(std::move(line));
    }
    return entries;
}

bool ExclusionList::Add(platform::FileSystem& files, const std::string& path,
                        std::string_view entry, LoadControl& control) {
    // The whole file is rewritten in one piece, so a failed write never leaves half a line.
    std::string bytes = ReadBytes(files, path).value_or(std::string());
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
    bytes += text::Trim(entry);
    bytes += "\r\n";
    if (!files.WriteWholeFile(path, bytes)) return false;
    Load(files, path, control);
    return true;
}

bool ExclusionList::IsExcluded(std::string_view candidate) const {
    if (candidate.empty() || lookup_.empty()) return false;
    return lookup_.contains(text::Lower(candidate)) ||
           lookup_.contains(text::Lower(text::TrimView(candidate)));
}

bool ExclusionList::IsExcludedFolder(std::string_view candidate) const {
    if (IsExcluded(candidate)) return true;
    if (candidate.empty()) return false;
    const std::string lower = text::Lower(candidate);
    for (const auto& entry : entries_) {
        if (entry.find(lower) != std::string::npos) return true;
    }
    return false;
}

}  // namespace qm::defs
