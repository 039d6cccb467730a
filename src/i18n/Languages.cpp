#include "i18n/Languages.h"

#include "text/Text.h"

namespace qm::i18n {

void Languages::LoadLanguageItems(const std::optional<std::string>& file,
                                  std::string_view language) {
    current_ = std::string(language);
    if (auto block = file ? SelectGroup(*file, language) : std::nullopt) {
        items_.Assign(*block);
    } else if (text::EqualsNoCase(text::Trim(language), "English")) {
        // The program's own texts are English: without a group of its own English lays nothing
        // over them, rather than keep the language chosen before under its name.
        items_ = TranslationItems();
    }
}

void Languages::Choose(const std::optional<std::string>& file, std::string_view language) {
    LoadLanguageItems(file, language);
    if (items_.LineCount() <= 1) LoadLanguageItems(file, "English");
}

std::string Languages::getCaption(std::string_view name) const {
    std::string caption = items_.Find(name);
    if (caption.empty()) return caption;
    caption = text::ReplaceAllNoCase(caption, "[ProgramName]", placeholders_.programName);
    caption = text::ReplaceAllNoCase(caption, "[CompanyName]", placeholders_.companyName);
    caption = text::ReplaceAllNoCase(caption, "[Website]", placeholders_.website);
    if (!caption.empty()) caption[0] = text::UpperChar(caption[0]);
    return caption;
}

void Languages::TranslateCatalogue(MessageCatalogue& catalogue) const {
    catalogue.Translate([&](const std::string& key) { return getCaption(key); });
}

}  // namespace qm::i18n
