#pragma once
// Twips (1/1440 inch) and points (1/72 inch) against the pixels of a window at its own dots per
// inch. The models keep sizes and positions in twips; a window turns them into its pixels here,
// so that a screen at 120, 144 or 192 DPI shows them as large as one at 96 does. Every
// conversion rounds to the nearest pixel, halves away from zero, as Windows' MulDiv does.

#include <cstdint>

namespace qm::ui {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;
// The dots per inch Windows assumes when a window says nothing of its own.
inline constexpr int kDefaultDpi = 96;
// Twips in one pixel at the default DPI: the unit the models measure the screen in.
inline constexpr int kTwipsPerPixel = kTwipsPerInch / kDefaultDpi;

// `value * numerator / denominator`, rounded to the nearest, halves away from zero; the
// product cannot overflow. A zero denominator gives -1, as MulDiv does.
constexpr int ScaleRounded(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    std::int64_t product = std::int64_t{value} * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

constexpr int TwipsToPixels(int twips, int dpi) {
    return ScaleRounded(twips, dpi, kTwipsPerInch);
}

constexpr int PixelsToTwips(int pixels, int dpi) {
    return ScaleRounded(pixels, kTwipsPerInch, dpi);
}

// A size in pixels at the default DPI (an icon, a column's first width) at `dpi`.
constexpr int ScaleFromDefaultDpi(int pixels, int dpi) {
    return ScaleRounded(pixels, dpi, kDefaultDpi);
}

// Pixels at `dpi` back in pixels at the default DPI, the screen measure of the models.
constexpr int ScaleToDefaultDpi(int pixels, int dpi) {
    return ScaleRounded(pixels, kDefaultDpi, dpi);
}

// The height of a font of `points` at `dpi`, as a LOGFONT's negative lfHeight asks for it.
constexpr int FontHeightForPoints(int points, int dpi) {
    return -TwipsToPixels(points * kTwipsPerPoint, dpi);
}

}  // namespace qm::ui
