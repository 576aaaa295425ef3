#include "layout/layout_units.h"

namespace qv {

int32_t PixelsToLayoutX(int32_t pixels, const TLayoutSettings& s) {
  const TDeviceLayoutInfo device = s.Device();
  return PixelsToLayoutX(pixels, &device);
}

int32_t PixelsToLayoutY(int32_t pixels, const TLayoutSettings& s) {
  const TDeviceLayoutInfo device = s.Device();
  return PixelsToLayoutY(pixels, &device);
}

int32_t LayoutToPixelsX(int32_t value, const TLayoutSettings& s) {
  const TDeviceLayoutInfo device = s.Device();
  return LayoutToPixelsX(value, &device);
}

int32_t LayoutToPixelsY(int32_t value, const TLayoutSettings& s) {
  const TDeviceLayoutInfo device = s.Device();
  return LayoutToPixelsY(value, &device);
}

int32_t TwipsToScreenPixels(int32_t twips, const TLayoutSettings& s) {
  return TwipsToPixelsAt(twips, s.ScreenDpi);
}

int32_t ScreenPixelsToTwips(int32_t pixels, const TLayoutSettings& s) {
  return PixelsToTwipsAt(pixels, s.ScreenDpi);
}

int32_t LayoutXToTwips(int32_t x, const TLayoutSettings& s) {
  return MulDiv(ScreenPixelsToTwips(x, s), 1, LayoutUnitsPerPixel);
}

int32_t TwipsToLayoutX(int32_t twips, const TLayoutSettings& s) {
  return TwipsToPixelsAt(s.DeviceMeasuring ? int64_t{twips} : int64_t{twips} * LayoutUnitsPerPixel,
                         s.ScreenDpi);
}

int32_t LayoutYToTwips(int32_t y, const TLayoutSettings& s) {
  return LayoutToPixelsY(ScreenPixelsToTwips(y, s), s);
}

int32_t HalfPointsToLayoutHeight(int32_t halfPoints, const TLayoutSettings& s) {
  const int32_t pixels16 = MulDiv(int64_t{halfPoints} * LayoutUnitsPerPixel, s.ScreenDpi, 144);
  return s.DeviceMeasuring ? MulDiv(pixels16, s.DeviceScaleY, 100 * LayoutUnitsPerPixel) : pixels16;
}

}  // namespace qv
