#include "ui/Controls.h"

#include <algorithm>

#include "text/Text.h"

namespace qm::ui {

namespace {
const std::string kEmpty;
}

const std::string& ListItem::SubItem(std::size_t n) const {
    if (n == 0 || n > subItems.size()) return kEmpty;
    return subItems[n - 1];
}

void ListItem::SetSubItem(std::size_t n, std::string value) {
    if (n == 0) return;
    if (subItems.size() < n) subItems.resize(n);
    subItems[n - 1] = std::move(value);
}

ListItem& ListView::Add(std::string text, int icon) {
    rows.push_back(ListItem{std::move(text), {}, icon, false});
    return rows.back();
}

const std::string& ListView::CellText(const ListItem& row, int column) const {
    if (column <= 0) return row.text;
    return row.SubItem(static_cast<std::size_t>(column));
}

void ListView::Sort() {
    std::stable_sort(rows.begin(), rows.end(), [this](const ListItem& a, const ListItem& b) {
        const int c = text::CompareNoCase(CellText(a, sortKey), CellText(b, sortKey));
        return sortOrder == SortOrder::Ascending ? c < 0 : c > 0;
    });
}

}  // namespace qm::ui
