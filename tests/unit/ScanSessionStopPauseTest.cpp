// Stop and Pause reaching a running scan through the event pump: the questions, the flag, and
// a paused scan completing after OK.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm::scan {
namespace {

using test::kProduct;
using test::ScanSessionTest;
using ui::MessageAnswer;
using ui::MessageButtons;
using ui::MessageIcon;
using ui::ScanKind;

// ---- Stop ------------------------------------------------------------------------------------

TEST_F(ScanSessionTest, StopConfirmedWhileDefinitionsLoadCancelsTheScan) {
    m.PutCompleteDefinitionSet();
    PutFileDefinitions(300);
    Select(ScanKind::FullSystem);
    m.prompts.answers = {MessageAnswer::Yes};
    m.pump.onEvents = [&](long long call) {
        if (call == 40) session.StopScan(true);
    };
    app.StartScan();

    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Are you sure?");
    EXPECT_EQ(form.lblStatus.caption, "Scanning was cancelled.");
    EXPECT_EQ(form.lblPercentageCompleted.caption, "0% Completed.");
    EXPECT_EQ(form.pbgMain.value, 0);
    EXPECT_TRUE(session.StopRequested());
    // A load stopped part-way is not kept as the definition set.
    EXPECT_FALSE(app.Store().Definitions().Loaded());
    EXPECT_TRUE(app.Store().Definitions().FileTable().empty());

    // The next scan of the same run loads the whole set and checks against all of it.
    m.pump.onEvents = nullptr;
    app.StartScan();
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_FALSE(session.StopRequested());
    EXPECT_TRUE(app.Store().Definitions().Loaded());
    EXPECT_EQ(app.Store().Definitions().FileTable().size(), 300u);
}

TEST_F(ScanSessionTest, StopAnsweredNoChangesNothing) {
    m.PutCompleteDefinitionSet();
    PutFileDefinitions(100);
    Select(ScanKind::FullSystem);
    m.prompts.answers = {MessageAnswer::No};
    m.pump.onEvents = [&](long long call) {
        if (call == 10) session.StopScan();
    };
    app.StartScan();

    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Are you sure you want to stop the scan?");
    EXPECT_FALSE(session.StopRequested());
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_EQ(app.Store().Definitions().FileTable().size(), 100u);
}

struct StopCase {
    bool fromLabel;
    const char* question;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << (c.fromLabel ? "lblStop" : "cmdStop");
}

class StopQuestion : public ScanSessionTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopQuestion, AsksYesOrNoAndYesSetsTheStopFlag) {
    form.mousePointer = ui::MousePointer::Hourglass;
    m.prompts.answers = {MessageAnswer::Yes};
    session.StopScan(GetParam().fromLabel);
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    const auto& box = m.prompts.shown[0];
    EXPECT_EQ(box.text, GetParam().question);
    EXPECT_EQ(box.title, kProduct);
    EXPECT_EQ(box.buttons, MessageButtons::YesNo);
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_TRUE(session.StopRequested());
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Default);
}

TEST_P(StopQuestion, NoLeavesTheFlagAndThePointer) {
    form.mousePointer = ui::MousePointer::Hourglass;
    m.prompts.answers = {MessageAnswer::No};
    session.StopScan(GetParam().fromLabel);
    EXPECT_FALSE(session.StopRequested());
    EXPECT_EQ(form.mousePointer, ui::MousePointer::Hourglass);
}

INSTANTIATE_TEST_SUITE_P(Buttons, StopQuestion,
                         ::testing::Values(StopCase{false,
                                                    "Are you sure you want to stop the scan?"},
                                           StopCase{true, "Are you sure?"}));

// ---- Pause -----------------------------------------------------------------------------------

TEST_F(ScanSessionTest, PauseShowsTheProductNameAndDisablesPauseAndStopWhileOpen) {
    form.cmdPause.enabled = true;
    form.cmdStop.enabled = true;
    bool pauseWhileOpen = true, stopWhileOpen = true;
    m.prompts.whileShowing = [&] {
        pauseWhileOpen = form.cmdPause.enabled;
        stopWhileOpen = form.cmdStop.enabled;
    };
    session.PauseScan();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_EQ(m.prompts.shown[0].text, "Quillmarsh has been paused.  Click OK to resume.");
    EXPECT_EQ(m.prompts.shown[0].title, kProduct);
    EXPECT_EQ(m.prompts.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(pauseWhileOpen);
    EXPECT_FALSE(stopWhileOpen);
    EXPECT_TRUE(form.cmdPause.enabled);
    EXPECT_TRUE(form.cmdStop.enabled);
}

TEST_F(ScanSessionTest, PauseDuringAScanHoldsItAndTheScanCompletesAfterOk) {
    m.PutCompleteDefinitionSet();
    Select(ScanKind::FullSystem);
    bool paused = false;
    bool enabledAfterPause = false;
    std::vector<bool> whileOpen;
    m.prompts.whileShowing = [&] {
        whileOpen.push_back(form.cmdPause.enabled);
        whileOpen.push_back(form.cmdStop.enabled);
        whileOpen.push_back(session.Scanning());
    };
    m.pump.onEvents = [&](long long) {
        if (!paused && form.cmdPause.enabled) {  // the drive walk: Pause is clickable
            paused = true;
            session.PauseScan();
            enabledAfterPause = form.cmdPause.enabled && form.cmdStop.enabled;
        }
    };
    app.StartScan();
    ASSERT_TRUE(paused);
    EXPECT_EQ(whileOpen, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(enabledAfterPause);
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
    EXPECT_FALSE(form.cmdPause.enabled);
}

}  // namespace
}  // namespace qm::scan
