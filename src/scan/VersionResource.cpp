#include "scan/VersionResource.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qm::scan {

namespace {

// The header fields a lookup reads, as offsets into each structure of a PE image.
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffset = 0x3C;   // e_lfanew
constexpr std::size_t kFileHeaderEnd = 24;       // "PE\0\0" and the COFF file header
constexpr std::size_t kOptionalHeaderMax = 240;  // a PE32+ optional header with 16 directories
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kVersionType = 16;  // RT_VERSION
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

// Real images have a few dozen sections and directory entries; past these a lookup gives up
// rather than read on.
constexpr std::size_t kMaxSections = 1024;
constexpr std::size_t kMaxEntries = 4096;
// A version resource's lengths are 16-bit, so no tree is larger.
constexpr std::size_t kMaxResource = 0xFFFF;

// Little-endian fields; the caller has checked that they lie inside `bytes`.
std::uint16_t U16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t U32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(U16(bytes, at)) |
           static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}

std::size_t Align4(std::size_t at) {
    return (at + 3) & ~std::size_t{3};
}

// ---- The VS_VERSIONINFO tree ----

// One block of the tree: its length, value length and type words, a NUL-terminated UTF-16 key,
// padding to a 4-byte boundary, the value, then child blocks up to its end. Offsets count from
// the start of the resource, which is where the 4-byte alignment is measured from.
struct Block {
    std::size_t keyBegin = 0, keyEnd = 0;  // the key's code units, its NUL left out
    std::size_t valueBegin = 0;
    std::size_t childrenBegin = 0;
    std::size_t end = 0;
};

// The block at `at`, or nothing when its header or key does not fit before `limit`.
std::optional<Block> BlockAt(std::string_view res, std::size_t at, std::size_t limit) {
    if (at > limit || limit - at < 6) return std::nullopt;
    const std::size_t length = U16(res, at);
    if (length < 6 || length > limit - at) return std::nullopt;
    Block b;
    b.end = at + length;
    b.keyBegin = at + 6;
    std::size_t k = b.keyBegin;
    while (k + 2 <= b.end && U16(res, k) != 0)
        k += 2;
    if (k + 2 > b.end) return std::nullopt;  // the key runs to the end unterminated
    b.keyEnd = k;
    b.valueBegin = std::min(Align4(k + 2), b.end);
    // The value length counts bytes for binary values (type 0) and code units for text.
    const std::size_t valueLength = U16(res, at + 2);
    const std::size_t valueBytes = U16(res, at + 4) == 1 ? 2 * valueLength : valueLength;
    b.childrenBegin = std::min(Align4(b.valueBegin + valueBytes), b.end);
    return b;
}

bool KeyIs(std::string_view res, const Block& b, std::string_view name) {
    if (b.keyEnd - b.keyBegin != 2 * name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint16_t unit = U16(res, b.keyBegin + 2 * i);
        const auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(unit) != lower(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

// Calls `visit` for each child of `parent` in order until it returns true; stops at the first
// child that does not fit inside the parent.
template <typename Visit>
bool AnyChild(std::string_view res, const Block& parent, Visit visit) {
    std::size_t at = parent.childrenBegin;
    while (at < parent.end) {
        const auto child = BlockAt(res, at, parent.end);
        if (!child) return false;
        if (visit(*child)) return true;
        at = Align4(child->end);
    }
    return false;
}

// A String entry's text: code units from the value up to the first NUL or the block's end.
// The value length word is not trusted; some tools store bytes there rather than units.
std::string TextOf(std::string_view res, const Block& b) {
    std::string out;
    for (std::size_t at = b.valueBegin; at + 2 <= b.end; at += 2) {
        const std::uint16_t unit = U16(res, at);
        if (unit == 0) break;
        out += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return out;
}

// ---- The PE image ----

struct Section {
    std::uint32_t address = 0, rawSize = 0, rawOffset = 0;
};

struct Image {
    std::vector<Section> sections;
    std::uint32_t resourceAddress = 0;

    // The file offset of the address `rva`, when a section's data in the file holds it.
    std::optional<std::uint64_t> FileOffset(std::uint32_t rva) const {
        for (const Section& s : sections) {
            if (rva >= s.address && rva - s.address < s.rawSize)
                return std::uint64_t{s.rawOffset} + (rva - s.address);
        }
        return std::nullopt;
    }
};

std::optional<Image> ReadHeaders(FileCursor& file) {
    const std::string dos = file.ReadAt(0, kDosHeaderSize);
    if (dos.size() < kDosHeaderSize || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    const std::uint64_t nt = U32(dos, kNewHeaderOffset);
    const std::string head = file.ReadAt(nt, kFileHeaderEnd + kOptionalHeaderMax);
    if (head.size() < kFileHeaderEnd + 2 || head.compare(0, 4, std::string_view("PE\0\0", 4)) != 0)
        return std::nullopt;
    const std::size_t sectionCount = std::min<std::size_t>(U16(head, 6), kMaxSections);
    const std::size_t optionalSize = U16(head, 20);

    // The data directories follow the optional header's fixed part, longer in PE32+.
    std::size_t directories = 0;
    switch (U16(head, kFileHeaderEnd)) {
        case 0x10B:
            directories = 96;
            break;
        case 0x20B:
            directories = 112;
            break;
        default:
            return std::nullopt;
    }
    const std::size_t entry = directories + 8 * kResourceDirectoryIndex;
    if (entry + 8 > optionalSize || kFileHeaderEnd + entry + 8 > head.size()) return std::nullopt;
    if (U32(head, kFileHeaderEnd + directories - 4) <= kResourceDirectoryIndex) return std::nullopt;

    Image image;
    image.resourceAddress = U32(head, kFileHeaderEnd + entry);
    if (image.resourceAddress == 0) return std::nullopt;
    const std::string table =
        file.ReadAt(nt + kFileHeaderEnd + optionalSize, sectionCount * kSectionHeaderSize);
    if (table.size() < sectionCount * kSectionHeaderSize) return std::nullopt;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t s = i * kSectionHeaderSize;
        image.sections.push_back({U32(table, s + 12), U32(table, s + 16), U32(table, s + 20)});
    }
    return image;
}

// The data field of an entry of the resource directory at `directory` (an offset from
// `base`, the directory tree's start in the file): the entry with the numeric `id`, or the
// first entry when there is no `id`.
std::optional<std::uint32_t> DirectoryEntry(FileCursor& file, std::uint64_t base,
                                            std::uint32_t directory,
                                            std::optional<std::uint32_t> id) {
    const std::uint64_t at = base + directory;
    const std::string header = file.ReadAt(at, kDirectoryHeaderSize);
    if (header.size() < kDirectoryHeaderSize) return std::nullopt;
    const std::size_t named = U16(header, 12);
    const std::size_t numbered = U16(header, 14);
    // Entries named by a string come first, numbered ones after them: a lookup by number reads
    // only those, a lookup of the first entry only that one.
    std::size_t first = 0, count = named + numbered > 0 ? 1 : 0;
    if (id) {
        first = named;
        count = std::min(numbered, kMaxEntries);
    }
    const std::string entries = file.ReadAt(at + kDirectoryHeaderSize + first * kDirectoryEntrySize,
                                            count * kDirectoryEntrySize);
    if (count == 0 || entries.size() < count * kDirectoryEntrySize) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = i * kDirectoryEntrySize;
        if (!id || U32(entries, e) == *id) return U32(entries, e + 4);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindVersionString(std::string_view resource, std::string_view key) {
    const auto root = BlockAt(resource, 0, resource.size());
    if (!root || !KeyIs(resource, *root, "VS_VERSION_INFO")) return std::nullopt;
    std::string value;
    AnyChild(resource, *root, [&](const Block& info) {
        return KeyIs(resource, info, "StringFileInfo") &&
               AnyChild(resource, info, [&](const Block& table) {
                   return AnyChild(resource, table, [&](const Block& entry) {
                       if (!KeyIs(resource, entry, key)) return false;
                       value = TextOf(resource, entry);
                       return !value.empty();
                   });
               });
    });
    return value;
}

std::optional<std::string> ReadVersionString(FileCursor& file, std::string_view key) {
    const auto image = ReadHeaders(file);
    if (!image) return std::nullopt;
    const auto base = image->FileOffset(image->resourceAddress);
    if (!base) return std::nullopt;
    // Three levels, type then name then language, each taking a subdirectory; a directory that
    // points back at itself or an ancestor leads at worst to a wrong kind of entry at the end.
    const auto names = DirectoryEntry(file, *base, 0, kVersionType);
    if (!names || !(*names & kSubdirectoryBit)) return std::nullopt;
    const auto languages = DirectoryEntry(file, *base, *names & ~kSubdirectoryBit, std::nullopt);
    if (!languages || !(*languages & kSubdirectoryBit)) return std::nullopt;
    const auto data = DirectoryEntry(file, *base, *languages & ~kSubdirectoryBit, std::nullopt);
    if (!data || (*data & kSubdirectoryBit)) return std::nullopt;

    const std::string entry = file.ReadAt(*base + *data, kDataEntrySize);
    if (entry.size() < kDataEntrySize) return std::nullopt;
    const auto at = image->FileOffset(U32(entry, 0));
    if (!at) return std::nullopt;
    const std::string resource =
        file.ReadAt(*at, std::min<std::size_t>(U32(entry, 4), kMaxResource));
    return FindVersionString(resource, key);
}

}  // namespace qm::scan
