#include "scan/CompanyName.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "scan/FileCursor.h"
#include "scan/VersionResource.h"
#include "text/Text.h"

namespace qm::scan {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// A company name is short; past this the value is cut rather than read on through the file.
constexpr std::size_t kMaxValue = 4096;
// How far past the value's first character the overrun repair looks for its end.
constexpr std::size_t kOverrunWindow = 255;

// The low byte of a version block's type word: 1 for text, 0 for binary. Linkers write the
// table block "StringFileInfo" with 1, some resource compilers with 0; its entries carry 1.
constexpr std::string_view kTextType("\x01", 1);
constexpr std::string_view kAnyType("\x00\x01", 2);

// A version-resource key with the text type word: byte 1, then NUL and character for each
// character (the type word and UTF-16 text as they lie in the file).
std::string WideBytes(std::string_view key) {
    std::string p(1, '\x01');
    for (char c : key) {
        p += '\0';
        p += c;
    }
    return p;
}

// A key as the raw scan looks for it: `text`, and for a wide key before it a type byte out of
// `types` and the type word's NUL. The search runs on the text, which starts with a letter:
// long runs of NULs in a file then cost no more than any other bytes.
struct Pattern {
    std::string text;
    std::string_view types;  // empty for plain text

    std::size_t Prefix() const { return types.empty() ? 0 : 2; }
    // Whether the text found at `hit` (at least Prefix() into `window`) has the right prefix.
    bool PrefixMatches(const std::string& window, std::size_t hit) const {
        return types.empty() ||
               (window[hit - 1] == '\0' && types.find(window[hit - 2]) != std::string_view::npos);
    }
};

Pattern Wide(std::string_view key, std::string_view types) {
    return {WideBytes(key).substr(2), types};
}

Pattern Plain(std::string_view key) {
    return {std::string(key), {}};
}

// The file offset of the first occurrence of `pattern` at or after `from`, reading the file in
// chunks and keeping just enough of the previous chunk to see a match across the boundary.
std::optional<std::uint64_t> FindInFile(FileCursor& file, const Pattern& pattern,
                                        std::uint64_t from) {
    const std::size_t prefix = pattern.Prefix();
    std::vector<char> chunk(kChunk);
    std::string window;           // the carried-over tail followed by the new chunk
    std::uint64_t base = from;    // file offset of window[0]
    std::uint64_t offset = from;  // file offset of the next byte to read
    for (;;) {
        const std::size_t got = file.ReadAt(offset, chunk.data(), chunk.size());
        if (got == 0) return std::nullopt;
        window.append(chunk.data(), got);
        offset += got;
        for (auto hit = window.find(pattern.text, prefix); hit != std::string::npos;
             hit = window.find(pattern.text, hit + 1)) {
            if (pattern.PrefixMatches(window, hit)) return base + (hit - prefix);
        }
        const std::size_t keep = std::min(window.size(), prefix + pattern.text.size() - 1);
        window.erase(0, window.size() - keep);
        base = offset - window.size();
    }
}

// The raw-byte reading for files that are not images with a readable version resource (or
// carry their table elsewhere): the wide key inside "StringFileInfo", else plain text.
std::string ScanForCompanyName(FileCursor& file) {
    std::optional<std::uint64_t> key;
    std::size_t valueOffset = 0;
    std::string marker;
    if (const auto info = FindInFile(file, Wide("StringFileInfo", kAnyType), 0)) {
        key = FindInFile(file, Wide("CompanyName", kTextType), *info);
        valueOffset = 26;
        marker = WideBytes("FileDescription");
    } else {
        const auto plainInfo = FindInFile(file, Plain("StringFileInfo"), 0);
        key = FindInFile(file, Plain("CompanyName"), plainInfo.value_or(0));
        valueOffset = 12;
        marker = "FileDescription";
    }
    if (!key) return {};

    // The value runs to the first three NULs in a row.
    const std::string span = file.ReadAt(*key + valueOffset, kMaxValue + 2);
    std::string value = span.substr(0, std::min(span.find(std::string(3, '\0')), kMaxValue));
    if (value.find(marker) != std::string::npos) {
        // The value ran into the next entry: end it at the first control character that
        // follows its first character.
        const std::size_t limit = std::min(span.size(), 1 + kOverrunWindow);
        for (std::size_t i = 1; i < limit; ++i) {
            if (static_cast<unsigned char>(span[i]) < 32) {
                value = span.substr(0, i);
                break;
            }
        }
    }
    value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
    return value;
}

}  // namespace

std::string ReadCompanyName(platform::FileSystem& files, const std::string& path) {
    FileCursor file(files, path);
    if (auto fromResource = ReadVersionString(file, "CompanyName")) return *std::move(fromResource);
    return ScanForCompanyName(file);
}

bool IsMicrosoftCompany(const std::string& company) {
    return text::EqualsNoCase(text::TrimView(company), "Microsoft Corporation");
}

bool IsMicrosoftFile(platform::FileSystem& files, const std::string& path) {
    return IsMicrosoftCompany(ReadCompanyName(files, path));
}

}  // namespace qm::scan
