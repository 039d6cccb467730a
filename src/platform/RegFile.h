#pragma once
// Registry-editor files ("Windows Registry Editor Version 5.00", UTF-16LE with its byte order
// mark): the form of the quarantine's registry backups. Keys and values are held exactly as the
// registry holds them — names as UTF-16 code units, data as the raw bytes with the type number —
// and every value reads back from the file with the very name, type and bytes it was written
// with.
//
// The writer uses the registry editor's forms: quoted text only for REG_SZ data that ends in
// its NUL and holds no other NUL and no control character, "dword:" for a four-byte REG_DWORD,
// "hex:" for REG_BINARY and "hex(type):" for everything else, wrapped at 80 columns with a
// trailing "\". Names escape "\" and "\"" as the registry editor does, and a control character
// as "\uXXXX", which only this reader undoes. Backups written before that escape existed
// never hold "\u" (their writer escaped every backslash), so they read as before; the raw line
// breaks that writer left inside quoted text read back as the text they were.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::platform::regfile {

// The registry's value type numbers the file forms tell apart.
namespace type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;
inline constexpr std::uint32_t kExpandString = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiString = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace type

struct Value {
    std::u16string name;  // empty: the key's default value
    std::uint32_t type = type::kNone;
    std::string data;  // the bytes as stored (text values: UTF-16LE, with their NULs)
    bool operator==(const Value&) const = default;
};

struct Key {
    std::uint32_t root = 0;  // a platform::root constant
    std::u16string path;     // below the root ("Software\\Bar"); empty for the root itself
    std::vector<Value> values;
    bool operator==(const Key&) const = default;
};

// The name a file gives the root ("HKEY_CURRENT_USER"); nothing for a number that is no root.
std::optional<std::u16string_view> RootName(std::uint32_t root);

// The whole file: byte order mark, header, then each key with its values in the order given.
// Nothing when a key's root has no name.
std::optional<std::string> Format(const std::vector<Key>& keys);

// The keys and values of a file, in file order; nothing when it is not UTF-16LE with its byte
// order mark, lacks the header or any key, asks for a deletion ("[-...]", "=-"), or has any
// line that does not read.
std::optional<std::vector<Key>> Parse(std::string_view fileBytes);

}  // namespace qm::platform::regfile
