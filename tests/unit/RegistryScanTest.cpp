// The registry phase of a Smart Scan against the fake registry.

#include <gtest/gtest.h>

#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::scan {
namespace {

using platform::RegistryValueType;
using test::FakeMachine;
namespace root = platform::root;

class RegistryScanTest : public ::testing::Test {
  protected:
    void Scan(const std::vector<std::string>& registryLines) {
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("RegistryDefinition.dat", registryLines);
        fake.LoadDefinitionState();
        app.StartScan();
    }
    void Put(std::uint32_t where, const std::string& key, const std::string& name,
             RegistryValueType type = RegistryValueType::String) {
        m.registry.Put(where, key, name, {type, "data", 1});
    }
    static std::string Row(const ui::ListItem& r) {
        std::string s = r.text + "|" + std::to_string(r.icon);
        for (std::size_t i = 1; i <= r.subItems.size(); ++i)
            s += "|" + r.SubItem(i);
        return s;
    }
    std::vector<std::string> Rows(const ui::ListView& list) const {
        std::vector<std::string> rows;
        for (const auto& r : list.rows)
            rows.push_back(Row(r));
        return rows;
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(RegistryScanTest, ValuesAndKeysAreFoundQueuedAndShownAsTheRulesSay) {
    Put(root::kCurrentUser, "Software\\Bar", "Toolbar");
    Put(root::kCurrentUser, "Software\\Bar", "Back\\Slash");
    Put(root::kLocalMachine, "SOFTWARE\\Spy", "Run");
    Put(root::kCurrentUser, "Software\\Bar", "Blob", RegistryValueType::Other);
    Put(root::kCurrentUser, "Software\\Bar", "Silent");
    m.registry.PutKey(root::kCurrentUser, "Software\\Nameless");
    Scan({
        "1^Software\\Bar\\^Toolbar=Demo Bar|Adware",
        "1^Software\\Bar^Toolbar=Run Together",     // no separator between key and value
        "1^Software\\Bar\\^Back\\\\Slash=Doubled",  // "\\" in the value name reads as "\"
        "2^SOFTWARE\\Spy^^=Spy Key|Spyware",        // the whole key
        "1^Software\\Bar\\^Blob=Binary Value",      // neither string nor number: absent
        "1^Software\\Bar\\^Silent=",                // queued and traced, not shown
        "1^Software\\Nameless^^=",                  // shown as "RegKey ..."
        "1^Software\\Missing^^=Gone",
    });
    EXPECT_EQ(Rows(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved),
              (std::vector<std::string>{
                  "Demo Bar|2|HKEY_CURRENT_USER\\Software\\Bar\\Toolbar|Adware|Medium/High|"
                  "Adware displays ads on your computer and can compromise your security.",
                  // Without a category the risk and description are the unknown ones.
                  "Run Together|2|HKEY_CURRENT_USER\\Software\\BarToolbar||Medium|Unknown",
                  "Doubled|2|HKEY_CURRENT_USER\\Software\\Bar\\Back\\Slash||Medium|Unknown",
                  "Spy Key|2|HKEY_LOCAL_MACHINE\\SOFTWARE\\Spy|Spyware|Medium/High|"
                  "Spys on your computer activity",
                  "Software\\Nameless|2|HKEY_CURRENT_USER\\Software\\Nameless||Medium|Unknown"}));
    EXPECT_EQ(form.lvwSpywareFound.rows.back().text, "RegKey Software\\Nameless");
    EXPECT_EQ(form.lvwSpywareFound.rows.back().icon, 0);
    EXPECT_EQ(Rows(form.lvwRegistryToBeDeleted),
              (std::vector<std::string>{"-2147483647|0|Software\\Bar\\|Toolbar|Demo Bar",
                                        "-2147483647|0|Software\\Bar|Toolbar|Run Together",
                                        "-2147483647|0|Software\\Bar\\|Back\\Slash|Doubled",
                                        "-2147483646|0|SOFTWARE\\Spy||Spy Key",
                                        "-2147483647|0|Software\\Bar\\|Silent|",
                                        "-2147483647|0|Software\\Nameless||"}));
    EXPECT_EQ(form.lbltracesFound.caption, "6");
    EXPECT_EQ(session.Counters().itemsFound, 5);
    EXPECT_EQ(form.lblRegistryInspected.caption, "8");
}

TEST_F(RegistryScanTest, ProtectedExcludedUnreadableAndMalformedEntriesLeaveTheirTraceOrNone) {
    Put(root::kCurrentUser, "Software\\Safe", "Both");
    Put(root::kCurrentUser, "Software\\Excl", "Value");
    Put(root::kCurrentUser, "Software\\Keyed", "\\Value");
    Put(root::kLocalMachine, "SOFTWARE\\Locked", "Run");
    m.registry.readOnlyKeys = {"SOFTWARE\\Locked"};
    m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat",
                    "hkey_current_user\\software\\safe\\both\r\n"
                    "HKEY_CURRENT_USER\\Software\\Excl\\Value\r\n"
                    "HKEY_CURRENT_USER\\Software\\Keyed\r\n");
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("Safety.dat", {"SREG|Safe=|1^Software\\Safe\\^Both"});
    Scan({
        "1^Software\\Safe\\^Both=Safe And Excluded",
        "1^Software\\Excl\\^Value=Excluded",
        "1^Software\\Keyed^\\Value=Excluded By Its Key",
        "2^SOFTWARE\\Locked^Run=Cannot Be Changed",
        "no equals sign at all",
        " ^Software\\Excl\\^Value=Blank Root",
        "7^Software\\Excl\\^Value=Bad Code",
        "x^Software\\Excl\\^Value=Not A Number",
        "1^Software\\Excl\\Value=Two Fields",
        "1^Software\\K=ey^Value=Equals In The Key",
    });
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());
    EXPECT_TRUE(form.lvwRegistryToBeDeleted.rows.empty());
    EXPECT_EQ(Rows(form.lvwSpywareFound),
              (std::vector<std::string>{"EXCLUDED|5|HKEY_CURRENT_USER\\Software\\Excl\\Value",
                                        "EXCLUDED|5|HKEY_CURRENT_USER\\Software\\Keyed\\Value"}));
    EXPECT_EQ(form.lbltracesFound.caption, "0");
    // Only lines with a valid hive and three fields count as checked; the name follows the
    // last "=", so one inside the key path is part of the key.
    EXPECT_EQ(form.lblRegistryInspected.caption, "5");
}

TEST_F(RegistryScanTest, ThePhaseFollowsItsSetting) {
    Put(root::kCurrentUser, "Software\\Bar", "Toolbar");
    m.settings.Write("Quillmarsh", "OptionAndSettings", "chkScanRegistry", "0");
    Scan({"1^Software\\Bar\\^Toolbar=Demo Bar|Adware"});
    EXPECT_TRUE(form.lvwRegistryToBeDeleted.rows.empty());
    EXPECT_EQ(form.lblRegistryInspected.caption, "Not Selected");
    EXPECT_EQ(m.registry.opens, 0);
}

}  // namespace
}  // namespace qm::scan
