// The options page on the fake machine: what a fresh account shows, stored options coming
// back, each handler's stored keys and timers, the Run entry label and switch, the consent
// question, the drive marks, and a loading step that fails without stopping the others.

#include "app/OptionsPage.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "scan/DriveList.h"
#include "support/FakePlatform.h"

namespace qm::app {
namespace {

using platform::DriveKind;
using platform::RegistryValueType;
using test::FakeMachine;
namespace root = platform::root;

constexpr const char* kProduct = "Quillmarsh";
constexpr const char* kRunPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class OptionsPageTest : public ::testing::Test {
  protected:
    std::string Stored(const char* section, const std::string& key) {
        return m.settings.Read(kProduct, section, key, "(absent)");
    }
    void Store(const char* section, const std::string& key, const std::string& value) {
        m.settings.Write(kProduct, section, key, value);
    }
    void Load() {
        settings::ProgramSettings settings(m.settings, kProduct);
        scan::FillDriveList(form.lvwHardDrives, m.drives, m.pump, settings);
        page.LoadSettingsIntoControls("3/16/2006");
    }

    FakeMachine m;
    ui::FrmMain form;
    OptionsPage page{form, OptionsServices{m.Context(), m.version.executablePath}};
};

TEST_F(OptionsPageTest, FreshAccountShowsTheDefaults) {
    m.drives.drives.push_back({"D", DriveKind::CdRom, false});
    Load();
    for (const ui::CheckBox* box :
         {&form.chkSweepMemory, &form.chkScanRegistry, &form.chkScanCookies, &form.chkMakeLog,
          &form.chkSendData, &form.chkAutomaticUpdate, &form.chkAutoProtect, &form.chkHomePage}) {
        EXPECT_EQ(box->value, 1) << box->caption;
    }
    EXPECT_TRUE(form.optScanOnlyKnownSoftwares.value);
    EXPECT_FALSE(form.optScanAllSelectedHardDrive.value);
    EXPECT_TRUE(form.optMemorySheildOn.value);
    EXPECT_TRUE(form.optIEHomePageSheildOn.value);
    EXPECT_TRUE(form.optAlwaysnotifybeforerestoring.value);
    EXPECT_TRUE(form.optAlwaysnotifybeforerestoring.enabled);
    EXPECT_EQ(form.chkAutomaticScanYesOrNo.value, 0);
    EXPECT_FALSE(form.dtpScheduleDate.enabled);
    EXPECT_FALSE(form.dtpScheduleTime.enabled);
    EXPECT_FALSE(form.cmbDays.enabled);
    EXPECT_FALSE(form.tmrScheduler.enabled);
    EXPECT_EQ(form.chkRunAtStartup.value, 0);
    EXPECT_EQ(form.lblRunAtStart.caption, "(Disabled - Run Manually)");
    EXPECT_EQ(form.lblLastUpdate.caption, "Signatures Last Updated On 3/16/2006 PST");
    EXPECT_EQ(Stored(settings::section::kOptions, "SHOW"), "True");
    // Selecting "Quick Scan" at the end of loading is a click: both keys are written.
    EXPECT_EQ(Stored(settings::section::kOptions, "optScanAllSelectedHardDrive"), "False");
    EXPECT_EQ(Stored(settings::section::kOptions, "optScanOnlyKnownSoftwares"), "True");
    // Nothing else was written back: every control already showed its default.
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOn"), "(absent)");
    ASSERT_EQ(form.lvwHardDrives.rows.size(), 2u);
    EXPECT_TRUE(form.lvwHardDrives.rows[0].checked);
    EXPECT_TRUE(form.lvwHardDrives.rows[1].checked);
    EXPECT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columnWidths,
              std::vector<int>(5, 1400));
    EXPECT_EQ(form.windowState, ui::WindowState::Normal);
    EXPECT_TRUE(m.prompts.shown.empty());
}

TEST_F(OptionsPageTest, StoredOptionsComeBackAndStayConsistent) {
    Store(settings::section::kOptions, "optMemorySheildOn", "False");
    Store(settings::section::kOptions, "optMemorySheildOff", "True");
    Store(settings::section::kOptions, "optIEHomePageSheildOn", "False");
    Store(settings::section::kOptions, "optIEHomePageSheildOff", "True");
    Store(settings::section::kOptions, "optRestoredefaultwithoutnotification", "True");
    Store(settings::section::kOptions, "chkScanCookies", "0");
    Store(settings::section::kOptions, "chkSendData", "0");
    Store(settings::section::kOptions, "chkAutomaticScanYesOrNo", "1");
    Store(settings::section::kOptions, "chkAutomaticUpdate", "0");
    Store(settings::section::kSettings, "FoundCol22", "900");
    Store(settings::section::kSettings, "FoundCol23", "wide");
    Store(settings::section::kSettings, "Max", "1");
    Store(settings::section::kDrives, "C", "False");
    Load();
    EXPECT_TRUE(form.optMemorySheildOff.value);
    EXPECT_FALSE(form.optMemorySheildOn.value);
    EXPECT_EQ(form.chkAutoProtect.value, 0);
    EXPECT_FALSE(form.tmrMemoryInspected.enabled);
    EXPECT_TRUE(form.optIEHomePageSheildOff.value);
    EXPECT_EQ(form.chkHomePage.value, 0);
    EXPECT_FALSE(form.tmrCheckHomePage.enabled);
    EXPECT_FALSE(form.optAlwaysnotifybeforerestoring.enabled);
    EXPECT_TRUE(form.optRestoredefaultwithoutnotification.value);
    EXPECT_EQ(form.chkScanCookies.value, 0);
    EXPECT_EQ(form.chkSendData.value, 0);
    EXPECT_TRUE(m.prompts.shown.empty()) << "loading never asks the consent question";
    EXPECT_TRUE(form.cmbDays.enabled);
    EXPECT_TRUE(form.tmrScheduler.enabled);
    EXPECT_EQ(form.chkAutomaticUpdate.value, 0);
    EXPECT_EQ(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columnWidths,
              (std::vector<int>{1400, 900, 1400, 1400, 1400}));
    EXPECT_EQ(form.windowState, ui::WindowState::Maximized);
    EXPECT_FALSE(form.lvwHardDrives.rows[0].checked);
    // The handlers that ran while loading wrote the same pair back.
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOn"), "False");
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOff"), "True");
    EXPECT_EQ(Stored(settings::section::kOptions, "optIEHomePageSheildOn"), "False");
}

TEST_F(OptionsPageTest, HandlersStoreTheirKeysAndSwitchTheTimers) {
    page.OptionClicked(form.optMemorySheildOff);
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOn"), "False");
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOff"), "True");
    EXPECT_FALSE(form.tmrMemoryInspected.enabled);
    EXPECT_EQ(form.chkAutoProtect.value, 0);

    form.chkAutoProtect.value = 1;
    page.CheckBoxClicked(form.chkAutoProtect);
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOn"), "True");
    EXPECT_EQ(Stored(settings::section::kOptions, "optMemorySheildOff"), "False");
    EXPECT_TRUE(form.tmrMemoryInspected.enabled);
    EXPECT_TRUE(form.optMemorySheildOn.value);

    form.chkHomePage.value = 0;
    page.CheckBoxClicked(form.chkHomePage);
    EXPECT_EQ(Stored(settings::section::kOptions, "optIEHomePageSheildOn"), "False");
    EXPECT_FALSE(form.tmrCheckHomePage.enabled);
    EXPECT_FALSE(form.optRestoredefaultwithoutnotification.enabled);
    page.OptionClicked(form.optIEHomePageSheildOn);
    EXPECT_TRUE(form.tmrCheckHomePage.enabled);
    EXPECT_TRUE(form.optRestoredefaultwithoutnotification.enabled);

    page.OptionClicked(form.optRestoredefaultwithoutnotification);
    EXPECT_EQ(Stored(settings::section::kOptions, "optAlwaysnotifybeforerestoring"), "False");
    EXPECT_EQ(Stored(settings::section::kOptions, "optRestoredefaultwithoutnotification"), "True");
    page.OptionClicked(form.optScanAllSelectedHardDrive);
    EXPECT_EQ(Stored(settings::section::kOptions, "optScanAllSelectedHardDrive"), "True");
    EXPECT_EQ(Stored(settings::section::kOptions, "optScanOnlyKnownSoftwares"), "False");

    form.chkScanRegistry.value = 0;
    page.CheckBoxClicked(form.chkScanRegistry);
    EXPECT_EQ(Stored(settings::section::kOptions, "chkScanRegistry"), "0");
    form.chkAutoDel.value = 1;
    page.CheckBoxClicked(form.chkAutoDel);
    EXPECT_EQ(Stored(settings::section::kSettings, "chkAutoDel"), "1");
}

TEST_F(OptionsPageTest, RunEntryLabelAndSwitch) {
    const auto put = [&](std::uint32_t where, std::string text,
                         RegistryValueType type = RegistryValueType::String) {
        m.registry.Put(where, kRunPath, kProduct, {type, std::move(text), 0});
    };
    put(root::kCurrentUser, "\"C:\\Program Files\\Quillmarsh\\QUILLMARSH.EXE\" /tray");
    Load();
    EXPECT_EQ(form.lblRunAtStart.caption, "(Enabled - This User)");
    put(root::kLocalMachine, "C:\\Other\\quillmarsh.exe");
    Load();
    EXPECT_EQ(form.lblRunAtStart.caption, "(Enabled - All Users)");
    put(root::kLocalMachine, "C:\\Other\\unrelated.exe");
    put(root::kCurrentUser, "quillmarsh", RegistryValueType::Other);
    Load();
    EXPECT_EQ(form.lblRunAtStart.caption, "(Disabled - Run Manually)");

    // The switch writes its own entry, named by the executable, with the quoted path.
    form.chkRunAtStartup.value = 1;
    page.CheckBoxClicked(form.chkRunAtStartup);
    EXPECT_EQ(Stored(settings::section::kOptions, "chkRunAtStartup"), "1");
    const auto entry = m.registry.Get(root::kLocalMachine, kRunPath, "Quillmarsh");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text, "\"C:\\Program Files\\Quillmarsh\\Quillmarsh.exe\"");
    EXPECT_EQ(form.lblRunAtStart.caption, "(Enabled - All Users)");
    form.chkRunAtStartup.value = 0;
    page.CheckBoxClicked(form.chkRunAtStartup);
    EXPECT_FALSE(m.registry.Get(root::kLocalMachine, kRunPath, "Quillmarsh"));
}

TEST_F(OptionsPageTest, TurningAnonymousDataOffAsksFirst) {
    form.chkSendData.value = 0;
    m.prompts.answers = {ui::MessageAnswer::No};
    page.SendDataReleased();
    EXPECT_EQ(form.chkSendData.value, 1);
    EXPECT_EQ(Stored(settings::section::kOptions, "chkSendData"), "1");
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].title, "Really turn off anonymous data collection?");
    EXPECT_EQ(m.prompts.shown[0].text.substr(0, 21), "By sending anonymous ");

    form.chkSendData.value = 0;
    m.prompts.answers = {ui::MessageAnswer::Yes};
    page.SendDataReleased();
    EXPECT_EQ(Stored(settings::section::kOptions, "chkSendData"), "0");
    form.chkSendData.value = 1;
    page.SendDataReleased();
    EXPECT_EQ(Stored(settings::section::kOptions, "chkSendData"), "1");
    EXPECT_EQ(m.prompts.shown.size(), 2u) << "turning it on asks nothing";
}

TEST_F(OptionsPageTest, DriveListOffersDrivesByKindAndKeepsTheirMarks) {
    m.drives.drives = {{"A", DriveKind::Removable, false}, {"C", DriveKind::Fixed, true},
                       {"D", DriveKind::Fixed, false},     {"E", DriveKind::CdRom, false},
                       {"F", DriveKind::Remote, false},    {"G", DriveKind::RamDisk, true},
                       {"H", DriveKind::Unknown, true}};
    Store(settings::section::kDrives, "E", "False");
    Load();
    std::string letters;
    for (const auto& row : form.lvwHardDrives.rows)
        letters += row.text;
    EXPECT_EQ(letters, "ACEF");
    EXPECT_FALSE(form.lvwHardDrives.rows[2].checked);
    form.lvwHardDrives.rows[0].checked = false;
    page.DriveCheckChanged();
    EXPECT_EQ(Stored(settings::section::kDrives, "A"), "False");
    EXPECT_EQ(Stored(settings::section::kDrives, "C"), "True");
    EXPECT_EQ(Stored(settings::section::kDrives, "E"), "False");
}

// A store that fails on one key, as a damaged registry value might.
class FailingStore final : public settings::SettingsStore {
  public:
    settings::MemorySettingsStore inner;
    std::string failingKey;
    std::string Read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        if (key == failingKey) throw std::runtime_error("unreadable");
        return inner.Read(app, section, key, fallback);
    }
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        inner.Write(app, section, key, value);
    }
};

TEST_F(OptionsPageTest, AFailedLoadingStepDoesNotStopTheOthers) {
    FailingStore store;
    store.failingKey = "optIEHomePageSheildOn";
    store.inner.Write(kProduct, settings::section::kOptions, "chkMakeLog", "0");
    store.inner.Write(kProduct, settings::section::kOptions, "chkAutomaticUpdate", "0");
    store.inner.Write(kProduct, settings::section::kSettings, "Max", "1");
    OptionsPage failing{form,
                        OptionsServices{m.Context(store, m.messages), m.version.executablePath}};
    failing.LoadSettingsIntoControls("today");
    EXPECT_EQ(form.chkMakeLog.value, 0);
    EXPECT_EQ(form.chkAutomaticUpdate.value, 0);
    EXPECT_EQ(form.windowState, ui::WindowState::Maximized);
}

TEST(MachineSettingsTest, RefusedWriteAsksUntilIgnored) {
    FakeMachine m;
    settings::ProgramSettings user(m.settings, kProduct);
    MachineSettings machine(m.registry, user, m.prompts, m.version.info);
    m.registry.readOnlyRoots = {root::kLocalMachine};

    m.prompts.answers = {ui::MessageAnswer::Abort};
    machine.WriteMachineSetting(kProduct, "Settings", "FirstTime", "Yes");
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].title, "Permission Denied");
    EXPECT_EQ(m.prompts.shown[0].buttons, ui::MessageButtons::AbortRetryIgnore);
    EXPECT_EQ(m.prompts.shown[0].text.substr(0, 62),
              "Quillmarsh requires read/write access to the system registry a");
    EXPECT_NE(m.prompts.shown[0].text.find("properly saved.  Please contact your system "
                                           "administrator or change the permission settings "
                                           "for this account.\r\n\r\nIf you would like"),
              std::string::npos);

    // Retry repeats the write; it succeeds once the key can be written.
    m.registry.readOnlyRoots.clear();
    m.registry.failWritesLeft = 1;
    m.prompts.answers = {ui::MessageAnswer::Retry};
    machine.WriteMachineSetting(" Quillmarsh ", " Settings", "FirstTime", "Yes");
    EXPECT_EQ(m.prompts.shown.size(), 2u);
    const auto stored = m.registry.Get(
        root::kLocalMachine, "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings", "FirstTime");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text, "Yes");

    m.registry.readOnlyRoots = {root::kLocalMachine};
    m.prompts.answers = {ui::MessageAnswer::Ignore};
    machine.WriteMachineSetting(kProduct, "Settings", "showHelp", "0");
    EXPECT_EQ(m.settings.Read(kProduct, "Settings", "IgnorePermissionDeniedError", ""), "1");
    machine.WriteMachineSetting(kProduct, "Settings", "showHelp", "0");
    EXPECT_EQ(m.prompts.shown.size(), 3u) << "after Ignore the box is not shown again";
}

TEST(MachineSettingsTest, ReadsGiveTheValueTheDefaultOrTheReason) {
    FakeMachine m;
    settings::ProgramSettings user(m.settings, kProduct);
    MachineSettings machine(m.registry, user, m.prompts, m.version.info);
    const std::string key = "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings";
    m.registry.Put(root::kLocalMachine, key, "FirstTime", {RegistryValueType::String, "Yes", 0});
    m.registry.Put(root::kLocalMachine, key, "Empty", {RegistryValueType::String, "", 0});
    m.registry.Put(root::kLocalMachine, key, "Number", {RegistryValueType::Number, "", 7});

    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Settings", "FirstTime", "").value, "Yes");
    const auto empty = machine.ReadMachineSetting(kProduct, "Settings", "Empty", "dflt");
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.value, "");
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Settings", "Absent", "dflt").value, "dflt");
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Nowhere", "Absent", "dflt").value, "dflt");
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Settings", "Number", "").error,
              "Registry data not a string");
    EXPECT_EQ(machine.ReadMachineSetting("", "Settings", "k", "").error,
              "AppName may not be empty");
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "", "k", "").error, "Section may not be empty");
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Settings", "", "").error,
              "Key may not be empty");
    m.registry.deniedKeys = {key};
    EXPECT_EQ(machine.ReadMachineSetting(kProduct, "Settings", "FirstTime", "").error,
              "Could not open registry section");
    EXPECT_TRUE(m.prompts.shown.empty());
}

}  // namespace
}  // namespace qm::app
