#include "text/Text.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace qm::text {

namespace {
unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}
}  // namespace

namespace {
constexpr unsigned char LowerByte(unsigned char b) {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    // Code page 1252: À..Þ except × fold to à..þ; Š Œ Ž Ÿ to š œ ž ÿ.
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
    if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<unsigned char>(b + 16);
    if (b == 0x9F) return 0xFF;
    return b;
}

constexpr unsigned char UpperByte(unsigned char b) {
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 32);
    if (b == 0x9A || b == 0x9C || b == 0x9E) return static_cast<unsigned char>(b - 16);
    if (b == 0xFF) return 0x9F;
    return b;
}

template <unsigned char (*Map)(unsigned char)>
constexpr std::array<char, 256> MakeCaseTable() {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[static_cast<std::size_t>(i)] = static_cast<char>(Map(static_cast<unsigned char>(i)));
    }
    return t;
}

}  // namespace

std::array<char, 256> kLowerTable = MakeCaseTable<LowerByte>();
std::array<char, 256> kUpperTable = MakeCaseTable<UpperByte>();

namespace {

std::array<bool, 256> gLeadByte{};
bool gHasLeadBytes = false;
std::string (*gToUtf8)(std::string_view) = nullptr;

// Code page 1252's characters 0x80 to 0x9F; the five undefined ones map to themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Maps each whole single-byte character through `table`; the two bytes of a double-byte
// character stay as they are (a second byte may look like a letter).
void MapCharacters(const std::array<char, 256>& table, const char* from, std::size_t n, char* to) {
    for (std::size_t i = 0; i < n; ++i) {
        if (gLeadByte[Byte(from[i])] && i + 1 < n) {
            to[i] = from[i];
            to[i + 1] = from[i + 1];
            ++i;
            continue;
        }
        to[i] = table[Byte(from[i])];
    }
}

// The length of the character at `i`: 2 for a lead byte with its second byte, else 1.
std::size_t CharLength(std::string_view s, std::size_t i) {
    return gLeadByte[Byte(s[i])] && i + 1 < s.size() ? 2 : 1;
}

}  // namespace

void UseCodePage(const platform::CodePageTables& tables) {
    kLowerTable = tables.lower;
    kUpperTable = tables.upper;
    gLeadByte = tables.leadByte;
    gHasLeadBytes = false;
    for (const bool lead : gLeadByte)
        gHasLeadBytes = gHasLeadBytes || lead;
    gToUtf8 = tables.toUtf8;
}

void UseCodePage1252() {
    platform::CodePageTables tables;
    tables.lower = MakeCaseTable<LowerByte>();
    tables.upper = MakeCaseTable<UpperByte>();
    UseCodePage(tables);
}

bool HasLeadBytes() {
    return gHasLeadBytes;
}

bool IsLeadByte(char c) {
    return gLeadByte[Byte(c)];
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (gToUtf8) return gToUtf8(ansi);
    std::string out;
    out.reserve(ansi.size());
    for (const char c : ansi) {
        const auto b = Byte(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char32_t{b});
    }
    return out;
}

std::size_t FindLastSeparator(std::string_view path, std::string_view separators) {
    if (!gHasLeadBytes) return path.find_last_of(separators);
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        if (separators.find(path[i]) != std::string_view::npos) last = i;
    }
    return last;
}

std::size_t FindFirstSeparator(std::string_view path, std::size_t from,
                               std::string_view separators) {
    if (!gHasLeadBytes) return path.find_first_of(separators, from);
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        if (i >= from && separators.find(path[i]) != std::string_view::npos) return i;
    }
    return std::string_view::npos;
}

void LowerCopy(const char* from, std::size_t n, char* to) {
    if (gHasLeadBytes) {
        MapCharacters(kLowerTable, from, n, to);
        return;
    }
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    std::size_t i = 0;
    // Eight plain ASCII characters at a time: "A".."Z" gain 32, everything else stays. A chunk
    // with any character from the upper half of the code page takes the table below.
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, from + i, 8);
        if (x & kHigh) {
            for (std::size_t k = 0; k < 8; ++k)
                to[i + k] = LowerChar(from[i + k]);
            continue;
        }
        const std::uint64_t atLeastA = (x & kLow7) + kOnes * (0x80 - 'A');
        const std::uint64_t aboveZ = (x & kLow7) + kOnes * (0x80 - 'Z' - 1);
        const std::uint64_t upper = atLeastA & ~aboveZ & kHigh;
        x |= upper >> 2;
        std::memcpy(to + i, &x, 8);
    }
    for (; i < n; ++i)
        to[i] = LowerChar(from[i]);
}

void LowerInPlace(std::string& s) {
    LowerCopy(s.data(), s.size(), s.data());
}

std::string Lower(std::string_view s) {
    std::string out(s);
    LowerInPlace(out);
    return out;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    MapCharacters(kUpperTable, out.data(), out.size(), out.data());
    return out;
}

std::string_view TrimView(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (gLeadByte[Byte(a[i])] && i + 1 < a.size()) {
            // A two-byte character matches only itself.
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    }
    return true;
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size()) return std::string_view::npos;
    const char first = LowerChar(needle[0]);
    if (gHasLeadBytes) {
        // A match starts at a character, never at the second byte of one.
        for (std::size_t i = 0; i + needle.size() <= haystack.size();
             i += CharLength(haystack, i)) {
            if (i >= from && EqualsNoCase(haystack.substr(i, needle.size()), needle)) return i;
        }
        return std::string_view::npos;
    }
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (LowerChar(haystack[i]) != first) continue;
        if (EqualsNoCase(haystack.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    return FindNoCase(haystack, needle) != std::string_view::npos;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

namespace {

// Replaces every occurrence `find` finds, left to right, never looking into what it put in.
template <typename Find>
std::string ReplaceEach(std::string_view s, std::string_view from, std::string_view to, Find find) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (;;) {
        const auto hit = find(s, from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

}  // namespace

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    return ReplaceEach(s, from, to, [](std::string_view in, std::string_view what, std::size_t at) {
        return in.find(what, at);
    });
}

std::string ReplaceAllNoCase(std::string_view s, std::string_view from, std::string_view to) {
    return ReplaceEach(s, from, to, [](std::string_view in, std::string_view what, std::size_t at) {
        return FindNoCase(in, what, at);
    });
}

std::string FolderOf(std::string_view path) {
    const auto slash = FindLastSeparator(path);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNameOf(std::string_view path) {
    return std::string(FileNameView(path));
}

std::string_view FileNameView(std::string_view path, std::string_view separators) {
    return path.substr(FindLastSeparator(path, separators) + 1);  // npos + 1 is 0
}

std::string StemOf(std::string_view path) {
    const std::string_view name = FileNameView(path);
    return std::string(name.substr(0, name.rfind('.')));
}

std::string_view WithoutTrailingBackslashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '\\')
        path.remove_suffix(1);
    return path;
}

std::string ParentFolderOf(std::string_view path) {
    const std::string_view p = WithoutTrailingBackslashes(path);
    const auto slash = FindLastSeparator(p);
    if (slash == std::string_view::npos || slash == 0) return {};
    std::string parent(p.substr(0, slash));
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    return parent;
}

bool IsAbsolutePath(std::string_view path) {
    const bool driveLetter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                                  (path[0] >= 'a' && path[0] <= 'z'));
    return (driveLetter && path[1] == ':' && path[2] == '\\') || StartsWith(path, "\\\\");
}

std::string ReduceDoubleBackslashes(std::string_view s) {
    std::string out(s);
    ReduceDoubleBackslashesInPlace(out);
    return out;
}

namespace {
// Looks at eight characters at a time: most paths hold no pair, and this runs for every
// definition record.
std::size_t FirstBackslashPair(std::string_view s) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::size_t n = s.size();
    std::size_t i = 0;
    // Chunks overlap by one character so that a pair across a chunk boundary is seen.
    for (; i + 8 <= n; i += 7) {
        std::uint64_t x;
        std::memcpy(&x, s.data() + i, 8);
        const std::uint64_t v = x ^ (kOnes * static_cast<unsigned char>('\\'));
        // Exactly the bytes equal to "\" get their top bit set.
        const std::uint64_t hit = ~(((v & kLow7) + kLow7) | v | kLow7);
        if (hit & (hit >> 8)) break;
    }
    for (; i + 1 < n; ++i) {
        if (s[i] == '\\' && s[i + 1] == '\\') return i;
    }
    return std::string_view::npos;
}
}  // namespace

bool ReduceDoubleBackslashesInPlace(std::string& s) {
    const std::size_t n = s.size();
    char* p = s.data();
    std::size_t r = FirstBackslashPair(s);
    if (r == std::string::npos) return false;
    bool pairRemains = false;
    std::size_t w = r;
    for (; r < n; ++r) {
        pairRemains = pairRemains || (p[r] == '\\' && w > 0 && p[w - 1] == '\\');
        p[w++] = p[r];
        // A pair becomes one; the pass goes on after the pair, as one Replace call does.
        if (p[r] == '\\' && r + 1 < n && p[r + 1] == '\\') ++r;
    }
    s.resize(w);
    return pairRemains;
}

std::optional<int> DigitsValue(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    std::vector<std::string_view> pieces;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = s.find(sep, pos);
        if (hit == std::string_view::npos) {
            pieces.push_back(s.substr(pos));
            return pieces;
        }
        pieces.push_back(s.substr(pos, hit - pos));
        pos = hit + 1;
    }
}

std::string FormatWithDigitGrouping(long long value) {
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative) digits.erase(0, 1);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    bool secondByte = false;  // of a two-byte character: compared as it is
    for (std::size_t i = 0; i < n; ++i) {
        const bool whole = !secondByte;
        secondByte = whole && gLeadByte[Byte(a[i])] && a[i] == b[i];
        const auto ca = whole ? Byte(LowerChar(a[i])) : Byte(a[i]);
        const auto cb = whole ? Byte(LowerChar(b[i])) : Byte(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace qm::text
