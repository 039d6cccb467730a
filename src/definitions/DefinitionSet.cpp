#include "definitions/DefinitionSet.h"

#include "definitions/LineScramble.h"
#include "definitions/Records.h"
#include "definitions/Text.h"
#include "definitions/TextFile.h"

namespace qm::defs {

namespace {

// The record's folder with tokens expanded ("[drive]" stays) and a trailing "\" when not empty.
std::string ExpandedFolder(const PathTokenExpander& tokens, const std::string& raw) {
    std::string folder = text::ReduceDoubleBackslashes(tokens.Expand(raw));
    if (folder.empty())
        return folder;
    return text::ReduceDoubleBackslashes(folder + "\\");
}

// Runs `each` on every decoded, non-blank line until the end of the file or a stop.
template <typename Each>
void ForEachDecodedLine(platform::FileSystem& fs, const std::string& path, LoadControl& control,
                        Each each) {
    auto reader = text::LineReader::Open(fs, path);
    if (!reader)
        return;
    std::string line;
    while (!control.StopRequested() && reader->Next(line)) {
        DecodeLineInPlace(line);
        if (!line.empty())
            each(line);
        control.LetEventsRun();
    }
}

}  // namespace

void DefinitionSet::Load(const DefinitionFiles& files, platform::FileSystem& fs,
                         const PathTokenExpander& tokens, const SafetyList& safety,
                         LoadControl& control) {
    if (loaded_)
        return;
    loaded_ = true;

    ForEachDecodedLine(fs, files.PathOf(file::kFiles), control, [&](const std::string& line) {
        if (fileTable_.size() >= kCapacity)
            return;
        auto record = ParseFileRecord(line);
        // An entry with an empty name would end every reader's walk of the table early.
        if (!record || record->name.empty())
            return;
        if (record->category == "TYPE")
            record->category = "Spyware";
        std::string folder = ExpandedFolder(tokens, record->folder);
        if (safety.IsSafeLocation(folder + record->name))
            return;
        text::LowerInPlace(folder);
        fileTable_.push_back({std::move(folder), text::Lower(record->name),
                              std::move(record->category), std::move(record->threatName)});
    });

    ForEachDecodedLine(fs, files.PathOf(file::kFolders), control, [&](const std::string& line) {
        if (folderTable_.size() >= kCapacity)
            return;
        auto record = ParseFileRecord(line);
        if (!record)
            return;
        std::string path = ExpandedFolder(tokens, record->folder);
        if (!path.empty() && path.back() == '\\')
            path.pop_back();
        // The empty path is always safe, so a record without a folder is never stored.
        if (safety.IsSafeLocation(path))
            return;
        text::LowerInPlace(path);
        folderTable_.push_back({std::move(path), text::Lower(record->name),
                                std::move(record->category), std::move(record->threatName)});
    });
}

SafetyList LoadSafetyList(const DefinitionFiles& files, platform::FileSystem& fs,
                          const PathTokenExpander& tokens, const std::string& driveRoot,
                          LoadControl& control) {
    std::vector<std::string> entries;
    ForEachDecodedLine(fs, files.PathOf(file::kSafety), control, [&](const std::string& line) {
        auto record = ParseSafetyRecord(line);
        if (!record)
            return;
        std::string location = text::ReplaceAll(record->location, "[drive]", driveRoot);
        location = text::ReduceDoubleBackslashes(tokens.Expand(location));
        std::string entry = SafetyEntry(*record, location);
        if (!entry.empty())
            entries.push_back(std::move(entry));
    });
    return SafetyList(std::move(entries));
}

}  // namespace qm::defs
