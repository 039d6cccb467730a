#include "definitions/DefinitionSet.h"

#include "definitions/LineScramble.h"
#include "definitions/Records.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::defs {

namespace {

// The record's folder with tokens expanded ("[drive]" stays) and a trailing "\" when not
// empty, written into `folder`.
void ExpandFolderInto(const PathTokenExpander& tokens, std::string_view raw, std::string& folder) {
    tokens.ExpandInto(raw, folder);
    const bool pairRemains = text::ReduceDoubleBackslashesInPlace(folder);
    if (folder.empty()) return;
    folder += '\\';
    // Reducing again only changes something where a pair is left or the new "\" made one.
    const std::size_t n = folder.size();
    if (pairRemains || (n >= 2 && folder[n - 2] == '\\')) {
        text::ReduceDoubleBackslashesInPlace(folder);
    }
}

// Runs `each` on every decoded, non-blank line until the end of the file or a stop.
template <typename Each>
void ForEachDecodedLine(platform::FileSystem& fs, const std::string& path, LoadControl& control,
                        Each each) {
    auto reader = text::LineReader::Open(fs, path, text::LineEnds::CrLfOnly);
    if (!reader) return;
    std::string line;
    while (!control.StopRequested() && reader->Next(line)) {
        DecodeLineInPlace(line);
        if (!line.empty()) each(line);
        control.LetEventsRun();
    }
}

}  // namespace

std::size_t DefinitionSet::BytesReserved() const {
    return strings_.BytesReserved() + fileTable_.capacity() * sizeof(FileTableEntry) +
           folderTable_.capacity() * sizeof(FolderTableEntry);
}

void DefinitionSet::Load(const DefinitionFiles& files, platform::FileSystem& fs,
                         const PathTokenExpander& tokens, const SafetyList& safety,
                         LoadControl& control) {
    if (loaded_) return;
    loaded_ = true;
    std::string folder;  // reused for every record

    ForEachDecodedLine(fs, files.PathOf(file::kFiles), control, [&](const std::string& line) {
        if (fileTable_.size() >= kCapacity) return;
        const auto record = ParseFileRecord(line);
        // An entry with an empty name would end every reader's walk of the table early.
        if (!record || record->name.empty()) return;
        ExpandFolderInto(tokens, record->folder, folder);
        if (safety.IsSafeLocation(folder, record->name)) return;
        const std::string_view category =
            record->category == "TYPE" ? std::string_view("Spyware") : record->category;
        fileTable_.push_back({strings_.StoreLower(folder), strings_.StoreLower(record->name),
                              strings_.Store(category), strings_.Store(record->threatName)});
    });

    ForEachDecodedLine(fs, files.PathOf(file::kFolders), control, [&](const std::string& line) {
        if (folderTable_.size() >= kCapacity) return;
        const auto record = ParseFileRecord(line);
        if (!record) return;
        ExpandFolderInto(tokens, record->folder, folder);
        if (!folder.empty() && folder.back() == '\\') folder.pop_back();
        // The empty path is always safe, so a record without a folder is never stored.
        if (safety.IsSafeLocation(folder)) return;
        folderTable_.push_back({strings_.StoreLower(folder), strings_.StoreLower(record->name),
                                strings_.Store(record->category),
                                strings_.Store(record->threatName)});
    });
    // A load stopped part-way is no definition set: a later scan checking against it would
    // call a machine clean of threats it never looked for. It is dropped, and loaded again.
    if (control.StopRequested()) {
        *this = DefinitionSet{};
        return;
    }
    BuildIndex();
}

std::string DefinitionSet::FolderKey(std::string_view folderPath) {
    std::string key = text::Lower(text::TrimView(folderPath));
    if (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

void DefinitionSet::BuildIndex() {
    folderPathIndex_.clear();
    driveRelativeIndex_.clear();
    irregularDriveFolders_.clear();
    driveFolders_.clear();
    constexpr std::string_view kDrive = "[drive]";
    for (std::uint32_t i = 0; i < folderTable_.size(); ++i) {
        const std::string_view path = folderTable_[i].folderPath;
        const std::size_t token = text::FindNoCase(path, kDrive);
        if (token == std::string_view::npos) {
            folderPathIndex_[strings_.Store(FolderKey(path))].push_back(i);
            continue;
        }
        driveFolders_.push_back(i);
        // "[drive]" leading the trimmed path, once: with the drive put in and the whole
        // trimmed, the path compares as drive + the compared form of what follows the token.
        const std::string_view trimmed = text::TrimView(path);
        const std::string_view rest = trimmed.substr(std::min(trimmed.size(), kDrive.size()));
        const bool leading = text::FindNoCase(trimmed, kDrive) == 0;
        if (leading && text::FindNoCase(rest, kDrive) == std::string_view::npos &&
            (rest.empty() || rest.front() != ' ')) {
            driveRelativeIndex_[strings_.Store(FolderKey(rest))].push_back(i);
        } else {
            irregularDriveFolders_.push_back(i);
        }
    }
    fileNameIndex_.clear();
    driveNamedFiles_.clear();
    for (std::uint32_t i = 0; i < fileTable_.size(); ++i) {
        const std::string_view name = fileTable_[i].fileName;
        if (name.find("[drive]") != std::string_view::npos) {
            driveNamedFiles_.push_back(i);
        } else {
            fileNameIndex_[name].push_back(i);
        }
    }
}

SafetyList LoadSafetyList(const DefinitionFiles& files, platform::FileSystem& fs,
                          const PathTokenExpander& tokens, const std::string& driveRoot,
                          LoadControl& control) {
    std::vector<std::string> entries;
    ForEachDecodedLine(fs, files.PathOf(file::kSafety), control, [&](const std::string& line) {
        auto record = ParseSafetyRecord(line);
        if (!record) return;
        std::string location = text::ReplaceAll(record->location, "[drive]", driveRoot);
        location = text::ReduceDoubleBackslashes(tokens.Expand(location));
        std::string entry = SafetyEntry(*record, location);
        if (!entry.empty()) entries.push_back(std::move(entry));
    });
    return SafetyList(std::move(entries));
}

}  // namespace qm::defs
