#include "definitions/Records.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "text/Text.h"

namespace qm::defs {

namespace {
constexpr std::array<std::string_view, 6> kRootKeys = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};
}  // namespace

namespace {
// Whether any of eight characters is "|" or "=".
bool HasSeparator(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    auto equalTo = [&](char c) {
        const std::uint64_t v = x ^ (kOnes * static_cast<unsigned char>(c));
        return ~(((v & kLow7) + kLow7) | v | kLow7);
    };
    return (equalTo('|') | equalTo('=')) != 0;
}
}  // namespace

std::optional<FileRecord> ParseFileRecord(std::string_view line) {
    // One pass finds the separators: the first two "=" of field 1 and the first three "|".
    constexpr std::size_t npos = std::string_view::npos;
    std::size_t eq1 = npos, eq2 = npos, bar[3] = {npos, npos, npos};
    int bars = 0;
    const std::size_t n = line.size();
    for (std::size_t chunk = 0; chunk < n && bars < 3; chunk += 8) {
        const std::size_t stop = chunk + 8 < n ? chunk + 8 : n;
        // Most of a line is names and paths: skip eight characters without a separator at once.
        if (stop - chunk == 8 && !HasSeparator(line.data() + chunk)) continue;
        for (std::size_t i = chunk; i < stop && bars < 3; ++i) {
            const char c = line[i];
            if (c == '|') {
                bar[bars++] = i;
            } else if (c == '=' && bars == 0) {
                if (eq1 == npos) {
                    eq1 = i;
                } else if (eq2 == npos) {
                    eq2 = i;
                }
            }
        }
    }
    // Without "=" the record names no threat and is not used.
    if (eq1 == npos) return std::nullopt;
    const std::size_t field1End = bars > 0 ? bar[0] : line.size();
    FileRecord r;
    r.name = text::TrimView(line.substr(0, eq1));
    // Text after a second "=" is not part of the threat name.
    r.threatName = line.substr(eq1 + 1, (eq2 != npos ? eq2 : field1End) - eq1 - 1);
    if (bars > 0) {
        r.hasFolder = true;
        const std::size_t folderEnd = bars > 1 ? bar[1] : line.size();
        r.folder = line.substr(bar[0] + 1, folderEnd - bar[0] - 1);
        if (bars > 1) {
            const std::size_t categoryEnd = bars > 2 ? bar[2] : line.size();
            r.category = line.substr(bar[1] + 1, categoryEnd - bar[1] - 1);
        }
    }
    return r;
}

std::optional<ExeRecord> ParseExeRecord(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    ExeRecord r;
    r.exeName = std::string(line.substr(0, eq));
    std::string_view rest = line.substr(eq + 1);
    // The rest is split at every "=" too; only its first piece is used.
    rest = rest.substr(0, rest.find('='));
    const auto bar = rest.find('|');
    if (bar == std::string_view::npos) {
        r.folder = std::string(rest);
    } else {
        const auto after = rest.substr(bar + 1);
        r.folder = std::string(after.substr(0, after.find('|')));
    }
    return r;
}

std::optional<int> HiveCodeNumber(std::string_view hiveCode) {
    const auto code = text::TrimView(hiveCode);
    if (code.size() != 1 || code[0] < '0' || code[0] > '5') return std::nullopt;
    return code[0] - '0';
}

std::string RootKeyName(std::string_view hiveCode) {
    const auto n = HiveCodeNumber(hiveCode);
    if (!n) return {};
    return std::string(kRootKeys[static_cast<std::size_t>(*n)]);
}

std::optional<RegistryRecordText> SplitRegistryRecord(std::string_view line) {
    const auto eq = line.rfind('=');
    if (eq == std::string_view::npos) return std::nullopt;
    RegistryRecordText r;
    r.keySpec = std::string(line.substr(0, eq));
    const std::string_view namePart = text::TrimView(line.substr(eq + 1));
    const auto bar = namePart.find('|');
    if (bar == std::string_view::npos) {
        r.threatName = std::string(namePart);
    } else {
        r.threatName = text::Trim(namePart.substr(0, bar));
        r.category = std::string(namePart.substr(bar + 1));
    }
    return r;
}

std::optional<RegistryRecord> ParseRegistryKeySpec(const RegistryRecordText& textParts,
                                                   std::string_view expandedKeySpec) {
    const auto pieces = text::Split(expandedKeySpec, '^');
    if (pieces.size() < 2) return std::nullopt;
    const auto code = HiveCodeNumber(pieces[0]);
    if (!code) return std::nullopt;
    RegistryRecord r;
    r.hiveCode = *code;
    r.rootName = std::string(kRootKeys[static_cast<std::size_t>(*code)]);
    r.keyPath = std::string(pieces[1]);
    if (pieces.size() >= 3) r.valueName = text::ReduceDoubleBackslashes(pieces[2]);
    r.threatName = textParts.threatName;
    r.category = textParts.category;
    return r;
}

std::optional<SafetyRecord> ParseSafetyRecord(std::string_view line) {
    const auto fields = text::Split(line, '|');
    // A line without "|" has no defined use.
    if (fields.size() < 2) return std::nullopt;
    SafetyRecord r;
    r.kind = std::string(fields[0]);
    r.label = text::Trim(text::Split(fields[1], '=')[0]);
    if (fields.size() >= 3) r.location = std::string(fields[2]);
    return r;
}

std::string SafetyEntry(const SafetyRecord& record, std::string_view location) {
    std::string entry;
    if (record.kind == "SFILE" || record.kind == "SEXE" || record.kind == "SDLL") {
        entry = location.empty() ? record.label : std::string(location);
    } else if (record.kind == "SDIR") {
        entry = std::string(location);
    } else if (record.kind == "SREG") {
        const auto pieces = text::Split(location, '^');
        entry = RootKeyName(pieces[0]);
        entry += '\\';
        if (pieces.size() >= 2) entry += pieces[1];
        if (pieces.size() >= 3 && !pieces[2].empty()) {
            entry += '\\';
            entry += pieces[2];
        }
    } else {
        return {};
    }
    entry = text::ReplaceAll(entry, "\\\\", "\\");
    return text::ReplaceAll(entry, "//", "/");
}

std::optional<std::size_t> MatchBlockedCookie(const std::vector<std::string>& entries,
                                              std::string_view site) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.find(site) == std::string::npos) continue;
        std::string candidate = entry;
        const auto dot = candidate.rfind('.');
        if (dot != std::string::npos) candidate.erase(dot);
        const auto star = candidate.find('*');
        if (star != std::string::npos) candidate.erase(star, 1);
        if (text::EqualsNoCase(candidate, site)) return i;
    }
    return std::nullopt;
}

}  // namespace qm::defs
