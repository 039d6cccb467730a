#pragma once
// Small PE images built byte by byte for the company-name reader's tests and fuzz target: a
// PE32+ header, one ".rsrc" section and a version resource in it, laid out as linkers do, with
// the offsets of each structure named so a test can damage exactly one of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::test::pe {

// Where the pieces of Image() lie: file offsets, and offsets inside the resource section.
inline constexpr std::size_t kNtHeaders = 0x40;
inline constexpr std::size_t kSectionCount = kNtHeaders + 6;
inline constexpr std::size_t kOptionalHeader = kNtHeaders + 24;
inline constexpr std::size_t kSectionTable = kOptionalHeader + 240;
inline constexpr std::size_t kResourceSection = 0x200;
inline constexpr std::uint32_t kResourceAddress = 0x1000;
inline constexpr std::size_t kRootDirectory = 0x00;
inline constexpr std::size_t kNameDirectory = 0x18;
inline constexpr std::size_t kLanguageDirectory = 0x30;
inline constexpr std::size_t kDataEntry = 0x48;
inline constexpr std::size_t kVersionData = 0x58;

inline void Put16(std::string& b, std::size_t at, std::size_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& b, std::size_t at, std::size_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, (v >> 16) & 0xFFFF);
}

inline std::string Utf16(std::string_view s) {
    std::string out;
    for (char c : s) {
        out += c;
        out += '\0';
    }
    return out;
}

inline void Pad4(std::string& s) {
    s.resize((s.size() + 3) & ~std::size_t{3}, '\0');
}

// One block of a version tree: length, value length and type words, key, value, children.
inline std::string Block(std::string_view key, std::uint16_t type, const std::string& value,
                         std::size_t valueLength, const std::vector<std::string>& children = {}) {
    std::string b(6, '\0');
    b += Utf16(key) + std::string(2, '\0');
    Pad4(b);
    b += value;
    for (const std::string& child : children) {
        Pad4(b);
        b += child;
    }
    Put16(b, 0, b.size());
    Put16(b, 2, valueLength);
    Put16(b, 4, type);
    return b;
}

using Strings = std::vector<std::pair<std::string, std::string>>;

// A StringTable block of text entries.
inline std::string Table(const Strings& strings, std::string_view language = "040904b0") {
    std::vector<std::string> entries;
    for (const auto& [key, text] : strings)
        entries.push_back(Block(key, 1, Utf16(text) + std::string(2, '\0'), text.size() + 1));
    return Block(language, 1, "", 0, entries);
}

// A VS_VERSIONINFO tree: the fixed part, a StringFileInfo whose type word is `infoType` (Wine's
// resource compiler writes 0, others 1) holding the tables, and a VarFileInfo.
inline std::string VersionInfo(const std::vector<std::string>& tables, std::uint16_t infoType = 0) {
    std::string fixed(52, '\0');
    Put32(fixed, 0, 0xFEEF04BD);
    const std::string var =
        Block("VarFileInfo", 1, "", 0, {Block("Translation", 0, "\x09\x04\xb0\x04", 4)});
    return Block("VS_VERSION_INFO", 0, fixed, fixed.size(),
                 {Block("StringFileInfo", infoType, "", 0, tables), var});
}

// A resource section whose one RT_VERSION entry (name 1, language 0x409) holds `data`.
inline std::string VersionSection(const std::string& data) {
    std::string s(kVersionData, '\0');
    const auto directory = [&](std::size_t at, std::uint32_t id, std::size_t target) {
        Put16(s, at + 14, 1);  // one numbered entry
        Put32(s, at + 16, id);
        Put32(s, at + 20, target);
    };
    directory(kRootDirectory, 16, 0x80000000u | kNameDirectory);
    directory(kNameDirectory, 1, 0x80000000u | kLanguageDirectory);
    directory(kLanguageDirectory, 0x409, kDataEntry);
    Put32(s, kDataEntry, kResourceAddress + kVersionData);
    Put32(s, kDataEntry + 4, data.size());
    return s + data;
}

// A PE32+ image with `section` as its one section, the resource directory at its start.
inline std::string Image(const std::string& section) {
    std::string b(kResourceSection, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, kNtHeaders);
    b.replace(kNtHeaders, 4, std::string("PE\0\0", 4));
    Put16(b, kNtHeaders + 4, 0x8664);
    Put16(b, kSectionCount, 1);
    Put16(b, kNtHeaders + 20, 240);
    Put16(b, kOptionalHeader, 0x20B);
    Put32(b, kOptionalHeader + 108, 16);  // data directories
    Put32(b, kOptionalHeader + 128, kResourceAddress);
    Put32(b, kOptionalHeader + 132, section.size());
    b.replace(kSectionTable, 5, ".rsrc");
    Put32(b, kSectionTable + 8, section.size());
    Put32(b, kSectionTable + 12, kResourceAddress);
    Put32(b, kSectionTable + 16, section.size());
    Put32(b, kSectionTable + 20, kResourceSection);
    return b + section;
}

}  // namespace qm::test::pe
