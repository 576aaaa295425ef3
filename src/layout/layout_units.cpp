#include "layout/layout_units.h"

#include <algorithm>
#include <climits>

namespace qv {

int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  int64_t n = a * b;
  const bool negative = (n < 0) != (c < 0);
  if (n < 0) n = -n;
  if (c < 0) c = -c;
  const int64_t q = std::min<int64_t>((n + c / 2) / c, INT32_MAX);  // saturates
  return static_cast<int32_t>(negative ? -q : q);
}

int32_t PixelsToLayoutX(int32_t pixels, const TLayoutSettings& s) {
  return MulDivRound(pixels, s.DeviceMeasuring ? s.DeviceScaleX : LayoutUnitsPerPixel * 100, 100);
}

int32_t PixelsToLayoutY(int32_t pixels, const TLayoutSettings& s) {
  return MulDivRound(pixels, s.DeviceMeasuring ? s.DeviceScaleY : LayoutUnitsPerPixel * 100, 100);
}

int32_t LayoutToPixelsX(int32_t value, const TLayoutSettings& s) {
  return s.DeviceMeasuring ? MulDivRound(value, 100, s.DeviceScaleX)
                           : MulDivRound(value, 1, LayoutUnitsPerPixel);
}

int32_t LayoutToPixelsY(int32_t value, const TLayoutSettings& s) {
  return s.DeviceMeasuring ? MulDivRound(value, 100, s.DeviceScaleY)
                           : MulDivRound(value, 1, LayoutUnitsPerPixel);
}

int32_t TwipsToScreenPixels(int32_t twips, const TLayoutSettings& s) {
  return MulDivRound(twips, s.ScreenDpi, 1440);
}

int32_t ScreenPixelsToTwips(int32_t pixels, const TLayoutSettings& s) {
  return MulDivRound(pixels, 1440, s.ScreenDpi);
}

int32_t LayoutXToTwips(int32_t x, const TLayoutSettings& s) {
  return MulDivRound(ScreenPixelsToTwips(x, s), 1, LayoutUnitsPerPixel);
}

int32_t TwipsToLayoutX(int32_t twips, const TLayoutSettings& s) {
  return s.DeviceMeasuring ? TwipsToScreenPixels(twips, s)
                           : MulDivRound(static_cast<int64_t>(twips) * LayoutUnitsPerPixel,
                                         s.ScreenDpi, 1440);
}

int32_t LayoutYToTwips(int32_t y, const TLayoutSettings& s) {
  return LayoutToPixelsY(ScreenPixelsToTwips(y, s), s);
}

int32_t HalfPointsToLayoutHeight(int32_t halfPoints, const TLayoutSettings& s) {
  const int32_t pixels16 = MulDivRound(static_cast<int64_t>(halfPoints) * LayoutUnitsPerPixel,
                                       s.ScreenDpi, 144);
  return s.DeviceMeasuring ? MulDivRound(pixels16, s.DeviceScaleY, 100 * LayoutUnitsPerPixel)
                           : pixels16;
}

}  // namespace qv
