#include "scan/RiskAndDetails.h"

#include "definitions/Categories.h"

namespace qm::scan {

namespace {
constexpr std::size_t kTypeColumn = 2;
constexpr std::size_t kRiskColumn = 3;
constexpr std::size_t kDetailsColumn = 4;
}  // namespace

void FillRiskAndDetails(ui::ListView& results) {
    for (auto& row : results.rows) {
        const defs::ThreatCategory* category = defs::FindCategory(row.SubItem(kTypeColumn));
        if (!category) continue;
        row.SetSubItem(kRiskColumn, std::string(category->risk));
        row.SetSubItem(kDetailsColumn, std::string(category->details));
    }
}

}  // namespace qm::scan
