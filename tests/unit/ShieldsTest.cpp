// The two shields between scans, on the fake machine: the running-program alert and its two
// answers, and the home-page shield's first look, its three ways with a change and the
// browser key it must never create.

#include <gtest/gtest.h>

#include "support/FakeApplication.h"

namespace qm::shields {
namespace {

using platform::root::kCurrentUser;
using test::FakeMachine;
using ui::MessageAnswer;

class ShieldsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PutCompleteDefinitionSet();
        m.PutDefinitionFile("ExeDefinition.dat", {"spy.exe=Spy|[progfil]Spy"});
        fake.LoadDefinitionState();
    }
    void SetOption(const std::string& key, const std::string& value) {
        m.settings.Write("Quillmarsh", settings::section::kOptions, key, value);
    }
    std::string Stored(const std::string& key) {
        return m.settings.Read("Quillmarsh", settings::section::kOptions, key, "(absent)");
    }
    void SetStartPage(const std::string& page) {
        m.registry.Put(kCurrentUser, kBrowserMainKey, kStartPageValue, {.text = page});
    }
    std::string StartPage() {
        const auto value = m.registry.Get(kCurrentUser, kBrowserMainKey, kStartPageValue);
        return value ? value->text : "(none)";
    }
    std::string Exclusions() {
        return m.files.Content(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat")
            .value_or("");
    }

    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    app::Application& app = fake.app;
};

TEST_F(ShieldsTest, ARunningThreatWaitsForTheAnswerWithTheTimersOffAndStopEndsIt) {
    // A namesake listed first (a service the pass cannot open) is not the program judged.
    m.processes.running = {{19, "spy.exe", std::nullopt},
                           {20, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"}};
    bool timersOffWhileAsked = true;
    m.pump.onEvents = [&](long long) {
        if (!form.frmSpywareFoundAlert.visible) return;
        timersOffWhileAsked = timersOffWhileAsked && !form.tmrCheckHomePage.enabled &&
                              !form.tmrScheduler.enabled && !form.tmrMemoryInspected.enabled;
        EXPECT_EQ(form.frmSpywareFoundAlert.lblAlertFileName.caption, "SPY.EXE");
        EXPECT_EQ(form.frmSpywareFoundAlert.lblAlertCompanyName.caption,
                  "No Company name available for SPY.EXE");
        app.AlertStop();
    };
    app.TimerTick(form.tmrMemoryInspected);
    EXPECT_TRUE(timersOffWhileAsked);
    EXPECT_FALSE(form.frmSpywareFoundAlert.visible);
    EXPECT_EQ(m.processes.killed, std::vector<std::uint32_t>{20});
    EXPECT_TRUE(form.tmrMemoryInspected.enabled) << "restarted from its setting";

    // Started again under the same name, it is a new program to look at.
    m.processes.running = {{23, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"}};
    app.TimerTick(form.tmrMemoryInspected);
    app.TimerTick(form.tmrMemoryInspected);
    EXPECT_EQ(m.processes.killed, (std::vector<std::uint32_t>{20, 23}));
}

TEST_F(ShieldsTest, AllowExcludesTheNameAndAProgramThatWillNotStopIsSaidSo) {
    m.processes.running = {{20, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"}};
    m.pump.onEvents = [&](long long) {
        if (form.frmSpywareFoundAlert.visible) app.AlertAllow();
    };
    app.TimerTick(form.tmrMemoryInspected);
    EXPECT_EQ(Exclusions(), "SPY.EXE\r\n");
    EXPECT_TRUE(m.processes.killed.empty());

    // A protected program: Kill fails every time.
    fake.m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\ENoSignature.dat", "");
    app.Store().LoadExclusions(fake.session);
    // Another program started too, so the pass looks again.
    m.processes.running = {{21, "spy.exe", "C:\\Program Files\\Spy\\spy.exe"},
                           {22, "other.exe", "C:\\Other\\other.exe"}};
    m.processes.failKills = true;
    m.pump.onEvents = [&](long long) {
        if (form.frmSpywareFoundAlert.visible) app.AlertStop();
    };
    app.TimerTick(form.tmrMemoryInspected);
    ASSERT_FALSE(m.prompts.shown.empty());
    EXPECT_EQ(m.prompts.shown.back().text,
              "SPY.EXE could not be stopped.  You should try again after saving your work and "
              "closing any open applications.");

    // Switched off, the shield looks at nothing.
    SetOption("optMemorySheildOn", "False");
    m.processes.lists = 0;
    app.TimerTick(form.tmrMemoryInspected);
    EXPECT_EQ(m.processes.lists, 0);
}

struct HomePageCase {
    const char* name;
    const char* ask;       // optAlwaysnotifybeforerestoring
    const char* silently;  // optRestoredefaultwithoutnotification
    MessageAnswer answer;
    const char* pageAfter;
    const char* savedAfter;
};

class HomePageChange : public ShieldsTest, public ::testing::WithParamInterface<HomePageCase> {};

TEST_P(HomePageChange, IsAskedRestoredOrLeftAsTheSettingsSay) {
    SetStartPage("http://home.example/");
    app.TimerTick(form.tmrCheckHomePage);
    EXPECT_EQ(Stored("Homepage"), "http://home.example/") << "the first look saves the page";
    SetOption("optAlwaysnotifybeforerestoring", GetParam().ask);
    SetOption("optRestoredefaultwithoutnotification", GetParam().silently);
    // The same address in other letters is a change: the comparison is exact.
    SetStartPage("http://HOME.example/");
    m.prompts.answers = {GetParam().answer};
    app.TimerTick(form.tmrCheckHomePage);
    EXPECT_EQ(StartPage(), GetParam().pageAfter);
    EXPECT_EQ(Stored("Homepage"), GetParam().savedAfter);
    EXPECT_TRUE(form.tmrCheckHomePage.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, HomePageChange,
    ::testing::Values(HomePageCase{"AskedYesRestores", "True", "False", MessageAnswer::Yes,
                                   "http://home.example/", "http://home.example/"},
                      HomePageCase{"AskedNoAccepts", "True", "False", MessageAnswer::No,
                                   "http://HOME.example/", "http://HOME.example/"},
                      HomePageCase{"SilentRestores", "False", "True", MessageAnswer::No,
                                   "http://home.example/", "http://home.example/"},
                      HomePageCase{"NeitherLeavesIt", "False", "False", MessageAnswer::No,
                                   "http://HOME.example/", "http://home.example/"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ShieldsTest, AMissingOrNonTextStartPageReadsBlankAndIsNeverCreated) {
    SetOption("Homepage", "http://home.example/");
    SetOption("optAlwaysnotifybeforerestoring", "False");
    SetOption("optRestoredefaultwithoutnotification", "True");
    app.TimerTick(form.tmrCheckHomePage);
    EXPECT_FALSE(m.registry.KeyOpens(kCurrentUser, kBrowserMainKey, platform::RegistryAccess::Read))
        << "the restore opens the key, never creates it";
    m.registry.Put(kCurrentUser, kBrowserMainKey, kStartPageValue,
                   {platform::RegistryValueType::Number, "", 7});
    app.TimerTick(form.tmrCheckHomePage);
    EXPECT_EQ(StartPage(), "http://home.example/") << "a number is no page: restored";
}

TEST_F(ShieldsTest, EveryThirdHomePageTickAlsoLooksAtTheRunningPrograms) {
    SetStartPage("about:blank");
    std::vector<int> listedAt;
    for (int tick = 1; tick <= 6; ++tick) {
        const int before = m.processes.lists;
        app.TimerTick(form.tmrCheckHomePage);
        if (m.processes.lists != before) listedAt.push_back(tick);
    }
    EXPECT_EQ(listedAt, (std::vector<int>{3, 6}));
}

}  // namespace
}  // namespace qm::shields
