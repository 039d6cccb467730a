#pragma once

#include <string>
#include <string_view>

namespace qm::scan {

// Removes offensive words from a text bound for the status line, wherever they occur and
// whatever their case, one word after the other. File names are shown as they are found, so
// this keeps a scan's screen presentable; only the displayed text is affected.
std::string StatusWordFilter(std::string_view text);

}  // namespace qm::scan
