// The memory phase against scripted running programs: matches by path and by name, the
// vendor, exclusion and sibling-tool exceptions, stopping exactly the judged program, and the
// snapshot short-cut.

#include <gtest/gtest.h>

#include "definitions/LineScramble.h"
#include "scan/ProcessControl.h"
#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::scan {
namespace {

using test::FakeMachine;

std::string MicrosoftExecutable() {
    std::string wide;
    for (char c : std::string("CompanyName"))
        wide += std::string{'\0', c};
    std::string value;
    for (char c : std::string("Microsoft Corporation"))
        value += std::string{c, '\0'};
    std::string table;
    for (char c : std::string("StringFileInfo"))
        table += std::string{'\0', c};
    // The key's type word and wide text; the value starts 26 bytes after the key's first byte.
    std::string key = "\x01" + wide;
    return "MZ" + std::string(64, 'x') + "\x01" + table + std::string(40, '\0') + key +
           std::string(26 - key.size(), '\0') + value + std::string(4, '\0');
}

class ProcessScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("ExeDefinition.dat",
                            {"spy.exe=Spy|[progfil]Spy", "named.exe=Named|[windir]",
                             "ms.exe=Ms|[progfil]Ms", "kept.exe=Kept|[progfil]Kept",
                             "Brackenhelper.exe=Helper|[progfil]Sib", "=Folder|[progfil]Whole"});
        m.files.PutFile("C:\\Program Files\\Ms\\ms.exe", MicrosoftExecutable());
        m.files.PutFile("C:\\windows\\system32\\named.exe", MicrosoftExecutable());
        m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat",
                        "KEPT.EXE\r\n");
        m.processes.running = {
            {4, "System", std::nullopt},
            // A trusted namesake of a threat, running before it: never the one stopped.
            {5, "named.exe", "C:\\windows\\system32\\named.exe"},
            {10, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"},
            {11, "named.exe", "D:\\elsewhere\\named.exe"},
            {12, "ms.exe", "C:\\Program Files\\Ms\\ms.exe"},
            {13, "kept.exe", "C:\\Program Files\\Kept\\kept.exe"},
            {14, "Brackenhelper.exe", "C:\\Program Files\\Sib\\Brackenhelper.exe"},
            {15, "harmless.exe", "C:\\Program Files\\Whole\\harmless.exe"},
        };
        m.settings.Write("Quillmarsh", "OptionAndSettings", "chkScanRegistry", "False");
        fake.LoadDefinitionState();
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;
};

TEST_F(ProcessScanTest, ThreatsAreStoppedAndTheExceptionsKeepRunning) {
    app.StartScan();
    std::vector<std::string> live;
    for (const auto& r : form.lvwSpywareFound.rows)
        live.push_back(r.text + "|" + r.SubItem(1));
    EXPECT_EQ(live, (std::vector<std::string>{"Running Application|SPY.EXE was stopped",
                                              "Running Application|NAMED.EXE was stopped",
                                              "EXCLUDED|KEPT.EXE"}));
    EXPECT_EQ(m.processes.killed, (std::vector<std::uint32_t>{10, 11}));
    EXPECT_TRUE(form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty());
    EXPECT_EQ(form.lblTotalNoOfRunningItems.caption, "8");
    EXPECT_EQ(session.Counters().itemsFound, 2);
    // Six definition lines and eight processes.
    EXPECT_EQ(form.lblMemoryInspected.caption, "14");
}

// The memory shield's alert, as a list of what it was asked to show.
struct RecordingAlert final : RunningThreatAlert {
    std::vector<std::string> asked;
    void RunningThreatFound(const JudgedProcess& process, const std::string& company) override {
        asked.push_back(process.exeName + "|" + company);
    }
};

TEST_F(ProcessScanTest, AnUnchangedSetOfProgramsIsNotLookedAtAgain) {
    m.processes.running.erase(m.processes.running.begin() + 2, m.processes.running.begin() + 4);
    RecordingAlert alert;
    app.InspectMemory(alert);
    const int opened = m.files.openCount;
    app.InspectMemory(alert);
    EXPECT_EQ(m.files.openCount, opened) << "the definitions are not read again";
    // Outside a scan the user is asked instead of the program being stopped.
    m.processes.running.push_back({20, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"});
    app.InspectMemory(alert);
    EXPECT_EQ(alert.asked,
              std::vector<std::string>{"SPY.EXE|No Company name available for SPY.EXE"});
    EXPECT_TRUE(m.processes.killed.empty());
}

// A pass that was stopped has not looked at every program: the next one must not take the
// unchanged process list for one that was examined.
TEST_F(ProcessScanTest, AStopDuringTheMemoryPhaseLeavesTheNextScanToExamineThePrograms) {
    m.prompts.answers = {ui::MessageAnswer::Yes};
    m.pump.onEvents = [&](long long) {
        if (form.lblPercentageCompleted.caption == "Inspecting memory" && !session.StopRequested())
            session.StopScan();
    };
    app.StartScan();
    ASSERT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_TRUE(m.processes.killed.empty());

    m.pump.onEvents = nullptr;
    app.StartScan();
    EXPECT_EQ(m.processes.killed.size(), 2u);
}

TEST(ProcessControl, AStopEndsOnlyTheJudgedProgramAndOnlyOnceItHasEnded) {
    const std::string sys = "C:\\windows\\system32";
    test::FakeProcesses processes;
    processes.running = {{1, "host.exe", "C:\\windows\\system32\\host.exe"},
                         {2, "host.exe", "C:\\windows\\host.exe"},
                         {3, "host.exe", "C:\\windows\\host.exe"}};
    // Its identifier now names the trusted program: the judged one has ended already.
    EXPECT_TRUE(StopJudgedProcess(processes, {1, "C:\\WINDOWS\\HOST.EXE", "HOST.EXE"}, sys));
    EXPECT_TRUE(processes.killed.empty());
    EXPECT_TRUE(StopJudgedProcess(processes, {2, "C:\\WINDOWS\\HOST.EXE", "HOST.EXE"}, sys));
    EXPECT_EQ(processes.killed, std::vector<std::uint32_t>{2});
    // The removal stops every program running the file, and no namesake elsewhere.
    processes.running.push_back({2, "host.exe", "C:\\windows\\host.exe"});
    EXPECT_TRUE(StopProcessesRunning(processes, "c:\\windows\\host.exe", sys));
    EXPECT_EQ(processes.killed, (std::vector<std::uint32_t>{2, 3, 2}));
    ASSERT_EQ(processes.running.size(), 1u);
    EXPECT_EQ(processes.running[0].id, 1u);

    // A program that cannot be opened (another account's service) has not been stopped, and
    // neither has one that refuses to end.
    processes.running = {{7, "svc.exe", std::nullopt}, {8, "held.exe", "C:\\held.exe"}};
    EXPECT_FALSE(StopJudgedProcess(processes, {7, "C:\\SVC.EXE", "SVC.EXE"}, sys));
    processes.failKills = true;
    EXPECT_FALSE(StopJudgedProcess(processes, {8, "C:\\HELD.EXE", "HELD.EXE"}, sys));
    EXPECT_FALSE(StopProcessesRunning(processes, "C:\\held.exe", sys));

    EXPECT_EQ(ResolveSystem32Path("c:\\winnt\\System32\\drivers\\x.sys", "C:\\windows\\system32"),
              "C:\\windows\\system32\\DRIVERS\\X.SYS");
    EXPECT_EQ(ResolveSystem32Path("C:\\apps\\a.exe", "C:\\windows\\system32"), "C:\\apps\\a.exe");

    processes.running = {{1, "System", std::nullopt},
                         {2, "svchost.exe", std::nullopt},
                         {3, "SVCHOST.EXE", std::nullopt},  // the comparison keeps case
                         {4, "spy.exe", std::nullopt}};
    EXPECT_EQ(ListRunningProcessNames(processes),
              defs::EncodeLine("SVCHOST.EXE") + "|" + defs::EncodeLine("spy.exe"));
    processes.running.resize(2);
    EXPECT_EQ(ListRunningProcessNames(processes), "");
}

}  // namespace
}  // namespace qm::scan
