#pragma once
// Every run-time message, looked up by its MSG_ key, with the product and company names
// filled in. A translation overwrites texts in place; keys and slot order never change.

#include <array>
#include <string>
#include <string_view>

namespace qm::i18n {

struct MessageEntry {
    std::string key;
    std::string text;
    bool inUse = false;
};

class MessageCatalogue {
  public:
    static constexpr std::size_t kSlots = 201;

    MessageCatalogue() = default;
    MessageCatalogue(std::string programName, std::string companyName);

    void SetPlaceholders(std::string programName, std::string companyName);

    // Stores a new entry in the first free slot; a full table stores nothing.
    void setMessage(std::string_view key, std::string_view text);
    // The first entry's text for the key (any case) with "[ProgramName]" and "[CompanyName]"
    // replaced and the first letter upper-cased; empty for an unknown key.
    std::string getMessages(std::string_view key) const;
    // The same without upper-casing the first letter: a word that stands inside a line or a
    // list cell ("not deleted").
    std::string Fragment(std::string_view key) const;
    // Replaces the text of every slot whose key is given a non-empty translation.
    template <typename Lookup>
    void Translate(Lookup lookup) {
        for (auto& slot : slots_) {
            if (!slot.inUse) break;
            std::string translated = lookup(slot.key);
            if (!translated.empty()) slot.text = std::move(translated);
        }
    }

    const std::array<MessageEntry, kSlots>& Slots() const { return slots_; }

  private:
    std::array<MessageEntry, kSlots> slots_;
    std::string programName_;
    std::string companyName_;
};

// Stores the built-in English messages in their fixed order: the 70 of the first table, then
// the ones added later.
void LoadDefaultMessages(MessageCatalogue& catalogue);

// A message that names an item (a path, a quarantine name, a reason) where it says "[Item]"
// (any case); a translation puts the placeholder where its language wants it.
std::string WithItem(std::string_view message, std::string_view item);

}  // namespace qm::i18n
