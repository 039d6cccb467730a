// The throttled screen refresh during a scan, and the percentages its bars show.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

namespace qm::scan {
namespace {

using test::ScanSessionTest;

// ---- Throttled progress -----------------------------------------------------------------------

class Progress : public ScanSessionTest {
  protected:
    void SetUp() override {
        ScanSessionTest::SetUp();
        auto& c = session.MutableCounters();
        c.processesInspected = 3;
        c.registryInspected = 5;
        c.filesInspected = 7;
        c.itemsFound = 2;
        for (ui::Label* l :
             {&form.lblMemoryInspected, &form.lblRegistryInspected, &form.lblFilesFolderInspected,
              &form.lblSoftwareFound, &form.lblRemovePicSoftwareFound, &form.lblStatus}) {
            l->caption = "untouched";
        }
        form.pb1.Set(10);
        form.pb2.Set(20);
    }
    void ExpectUntouched() {
        EXPECT_EQ(form.lblMemoryInspected.caption, "untouched");
        EXPECT_EQ(form.lblRegistryInspected.caption, "untouched");
        EXPECT_EQ(form.lblFilesFolderInspected.caption, "untouched");
        EXPECT_EQ(form.lblSoftwareFound.caption, "untouched");
        EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "untouched");
        EXPECT_EQ(form.lblStatus.caption, "untouched");
        EXPECT_EQ(form.pb1.value, 10);
        EXPECT_EQ(form.pb2.value, 20);
    }
};

TEST_F(Progress, TwentyFourCallsChangeNothingAndTheTwentyFifthRefreshesEverything) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("Scanning essex.exe", 50, 60);
    ExpectUntouched();

    session.ProgressUpdate("Scanning essex.exe", 50, 60);
    EXPECT_EQ(form.lblMemoryInspected.caption, "3");
    EXPECT_EQ(form.lblRegistryInspected.caption, "5");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    EXPECT_EQ(form.lblSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblStatus.caption, "Scanning es.exe");  // through the word filter
    EXPECT_EQ(form.pb1.value, 50);
    EXPECT_EQ(form.pb2.value, 60);
}

TEST_F(Progress, CountStartsAgainAfterARefresh) {
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("first", 50, 60);
    ASSERT_EQ(form.lblStatus.caption, "first");
    session.MutableCounters().filesInspected = 99;
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("second", 70, 80);
    EXPECT_EQ(form.lblStatus.caption, "first");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    session.ProgressUpdate("second", 70, 80);
    EXPECT_EQ(form.lblStatus.caption, "second");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "99");
    EXPECT_EQ(form.pb1.value, 70);
}

TEST_F(Progress, NegativePercentageLeavesItsBarUnchanged) {
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("a", -1, 40);
    EXPECT_EQ(form.pb1.value, 10);
    EXPECT_EQ(form.pb2.value, 40);
    for (int i = 0; i < 25; ++i)
        session.ProgressUpdate("b", 30, -5);
    EXPECT_EQ(form.pb1.value, 30);
    EXPECT_EQ(form.pb2.value, 40);
    EXPECT_EQ(form.lblStatus.caption, "b");
}

TEST_F(Progress, ImmediateUpdateRefreshesAtOnceWithoutTouchingTheCount) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("throttled", 50, 60);
    session.ProgressUpdateNow("Loading definitions, please wait...", 0, 0);
    EXPECT_EQ(form.lblStatus.caption, "Loading definitions, please wait...");
    EXPECT_EQ(form.lblSoftwareFound.caption, "2");
    EXPECT_EQ(form.pb1.value, 0);
    EXPECT_EQ(form.pb2.value, 0);
    // The throttle still stood at 24: the next call is the 25th.
    session.ProgressUpdate("25th", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "25th");
}

TEST_F(Progress, CounterUpdateWritesOnlyTheCountersAndRestartsTheCount) {
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("throttled", 50, 60);
    session.CounterUpdate();
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "7");
    EXPECT_EQ(form.lblRemovePicSoftwareFound.caption, "2");
    EXPECT_EQ(form.lblStatus.caption, "untouched");
    EXPECT_EQ(form.pb1.value, 10);
    for (int i = 0; i < 24; ++i)
        session.ProgressUpdate("again", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "untouched");
    session.ProgressUpdate("again", 50, 60);
    EXPECT_EQ(form.lblStatus.caption, "again");
}

// ---- Percentages ------------------------------------------------------------------------------

struct PercentCase {
    double numerator, denominator;
    int expected;
};

void PrintTo(const PercentCase& c, std::ostream* os) {
    *os << c.numerator << "/" << c.denominator;
}

class Percentages : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percentages, WholeNumbersWithHalvesToEven) {
    EXPECT_EQ(Percent(GetParam().numerator, GetParam().denominator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, Percentages,
                         ::testing::Values(PercentCase{1, 8, 12},   // 12.5
                                           PercentCase{3, 8, 38},   // 37.5
                                           PercentCase{1, 200, 0},  // 0.5
                                           PercentCase{3, 200, 2},  // 1.5
                                           PercentCase{5, 200, 2},  // 2.5
                                           PercentCase{2, 3, 67}, PercentCase{1, 3, 33},
                                           PercentCase{7, 7, 100}, PercentCase{0, 9, 0},
                                           PercentCase{5, 0, -1}));  // bars stay as they are

}  // namespace
}  // namespace qm::scan
