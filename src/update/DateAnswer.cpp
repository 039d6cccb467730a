#include "update/DateAnswer.h"

#include <algorithm>

#include "text/Text.h"

namespace qm::update {

std::string CleanDateAnswer(std::string_view answer) {
    std::string text(text::TrimView(answer));
    std::erase_if(text, [](char c) { return c == '\t' || c == '\r' || c == '\n'; });
    for (const char* marker : {"PM", "AM"}) {
        const std::size_t at = text::FindNoCase(text, marker);
        if (at != std::string::npos) {
            text.resize(at + 2);
            break;
        }
    }
    return text;
}

}  // namespace qm::update
