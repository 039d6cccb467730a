#pragma once
// The fixed table that turns a Detection's category ("Type") into its risk and description.

#include <cstddef>
#include <string_view>

namespace qm::defs {

struct ThreatCategory {
    std::string_view name;  // empty for a signature without a category
    std::string_view risk;
    std::string_view details;
};

// The table's entry for a "Type" text, or nothing for a category the table does not know.
const ThreatCategory* FindCategory(std::string_view type);
std::size_t CategoryCount();

}  // namespace qm::defs
