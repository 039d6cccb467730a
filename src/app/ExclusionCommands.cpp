#include "app/ExclusionCommands.h"

#include <algorithm>

#include "text/Text.h"

namespace qm::app {

namespace {

void RemoveCheckedRows(ui::ListView& list) {
    std::erase_if(list.rows, [](const ui::ListItem& row) { return row.checked; });
}

}  // namespace

void ExclusionCommands::ExcludeCheckedResults() {
    ui::ListView& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    const std::string& product = context_.product.productName;
    if (results.rows.empty() && form_.lvwRegistryToBeDeleted.rows.empty() &&
        form_.lvwSpywareFound.rows.empty()) {
        context_.prompts.ShowMessage(Message("MSG_SORRY"), product, ui::MessageButtons::Ok,
                                     ui::MessageIcon::Information);
        return;
    }
    const std::string question = Message("MSG_EXC_SURE1") + "\r\n\r\n" + Message("MSG_EXC_SURE2") +
                                 "\r\n\r\n" + Message("MSG_EXC_SURE3");
    if (context_.prompts.ShowMessage(question, Message("MSG_EXC_SURE4"), ui::MessageButtons::YesNo,
                                     ui::MessageIcon::Question) != ui::MessageAnswer::Yes) {
        return;
    }
    for (const auto& row : results.rows) {
        if (!row.checked) continue;
        store_.AddExclusion(row.SubItem(1), events_);
        // A cookie row's text is "Cookie: " and the cookie's name; the name is what is kept.
        store_.AddExclusion(text::ReplaceAll(row.text, "Cookie: ", ""), events_);
    }
    RemoveCheckedRows(form_.lvwFilesToBeDeleted);
    RemoveCheckedRows(form_.lvwRegistryToBeDeleted);
    RemoveCheckedRows(form_.lvwSpywareFound);
    RemoveCheckedRows(form_.lvwCookiesToDelete);
    form_.lblDeletingCaption.caption.clear();
    RemoveCheckedRows(results);
}

void ExclusionCommands::ViewExclusions() {
    const std::string path = store_.ExclusionFilePath();
    const auto attributes = context_.platform.files.Attributes(path);
    if (attributes && (*attributes & platform::attr::kDirectory) == 0) {
        context_.platform.launcher.Run("notepad " + path);
        return;
    }
    context_.prompts.ShowMessage(Message("MSG_EXCLUDE1"), Message("MSG_EXCLUDE2"),
                                 ui::MessageButtons::Ok, ui::MessageIcon::None);
}

}  // namespace qm::app
