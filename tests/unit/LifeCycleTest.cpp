// The program's records for its sibling tools across its life, on the fake machine: its own
// name and file at start-up, the anti-hijack tool's button, the running status, and what an
// orderly end stores.

#include <gtest/gtest.h>

#include "app/SiblingRecords.h"
#include "platform/Registry.h"
#include "support/FakeApplication.h"

namespace qm::app {
namespace {

TEST(LifeCycle, StartAndEndLeaveTheirRecordsAndTheAntiHijackButtonFollowsItsTool) {
    test::FakeWindowApplication fake;
    test::FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Language", "English");
    const auto stored = [&](const std::string& app, const std::string& section,
                            const std::string& key) {
        return m.settings.Read(app, section, key, "(absent)");
    };
    m.settings.Write(kAntiHijackApp, "Quillmarsh Software", "Name", "Hijack Guard");
    m.settings.Write(kAntiHijackApp, "Quillmarsh Software", "File", "C:\\Tools\\guard.exe");
    fake.app.Start();
    m.prompts.shown.clear();  // the first-run greeting
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat",
                             "RegistryDefinition.dat", "ExeDefinition.dat", "BlockedCookies.dat"}) {
        EXPECT_EQ(m.files.opensOf[test::FakeFileSystem::KeyOf(
                      std::string(test::FakeMachine::kDataFolder) + "\\" + name)],
                  1)
            << name << ": the count at start-up reads each file once";
    }
    EXPECT_EQ(stored(kOwnRecordsApp, "Quillmarsh Software", "Name"), "Quillmarsh");
    EXPECT_EQ(stored(kOwnRecordsApp, "Quillmarsh Software", "File"),
              "C:\\Program Files\\Quillmarsh\\Quillmarsh.exe");
    EXPECT_EQ(stored("Quillmarsh", settings::section::kOptions, "STATUS"), "RUNNING");
    EXPECT_EQ(stored("Quillmarsh", settings::section::kOptions, "RESTART"), "False");
    EXPECT_TRUE(fake.form.cmdHijack.visible);
    EXPECT_EQ(fake.form.cmdHijack.caption, "Hijack Guard");

    // The tool's file is gone: said so, nothing started.
    fake.app.LaunchAntiHijack();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text,
              "Sorry, the following file no longer exists: \r\nC:\\Tools\\guard.exe");
    m.files.PutFile("C:\\Tools\\guard.exe", "MZ");
    fake.app.LaunchAntiHijack();
    EXPECT_EQ(m.launcher.started, std::vector<std::string>{"\"C:\\Tools\\guard.exe\""});

    fake.form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columnWidths = {1500, 3000, 900, 900,
                                                                           4500};
    fake.form.windowState = ui::WindowState::Maximized;
    m.settings.Write("Quillmarsh", settings::section::kOptions, "RESTART", "True");
    fake.app.Closing();
    EXPECT_EQ(stored("Quillmarsh", settings::section::kOptions, "STATUS"), "STOPPED");
    EXPECT_EQ(stored("Quillmarsh", settings::section::kOptions, "RESTART"), "False");
    EXPECT_EQ(stored("Quillmarsh", settings::section::kSettings, "FoundCol22"), "3000");
    EXPECT_EQ(stored("Quillmarsh", settings::section::kSettings, "Max"), "1");
}

TEST(LifeCycle, HelpOpensTheProgramsHelpFileOnlyWhenItIsThere) {
    test::FakeApplication fake;
    fake.app.ViewHelp();
    EXPECT_TRUE(fake.m.launcher.started.empty()) << "a missing help file opens nothing";
    fake.m.files.PutFile("C:\\Program Files\\Quillmarsh\\Help.chm", "ITSF");
    fake.app.ViewHelp();
    EXPECT_EQ(fake.m.launcher.started,
              std::vector<std::string>{"open C:\\Program Files\\Quillmarsh\\Help.chm"});
}

std::string MachineWide(test::FakeMachine& m, const std::string& key) {
    const auto value = m.registry.Get(platform::root::kLocalMachine,
                                      "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings", key);
    return value ? value->text : "(absent)";
}

TEST(LifeCycle, TheFirstRunChoosesALanguageFirstThenOpensTheHelpAndGreetsOncePerMachine) {
    test::FakeWindowApplication fake;
    test::FakeMachine& m = fake.m;
    m.files.PutFile("C:\\Program Files\\Quillmarsh\\Help.chm", "ITSF");
    m.files.PutFile("C:\\Program Files\\Quillmarsh\\Localization.txt",
                    "<LANGUAGE_GROUP><LANGUAGE_NAME>English</LANGUAGE_NAME><TRANSLATION_ITEMS>\r\n"
                    "</TRANSLATION_ITEMS></LANGUAGE_GROUP>\r\n"
                    "<LANGUAGE_GROUP><LANGUAGE_NAME>Deutsch</LANGUAGE_NAME><TRANSLATION_ITEMS>\r\n"
                    "\t\t<FRMMAIN_CMDSCAN>Pr\xC3\xBC"
                    "fen</FRMMAIN_CMDSCAN>\r\n"
                    "\t\t<MSG_CAPTION2>Willkommen bei [ProgramName]</MSG_CAPTION2>\r\n"
                    "</TRANSLATION_ITEMS></LANGUAGE_GROUP>\r\n");
    // The user picks the second language in the window, then OK.
    m.pump.onEvents = [&](long long) {
        if (!fake.form.frmLanguage.visible) return;
        fake.windows.events.push_back("language window");
        EXPECT_EQ(fake.form.frmLanguage.Combo1.items,
                  (std::vector<std::string>{"Choose Language Here", "English", "Deutsch"}));
        fake.app.LanguageChosen(2);
        fake.app.CloseLanguageWindow();
    };
    m.prompts.answers = {ui::MessageAnswer::Yes};  // the greeting's "run Live Update now?"
    ASSERT_TRUE(fake.app.Start());
    // The language window comes before the instance test and before any status is written.
    ASSERT_GE(fake.windows.events.size(), 2u);
    EXPECT_EQ(fake.windows.events[0], "language window");
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kSettings, "Language", ""),
              "Deutsch");
    EXPECT_EQ(fake.form.cmdScan.caption,
              "Pr\xFC"
              "fen")
        << "in the system's code page";
    EXPECT_EQ(fake.form.Label22.caption, "Willkommen bei Quillmarsh");
    EXPECT_EQ(m.launcher.started,
              std::vector<std::string>{"open C:\\Program Files\\Quillmarsh\\Help.chm"});
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kSettings, "showHelp", ""), "0");
    EXPECT_EQ(MachineWide(m, "FirstTime"), "Yes");
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].title, "Update Now?");
    EXPECT_EQ(m.prompts.shown[0].text.find("Thank you for using Quillmarsh!\r\n\r\n"), 0u);
    EXPECT_FALSE(m.http.asked.empty()) << "Yes starts Live Update as its button does";
    EXPECT_EQ(fake.form.caption, "Quillmarsh by Quillmarsh Software");
    m.pump.onEvents = nullptr;

    // The next start on this machine: no language window, no help, no greeting.
    test::FakeStartUpWindows windows;
    m.prompts.shown.clear();
    m.launcher.started.clear();
    Application again(FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump, nullptr,
                               nullptr, nullptr, nullptr, &windows},
                      StartOptions{std::string(test::FakeMachine::kDataFolder), {}});
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(windows.events, (std::vector<std::string>{"instance test", "instance test"}));
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_TRUE(m.launcher.started.empty());
}

TEST(LifeCycle, ARefusedMachineWideWriteIsToldAndTheGreetingShownAllTheSame) {
    test::FakeWindowApplication fake;
    test::FakeMachine& m = fake.m;
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Language", "English");
    m.settings.Write("Quillmarsh", settings::section::kSettings, "showHelp", "0");
    m.registry.failWritesLeft = 1;
    m.prompts.answers = {ui::MessageAnswer::Ignore, ui::MessageAnswer::No};
    ASSERT_TRUE(fake.app.Start());
    ASSERT_EQ(m.prompts.shown.size(), 2u);
    EXPECT_EQ(m.prompts.shown[0].title, "Permission Denied");
    EXPECT_EQ(m.prompts.shown[1].title, "Update Now?");
    EXPECT_TRUE(m.http.asked.empty()) << "No leaves the definitions as they are";

    // The next start of this user's program greets no more, and asks for no rights again.
    m.prompts.shown.clear();
    m.registry.readOnlyRoots = {platform::root::kLocalMachine};
    test::FakeStartUpWindows windows;
    Application again{FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump, nullptr,
                               nullptr, nullptr, nullptr, &windows},
                      StartOptions{std::string(test::FakeMachine::kDataFolder), {}}};
    ASSERT_TRUE(again.Start());
    EXPECT_TRUE(m.prompts.shown.empty());
}

// The copy that finds another running ends, whichever of the two tests finds it, without
// touching the running status or greeting anyone.
class SecondInstance : public testing::TestWithParam<int> {};

TEST_P(SecondInstance, EndsBeforeItWritesItsStatus) {
    test::FakeWindowApplication fake;
    test::FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Language", "English");
    m.settings.Write("Quillmarsh", settings::section::kOptions, "STATUS", "RUNNING");
    fake.windows.anotherRunning = [found = GetParam()](int test) { return test == found; };
    EXPECT_FALSE(fake.app.Start());
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kOptions, "RESTART", "(absent)"),
              "(absent)");
    EXPECT_EQ(MachineWide(m, "FirstTime"), "(absent)");
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_EQ(m.settings.Read(kOwnRecordsApp, "Quillmarsh Software", "Name", ""), "Quillmarsh");
    EXPECT_EQ(fake.form.lblDefCount.caption.empty(), GetParam() == 1)
        << "the definitions are counted between the two tests";
}

INSTANTIATE_TEST_SUITE_P(LifeCycle, SecondInstance, testing::Values(1, 2));

TEST(LifeCycle, RestoringTheWindowKeepsTheShieldAndScheduleAndMaximisedHidesTheTaskbarButton) {
    test::FakeWindowApplication fake;
    test::FakeMachine& m = fake.m;
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Language", "English");
    m.settings.Write("Quillmarsh", settings::section::kOptions, "chkAutomaticScanYesOrNo", "1");
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Max", "1");
    m.settings.Write("Quillmarsh", settings::section::kSettings, "Minimized", "Yes");
    ASSERT_TRUE(fake.app.Start());
    EXPECT_TRUE(fake.form.inTray);
    EXPECT_TRUE(fake.form.trayIcon.bRunningInTray);
    EXPECT_FALSE(fake.form.showInTaskbar);

    fake.app.ShowProgram();
    fake.form.windowState = ui::WindowState::Normal;
    fake.app.WindowResized(true);
    EXPECT_TRUE(fake.form.showInTaskbar);
    EXPECT_TRUE(fake.form.tmrScroll.enabled);
    EXPECT_TRUE(fake.form.tmrMemoryInspected.enabled);
    EXPECT_TRUE(fake.form.tmrScheduler.enabled);
    EXPECT_EQ(m.settings.Read("Quillmarsh", settings::section::kSettings, "Minimized", ""), "No");

    fake.form.windowState = ui::WindowState::Maximized;
    fake.app.WindowResized(true);
    EXPECT_FALSE(fake.form.showInTaskbar);
}

TEST(LifeCycle, TheConfirmedExitEndsAtOnceOnYesAndGoesBackToTheTrayOnNo) {
    for (const auto answer : {ui::MessageAnswer::No, ui::MessageAnswer::Yes}) {
        test::FakeWindowApplication fake;
        test::FakeMachine& m = fake.m;
        m.settings.Write("Quillmarsh", settings::section::kSettings, "Language", "English");
        m.registry.Put(platform::root::kLocalMachine,
                       "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings", "FirstTime",
                       {platform::RegistryValueType::String, "Yes", 0});
        ASSERT_TRUE(fake.app.Start());
        fake.app.MinimizeToTray();
        fake.form.tmrMemoryInspected.enabled = false;
        fake.app.TrayIconMouse(516);
        m.prompts.answers = {answer};
        const bool ends = fake.app.ConfirmExitFromTrayMenu();
        ASSERT_EQ(m.prompts.shown.size(), 1u);
        EXPECT_EQ(m.prompts.shown[0].text,
                  "Closing Quillmarsh may leave your system vulnerable to malicious programs. "
                  "Are you sure you want to exit?");
        EXPECT_FALSE(fake.form.frmMenuPopUp.visible);
        const std::string status =
            m.settings.Read("Quillmarsh", settings::section::kOptions, "STATUS", "");
        if (answer == ui::MessageAnswer::Yes) {
            EXPECT_TRUE(ends);
            EXPECT_EQ(status, "STOPPED");
            EXPECT_FALSE(fake.form.trayIcon.bRunningInTray);
            EXPECT_EQ(
                m.settings.Read("Quillmarsh", settings::section::kSettings, "Max", "(absent)"),
                "(absent)")
                << "ends at once, without the unload's records";
        } else {
            EXPECT_FALSE(ends);
            EXPECT_EQ(status, "RUNNING");
            EXPECT_TRUE(fake.form.inTray);
            EXPECT_TRUE(fake.form.trayIcon.bRunningInTray);
            EXPECT_TRUE(fake.form.tmrMemoryInspected.enabled) << "the shield is armed again";
        }
    }
}

// Exit while work runs: a scan stops without its question, an alert waiting for its answer
// closes unanswered (nothing stopped, nothing allowed), and the window is told to close once
// the work has ended, so the program never runs on without window and icon.
TEST(LifeCycle, ExitDuringWorkStopsTheWorkAndClosesWhenItHasEnded) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("ExeDefinition.dat", {"spy.exe=Spy|[progfil]Spy"});
    fake.LoadDefinitionState();
    m.pump.onEvents = [&](long long) {
        if (!fake.form.closeWhenIdle) fake.app.CloseWhenIdle();
        EXPECT_FALSE(fake.app.CanClose());
    };
    fake.app.RunScan(false);
    EXPECT_EQ(fake.form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_TRUE(m.prompts.shown.empty());
    EXPECT_TRUE(fake.form.closeWhenIdle);
    EXPECT_TRUE(fake.app.CanClose());

    fake.form.closeWhenIdle = false;
    m.processes.running = {{20, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"}};
    bool asked = false;
    m.pump.onEvents = [&](long long) {
        if (!fake.form.frmSpywareFoundAlert.visible) return;
        asked = true;
        fake.app.CloseWhenIdle();
    };
    fake.form.tmrMemoryInspected.enabled = true;
    fake.app.TimerTick(fake.form.tmrMemoryInspected);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(m.processes.killed.empty());
    EXPECT_FALSE(m.files.Has(std::string(test::FakeMachine::kDataFolder) + "\\ENoSignature.dat"));
    EXPECT_TRUE(fake.form.closeWhenIdle);
    EXPECT_TRUE(fake.app.CanClose());
}

}  // namespace
}  // namespace qm::app
