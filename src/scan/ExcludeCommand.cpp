// The results page's Exclude command: the checked Detections become exclusions and leave every
// list, so the next scan passes them over and nothing offers them for removal.

#include <algorithm>

#include "definitions/Text.h"
#include "scan/ScanSession.h"

namespace qm::scan {

namespace {

void RemoveCheckedRows(ui::ListView& list) {
    std::erase_if(list.rows, [](const ui::ListItem& row) { return row.checked; });
}

}  // namespace

void ScanSession::ExcludeCheckedResults() {
    ui::ListView& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    const std::string& product = services_.product.productName;
    if (results.rows.empty() && form_.lvwRegistryToBeDeleted.rows.empty() &&
        form_.lvwSpywareFound.rows.empty()) {
        services_.prompts.ShowMessage(Message("MSG_SORRY"), product, ui::MessageButtons::Ok,
                                      ui::MessageIcon::Information);
        return;
    }
    const std::string question = Message("MSG_EXC_SURE1") + "\r\n\r\n" + Message("MSG_EXC_SURE2") +
                                 "\r\n\r\n" + Message("MSG_EXC_SURE3");
    if (services_.prompts.ShowMessage(question, Message("MSG_EXC_SURE4"), ui::MessageButtons::YesNo,
                                      ui::MessageIcon::Question) != ui::MessageAnswer::Yes) {
        return;
    }
    for (const auto& row : results.rows) {
        if (!row.checked) continue;
        AddExclusion(row.SubItem(1));
        // A cookie row's text is "Cookie: " and the cookie's name; the name is what is kept.
        AddExclusion(text::ReplaceAll(row.text, "Cookie: ", ""));
    }
    RemoveCheckedRows(form_.lvwFilesToBeDeleted);
    RemoveCheckedRows(form_.lvwRegistryToBeDeleted);
    RemoveCheckedRows(form_.lvwSpywareFound);
    RemoveCheckedRows(form_.lvwCookiesToDelete);
    form_.lblDeletingCaption.caption.clear();
    RemoveCheckedRows(results);
}

void ScanSession::ViewExclusions() {
    const std::string path = ExclusionFilePath();
    const auto attributes = services_.platform.files.Attributes(path);
    if (attributes && (*attributes & platform::attr::kDirectory) == 0) {
        services_.platform.launcher.Run("notepad " + path);
        return;
    }
    services_.prompts.ShowMessage(Message("MSG_EXCLUDE1"), Message("MSG_EXCLUDE2"),
                                  ui::MessageButtons::Ok, ui::MessageIcon::None);
}

}  // namespace qm::scan
