#pragma once
// What the server's date answers are cut down to before the system's date parser reads them.

#include <string>
#include <string_view>

namespace qm::update {

// Trimmed of blanks, every tab, CR and LF taken out, and cut right after the first "PM" (any
// case), else right after the first "AM": whatever a server puts after the time (markup,
// blanks) is not part of the date.
std::string CleanDateAnswer(std::string_view answer);

}  // namespace qm::update
