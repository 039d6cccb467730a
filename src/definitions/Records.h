#pragma once
// The line layouts of the definition files, parsed from decoded lines. Parsers return nothing
// for a line that carries no usable record; they never expand path tokens (the caller knows
// which drive "[drive]" stands for).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::defs {

// "FileDefinition.dat" and "ExeDefinition.dat": name=threat|folder|category.
// "DirectoryDefinition.dat" has the same shape: folder name=threat|folder path|category.
// The fields are views into the parsed line and live as long as it does.
struct FileRecord {
    std::string_view name;        // piece 1 of field 1, trimmed
    std::string_view threatName;  // piece 2 of field 1, as written
    std::string_view folder;      // field 2, as written (tokens not expanded)
    bool hasFolder = false;       // the line had a "|"
    std::string_view category;    // field 3, as written; empty when absent
};
std::optional<FileRecord> ParseFileRecord(std::string_view line);

// The process scan's reading of "ExeDefinition.dat": split at "=" then at "|".
struct ExeRecord {
    std::string exeName;  // piece 1 before "="
    std::string folder;   // text after the first "|" of the rest, or the whole rest
};
std::optional<ExeRecord> ParseExeRecord(std::string_view line);

// Hive codes shared by "RegistryDefinition.dat" and "Safety.dat".
// The root key's name for a hive code text, or empty when the code names no root key.
std::string RootKeyName(std::string_view hiveCode);
std::optional<int> HiveCodeNumber(std::string_view hiveCode);

// "RegistryDefinition.dat": hive^key path^value name=threat|category, split at the last "=".
struct RegistryRecordText {
    std::string keySpec;     // before the last "=" (tokens not yet expanded)
    std::string threatName;  // the name part before "|", trimmed
    std::string category;    // after "|" in the name part
};
std::optional<RegistryRecordText> SplitRegistryRecord(std::string_view line);

struct RegistryRecord {
    int hiveCode = 0;
    std::string rootName;
    std::string keyPath;
    std::string valueName;  // "\\" reduced to "\"
    std::string threatName;
    std::string category;
};
// Splits an already expanded key text (hive^key^value); nothing for an unknown hive code.
std::optional<RegistryRecord> ParseRegistryKeySpec(const RegistryRecordText& text,
                                                   std::string_view expandedKeySpec);

// "Safety.dat": kind|label=text|location[|extra].
struct SafetyRecord {
    std::string kind;
    std::string label;     // trimmed
    std::string location;  // as written (tokens not expanded)
};
std::optional<SafetyRecord> ParseSafetyRecord(std::string_view line);

// The SafetyList entry for a record whose location is already expanded; empty when the kind
// adds no entry.
std::string SafetyEntry(const SafetyRecord& record, std::string_view expandedLocation);

// "BlockedCookies.dat": the index of the first entry that matches the cookie site, if any.
std::optional<std::size_t> MatchBlockedCookie(const std::vector<std::string>& entries,
                                              std::string_view site);

}  // namespace qm::defs
