// The language window: the languages of the translation file listed, one chosen and applied,
// newer translations fetched, and the file opened for translating.

#include "app/Application.h"

#include <algorithm>

#include "text/Text.h"

namespace qm::app {

void Application::FillLanguageList() {
    ui::ComboBox& list = form_.frmLanguage.Combo1;
    list.items = {form_.frmLanguage.Combo1Prompt};
    std::vector<std::string> names = localization_.LanguageNames();
    // The built-in English is there to choose even without a translation file.
    if (std::none_of(names.begin(), names.end(),
                     [](const std::string& n) { return text::EqualsNoCase(n, "English"); })) {
        names.insert(names.begin(), "English");
    }
    for (std::string& name : names)
        list.items.push_back(std::move(name));
    const std::string current =
        Settings().Read(settings::section::kSettings, "Language", "English");
    list.listIndex = 0;
    for (std::size_t i = 1; i < list.items.size(); ++i) {
        if (text::EqualsNoCase(list.items[i], current)) list.listIndex = static_cast<int>(i);
    }
}

void Application::ShowLanguageWindow() {
    ui::FrmLanguage& window = form_.frmLanguage;
    window.caption = Message("MSG_TITLELANGUAGE");
    FillLanguageList();
    window.visible = true;
}

void Application::LanguageChosen(int index) {
    ui::ComboBox& list = form_.frmLanguage.Combo1;
    if (index <= 0 || index >= static_cast<int>(list.items.size())) return;
    list.listIndex = index;
    language_ = list.items[static_cast<std::size_t>(index)];
    Settings().Write(settings::section::kSettings, "Language", language_);
    localization_.ChangeLanguage(form_, language_);
    form_.frmLanguage.caption = Message("MSG_TITLELANGUAGE");
}

void Application::CheckLanguageUpdates() {
    const update::UpdateTrust trust = UpdateTrust();
    const auto outcome = localization_.DownloadNewer(
        ServerAddress(),
        {trust.programFolder, store_.Files().DataFolder(), "", trust.allowUnsigned});
    if (outcome == Localization::Download::Unverified) {
        frontEnd_.prompts.ShowMessage(Message("MSG_TRANSLATION_NOT_VERIFIED"), product_.productName,
                                      ui::MessageButtons::Ok, ui::MessageIcon::Exclamation);
    }
    if (outcome != Localization::Download::Replaced) return;
    FillLanguageList();
    frontEnd_.prompts.ShowMessage(Message("MSG_DOWNLOADED"), product_.productName,
                                  ui::MessageButtons::Ok, ui::MessageIcon::Information);
}

void Application::TranslateProgram() {
    const std::string path = localization_.FilePath();
    if (frontEnd_.platform.files.Attributes(path)) frontEnd_.platform.launcher.Open(path);
}

}  // namespace qm::app
