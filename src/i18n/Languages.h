#pragma once
// `clsLanguages`: the items of the current language, loaded from the translation file's text,
// looked up by item name with the placeholders filled in, and laid over the message catalogue.

#include <optional>
#include <string>
#include <string_view>

#include "i18n/MessageCatalogue.h"
#include "i18n/TranslationFile.h"

namespace qm::i18n {

struct Placeholders {
    std::string programName;
    std::string companyName;
    std::string website;
};

class Languages {
  public:
    explicit Languages(Placeholders placeholders) : placeholders_(std::move(placeholders)) {}

    // `LoadLanguageItems`: `language` becomes current; the group of that name in `file` (the
    // file's text, nothing when there is no file) replaces the items, or, when there is no
    // such group, the previous items stay; English, the program's own, then has none.
    void LoadLanguageItems(const std::optional<std::string>& file, std::string_view language);
    // Loads `language`, and "English" instead when that leaves no items or a single line.
    void Choose(const std::optional<std::string>& file, std::string_view language);

    // `getCaption`: the item's text with "[ProgramName]", "[CompanyName]" and "[Website]"
    // filled in (any case) and its first letter upper-cased; empty for an unknown item.
    std::string getCaption(std::string_view name) const;
    // Every catalogue slot with a non-empty item of its key takes that text.
    void TranslateCatalogue(MessageCatalogue& catalogue) const;

    const std::string& Current() const { return current_; }
    std::size_t ItemLines() const { return items_.LineCount(); }

  private:
    Placeholders placeholders_;
    std::string current_ = "English";
    TranslationItems items_;
};

}  // namespace qm::i18n
