#include "scan/CompanyName.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "definitions/Text.h"

namespace qm::scan {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// A company name is short; past this the value is cut rather than read on through the file.
constexpr std::size_t kMaxValue = 4096;
// How far past the value's first character the overrun repair looks for its end.
constexpr std::size_t kOverrunWindow = 255;

// The type word and UTF-16 text of a version-resource key: byte 1, then NUL and character.
std::string WidePattern(std::string_view key) {
    std::string p(1, '\x01');
    for (char c : key) {
        p += '\0';
        p += c;
    }
    return p;
}

// The offset of the first occurrence of `pattern` at or after `from`, reading the file in
// chunks and keeping just enough of the previous chunk to see a match across the boundary.
std::optional<std::size_t> FindInFile(platform::FileSystem& files, const std::string& path,
                                      const std::string& pattern, std::size_t from) {
    auto reader = files.OpenForReading(path);
    if (!reader) return std::nullopt;
    std::vector<char> chunk(kChunk);
    std::string window;      // the carried-over tail followed by the new chunk
    std::size_t base = 0;    // file offset of window[0]
    std::size_t offset = 0;  // file offset of the next byte to read
    for (;;) {
        const std::size_t got = reader->Read(chunk.data(), chunk.size());
        if (got == 0) return std::nullopt;
        window.append(chunk.data(), got);
        offset += got;
        const std::size_t startInWindow = from > base ? from - base : 0;
        if (startInWindow < window.size()) {
            const auto hit = window.find(pattern, startInWindow);
            if (hit != std::string::npos) return base + hit;
        }
        const std::size_t keep = std::min(window.size(), pattern.size() - 1);
        window.erase(0, window.size() - keep);
        base = offset - window.size();
    }
}

// Up to `count` bytes of the file from `start`.
std::string ReadSpan(platform::FileSystem& files, const std::string& path, std::size_t start,
                     std::size_t count) {
    auto reader = files.OpenForReading(path);
    std::string out;
    if (!reader) return out;
    std::vector<char> chunk(kChunk);
    std::size_t offset = 0;
    while (out.size() < count) {
        const std::size_t got = reader->Read(chunk.data(), chunk.size());
        if (got == 0) break;
        const std::size_t chunkEnd = offset + got;
        if (chunkEnd > start) {
            const std::size_t from = start > offset ? start - offset : 0;
            out.append(chunk.data() + from, std::min(got - from, count - out.size()));
        }
        offset = chunkEnd;
    }
    return out;
}

}  // namespace

std::string ReadCompanyName(platform::FileSystem& files, const std::string& path) {
    std::optional<std::size_t> key;
    std::size_t valueOffset = 0;
    std::string marker;
    if (const auto info = FindInFile(files, path, WidePattern("StringFileInfo"), 0)) {
        key = FindInFile(files, path, WidePattern("CompanyName"), *info);
        valueOffset = 26;
        marker = WidePattern("FileDescription");
    } else {
        const auto plainInfo = FindInFile(files, path, "StringFileInfo", 0);
        key = FindInFile(files, path, "CompanyName", plainInfo.value_or(0));
        valueOffset = 12;
        marker = "FileDescription";
    }
    if (!key) return {};

    // The value runs to the first three NULs in a row.
    const std::string span = ReadSpan(files, path, *key + valueOffset, kMaxValue + 2);
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

bool IsMicrosoftFile(platform::FileSystem& files, const std::string& path) {
    return text::EqualsNoCase(text::TrimView(ReadCompanyName(files, path)),
                              "Microsoft Corporation");
}

}  // namespace qm::scan
