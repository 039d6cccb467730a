// The program's records for its sibling tools across its life, on the fake machine: its own
// name and file at start-up, the anti-hijack tool's button, the running status, and what an
// orderly end stores.

#include <gtest/gtest.h>

#include "app/SiblingRecords.h"
#include "support/FakeApplication.h"

namespace qm::app {
namespace {

TEST(LifeCycle, StartAndEndLeaveTheirRecordsAndTheAntiHijackButtonFollowsItsTool) {
    test::FakeApplication fake;
    test::FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    const auto stored = [&](const std::string& app, const std::string& section,
                            const std::string& key) {
        return m.settings.Read(app, section, key, "(absent)");
    };
    m.settings.Write(kAntiHijackApp, "Quillmarsh Software", "Name", "Hijack Guard");
    m.settings.Write(kAntiHijackApp, "Quillmarsh Software", "File", "C:\\Tools\\guard.exe");
    fake.app.Start();
    EXPECT_EQ(stored(kOwnRecordsApp, "Quillmarsh Software", "Name"), "Quillmarsh");
    EXPECT_EQ(stored(kOwnRecordsApp, "Quillmarsh Software", "File"),
              "C:\\Program Files\\Quillmarsh\\Quillmarsh.exe");
    EXPECT_EQ(stored("Quillmarsh", section::kOptions, "STATUS"), "RUNNING");
    EXPECT_EQ(stored("Quillmarsh", section::kOptions, "RESTART"), "False");
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
    m.settings.Write("Quillmarsh", section::kOptions, "RESTART", "True");
    fake.app.Closing();
    EXPECT_EQ(stored("Quillmarsh", section::kOptions, "STATUS"), "STOPPED");
    EXPECT_EQ(stored("Quillmarsh", section::kOptions, "RESTART"), "False");
    EXPECT_EQ(stored("Quillmarsh", section::kSettings, "FoundCol22"), "3000");
    EXPECT_EQ(stored("Quillmarsh", section::kSettings, "Max"), "1");
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

}  // namespace
}  // namespace qm::app
