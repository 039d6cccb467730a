#include "platform/RegFile.h"

#include <array>
#include <cstddef>

#include "platform/Registry.h"

namespace qm::platform::regfile {

namespace {

constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";
constexpr char16_t kByteOrderMark = u'\uFEFF';
// Hex data is wrapped so that no line is wider than the registry editor's 80 columns.
constexpr std::size_t kWrapColumn = 77;
// The registry's own limit on one value's data.
constexpr std::size_t kMaxDataBytes = 0x7fffffff;

struct NamedRoot {
    std::uint32_t root;
    std::u16string_view name;
    std::u16string_view shortName;
};

constexpr std::array<NamedRoot, 6> kRoots{{
    {root::kClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {root::kCurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {root::kLocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {root::kUsers, u"HKEY_USERS", u"HKU"},
    {root::kCurrentConfig, u"HKEY_CURRENT_CONFIG", u"HKCC"},
    {root::kDynData, u"HKEY_DYN_DATA", u"HKDD"},
}};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// CR, LF, tab, NUL and the rest below the blank: what may not stand raw in a quoted form.
bool IsControl(char16_t c) {
    return c < 0x20;
}

std::u16string_view TrimBlanks(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char16_t HexDigitChar(std::uint32_t digit) {
    return static_cast<char16_t>(digit < 10 ? u'0' + digit : u'a' + (digit - 10));
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// `digits` hex digits of `value`, or as few as it needs when `digits` is 0.
void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    if (digits == 0) {
        digits = 1;
        while (digits < 8 && (value >> (4 * digits)) != 0)
            ++digits;
    }
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += HexDigitChar((value >> shift) & 0xF);
}

// A number of one to `maxDigits` hex digits, the whole text.
std::optional<std::uint32_t> HexNumber(std::u16string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::u16string CodeUnits(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return units;
}

void AppendBytes(std::string& out, std::u16string_view units) {
    for (char16_t c : units) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
}

// ---- Writing

// A value name between quotes: "\" and "\"" escaped as the registry editor does, a control
// character as "\uXXXX" so that the name stays on its line.
void AppendQuotedName(std::u16string& out, std::u16string_view name) {
    out += u'"';
    for (char16_t c : name) {
        if (c == u'\\' || c == u'"') {
            out += u'\\';
            out += c;
        } else if (IsControl(c)) {
            out += u"\\u";
            AppendHex(out, c, 4);
        } else {
            out += c;
        }
    }
    out += u'"';
}

// The text of REG_SZ data that reads back the same from the quoted form: data that ends in its
// NUL and holds no other NUL and no control character. Nothing for any other data.
std::optional<std::u16string> QuotableText(const Value& value) {
    if (value.type != type::kString || value.data.size() < 2 || value.data.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text = CodeUnits(value.data);
    if (text.back() != u'\0') return std::nullopt;
    text.pop_back();
    for (char16_t c : text) {
        if (IsControl(c)) return std::nullopt;
    }
    return text;
}

void AppendValue(std::u16string& out, const Value& value) {
    const std::size_t start = out.size();
    if (value.name.empty()) {
        out += u'@';
    } else {
        AppendQuotedName(out, value.name);
    }
    out += u'=';
    if (const auto text = QuotableText(value)) {
        out += u'"';
        for (char16_t c : *text) {
            if (c == u'\\' || c == u'"') out += u'\\';
            out += c;
        }
        out += u"\"\r\n";
        return;
    }
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(value.data[i]); };
    if (value.type == type::kDword && value.data.size() == 4) {
        out += u"dword:";
        AppendHex(out,
                  static_cast<std::uint32_t>(byteAt(0)) |
                      static_cast<std::uint32_t>(byteAt(1)) << 8 |
                      static_cast<std::uint32_t>(byteAt(2)) << 16 |
                      static_cast<std::uint32_t>(byteAt(3)) << 24,
                  8);
        out += u"\r\n";
        return;
    }
    if (value.type == type::kBinary) {
        out += u"hex:";
    } else {
        out += u"hex(";
        AppendHex(out, value.type, 0);
        out += u"):";
    }
    std::size_t column = out.size() - start;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        if (i > 0) {
            out += u',';
            if (++column + 2 > kWrapColumn) {
                out += u"\\\r\n  ";
                column = 2;
            }
        }
        AppendHex(out, byteAt(i), 2);
        column += 2;
    }
    out += u"\r\n";
}

// ---- Reading

std::optional<std::uint32_t> RootNamed(std::u16string_view name) {
    const auto same = [](std::u16string_view a, std::u16string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto upper = [](char16_t c) {
                return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
            };
            if (upper(a[i]) != upper(b[i])) return false;
        }
        return true;
    };
    for (const auto& r : kRoots) {
        if (same(name, r.name) || same(name, r.shortName)) return r.root;
    }
    return std::nullopt;
}

// The physical line from `pos` (its CR LF or LF dropped); `pos` moves to the next line.
std::u16string_view TakeLine(std::u16string_view text, std::size_t& pos) {
    const std::size_t end = text.find(u'\n', pos);
    std::u16string_view line =
        text.substr(pos, end == std::u16string_view::npos ? std::u16string_view::npos : end - pos);
    pos = end == std::u16string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    return line;
}

void SkipBlanks(std::u16string_view text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

// The quoted text at `pos` with its escapes undone; `pos` moves past the closing quote. A
// backslash takes the next character as it is; in a name, "\uXXXX" is that code unit. The
// text may run over line ends: backups from before names and data were kept on their line
// hold their line breaks raw between the quotes.
std::optional<std::u16string> TakeQuoted(std::u16string_view text, std::size_t& pos, bool name) {
    if (pos >= text.size() || text[pos] != u'"') return std::nullopt;
    std::u16string out;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == u'"') {
            pos = i + 1;
            return out;
        }
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (name && text[i] == u'u') {
            if (text.size() - (i + 1) < 4) return std::nullopt;
            const auto unit = HexNumber(text.substr(i + 1, 4), 4);
            if (!unit) return std::nullopt;
            out += static_cast<char16_t>(*unit);
            i += 4;
            continue;
        }
        out += text[i];
    }
    return std::nullopt;
}

// "aa,bb,..." with blanks around the bytes allowed, or no bytes at all.
std::optional<std::string> HexBytes(std::u16string_view text) {
    std::string bytes;
    text = TrimBlanks(text);
    if (text.empty()) return bytes;
    for (;;) {
        const std::size_t comma = text.find(u',');
        const std::u16string_view digits = TrimBlanks(text.substr(0, comma));
        const auto one = digits.size() == 2 ? HexNumber(digits, 2) : std::nullopt;
        if (!one) return std::nullopt;
        bytes += static_cast<char>(*one);
        if (comma == std::u16string_view::npos) return bytes;
        text.remove_prefix(comma + 1);
    }
}

// The data after "=" in any form but the quoted one: "dword:", "hex:" or "hex(type):".
std::optional<Value> UnquotedData(std::u16string_view data) {
    Value value;
    if (data.starts_with(u"dword:")) {
        const auto number = HexNumber(data.substr(6), 8);
        if (!number) return std::nullopt;
        value.type = type::kDword;
        for (int shift = 0; shift < 32; shift += 8)
            value.data += static_cast<char>((*number >> shift) & 0xFF);
        return value;
    }
    if (data.starts_with(u"hex:")) {
        value.type = type::kBinary;
        data.remove_prefix(4);
    } else if (data.starts_with(u"hex(")) {
        const std::size_t close = data.find(u"):");
        if (close == std::u16string_view::npos) return std::nullopt;
        const auto number = HexNumber(data.substr(4, close - 4), 8);
        if (!number) return std::nullopt;
        value.type = *number;
        data.remove_prefix(close + 2);
    } else {
        return std::nullopt;  // "-" (a deletion) or a form no backup holds
    }
    auto bytes = HexBytes(data);
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

// A value line from `pos`, `"name"=data` or `@=data`; `pos` moves past its last line.
std::optional<Value> TakeValue(std::u16string_view text, std::size_t& pos) {
    Value value;
    std::u16string name;
    if (text[pos] == u'@') {
        ++pos;
    } else {
        auto quoted = TakeQuoted(text, pos, true);
        if (!quoted) return std::nullopt;
        name = std::move(*quoted);
    }
    SkipBlanks(text, pos);
    if (pos >= text.size() || text[pos] != u'=') return std::nullopt;
    ++pos;
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == u'"') {
        auto quoted = TakeQuoted(text, pos, false);
        if (!quoted || !TrimBlanks(TakeLine(text, pos)).empty()) return std::nullopt;
        value.type = type::kString;
        AppendBytes(value.data, *quoted);
        value.data.append(2, '\0');
    } else {
        // A line ending in "\" goes on in the next one (long hex data).
        std::u16string data(TakeLine(text, pos));
        while (!data.empty() && data.back() == u'\\' && pos < text.size()) {
            data.pop_back();
            data += TrimBlanks(TakeLine(text, pos));
        }
        auto unquoted = UnquotedData(TrimBlanks(data));
        if (!unquoted) return std::nullopt;
        value = std::move(*unquoted);
    }
    if (value.data.size() > kMaxDataBytes) return std::nullopt;
    value.name = std::move(name);
    return value;
}

// "[root\path]" (the line without its surrounding blanks); "[-...]" asks for a deletion.
std::optional<Key> KeyLine(std::u16string_view line) {
    if (line.size() < 3 || line.front() != u'[' || line.back() != u']' || line[1] == u'-') {
        return std::nullopt;
    }
    const std::u16string_view path = line.substr(1, line.size() - 2);
    const std::size_t slash = path.find(u'\\');
    const auto root = RootNamed(path.substr(0, slash));
    if (!root) return std::nullopt;
    Key key;
    key.root = *root;
    if (slash != std::u16string_view::npos) key.path = path.substr(slash + 1);
    return key;
}

}  // namespace

std::optional<std::u16string_view> RootName(std::uint32_t root) {
    for (const auto& r : kRoots) {
        if (r.root == root) return r.name;
    }
    return std::nullopt;
}

std::optional<std::string> Format(const std::vector<Key>& keys) {
    std::u16string text(1, kByteOrderMark);
    text += kHeader;
    text += u"\r\n\r\n";
    for (const Key& key : keys) {
        const auto root = RootName(key.root);
        if (!root) return std::nullopt;
        text += u'[';
        text += *root;
        if (!key.path.empty()) {
            text += u'\\';
            text += key.path;
        }
        text += u"]\r\n";
        for (const Value& value : key.values)
            AppendValue(text, value);
        text += u"\r\n";
    }
    std::string bytes;
    bytes.reserve(text.size() * 2);
    AppendBytes(bytes, text);
    return bytes;
}

std::optional<std::vector<Key>> Parse(std::string_view fileBytes) {
    if (fileBytes.size() < 2 || fileBytes.size() % 2 != 0) return std::nullopt;
    const std::u16string units = CodeUnits(fileBytes);
    if (units.front() != kByteOrderMark) return std::nullopt;
    const std::u16string_view text = std::u16string_view(units).substr(1);

    std::vector<Key> keys;
    bool header = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        SkipBlanks(text, pos);
        const char16_t first = pos < text.size() ? text[pos] : u'\n';
        if (header && (first == u'"' || first == u'@')) {
            auto value = TakeValue(text, pos);
            if (!value || keys.empty()) return std::nullopt;
            keys.back().values.push_back(std::move(*value));
            continue;
        }
        const std::u16string_view line = TrimBlanks(TakeLine(text, pos));
        if (line.empty() || line.front() == u';') continue;
        if (!header) {
            if (line != kHeader) return std::nullopt;
            header = true;
            continue;
        }
        auto key = KeyLine(line);
        if (!key) return std::nullopt;
        keys.push_back(std::move(*key));
    }
    if (!header || keys.empty()) return std::nullopt;
    return keys;
}

}  // namespace qm::platform::regfile
