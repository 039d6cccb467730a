#include "i18n/TranslationFile.h"

#include "text/Text.h"

namespace qm::i18n {

namespace {

constexpr std::string_view kGroupOpen = "<LANGUAGE_GROUP";
constexpr std::string_view kGroupClose = "</LANGUAGE_GROUP>";

// The text between the first `open` and the following `close` in `text`; nothing when either
// is missing.
std::optional<std::string_view> Between(std::string_view text, std::string_view open,
                                        std::string_view close) {
    const std::size_t start = text::FindNoCase(text, open);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t from = start + open.size();
    const std::size_t end = text::FindNoCase(text, close, from);
    if (end == std::string_view::npos) return std::nullopt;
    return text.substr(from, end - from);
}

// Calls `each` with every group's block, in file order. A group without its closing tag runs
// to the end of the file.
template <typename Each>
void ForEachGroup(std::string_view file, Each each) {
    std::size_t at = 0;
    while (at < file.size()) {
        const std::size_t start = text::FindNoCase(file, kGroupOpen, at);
        if (start == std::string_view::npos) return;
        std::size_t end = text::FindNoCase(file, kGroupClose, start);
        if (end == std::string_view::npos) end = file.size();
        if (!each(file.substr(start, end - start))) return;
        at = end + kGroupClose.size();
    }
}

std::string NameOf(std::string_view group) {
    const auto name = Between(group, "<LANGUAGE_NAME>", "</LANGUAGE_NAME>");
    return name ? text::Trim(*name) : std::string();
}

}  // namespace

std::vector<std::string> LanguageNames(std::string_view file) {
    std::vector<std::string> names;
    ForEachGroup(file, [&](std::string_view group) {
        std::string name = NameOf(group);
        bool known = name.empty();
        for (const std::string& n : names)
            known = known || text::EqualsNoCase(n, name);
        if (!known) names.push_back(std::move(name));
        return true;
    });
    return names;
}

std::optional<std::string> SelectGroup(std::string_view file, std::string_view language) {
    std::optional<std::string> selected;
    ForEachGroup(file, [&](std::string_view group) {
        if (!text::EqualsNoCase(NameOf(group), text::Trim(language))) return true;
        // The first group of the name decides, even when its items block is missing.
        if (const auto items = Between(group, "<TRANSLATION_ITEMS>", "</TRANSLATION_ITEMS>"))
            selected = std::string(*items);
        return false;
    });
    return selected;
}

void TranslationItems::Assign(std::string_view block) {
    index_.clear();
    lineCount_ = 0;
    for (std::string_view line : text::Split(block, '\n')) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineCount_;
        if (line.empty()) continue;
        // The head: the text before the first ">", from just after its first "<" when it is
        // longer than two characters.
        std::string_view head = line.substr(0, line.find('>'));
        if (head.size() > 2) {
            const std::size_t lt = head.find('<');
            if (lt != std::string_view::npos) head.remove_prefix(lt + 1);
        }
        std::string key = text::Upper(head);
        if (key.empty() || index_.count(key)) continue;
        // The text between "<NAME>" and "</NAME>"; without its closing tag the item is empty,
        // and an empty text never replaces a caption.
        const std::string open = "<" + std::string(head) + ">";
        const std::string close = "</" + std::string(head) + ">";
        const auto found = Between(line, open, close);
        index_.emplace(std::move(key), found ? std::string(*found) : std::string());
    }
}

std::string TranslationItems::Find(std::string_view name) const {
    const auto it = index_.find(text::Upper(name));
    return it == index_.end() ? std::string() : it->second;
}

}  // namespace qm::i18n
