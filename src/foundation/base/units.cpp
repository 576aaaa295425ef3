#include "foundation/base/units.h"

#include <algorithm>
#include <climits>

#include "platform/gfx/canvas.h"

namespace qv {

namespace {

int32_t g_testPpi = 0;

int32_t Saturate32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// n / d with signed division, plus 1 when the remainder is at least `half` (n may be negative:
// its remainder is then never at least half, so the quotient truncates toward zero).
int32_t DivAddingOnHalf(int64_t n, int64_t d, int64_t half) {
  const int64_t q = n / d;
  return Saturate32(n % d >= half ? q + 1 : q);
}

// Rounded division of a non-negative numerator: q, plus 1 when the remainder is at least half.
int64_t DivHalfUp(int64_t n, int64_t d, int64_t half) {
  const int64_t q = n / d;
  return n % d >= half ? q + 1 : q;
}

int32_t ToLayout(int32_t a, const TDeviceLayoutInfo* doc, int32_t scale) {
  if (!doc || !doc->ForDevice) return Saturate32(a >= 0 ? 16 * int64_t(a) : 16 * int64_t(a) - 15);
  if (scale <= 0) scale = 100;
  if (a >= 0) return Saturate32(DivHalfUp(int64_t(a) * scale, 100, 50));
  return Saturate32(1 - DivHalfUp((1 - int64_t(a)) * scale, 100, 50));
}

int32_t FromLayout(int32_t v, const TDeviceLayoutInfo* doc, int32_t scale) {
  if (!doc || !doc->ForDevice) {
    if (v >= 0) return v / 16 + ((v & 8) ? 1 : 0);
    const int64_t x = 1 - int64_t(v);
    return int32_t(1 - (x / 16 + ((x & 8) ? 1 : 0)));
  }
  if (scale <= 0) scale = 100;
  // Half a pixel is half the scale: a remainder compared with a fixed 50 would round nearly
  // every value up at scales above 100.
  const int64_t half = (scale + 1) / 2;
  if (v >= 0) return Saturate32(DivHalfUp(int64_t(v) * 100, scale, half));
  return Saturate32(1 - DivHalfUp((1 - int64_t(v)) * 100, scale, half));
}

}  // namespace

int32_t PercentOf(int32_t value, int32_t percent) { return MulDiv(value, percent, 100); }

int32_t ScreenPixelsPerInch() {
  if (g_testPpi > 0) return g_testPpi;
  static const int32_t ppi = [] {
    const int32_t v = plat::Canvas().DpiY();
    return v > 0 ? v : 96;
  }();
  return ppi;
}

void SetScreenPixelsPerInchForTests(int32_t ppi) { g_testPpi = ppi; }

int32_t TwipsToPixelsAt(int64_t twips, int32_t ppi) { return DivAddingOnHalf(twips * ppi, 1440, 720); }

int32_t PixelsToTwipsAt(int64_t pixels, int32_t ppi) { return MulDiv(pixels, 1440, ppi); }

int32_t TwipsToScreenPixels(int32_t n) { return TwipsToPixelsAt(n, ScreenPixelsPerInch()); }

int32_t ScreenPixelsToTwips(int32_t n) { return PixelsToTwipsAt(n, ScreenPixelsPerInch()); }

int32_t TwipsToScreenPixelsZoomed(int32_t n, int32_t zoomPercent) {
  const int32_t zoomed = int32_t(uint32_t(n) * uint32_t(zoomPercent));  // a 32-bit product
  return DivAddingOnHalf(int64_t(zoomed) * ScreenPixelsPerInch(), 144000, 72000);
}

int32_t HalfPointsToFontHeight(int32_t halfPoints) {
  const int64_t p = int64_t(halfPoints) * ScreenPixelsPerInch();
  const int64_t q = p / 144, r = p % 144;
  return Saturate32(r < 72 ? -q : -q - 1);
}

int32_t PixelsToLayoutY(int32_t a, const TDeviceLayoutInfo* doc) {
  return ToLayout(a, doc, doc ? doc->ScaleY : 100);
}
int32_t LayoutToPixelsY(int32_t v, const TDeviceLayoutInfo* doc) {
  return FromLayout(v, doc, doc ? doc->ScaleY : 100);
}
int32_t PixelsToLayoutX(int32_t a, const TDeviceLayoutInfo* doc) {
  return ToLayout(a, doc, doc ? doc->ScaleX : 100);
}
int32_t LayoutToPixelsX(int32_t v, const TDeviceLayoutInfo* doc) {
  return FromLayout(v, doc, doc ? doc->ScaleX : 100);
}
int32_t SixteenthsToPixels(int32_t v) { return LayoutToPixelsY(v, nullptr); }

// Points and millimetres are kept to a tenth: the tenths are rounded, then made hundredths
// (saturating rather than wrapping for lengths near the 32-bit end).
int32_t TwipsToCm100(int32_t n) { return MulDiv(n, 25400, 144000); }
int32_t TwipsToInch100(int32_t n) { return MulDiv(n, 100, 1440); }
int32_t TwipsToPt100(int32_t n) { return Saturate32(int64_t{MulDiv(n, 100, 200)} * 10); }
int32_t TwipsToPica100(int32_t n) { return MulDiv(n, 600, 1440); }
int32_t TwipsToMm100(int32_t n) { return Saturate32(int64_t{MulDiv(n, 25400, 144000)} * 10); }
int32_t Cm100ToTwips(int32_t n) { return MulDiv(n, 1440, 254); }
int32_t Inch100ToTwips(int32_t n) { return MulDiv(n, 1440, 100); }
int32_t Pt100ToTwips(int32_t n) { return MulDiv(n, 20, 100); }
int32_t Pica100ToTwips(int32_t n) { return MulDiv(n, 1440, 600); }
int32_t Mm100ToTwips(int32_t n) { return MulDiv(n, 1440, 2540); }

int32_t TwipsToUnits100(int32_t twips, int32_t unit) {
  switch (unit) {
    case 0: return TwipsToCm100(twips);
    case 1: return TwipsToInch100(twips);
    case 2: return TwipsToPt100(twips);
    case 3: return TwipsToPica100(twips);
    default: return TwipsToMm100(twips);
  }
}

int32_t Units100ToTwips(int32_t value, int32_t unit) {
  switch (unit) {
    case 0: return Cm100ToTwips(value);
    case 1: return Inch100ToTwips(value);
    case 2: return Pt100ToTwips(value);
    case 3: return Pica100ToTwips(value);
    default: return Mm100ToTwips(value);
  }
}

}  // namespace qv
