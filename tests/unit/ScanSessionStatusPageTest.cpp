// The Home page after a scan: counts, version, definition date and stamps.

#include "ScanSessionFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::scan {
namespace {

using test::FakeMachine;
using test::kProduct;
using test::ScanSessionTest;

// ---- Status page ------------------------------------------------------------------------------

TEST_F(ScanSessionTest, StatusPageShowsCountsDateAndStoredStamps) {
    m.PutCompleteDefinitionSet();
    app.Store().SetCounts(defs::SignatureCounts{1, 1234567, 0, 0});
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefCount.caption, "1,234,568");
    // Without a date stamp the definitions carry the default date; nothing stored yet.
    EXPECT_EQ(form.lblDefVersion.caption, "3/16/2006 12:00:00 AM PST");
    EXPECT_EQ(form.lblDefRemoved.caption, "0");
    EXPECT_EQ(form.lblLastScan.caption, "Never");
    EXPECT_EQ(form.lblLastFullScan.caption, "Never");

    m.files.PutFile(DataPath("date.dat"), "5/1/2026 10:00:00 AM\r\n");
    m.settings.Write(kProduct, "Settings", "lblDefRemoved", "17");
    m.settings.Write(kProduct, "Settings", "lblLastScan", "1/1/2027 1:00:00 AM");
    m.settings.Write(kProduct, "Settings", "lblLastFullScan", "12/31/2026 11:00:00 PM");
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefVersion.caption, "5/1/2026 10:00:00 AM PST");
    EXPECT_EQ(form.lblDefRemoved.caption, "17");
    EXPECT_EQ(form.lblLastScan.caption, "1/1/2027 1:00:00 AM");
    EXPECT_EQ(form.lblLastFullScan.caption, "12/31/2026 11:00:00 PM");
}

TEST_F(ScanSessionTest, StatusPageKeepsAskingForLiveUpdateWhileTheSetIsIncomplete) {
    // An incomplete set has no definitions to date: the page must not claim the default date.
    m.PutCompleteDefinitionSet();
    m.files.DeleteFile(std::string(FakeMachine::kDataFolder) + "\\BlockedCookies.dat");
    app.RefreshStatusPage();
    EXPECT_EQ(form.lblDefVersion.caption, "Files Missing, Run Live Update");

    // A scan that found the set incomplete leaves the same text after it ends.
    app.StartScan();
    EXPECT_EQ(form.lblDefVersion.caption, "Files Missing, Run Live Update");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

TEST_F(ScanSessionTest, StatusPageVersionIsMajorDotMinor) {
    platform::ProductInfo product = m.version.info;
    product.major = 10;
    product.minor = 3;
    m.version.info = product;
    app::Application other(app::FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump},
                           app::StartOptions{std::string(FakeMachine::kDataFolder), {}});
    other.RefreshStatusPage();
    EXPECT_EQ(other.Form().lblVersion.caption, "10.3");
    EXPECT_EQ(other.Form().lblDefCount.caption, "0");
}

}  // namespace
}  // namespace qm::scan
