#include "app/Localization.h"

#include "text/Text.h"
#include "text/TextFile.h"
#include "ui/Captions.h"
#include "update/HttpText.h"

namespace qm::app {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

Localization::Localization(LocalizationServices services)
    : services_(std::move(services)),
      languages_(i18n::Placeholders{services_.context.product.productName,
                                    services_.context.product.companyName,
                                    services_.context.product.website}) {}

std::string Localization::FilePath() const {
    return services_.programFolder + "\\" + kLocalizationFile;
}

std::optional<std::string> Localization::ReadFile() const {
    auto bytes = platform::ReadWholeFile(services_.context.platform.files, FilePath(),
                                         kLargestTranslationFile);
    if (!bytes) return std::nullopt;
    std::string_view utf8 = *bytes;
    if (text::StartsWith(utf8, kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
    return services_.context.platform.encoding.Utf8ToAnsi(utf8);
}

std::vector<std::string> Localization::LanguageNames() const {
    const auto file = ReadFile();
    return file ? i18n::LanguageNames(*file) : std::vector<std::string>{};
}

void Localization::ChangeLanguage(ui::FrmMain& form, const std::string& language) {
    const auto file = ReadFile();
    languages_.Choose(file, language);
    std::size_t at = 0;
    ui::VisitCaptions(form, [&](const std::string& item, std::string& caption) {
        if (at == laidOver_.size()) laidOver_.push_back({caption, caption});
        LaidOver& was = laidOver_[at++];
        // What the last language put there goes back to what it covered; a text the program
        // wrote since is the caption's own now.
        if (caption == was.translation) caption = was.own;
        was.own = caption;
        std::string translated = languages_.getCaption(item);
        if (!translated.empty()) caption = std::move(translated);
        was.translation = caption;
    });
    i18n::MessageCatalogue& messages = services_.context.messages;
    messages = i18n::MessageCatalogue(services_.context.product.productName,
                                      services_.context.product.companyName);
    i18n::LoadDefaultMessages(messages);
    languages_.TranslateCatalogue(messages);
}

bool Localization::WriteTemplate(ui::FrmMain& form, const std::string& path) {
    std::vector<std::string> lines = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<XML_DIZ_INFO>",
        "\t<LOCALIZATION_FILE_INFO>",
        "\t\t<LOCALIZATION_FILE_VERSION>1.0</LOCALIZATION_FILE_VERSION>",
        "\t</LOCALIZATION_FILE_INFO>",
        "<LANGUAGE_GROUP xml:lang=\"en\">",
        "\t<LANGUAGE_NAME>English</LANGUAGE_NAME>",
        "\t<DESCRIPTION>This file contains various translations of program buttons, messages "
        "and menus in XML format.  The original document was created using translation "
        "software, and may sound strange when read by people.  We invite you to make "
        "modifications to existing languages and translate new languages.  Please send them to "
        "us so that we can update this file and make your translation available to all users.  "
        "Our current email address is located on our homepage which can be visited through the "
        "software or our program folder on your Start Menu.  Before making changes to a "
        "localization file please use the program to download the most recent localization "
        "file using the 'Check for Language Updates' button in the Languages "
        "window.</DESCRIPTION>",
        "\t<TRANSLATION_ITEMS>",
    };
    const auto item = [&](const std::string& name, const std::string& value) {
        lines.push_back("\t\t<" + name + ">" + value + "</" + name + ">");
    };
    // An item is one line: a line break in a text becomes a blank.
    const auto oneLine = [](const std::string& s) {
        return text::ReplaceAll(text::ReplaceAll(s, "\r", " "), "\n", " ");
    };
    ui::VisitCaptions(
        form, [&](const std::string& name, std::string& caption) { item(name, oneLine(caption)); });
    for (const i18n::MessageEntry& slot : services_.context.messages.Slots()) {
        if (!slot.inUse) break;
        item(text::Upper(slot.key), oneLine(slot.text));
    }
    lines.insert(lines.end(), {"\t</TRANSLATION_ITEMS>", "</LANGUAGE_GROUP>", "</XML_DIZ_INFO>"});
    return text::WriteAllLines(services_.context.platform.files, path, lines);
}

Localization::Download Localization::DownloadNewer(const std::string& serverBase,
                                                   update::VerifierSettings trust) {
    const auto received =
        update::HttpGetText(services_.context.platform.http, services_.context.pump,
                            serverBase + "/Languages/0/Localization.txt");
    if (!received) return Download::NotATranslation;
    // Every text of the program's windows comes from this file: one the maker did not sign
    // could put any words in them.
    trust.keysUrl = serverBase + "/keys";
    update::AnswerVerifier verifier(services_.context.platform, services_.context.pump, trust);
    const update::CheckedAnswer checked =
        verifier.Check(update::SignedPurpose::Translation, *received, "");
    if (!update::Trusted(checked.verdict)) return Download::Unverified;
    const std::string& answer = checked.payload;
    // An answer cut off before its items end is no translation either.
    if (!text::ContainsNoCase(answer, "<TRANSLATION_ITEMS>") ||
        !text::ContainsNoCase(answer, "</TRANSLATION_ITEMS>")) {
        return Download::NotATranslation;
    }
    const std::size_t first = answer.find('<');
    // A file the reader would refuse for its size must not replace one it can read: every
    // translation would be gone.
    if (answer.size() - first > kLargestTranslationFile) return Download::NotATranslation;
    // Written beside the file and moved into place: a cut-off write never replaces it.
    if (!services_.context.platform.files.WriteWholeFile(FilePath(), answer.substr(first)))
        return Download::NotWritten;
    return Download::Replaced;
}

}  // namespace qm::app
