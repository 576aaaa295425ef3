#pragma once
// Units of the layout. Horizontal and vertical measures of lines are layout units: sixteenths of
// a screen pixel on screen, or device units while a paragraph is measured for a device (then a
// pixel measure is scaled by the device scale percent instead). Boxes and the document model use
// twips. The screen resolution is a setting, not read from the display, so that line breaks are
// the same on every machine.
//
// The conversions and their rounding are the units module's (foundation/base/units.h); the
// overloads here only supply the layout's resolution and device state.
#include <cstdint>

#include "foundation/base/units.h"

namespace qv {

inline constexpr int32_t LayoutUnitsPerPixel = 16;

// What the layout needs of the document it lays out.
struct TLayoutSettings {
  int32_t ScreenDpi = 96;
  int32_t ViewMode = 0;          // 0 Print Layout, 1 Draft, 2 Draft wrapped to the window
  bool DeviceMeasuring = false;  // measuring for a device: the scales below apply
  int32_t DeviceScaleX = 100;    // percent
  int32_t DeviceScaleY = 100;
  bool MeasureOnly = false;      // measure a known span, never break
  int32_t DefaultTabWidth = 720;
  // Hyphenation options of the document.
  bool AutoHyphenate = false;
  bool HyphenateCaps = false;
  int32_t HyphenationZone = 360;   // twips; 0 no zone
  int32_t ConsecutiveHyphenLimit = 0;  // 0 no limit
  char DecimalSeparator = '.';
  bool IsDraftView() const { return ViewMode == 1 || ViewMode == 2; }
  // The device state the layout conversions take.
  TDeviceLayoutInfo Device() const { return {DeviceMeasuring, DeviceScaleX, DeviceScaleY}; }
};

int32_t PixelsToLayoutX(int32_t pixels, const TLayoutSettings& s);
int32_t PixelsToLayoutY(int32_t pixels, const TLayoutSettings& s);
int32_t LayoutToPixelsX(int32_t value, const TLayoutSettings& s);
int32_t LayoutToPixelsY(int32_t value, const TLayoutSettings& s);
int32_t TwipsToScreenPixels(int32_t twips, const TLayoutSettings& s);
int32_t ScreenPixelsToTwips(int32_t pixels, const TLayoutSettings& s);

// A layout x as twips (screen pixels to twips, then the sixteenths away, rounding half away
// from zero).
int32_t LayoutXToTwips(int32_t x, const TLayoutSettings& s);
// A twip width as layout units: TwipsToScreenPixels of 16 × width on screen, of the width
// itself for a device.
int32_t TwipsToLayoutX(int32_t twips, const TLayoutSettings& s);
// Twips of a vertical layout measure (ScreenPixelsToTwips, then LayoutToPixelsY).
int32_t LayoutYToTwips(int32_t y, const TLayoutSettings& s);
// The em height in layout units of a font size in half-points.
int32_t HalfPointsToLayoutHeight(int32_t halfPoints, const TLayoutSettings& s);

}  // namespace qv
