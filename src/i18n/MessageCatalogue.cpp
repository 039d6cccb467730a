#include "i18n/MessageCatalogue.h"

#include "text/Text.h"

namespace qm::i18n {

MessageCatalogue::MessageCatalogue(std::string programName, std::string companyName)
    : programName_(std::move(programName)), companyName_(std::move(companyName)) {}

void MessageCatalogue::SetPlaceholders(std::string programName, std::string companyName) {
    programName_ = std::move(programName);
    companyName_ = std::move(companyName);
}

void MessageCatalogue::setMessage(std::string_view key, std::string_view text) {
    for (auto& slot : slots_) {
        if (slot.inUse) continue;
        slot.inUse = true;
        slot.key = std::string(key);
        slot.text = std::string(text);
        return;
    }
}

std::string MessageCatalogue::getMessages(std::string_view key) const {
    std::string result = Fragment(key);
    if (!result.empty() && !text::IsLeadByte(result[0])) result[0] = text::UpperChar(result[0]);
    return result;
}

std::string MessageCatalogue::Fragment(std::string_view key) const {
    const std::string wanted = text::Upper(key);
    for (const auto& slot : slots_) {
        if (text::Upper(slot.key) == wanted) {
            std::string result = text::ReplaceAllNoCase(slot.text, "[ProgramName]", programName_);
            return text::ReplaceAllNoCase(result, "[CompanyName]", companyName_);
        }
        if (!slot.inUse) break;
    }
    return {};
}

std::string WithItem(std::string_view message, std::string_view item) {
    return text::ReplaceAllNoCase(message, "[Item]", item);
}

}  // namespace qm::i18n
