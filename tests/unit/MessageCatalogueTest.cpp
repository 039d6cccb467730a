// The message catalogue: look-up by MSG_ key in any case with the product and company names
// filled in and the first letter raised, the fixed 201 slots, keys stored twice, translation in
// place, and the built-in English texts in their fixed order.

#include "i18n/MessageCatalogue.h"

#include <gtest/gtest.h>

#include <iterator>

#include "support/TestLabel.h"

namespace qm::i18n {
namespace {

struct BuiltIn {
    const char* key;
    const char* text;
};

// The built-in English texts, key by key, in the order they are stored.
const BuiltIn kExpectedBuiltIns[] = {
    {"MSG_THANK1", "Thank you for using [ProgramName]!"},
    {"MSG_THANK2",
     "Because this is the first time you have used [ProgramName] we recommend running Live Update "
     "now to download the most recent adware and spyware definitions."},
    {"MSG_THANK3", "Would you like to run Live Update now?"},
    {"MSG_THANK4", "Update Now?"},
    {"MSG_MISSING",
     "Definition files are missing or they have been corrupted. Please run Live Update."},
    {"MSG_PAUSED", "[ProgramName] has been paused.  Click OK to resume."},
    {"MSG_SURE", "Are you sure?"},
    {"MSG_EXCLUDE1", "No exclusion file exists yet."},
    {"MSG_EXCLUDE2", "No Exclusion File"},
    {"MSG_INTERNET", "Definitions could not be downloaded. Please check your internet connection."},
    {"MSG_ANON1", "By sending anonymous data you can help us identify new spyware more quickly."},
    {"MSG_ANON2",
     "No personal information is collected, the only information sent is executable names that are "
     "currently loaded into memory."},
    {"MSG_ANON3", "Do you really want to turn off anonymous data collection?"},
    {"MSG_ANON4", "Really turn off anonymous data collection?"},
    {"MSG_SORRY", "Sorry, there are no entries to be excluded."},
    {"MSG_SORRY2", "Sorry, there are no entries to be deleted."},
    {"MSG_EXC_SURE1", "Are you sure you want to exclude the selected files?"},
    {"MSG_EXC_SURE2", "Excluded files will not show up as Adware/Spyware on future scans."},
    {"MSG_EXC_SURE3", "You can edit the list of excluded files through the Quarantine menu."},
    {"MSG_EXC_SURE4", "Really Exclude?"},
    {"MSG_DATE", "Please select the date that you want to scan."},
    {"MSG_STOP", "Are you sure you want to stop the scan?"},
    {"MSG_SELECTED",
     "No entries are selected.  You must check the box next to at least one item in the list."},
    {"MSG_CONFIRM1", "Are you sure you want to delete the selected files?"},
    {"MSG_CONFIRM2",
     "Deleted files will be backed up in the following folder in case you need to recover them:"},
    {"MSG_CONFIRM3",
     "In addition, a System Restore Point will be created using Windows System Restore, accessible "
     "through:"},
    {"MSG_CONFIRM4", "Start > Programs > Accessories > System Tools > System Restore"},
    {"MSG_ERROR_STOPPED",
     "could not be stopped.  You should try again after saving your work and closing any open "
     "applications."},
    {"MSG_FOUND1", "[ProgramName] has found ["},
    {"MSG_FOUND2", "] using you system memory. Click YES to stop ["},
    {"MSG_FOUND3", "] from using your system memory. Otherwise click No."},
    {"MSG_CLOSING",
     "Closing [ProgramName] may leave your system vulnerable to malicious programs. Are you sure "
     "you want to exit?"},
    {"MSG_REALLY", "Really Delete?"},
    {"MSG_REMOVING", "Removing : 0% Completed."},
    {"MSG_REMOVING2", "Removing"},
    {"MSG_COMPLETED", "Completed."},
    {"MSG_MISSINGFILES", "Files Missing, Run Live Update"},
    {"MSG_NOCOMPANY", "No Company name available for"},
    {"MSG_DOWNLOADING", "Connecting to server/downloading....."},
    {"MSG_CONNECTING", "Connecting to server....."},
    {"MSG_CHECKING", "Checking for Definitions....."},
    {"MSG_CONNECTING2", "Connecting to the Server."},
    {"MSG_SENDING", "Sending and receiving data, please wait."},
    {"MSG_SENT", "Successfully sent the request."},
    {"MSG_RECEIVING", "Receiving a response from the Server."},
    {"MSG_SCAN_CANCELLED", "Scanning was cancelled."},
    {"MSG_SCAN_COMPLETED", "Scanning complete."},
    {"MSG_RESULTS", "Results:"},
    {"MSG_RESULTS_THANK", "submitted.  Thank you!"},
    {"MSG_PROBLEM", "There was a problem submitting"},
    {"MSG_PROBLEM2", "Please make sure you are connected to the internet, or try again later."},
    {"MSG_UPDATED_DEFS", "Your [ProgramName] definitions have been updated!"},
    {"MSG_RECENT_DEFS", "You are using the most recent [ProgramName] definitions."},
    {"MSG_WEBSITE", "Visit [Website]"},
    {"MSG_CAPTION", "[ProgramName] by [CompanyName]"},
    {"MSG_CAPTION2", "Welcome to [ProgramName]"},
    {"MSG_COOKIES", "Inspecting Cookies"},
    {"MSG_COOKIES_FINISHED", "Finished Inpecting Cookies"},
    {"MSG_MEMORY", "Inspecting memory"},
    {"MSG_NOTSELECTED", "Not Selected"},
    {"MSG_REGISTRY", "Scanning registry"},
    {"MSG_SPYWARE", "Scanning known Spyware/Adware"},
    {"MSG_INFORMATION", "Gathering information..."},
    {"MSG_RESTOREPOINT", "Creating Restore Point..."},
    {"MSG_COMPLETE", "complete"},
    {"MSG_FALSE_POS",
     "This will submit the following files to our research team for investigation.  You will be "
     "prompted to supply details about the susptected false positives.  Are you sure you want to "
     "continue?"},
    {"MSG_FALSE_POS2",
     "Please enter more information about these files and the reason that you think they are a "
     "false positive.  If possible, please supply the location where we can download the "
     "non-malicious software that these files are related to, in addition to your email address if "
     "you would like to be contacted for followups."},
    {"MSG_FALSE_POS3",
     "Error: You must supply details about the false positives.  Please try again."},
    {"MSG_FALSE_POS4",
     "Your false positive report was submitted successfully.  Would you like to exclude these "
     "false positives from future scans?"},
    {"MSG_FALSE_POS5",
     "There was an error submitting your report.  Please make sure you are connected to the "
     "internet and try again in a few minutes.  If you continue to receive this error please "
     "contact support."},
    {"MSG_TITLELANGUAGE", "Choose Language"},
    {"MSG_DOWNLOADED", "The latest translations were downloaded."},
};

class Catalogue : public ::testing::Test {
  protected:
    MessageCatalogue catalogue{"Quillmarsh", "Quillmarsh Software"};
    void SetUp() override { LoadDefaultMessages(catalogue); }
};

std::size_t SlotsInUse(const MessageCatalogue& c) {
    std::size_t n = 0;
    for (const auto& slot : c.Slots())
        n += slot.inUse ? 1 : 0;
    return n;
}

TEST_F(Catalogue, BuiltInsFillTheirSlotsInTheirFixedOrder) {
    // Texts added later come after these, so every slot keeps its place.
    EXPECT_GT(SlotsInUse(catalogue), std::size(kExpectedBuiltIns));
    const auto& slots = catalogue.Slots();
    for (std::size_t i = 0; i < std::size(kExpectedBuiltIns); ++i) {
        EXPECT_TRUE(slots[i].inUse) << i;
        EXPECT_EQ(slots[i].key, kExpectedBuiltIns[i].key) << "slot " << i;
        EXPECT_EQ(slots[i].text, kExpectedBuiltIns[i].text) << kExpectedBuiltIns[i].key;
    }
    EXPECT_EQ(slots[0].key, "MSG_THANK1");
    EXPECT_EQ(slots[69].key, "MSG_FALSE_POS5");
    EXPECT_EQ(slots[71].key, "MSG_DOWNLOADED");
}

struct LookupCase {
    const char* key;
    const char* expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << test::TestLabel(c.key);
}

class BuiltInLookup : public Catalogue, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(BuiltInLookup, ReturnsTheFinishedText) {
    EXPECT_EQ(catalogue.getMessages(GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BuiltInLookup,
    ::testing::Values(
        LookupCase{"msg_sure", "Are you sure?"}, LookupCase{"Msg_Sure", "Are you sure?"},
        LookupCase{"MSG_PAUSED", "Quillmarsh has been paused.  Click OK to resume."},
        LookupCase{"MSG_THANK1", "Thank you for using Quillmarsh!"},
        LookupCase{"MSG_CAPTION", "Quillmarsh by Quillmarsh Software"},
        LookupCase{"MSG_WEBSITE", "Visit [Website]"},
        LookupCase{"MSG_SELECTED",
                   "No entries are selected.  You must check the box next to at least one item "
                   "in the list."},
        LookupCase{"MSG_MISSING",
                   "Definition files are missing or they have been corrupted. Please run Live "
                   "Update."},
        LookupCase{"MSG_COOKIES_FINISHED", "Finished Inpecting Cookies"},
        LookupCase{"MSG_FOUND2", "] using you system memory. Click YES to stop ["},
        LookupCase{"MSG_ERROR_STOPPED",
                   "Could not be stopped.  You should try again after saving your work and "
                   "closing any open applications."},
        LookupCase{"MSG_COMPLETE", "Complete"},
        LookupCase{"MSG_RESULTS_THANK", "Submitted.  Thank you!"},
        LookupCase{"MSG_REMOVING", "Removing : 0% Completed."}, LookupCase{"MSG_NOT_A_KEY", ""},
        LookupCase{"MSG_DOES_NOT_EXIST", ""}, LookupCase{"MSG_SUR", ""},
        LookupCase{"MSG_SURE ", ""}));

TEST(MessageCatalogue, PlaceholdersAreReplacedInAnyCaseEverywhere) {
    MessageCatalogue c("Quillmarsh", "Marsh Co");
    c.setMessage("MSG_A", "[programname] and [PROGRAMNAME] by [companyName], [ProgramName].");
    EXPECT_EQ(c.getMessages("MSG_A"), "Quillmarsh and Quillmarsh by Marsh Co, Quillmarsh.");
}

TEST(MessageCatalogue, FirstLetterIsRaisedAfterSubstitution) {
    MessageCatalogue c("quill", "co");
    c.setMessage("MSG_A", "[ProgramName] has found [");
    c.setMessage("MSG_B", "hello");
    c.setMessage("MSG_C", "\xE9t\xE9");  // code page 1252 small e acute
    c.setMessage("MSG_D", "");
    EXPECT_EQ(c.getMessages("MSG_A"), "Quill has found [");
    EXPECT_EQ(c.getMessages("MSG_B"), "Hello");
    EXPECT_EQ(c.getMessages("MSG_C"), "\xC9t\xE9");
    EXPECT_EQ(c.getMessages("MSG_D"), "");
    // Only the first letter: the stored text itself is unchanged.
    EXPECT_EQ(c.Slots()[1].text, "hello");
}

TEST(MessageCatalogue, EmptyPlaceholderValuesLeaveNothingBehind) {
    MessageCatalogue c;
    LoadDefaultMessages(c);
    EXPECT_EQ(c.getMessages("MSG_THANK1"), "Thank you for using !");
    EXPECT_EQ(c.getMessages("MSG_CAPTION"), " by ");
}

TEST(MessageCatalogue, PlaceholderValuesCanBeSetLater) {
    MessageCatalogue c;
    LoadDefaultMessages(c);
    c.SetPlaceholders("Quillmarsh", "Marsh Co");
    EXPECT_EQ(c.getMessages("MSG_CAPTION2"), "Welcome to Quillmarsh");
}

TEST(MessageCatalogue, KeyStoredTwiceTakesTwoSlotsAndTheFirstWins) {
    MessageCatalogue c("P", "C");
    c.setMessage("MSG_X", "first");
    c.setMessage("msg_x", "second");
    EXPECT_EQ(c.getMessages("MSG_X"), "First");
    EXPECT_EQ(SlotsInUse(c), 2u);
    EXPECT_EQ(c.Slots()[1].text, "second");
}

TEST(MessageCatalogue, TableHas201SlotsAndAFullTableDropsFurtherEntriesSilently) {
    MessageCatalogue c("P", "C");
    for (int i = 0; i < 201; ++i)
        c.setMessage("K" + std::to_string(i), "text " + std::to_string(i));
    EXPECT_EQ(SlotsInUse(c), 201u);
    EXPECT_EQ(c.getMessages("K0"), "Text 0");
    EXPECT_EQ(c.getMessages("K200"), "Text 200");

    c.setMessage("K201", "dropped");
    EXPECT_EQ(c.getMessages("K201"), "");
    EXPECT_EQ(c.Slots()[200].key, "K200");
    EXPECT_EQ(c.Slots()[200].text, "text 200");
}

TEST_F(Catalogue, BuiltInsLeaveTheRestOfThe201SlotsFree) {
    const std::size_t free = 201 - SlotsInUse(catalogue);
    for (std::size_t i = 0; i < free; ++i)
        catalogue.setMessage("EXTRA" + std::to_string(i), "x");
    EXPECT_EQ(catalogue.getMessages("EXTRA" + std::to_string(free - 1)), "X");
    catalogue.setMessage("ONE_TOO_MANY", "y");
    EXPECT_EQ(catalogue.getMessages("ONE_TOO_MANY"), "");
    EXPECT_EQ(catalogue.getMessages("MSG_SURE"), "Are you sure?");
}

TEST_F(Catalogue, TranslationReplacesTextsInPlaceAndAnEmptyOneKeepsTheText) {
    const std::size_t inUse = SlotsInUse(catalogue);
    catalogue.Translate([](const std::string& key) -> std::string {
        if (key == "MSG_SURE") return "";
        if (key == "MSG_STOP") return "Wirklich anhalten?";
        if (key == "MSG_THANK1") return "Danke, dass Sie [programname] verwenden!";
        return "";
    });
    EXPECT_EQ(catalogue.getMessages("MSG_SURE"), "Are you sure?");
    EXPECT_EQ(catalogue.getMessages("msg_stop"), "Wirklich anhalten?");
    EXPECT_EQ(catalogue.getMessages("MSG_THANK1"), "Danke, dass Sie Quillmarsh verwenden!");
    EXPECT_EQ(catalogue.Slots()[21].key, "MSG_STOP");  // keys and slot order never change
    EXPECT_EQ(SlotsInUse(catalogue), inUse);
}

TEST_F(Catalogue, LaterLanguageWithoutAnItemKeepsTheEarlierTranslation) {
    catalogue.Translate(
        [](const std::string& key) -> std::string { return key == "MSG_SURE" ? "S\xFBr ?" : ""; });
    catalogue.Translate([](const std::string&) -> std::string { return ""; });
    EXPECT_EQ(catalogue.getMessages("MSG_SURE"), "S\xFBr ?");
}

TEST_F(Catalogue, TranslationAsksForEveryKeyInUseExactlyAsStored) {
    std::vector<std::string> asked;
    catalogue.Translate([&](const std::string& key) -> std::string {
        asked.push_back(key);
        return "";
    });
    ASSERT_EQ(asked.size(), SlotsInUse(catalogue));
    EXPECT_EQ(asked.front(), "MSG_THANK1");
    EXPECT_EQ(asked.back(), catalogue.Slots()[asked.size() - 1].key);
}

}  // namespace
}  // namespace qm::i18n
