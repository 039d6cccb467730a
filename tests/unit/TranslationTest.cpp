// The translation file read and applied: the item rules, the group choice and its fallback,
// the file's encodings, the template written from the windows and read back, and a newer file
// from the language server.

#include <gtest/gtest.h>

#include "app/Localization.h"
#include "i18n/Languages.h"
#include "support/FakeApplication.h"
#include "text/Text.h"
#include "ui/Captions.h"
#include "update/LiveUpdate.h"

namespace qm::i18n {
namespace {

std::string Group(const std::string& name, const std::string& items) {
    return "<LANGUAGE_GROUP xml:lang=\"x\">\r\n\t<LANGUAGE_NAME>" + name +
           "</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n" + items +
           "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n";
}

struct ItemCase {
    const char* what;
    std::string file;
    const char* language;
    const char* item;
    const char* expected;
};

class ItemLookup : public testing::TestWithParam<ItemCase> {};

TEST_P(ItemLookup, FindsTheItemAsTheFileGivesIt) {
    Languages languages({"Quillmarsh", "Quillmarsh Software", "www.quillmarsh.example"});
    languages.Choose(GetParam().file, GetParam().language);
    EXPECT_EQ(languages.getCaption(GetParam().item), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Translation, ItemLookup,
    testing::Values(
        ItemCase{"names match without regard to case",
                 Group("Deutsch", "\t\t<frmmain_cmdscan>Scannen</FRMMAIN_CMDSCAN>\r\n"), "Deutsch",
                 "FrmMain_cmdScan", "Scannen"},
        ItemCase{"placeholders in any case, first letter upper-cased",
                 Group("Deutsch",
                       "\t\t<MSG_SURE>[programname]?</MSG_SURE>\r\n"
                       "\t\t<MSG_X>zu [website]</MSG_X>\r\n"),
                 "Deutsch", "MSG_SURE", "Quillmarsh?"},
        ItemCase{
            "the first letter upper-cased",
            Group("Deutsch", "\t\t<MSG_SURE>x</MSG_SURE>\r\n\t\t<MSG_X>zu [website]</MSG_X>\r\n"),
            "Deutsch", "MSG_X", "Zu www.quillmarsh.example"},
        ItemCase{"a group named in lower case",
                 Group("deutsch", "\t\t<A_B>eins</A_B>\r\n\t\t<C_D>x</C_D>\r\n"), "Deutsch", "A_B",
                 "Eins"},
        ItemCase{"the first of two groups of a name wins",
                 Group("Deutsch", "\t\t<A_B>erste</A_B>\r\n\t\t<C_D>x</C_D>\r\n") +
                     Group("Deutsch", "\t\t<A_B>zweite</A_B>\r\n\t\t<C_D>x</C_D>\r\n"),
                 "Deutsch", "A_B", "Erste"},
        ItemCase{"the first line of an item wins",
                 Group("Deutsch", "\t\t<A_B>erste</A_B>\r\n\t\t<A_B>zweite</A_B>\r\n"), "Deutsch",
                 "A_B", "Erste"},
        ItemCase{"an item without its closing tag is empty",
                 Group("Deutsch", "\t\t<A_B>offen\r\n\t\t<C_D>x</C_D>\r\n"), "Deutsch", "A_B", ""},
        ItemCase{"lines ending in LF alone",
                 "<LANGUAGE_GROUP>\n<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>\n<TRANSLATION_ITEMS>\n"
                 "<A_B>eins</A_B>\n<C_D>zwei</C_D>\n</TRANSLATION_ITEMS>\n</LANGUAGE_GROUP>\n",
                 "Deutsch", "C_D", "Zwei"},
        ItemCase{"a whole group on one line keeps its first item",
                 "<LANGUAGE_GROUP><LANGUAGE_NAME>Deutsch</LANGUAGE_NAME><TRANSLATION_ITEMS>"
                 "<A_B>eins</A_B><C_D>zwei</C_D></TRANSLATION_ITEMS></LANGUAGE_GROUP>",
                 "English", "A_B", ""},
        ItemCase{"a language that is not there falls back to English",
                 Group("English", "\t\t<A_B>english</A_B>\r\n\t\t<C_D>x</C_D>\r\n"), "Klingon",
                 "A_B", "English"},
        ItemCase{"nested and unclosed groups",
                 "<LANGUAGE_GROUP><LANGUAGE_GROUP><LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>"
                 "<TRANSLATION_ITEMS>\r\n<A_B>eins</A_B>\r\n",
                 "Deutsch", "A_B", ""}));

TEST(Translation, ALanguageMissingFromTheFileKeepsTheItemsLoadedBefore) {
    Languages languages({"Quillmarsh", "Quillmarsh Software", ""});
    const std::string file = Group("Deutsch", "\t\t<A_B>eins</A_B>\r\n\t\t<C_D>x</C_D>\r\n");
    languages.Choose(file, "Deutsch");
    languages.Choose(file, "Klingon");
    EXPECT_EQ(languages.getCaption("A_B"), "Eins");
    EXPECT_EQ(languages.Current(), "Klingon");
}

}  // namespace
}  // namespace qm::i18n

namespace qm::app {
namespace {

constexpr const char* kFile = "C:\\Program Files\\Quillmarsh\\Localization.txt";

TEST(Translation, TheFileIsReadAsUtf8IntoTheCodePageWhateverItsMarkOrBrokenBytes) {
    test::FakeApplication fake;
    fake.m.files.PutFile(
        kFile, "\xEF\xBB\xBF" + i18n::Group("Fran\xC3\xA7"
                                            "ais",
                                            "\t\t<FRMMAIN_CMDSCAN>Analyser \xE2\x82\xAC "
                                            "\xFF</FRMMAIN_CMDSCAN>\r\n\t\t<X_Y>x</X_Y>\r\n"));
    EXPECT_EQ(fake.app.Translation().LanguageNames(), std::vector<std::string>{"Fran\xE7"
                                                                               "ais"});
    fake.app.Translation().ChangeLanguage(fake.form,
                                          "Fran\xE7"
                                          "ais");
    EXPECT_EQ(fake.form.cmdScan.caption, "Analyser ? ?") << "no euro sign and a broken byte";

    fake.m.files.PutFile(kFile, std::string(kLargestTranslationFile + 1, '<'));
    EXPECT_TRUE(fake.app.Translation().LanguageNames().empty()) << "too large to be one";
}

// A language silent on an item shows the program's own text there, never the one before it;
// a text the program wrote after a translation stays.
TEST(Translation, EachLanguageStartsAgainFromTheProgramsOwnCaptions) {
    test::FakeApplication fake;
    ui::FrmMain& form = fake.form;
    fake.m.files.PutFile(
        kFile, i18n::Group("Deutsch",
                           "\t\t<FRMMAIN_CMDSCAN>Pr\xC3\xBC"
                           "fen</FRMMAIN_CMDSCAN>\r\n"
                           "\t\t<FRMLANGUAGE_COMMAND1>Sprachen</FRMLANGUAGE_COMMAND1>\r\n") +
                   i18n::Group("Dansk",
                               "\t\t<FRMLANGUAGE_COMMAND1>Sprog</FRMLANGUAGE_COMMAND1>\r\n"
                               "\t\t<X_Y>x</X_Y>\r\n"));
    Localization& translation = fake.app.Translation();
    translation.ChangeLanguage(form, "Deutsch");
    ASSERT_EQ(form.cmdScan.caption,
              "Pr\xFC"
              "fen");
    translation.ChangeLanguage(form, "Dansk");
    EXPECT_EQ(form.cmdScan.caption, "Scan");
    EXPECT_EQ(form.frmLanguage.Command1.caption, "Sprog");

    translation.ChangeLanguage(form, "Deutsch");
    form.frmLanguage.Command1.caption = "written by the program";
    translation.ChangeLanguage(form, "English");  // offered, though the file has no such group
    EXPECT_EQ(form.cmdScan.caption, "Scan");
    EXPECT_EQ(form.frmLanguage.Command1.caption, "written by the program");
}

TEST(Translation, TheTemplateListsEveryWindowAndATranslationOfItReachesEveryCaption) {
    test::FakeApplication fake;
    Localization& translation = fake.app.Translation();
    ASSERT_TRUE(translation.WriteTemplate(fake.form, kFile));
    const std::string written = *fake.m.files.Content(kFile);
    for (const char* line :
         {"\t\t<FRMMAIN_CMDSCAN>Scan</FRMMAIN_CMDSCAN>\r\n",
          "\t\t<FRMMAIN_TABSTRIP1_TABS3>Schedule</FRMMAIN_TABSTRIP1_TABS3>\r\n",
          "\t\t<FRMMAIN_LVWSPYWAREFOUND_COL2>Details</FRMMAIN_LVWSPYWAREFOUND_COL2>\r\n",
          "\t\t<FRMMAIN_OPTSCAN3>Folder Scan</FRMMAIN_OPTSCAN3>\r\n",
          "\t\t<FRMMAIN_MNUFILEITEM8>Exit</FRMMAIN_MNUFILEITEM8>\r\n",
          "\t\t<FRMMENUPOPUP_MNUCLOSE>Exit Program</FRMMENUPOPUP_MNUCLOSE>\r\n",
          "\t\t<FRMLANGUAGE_COMMAND1>Check for language updates</FRMLANGUAGE_COMMAND1>\r\n",
          "\t\t<FRMDELETE_CMDCOPYLIST>", "\t\t<FRMSPYWAREFOUNDALERT_CMDYES>STOP<",
          "\t\t<FRMHOMEPAGECHANGEDALERT_CMDNO>", "\t\t<FRMDOWNLOAD_CAPTION>",
          "\t\t<FRMABOUT_CMDOK>", "\t\t<FRMSIGNATUREUPDATED_CMDUPDATESUCCESFULLOK>",
          "\t\t<FRMREPORT_CMDCLOSE>OK<", "\t\t<MSG_SURE>Are you sure?</MSG_SURE>\r\n",
          "</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>"}) {
        EXPECT_NE(written.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(written.find("\t\t<FRMMAIN_MNUFILEITEM1>"), std::string::npos) << "no separators";

    // The template made into a language whose every text names its item.
    std::string translated;
    for (std::string_view line : text::Split(written, '\n')) {
        std::string l(line);
        const auto open = l.find("\t\t<");
        const auto close = l.find("</");
        if (open == 0 && close != std::string::npos) {
            const std::string name = l.substr(3, l.find('>') - 3);
            l = "\t\t<" + name + ">T:" + name + l.substr(close);
        }
        translated += l + "\n";
    }
    fake.m.files.PutFile(kFile, text::ReplaceAll(translated, "English", "Test"));
    translation.ChangeLanguage(fake.form, "Test");
    std::size_t reached = 0;
    ui::VisitCaptions(fake.form, [&](const std::string& item, std::string& caption) {
        EXPECT_EQ(caption, "T:" + item);
        ++reached;
    });
    EXPECT_GT(reached, 100u);
    EXPECT_EQ(fake.app.Message("MSG_SURE"), "T:MSG_SURE");
}

TEST(Translation, ANewerFileReplacesTheOldOnlyWhenItIsAWholeSignedTranslation) {
    test::FakeApplication fake;
    const test::TestSigningKey maker;
    fake.m.InstallUpdateKey(maker);
    const auto signedFile = [&](const std::string& file) {
        return maker.SignedAnswer(update::SignedPurpose::Translation, file, "", "20261208T204621Z");
    };
    const std::string old = i18n::Group("English", "\t\t<A_B>alt</A_B>\r\n");
    const std::string url = update::DefaultServerAddress() + "/Languages/0/Localization.txt";
    for (const auto& [answer, replaces] :
         {std::pair<std::optional<std::string>, bool>{std::nullopt, false},
          {signedFile("<html>Not Found</html>"), false},
          {signedFile("junk <LANGUAGE_GROUP><TRANSLATION_ITEMS>\r\n<A_B>cut"), false},
          // Whole, but larger than the reader takes: it would make every translation vanish.
          {signedFile(i18n::Group(
               "Deutsch", "\t\t<A_B>" + std::string(kLargestTranslationFile, 'x') + "</A_B>\r\n")),
           false},
          {signedFile("junk " + i18n::Group("Deutsch", "\t\t<A_B>neu</A_B>\r\n")), true}}) {
        fake.m.files.PutFile(kFile, old);
        fake.m.http.answers[url] = answer;
        fake.m.prompts.shown.clear();
        fake.app.CheckLanguageUpdates();
        const std::string now = *fake.m.files.Content(kFile);
        EXPECT_EQ(now != old, replaces) << now;
        if (replaces) {
            EXPECT_EQ(now.find("<LANGUAGE_GROUP"), 0u) << "the text before the first tag dropped";
            ASSERT_EQ(fake.m.prompts.shown.size(), 1u);
            EXPECT_EQ(fake.m.prompts.shown[0].text, "The latest translations were downloaded.");
            EXPECT_EQ(fake.form.frmLanguage.Combo1.items.back(), "Deutsch");
            EXPECT_EQ(now.find("QMSIG1"), std::string::npos) << "the signature is not kept";
        } else {
            EXPECT_TRUE(fake.m.prompts.shown.empty());
        }
    }
    // Unsigned, or signed by a key the program does not trust: the user is told, the file stays.
    const test::TestSigningKey stranger;
    for (const std::string& answer :
         {i18n::Group("Deutsch", "\t\t<A_B>neu</A_B>\r\n"),
          stranger.SignedAnswer(update::SignedPurpose::Translation,
                                i18n::Group("Deutsch", "\t\t<A_B>neu</A_B>\r\n"), "",
                                "20261208T204621Z")}) {
        fake.m.files.PutFile(kFile, old);
        fake.m.http.answers[url] = answer;
        fake.m.prompts.shown.clear();
        fake.app.CheckLanguageUpdates();
        EXPECT_EQ(*fake.m.files.Content(kFile), old);
        ASSERT_EQ(fake.m.prompts.shown.size(), 1u);
        EXPECT_EQ(fake.m.prompts.shown[0].text,
                  "The translations the server sent could not be verified, so they were not used.");
    }
}

}  // namespace
}  // namespace qm::app
