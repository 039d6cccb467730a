// Firefox keeps a profile's settings as JavaScript-like lines in "prefs.js":
//   user_pref("browser.startup.homepage", "https://a.example/|https://b.example/");
// Each line is read as Firefox reads it: a name and a value in string literals with their
// escapes, numbers and true/false, with comments between. The file itself is never written.

#include <charconv>
#include <map>
#include <variant>

#include "shields/BrowserSettings.h"
#include "text/Text.h"
#include "text/Utf8.h"

namespace qm::shields {

namespace {

using PrefValue = std::variant<std::string, std::int64_t, bool>;

// Walks the file's text one token at a time. Every reader returns nothing, or false, when the
// text there is not what it reads; reading then starts again on the next line.
class PrefsCursor {
  public:
    explicit PrefsCursor(std::string_view text) : text_(text) {}

    bool AtEnd() {
        SkipSpaceAndComments();
        return at_ >= text_.size();
    }

    std::size_t Position() const { return at_; }

    // Past the end of the line that holds `from`: where reading starts again after a malformed
    // pref that began there, however far a broken string ran on.
    void SkipLineOf(std::size_t from) {
        const auto end = text_.find('\n', from);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
    }

    bool Take(char wanted) {
        SkipSpaceAndComments();
        if (at_ >= text_.size() || text_[at_] != wanted) return false;
        ++at_;
        return true;
    }

    std::string_view Word() {
        SkipSpaceAndComments();
        const std::size_t start = at_;
        while (at_ < text_.size() && (IsLetter(text_[at_]) || text_[at_] == '_'))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    std::optional<PrefValue> Value() {
        SkipSpaceAndComments();
        if (at_ >= text_.size()) return std::nullopt;
        const char first = text_[at_];
        if (first == '"' || first == '\'') {
            auto literal = StringLiteral();
            if (!literal) return std::nullopt;
            return PrefValue(std::move(*literal));
        }
        if (first == '-' || first == '+' || IsDigit(first)) return Integer();
        const std::string_view word = Word();
        if (word == "true") return PrefValue(true);
        if (word == "false") return PrefValue(false);
        return std::nullopt;
    }

    // A string in single or double quotes; its escapes are \\ \" \' \n \r, \xHH and \uXXXX
    // (a surrogate pair makes one character). A NUL character is refused, as Firefox refuses
    // it.
    std::optional<std::string> StringLiteral() {
        SkipSpaceAndComments();
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return std::nullopt;
        const char quote = text_[at_++];
        std::string out;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == quote) return out;
            if (c != '\\') {
                out += c;
            } else if (!Escape(out)) {
                return std::nullopt;
            }
        }
        return std::nullopt;  // the string never ends
    }

  private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void SkipSpaceAndComments() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else if (c == '#' || text_.substr(at_, 2) == "//") {
                SkipLineOf(at_);
            } else if (text_.substr(at_, 2) == "/*") {
                const auto end = text_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    std::optional<PrefValue> Integer() {
        if (text_[at_] == '+') ++at_;
        std::int64_t number = 0;
        const char* begin = text_.data() + at_;
        const char* end = text_.data() + text_.size();
        const auto [stop, error] = std::from_chars(begin, end, number);
        if (error != std::errc()) return std::nullopt;
        at_ += static_cast<std::size_t>(stop - begin);
        return PrefValue(number);
    }

    // The value of `digits` hexadecimal digits at the cursor.
    std::optional<char32_t> Hex(std::size_t digits) {
        if (text_.size() - at_ < digits) return std::nullopt;
        unsigned value = 0;
        const char* begin = text_.data() + at_;
        const auto [stop, error] = std::from_chars(begin, begin + digits, value, 16);
        if (error != std::errc() || stop != begin + digits) return std::nullopt;
        at_ += digits;
        return static_cast<char32_t>(value);
    }

    // A \uXXXX escape's character, with its second half when it is the first of a surrogate
    // pair; a half without its partner becomes U+FFFD.
    std::optional<char32_t> UnicodeEscape() {
        const auto first = Hex(4);
        if (!first) return std::nullopt;
        if (*first < 0xD800 || *first > 0xDFFF) return first;
        if (*first <= 0xDBFF && text_.substr(at_, 2) == "\\u") {
            const std::size_t before = at_;
            at_ += 2;
            const auto second = Hex(4);
            if (second && *second >= 0xDC00 && *second <= 0xDFFF)
                return 0x10000 + ((*first - 0xD800) << 10) + (*second - 0xDC00);
            at_ = before;  // not a second half: it is read as an escape of its own
        }
        return U'\uFFFD';
    }

    // The escape after a backslash, appended to `out`; false when it is none Firefox knows.
    bool Escape(std::string& out) {
        if (at_ >= text_.size()) return false;
        const char c = text_[at_++];
        std::optional<char32_t> code;
        switch (c) {
            case '\\':
            case '"':
            case '\'':
                out += c;
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 'x':
                code = Hex(2);
                break;
            case 'u':
                code = UnicodeEscape();
                break;
            default:
                return false;
        }
        if (!code || *code == 0) return false;
        text::AppendUtf8(out, *code);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// Every pref of the file by name; a name set twice keeps its last value, as in Firefox.
std::map<std::string, PrefValue, std::less<>> ReadPrefs(std::string_view text) {
    std::map<std::string, PrefValue, std::less<>> prefs;
    PrefsCursor cursor(text);
    while (!cursor.AtEnd()) {
        const std::size_t start = cursor.Position();
        const std::string_view kind = cursor.Word();
        const bool isPref = kind == "user_pref" || kind == "pref" || kind == "sticky_pref";
        std::optional<std::string> name;
        std::optional<PrefValue> value;
        if (isPref && cursor.Take('(') && (name = cursor.StringLiteral()) && cursor.Take(',') &&
            (value = cursor.Value()) && cursor.Take(')') && cursor.Take(';')) {
            prefs.insert_or_assign(std::move(*name), std::move(*value));
        } else {
            cursor.SkipLineOf(start);
        }
    }
    return prefs;
}

template <typename T>
const T* Find(const std::map<std::string, PrefValue, std::less<>>& prefs, std::string_view name) {
    const auto found = prefs.find(name);
    return found == prefs.end() ? nullptr : std::get_if<T>(&found->second);
}

// "browser.startup.page" in words.
std::string StartupChoiceText(std::int64_t choice) {
    switch (choice) {
        case 0:
            return "open a blank page";
        case 1:
            return "open the home page";
        case 2:
            return "open the last visited page";
        case 3:
            return "restore the last session";
        default:
            return "unknown choice";
    }
}

// A name that points into the browser's own string tables ("chrome://...properties",
// "data:..."), which only the browser can look up: it names no engine the user would know.
bool IsLocalisedReference(std::string_view name) {
    return text::StartsWith(name, "chrome:") || text::StartsWith(name, "data:") ||
           text::StartsWith(name, "resource:");
}

}  // namespace

BrowserSettings ParseFirefoxPrefs(std::string_view prefsJs) {
    BrowserSettings settings;
    settings.readable = true;
    if (text::StartsWith(prefsJs, "\xEF\xBB\xBF")) prefsJs.remove_prefix(3);  // a byte-order mark
    const auto prefs = ReadPrefs(prefsJs);
    if (const auto* pages = Find<std::string>(prefs, "browser.startup.homepage")) {
        for (const std::string_view page : text::Split(*pages, '|')) {
            const std::string_view trimmed = text::TrimView(page);
            if (!trimmed.empty()) settings.startPages.emplace_back(trimmed);
        }
    }
    if (const auto* choice = Find<std::int64_t>(prefs, "browser.startup.page")) {
        settings.startupChoiceNumber = *choice;
        settings.startupChoice = StartupChoiceText(*choice);
    }
    for (const char* name :
         {"browser.search.defaultenginename", "browser.urlbar.placeholderName"}) {
        const auto* engine = Find<std::string>(prefs, name);
        if (engine && !engine->empty() && !IsLocalisedReference(*engine)) {
            settings.searchEngineName = *engine;
            break;
        }
    }
    return settings;
}

}  // namespace qm::shields
