#pragma once
// The translation of the program: `Localization.txt` in the program's folder, read as UTF-8 and
// turned into the system's code page; a language applied to every window's captions and to the
// message catalogue; the English template written from the windows as they stand; and a newer
// file fetched from the language server.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "i18n/Languages.h"
#include "ui/FrmMain.h"
#include "update/AnswerVerifier.h"
#include "work/Context.h"

namespace qm::app {

inline constexpr const char* kLocalizationFile = "Localization.txt";
// Larger files are not translations: they are skipped rather than read into memory.
inline constexpr std::uint64_t kLargestTranslationFile = 16u * 1024 * 1024;

struct LocalizationServices {
    // A language replaces the messages of the catalogue lent here.
    work::Context context;
    std::string programFolder;  // without a trailing separator
};

class Localization {
  public:
    explicit Localization(LocalizationServices services);

    std::string FilePath() const;
    // The file's text in the system's code page, a byte-order mark dropped; nothing when there
    // is no file, it cannot be read, or it is too large to be a translation.
    std::optional<std::string> ReadFile() const;
    // The languages of the file, in file order; empty without a file.
    std::vector<std::string> LanguageNames() const;

    // `ChangeLanguage` over every window and the catalogue: the language's items ("English"
    // when it has none), laid over each caption they name and over the catalogue's texts.
    // Both start again from their own texts first, so that no earlier language shows through.
    void ChangeLanguage(ui::FrmMain& form, const std::string& language);

    // `makeLocalizationFile`: the English template from the windows' captions and the
    // catalogue as they stand, written in one piece; false when it could not be written.
    bool WriteTemplate(ui::FrmMain& form, const std::string& path);

    // `Command1`: the newer file from the language server at `serverBase`. A translation the
    // maker signed replaces the file (written beside it, then moved into place); anything else
    // leaves it.
    enum class Download { Replaced, NotATranslation, NotWritten, Unverified };
    Download DownloadNewer(const std::string& serverBase, update::VerifierSettings trust);

    const i18n::Languages& Languages() const { return languages_; }

  private:
    // Each caption in the order VisitCaptions gives them: its own text and the translation
    // laid over it, so that a language silent on an item never leaves an earlier one showing.
    struct LaidOver {
        std::string own;
        std::string translation;
    };

    LocalizationServices services_;
    i18n::Languages languages_;
    std::vector<LaidOver> laidOver_;
};

}  // namespace qm::app
