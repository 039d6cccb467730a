#include "removal/PropagateCheck.h"

namespace qm::removal {

void PropagateCheck(ui::FrmMain& form, const ui::ListItem& row) {
    const bool mark = row.checked;
    switch (row.icon) {
        case ui::detection::kCookie:
            for (auto& w : form.lvwCookiesToDelete.rows) {
                if (w.text == row.SubItem(1)) w.checked = mark;
            }
            break;
        case ui::detection::kRegistry:
            for (auto& w : form.lvwRegistryToBeDeleted.rows) {
                if (w.SubItem(1) == row.text || w.SubItem(3) == row.text) w.checked = mark;
            }
            break;
        case ui::detection::kFile:
            for (auto& w : form.lvwFilesToBeDeleted.rows) {
                if (w.SubItem(1) == row.text) w.checked = mark;
            }
            break;
        case ui::detection::kFolder:
            for (auto& w : form.lvwFilesToBeDeleted.rows) {
                if (w.text == row.SubItem(1)) w.checked = mark;
            }
            break;
        default:
            break;
    }
}

void SelectAll(ui::FrmMain& form) {
    for (auto& row : form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
        if (row.checked) continue;
        row.checked = true;
        PropagateCheck(form, row);
    }
}

}  // namespace qm::removal
