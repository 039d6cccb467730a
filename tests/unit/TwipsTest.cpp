// Twips and points against a window's pixels at 96, 120, 144 and 192 DPI: the results list's
// stored column widths, the tray menu's and the update notice's positions, and the fonts the
// windows make, each as large on a screen of any DPI as on one of 96.

#include "ui/Twips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/FrmMenuPopUp.h"
#include "ui/FrmSignatureUpdated.h"

namespace qm::ui {
namespace {

struct AtDpi {
    int dpi;
    int storedColumnPx;  // the default 1400-twip column
    int fontHeight;      // an 8-point font
};

class TwipsTest : public ::testing::TestWithParam<AtDpi> {
  protected:
    // A 1024 x 768 screen (at 96 DPI) with a 30-pixel taskbar, as the window measures it at
    // this DPI and hands it to the models.
    ScreenFacts MeasuredScreen() const {
        const int dpi = GetParam().dpi;
        return {ScaleToDefaultDpi(ScaleFromDefaultDpi(1024, dpi), dpi),
                ScaleToDefaultDpi(ScaleFromDefaultDpi(768, dpi), dpi),
                ScaleToDefaultDpi(ScaleFromDefaultDpi(30, dpi), dpi)};
    }
    int ScreenWidthPx() const { return ScaleFromDefaultDpi(1024, GetParam().dpi); }
    int ScreenHeightPx() const { return ScaleFromDefaultDpi(768, GetParam().dpi); }
    int TaskbarTopPx() const { return ScreenHeightPx() - ScaleFromDefaultDpi(30, GetParam().dpi); }

    // A slide-up window drawn at this DPI: its right edge just inside the screen's, loaded at
    // the taskbar's line, and once risen resting just above the taskbar.
    void ExpectAtTheRightEdgeAboveTheTaskbar(int leftTwips, int loadedTopTwips, int risenTopTwips,
                                             int widthTwips, int heightTwips) const {
        const int dpi = GetParam().dpi;
        const int right = TwipsToPixels(leftTwips, dpi) + TwipsToPixels(widthTwips, dpi);
        EXPECT_LE(right, ScreenWidthPx());
        EXPECT_GE(right, ScreenWidthPx() - ScaleFromDefaultDpi(30, dpi)) << "at the right edge";
        const int loadedTop = TwipsToPixels(loadedTopTwips, dpi);
        EXPECT_LE(loadedTop, TaskbarTopPx());
        EXPECT_GE(loadedTop, TaskbarTopPx() - ScaleFromDefaultDpi(30, dpi))
            << "it starts at the taskbar's line";
        const int top = TwipsToPixels(risenTopTwips, dpi);
        const int height = TwipsToPixels(heightTwips, dpi);
        EXPECT_LE(top + height, TaskbarTopPx());
        EXPECT_GE(top, ScreenHeightPx() - height - ScaleFromDefaultDpi(60, dpi));
    }
};

TEST_P(TwipsTest, AStoredColumnWidthKeepsItsSizeAndSurvivesBeingStoredAgain) {
    const int dpi = GetParam().dpi;
    EXPECT_EQ(TwipsToPixels(kTwipsPerInch, dpi), dpi) << "an inch of twips is the screen's inch";
    const int pixels = TwipsToPixels(1400, dpi);
    EXPECT_EQ(pixels, GetParam().storedColumnPx);
    // The window stores what the list shows; shown again it is the same width, on every
    // start, without creeping.
    const int storedAgain = PixelsToTwips(pixels, dpi);
    EXPECT_LE(std::abs(storedAgain - 1400), kTwipsPerInch / dpi / 2 + 1);
    EXPECT_EQ(TwipsToPixels(storedAgain, dpi), pixels);
    EXPECT_EQ(PixelsToTwips(TwipsToPixels(storedAgain, dpi), dpi), storedAgain);
}

// The tray menu and the update notice: 180 and 320 pixels wide at 96 DPI, scaled with the
// screen, rising inside its right edge and stopping above the taskbar.
TEST_P(TwipsTest, TheSlideUpWindowsRiseInsideTheRightEdgeAndStopAboveTheTaskbar) {
    const int dpi = GetParam().dpi;
    FrmMenuPopUp menu;
    menu.Load("Quillmarsh", MeasuredScreen(), true);
    FrmSignatureUpdated notice;
    notice.Load("Quillmarsh", MeasuredScreen());
    EXPECT_EQ(TwipsToPixels(FrmMenuPopUp::kWidthTwips, dpi), ScaleFromDefaultDpi(180, dpi));
    EXPECT_EQ(TwipsToPixels(FrmMenuPopUp::kHeightTwips, dpi), ScaleFromDefaultDpi(120, dpi));
    EXPECT_EQ(TwipsToPixels(FrmSignatureUpdated::kWidthTwips, dpi), ScaleFromDefaultDpi(320, dpi));
    const int menuLoadedTop = menu.top, noticeLoadedTop = notice.top;
    while (menu.tmrMenuPopup.enabled)
        menu.SlideUp();
    while (notice.tmrPopupSignatureUpdate.enabled)
        notice.SlideUp();
    ExpectAtTheRightEdgeAboveTheTaskbar(menu.left, menuLoadedTop, menu.top,
                                        FrmMenuPopUp::kWidthTwips, FrmMenuPopUp::kHeightTwips);
    ExpectAtTheRightEdgeAboveTheTaskbar(notice.left, noticeLoadedTop, notice.top,
                                        FrmSignatureUpdated::kWidthTwips,
                                        FrmSignatureUpdated::kHeightTwips);
}

TEST_P(TwipsTest, AnEightPointFontIsAsTallAsTheDialogFontAtThisDpi) {
    EXPECT_EQ(FontHeightForPoints(8, GetParam().dpi), GetParam().fontHeight);
}

INSTANTIATE_TEST_SUITE_P(Dpi, TwipsTest,
                         ::testing::Values(AtDpi{96, 93, -11}, AtDpi{120, 117, -13},
                                           AtDpi{144, 140, -16}, AtDpi{192, 187, -21}),
                         [](const auto& dpi) { return std::to_string(dpi.param.dpi); });

TEST(TwipsRounding, HalvesGoAwayFromZeroAsMulDivRoundsThem) {
    EXPECT_EQ(ScaleRounded(1, 1, 2), 1);
    EXPECT_EQ(ScaleRounded(-1, 1, 2), -1);
    EXPECT_EQ(ScaleRounded(1, 1, 3), 0);
    EXPECT_EQ(ScaleRounded(2, 1, 3), 1);
    EXPECT_EQ(ScaleRounded(-2, 1, 3), -1);
    EXPECT_EQ(ScaleRounded(5, 1, -2), -3);
    EXPECT_EQ(ScaleRounded(7, 3, 0), -1);
    EXPECT_EQ(ScaleRounded(100'000'000, 192, 1440), 13'333'333) << "no overflow on the way";
}

TEST(TwipsRounding, PositionsLeftOfTheMainScreenStayNegative) {
    EXPECT_EQ(TwipsToPixels(-15, 96), -1);
    EXPECT_EQ(TwipsToPixels(-1440, 144), -144);
    EXPECT_EQ(PixelsToTwips(-10, 144), -100);
}

}  // namespace
}  // namespace qm::ui
