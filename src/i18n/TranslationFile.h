#pragma once
// The translation file: one LANGUAGE_GROUP per language, each with its LANGUAGE_NAME and a
// TRANSLATION_ITEMS block of one `<NAME>text</NAME>` line per item. The reader takes the text
// as it is (already in the program's code page); every tag is matched without regard to case.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm::i18n {

// The language names of the file's groups, in file order, each name once.
std::vector<std::string> LanguageNames(std::string_view file);

// The TRANSLATION_ITEMS text of the first group named `language` (any case); nothing when no
// group has that name or the group has no items block.
std::optional<std::string> SelectGroup(std::string_view file, std::string_view language);

// The items of one language: its lines, and an index by item name in which the first line of
// a name wins, so a lookup costs one hash rather than a walk over every line.
class TranslationItems {
  public:
    // Splits the block into lines (CR LF or LF) and indexes them.
    void Assign(std::string_view block);
    std::size_t LineCount() const { return lineCount_; }
    // The item's raw text (placeholders not filled in); empty for an unknown name.
    std::string Find(std::string_view name) const;

  private:
    std::size_t lineCount_ = 0;
    std::unordered_map<std::string, std::string> index_;  // by upper-cased name
};

}  // namespace qm::i18n
