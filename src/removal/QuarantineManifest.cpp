#include "removal/QuarantineManifest.h"

#include <array>
#include <vector>

#include "platform/Registry.h"
#include "text/Text.h"

namespace qm::removal {

namespace {

constexpr std::size_t kFields = 8;
constexpr const char* kQuarantined = "quarantined";
constexpr const char* kRestored = "restored";

std::string Escape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (char c : field) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case '\t':
                out += "%09";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<EntryKind> KindOf(std::string_view text) {
    for (EntryKind kind :
         {EntryKind::File, EntryKind::Folder, EntryKind::Cookie, EntryKind::Registry}) {
        if (text == KindName(kind)) return kind;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> SizeOf(std::string_view text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

bool IsHash(std::string_view text) {
    if (text.size() != 64) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// The copy's name is one name inside the quarantine folder: a manifest that named anything
// else could make a restore read from, or write to, some other place.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string_view::npos;
}

std::optional<QuarantineEntry> ParseEntry(std::string_view line) {
    const auto fields = text::Split(line, '\t');
    if (fields.size() != kFields) return std::nullopt;
    QuarantineEntry entry;
    const auto kind = KindOf(fields[0]);
    auto original = Unescape(fields[1]);
    auto name = Unescape(fields[3]);
    const auto size = SizeOf(fields[4]);
    auto time = Unescape(fields[6]);
    if (!kind || !original || original->empty() || !name || !IsPlainName(*name) || !size ||
        !IsHash(fields[5]) || !time) {
        return std::nullopt;
    }
    if (fields[7] != kQuarantined && fields[7] != kRestored) return std::nullopt;
    if (fields[2] == "@") {
        entry.value = std::string();
    } else if (!fields[2].empty()) {
        entry.value = Unescape(fields[2]);
        if (!entry.value) return std::nullopt;
    }
    if (entry.value && *kind != EntryKind::Registry) return std::nullopt;
    entry.kind = *kind;
    entry.original = std::move(*original);
    entry.name = std::move(*name);
    entry.size = *size;
    entry.sha256 = std::string(fields[5]);
    entry.time = std::move(*time);
    entry.restored = fields[7] == kRestored;
    return entry;
}

}  // namespace

const char* KindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::File:
            return "file";
        case EntryKind::Folder:
            return "folder";
        case EntryKind::Cookie:
            return "cookie";
        case EntryKind::Registry:
            return "registry";
    }
    return "file";
}

std::string ManifestHeader() {
    return "kind\toriginal\tvalue\tname\tsize\tsha256\ttime\tstate";
}

std::string FormatEntry(const QuarantineEntry& entry) {
    std::string value;
    if (entry.value)
        value = entry.value->empty() ? "@" : *entry.value == "@" ? "%40" : Escape(*entry.value);
    return std::string(KindName(entry.kind)) + '\t' + Escape(entry.original) + '\t' + value + '\t' +
           Escape(entry.name) + '\t' + std::to_string(entry.size) + '\t' + entry.sha256 + '\t' +
           Escape(entry.time) + '\t' + (entry.restored ? kRestored : kQuarantined) + "\r\n";
}

Manifest ParseManifest(std::string_view bytes) {
    Manifest manifest;
    if (bytes.empty()) return manifest;
    const auto complete = bytes.rfind('\n');
    manifest.tornLastLine = bytes.back() != '\n';
    if (complete == std::string_view::npos) return manifest;  // not even the header came through
    manifest.status = Manifest::Status::Ok;
    const std::string header = ManifestHeader();
    std::string_view rest = bytes.substr(0, complete + 1);
    bool first = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line == header) continue;
            manifest.status = Manifest::Status::Damaged;
        }
        if (line.empty()) continue;
        auto entry = ParseEntry(line);
        if (!entry) {
            manifest.status = Manifest::Status::Damaged;
            continue;
        }
        manifest.entries.push_back(std::move(*entry));
    }
    return manifest;
}

std::optional<std::string> ReadSmallFile(platform::FileSystem& files, const std::string& path,
                                         std::uint64_t maxBytes) {
    auto reader = files.OpenForReading(path);
    if (!reader) return std::nullopt;
    std::string bytes;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        const std::size_t got = reader->Read(chunk.data(), chunk.size());
        if (got == 0) break;
        if (bytes.size() + got > maxBytes) return std::nullopt;
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

Manifest ReadManifest(platform::FileSystem& files, const std::string& path) {
    if (!files.Attributes(path)) return {};
    const auto bytes = ReadSmallFile(files, path, kMaxManifestBytes);
    if (!bytes) {
        Manifest unreadable;
        unreadable.status = Manifest::Status::Damaged;
        return unreadable;
    }
    return ParseManifest(*bytes);
}

std::string HiveNameOf(std::uint32_t root) {
    switch (root) {
        case platform::root::kClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case platform::root::kCurrentUser:
            return "HKEY_CURRENT_USER";
        case platform::root::kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case platform::root::kUsers:
            return "HKEY_USERS";
        case platform::root::kCurrentConfig:
            return "HKEY_CURRENT_CONFIG";
        case platform::root::kDynData:
            return "HKEY_DYN_DATA";
        default:
            return {};
    }
}

std::optional<std::uint32_t> RootOfHiveName(std::string_view hiveName) {
    for (std::uint32_t root :
         {platform::root::kClassesRoot, platform::root::kCurrentUser, platform::root::kLocalMachine,
          platform::root::kUsers, platform::root::kCurrentConfig, platform::root::kDynData}) {
        if (text::EqualsNoCase(hiveName, HiveNameOf(root))) return root;
    }
    return std::nullopt;
}

}  // namespace qm::removal
