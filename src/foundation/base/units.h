#pragma once
// The units module: the program's one rounding multiply-and-divide and every conversion between
// twips (1/1440 inch), half-points, pixels, layout units and hundredths of the user's
// measurement unit. Each conversion has one rounding rule, written here once; code elsewhere
// converts through these routines rather than writing its own a * b / c.
//
// Layout units: on screen a document is laid out in sixteenths of a pixel; while it is laid out
// for another device (printing) it works in device pixels, with a horizontal and a vertical
// scale in percent of the screen's pixels. The layout conversions take that state as a
// TDeviceLayoutInfo (nullptr: on screen).
#include <cstdint>

#include "platform/system/mul_div.h"

namespace qv {

// a * b / c with a wide product, rounded to the nearest integer, halves away from zero;
// 0 for a zero divisor; saturated at the 32-bit ends (platform/system/mul_div.h).
using plat::MulDiv;
// value * percent / 100 by MulDiv.
int32_t PercentOf(int32_t value, int32_t percent);

// ---- Resolution ----

// The screen's vertical logical pixels per inch (96 at the standard setting), read once.
int32_t ScreenPixelsPerInch();
// Tests: sets the pixels per inch the screen conversions use (0 restores the screen's).
void SetScreenPixelsPerInchForTests(int32_t ppi);

// ---- Twips, half-points and pixels ----

// Twips to pixels at ppi pixels per inch: the 64-bit product divided by 1440 with signed
// division, plus 1 when the remainder is at least 720 (non-negative values round half up,
// negative ones truncate toward zero).
int32_t TwipsToPixelsAt(int64_t twips, int32_t ppi);
// Pixels to twips at ppi pixels per inch: MulDiv(pixels, 1440, ppi).
int32_t PixelsToTwipsAt(int64_t pixels, int32_t ppi);

// The same at the screen's resolution.
int32_t TwipsToScreenPixels(int32_t n);
int32_t ScreenPixelsToTwips(int32_t n);
// (n * zoom as a 32-bit product) * ppi / 144000, plus 1 when the remainder is at least 72000.
int32_t TwipsToScreenPixelsZoomed(int32_t n, int32_t zoomPercent);
// The negative character height in screen pixels of a font of that many half-points: -q, or
// -q - 1 when the remainder of size * ppi / 144 is at least 72.
int32_t HalfPointsToFontHeight(int32_t halfPoints);

// ---- Layout units ----

// How a document is laid out: for another device with these percent scales, or on screen.
struct TDeviceLayoutInfo {
  bool ForDevice = false;
  int32_t ScaleX = 100;  // horizontal device scale, percent of the screen's pixels
  int32_t ScaleY = 100;  // vertical device scale
};

// Pixels to layout units. On screen a >= 0 gives 16a and a < 0 gives 16a - 15; for a device,
// a * scale / 100 rounded half up in magnitude, a negative value mirrored around 1 (1 - r of
// 1 - a). LayoutToPixels is the inverse: on screen every whole pixel comes back unchanged.
int32_t PixelsToLayoutY(int32_t a, const TDeviceLayoutInfo* doc);
int32_t LayoutToPixelsY(int32_t v, const TDeviceLayoutInfo* doc);
int32_t PixelsToLayoutX(int32_t a, const TDeviceLayoutInfo* doc);
int32_t LayoutToPixelsX(int32_t v, const TDeviceLayoutInfo* doc);
// Sixteenths of a pixel to whole pixels (LayoutToPixelsY on screen).
int32_t SixteenthsToPixels(int32_t v);

// ---- Hundredths of the measurement unit ----

// The user's measurement unit ("Measurements" option): 0 centimetres, 1 inches, 2 points,
// 3 picas, anything else millimetres. Points and millimetres are kept to a tenth.
int32_t TwipsToCm100(int32_t n);
int32_t TwipsToInch100(int32_t n);
int32_t TwipsToPt100(int32_t n);
int32_t TwipsToPica100(int32_t n);
int32_t TwipsToMm100(int32_t n);
int32_t Cm100ToTwips(int32_t n);
int32_t Inch100ToTwips(int32_t n);
int32_t Pt100ToTwips(int32_t n);
int32_t Pica100ToTwips(int32_t n);
int32_t Mm100ToTwips(int32_t n);
int32_t TwipsToUnits100(int32_t twips, int32_t unit);
int32_t Units100ToTwips(int32_t value, int32_t unit);

}  // namespace qv
