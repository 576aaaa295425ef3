#pragma once
// Small routines on rectangles, regions, points and the mouse position, and the colour choices
// shared by the windows that draw on dark or coloured backgrounds.
//
// Rectangles are (left, top, right, bottom) with right and bottom exclusive; colours 0x00BBGGRR.
#include <cstdint>
#include <memory>

#include "platform/gfx/region.h"
#include "platform/gfx/types.h"
#include "platform/win/messages.h"

namespace qv {

// Thickness of the interface's pattern and dotted lines in pixels: 1 design pixel, scaled at
// start-up by the screen's pixels per inch over 96.
extern int32_t LineWidth;

void AddRectToRegion(const plat::Rect& rect, plat::Region& region);
void ExcludeRectFromRegion(const plat::Rect& rect, plat::Region& region);
// Clips r to clip. The horizontal part is done first: when nothing is left of it the answer is
// false at once and r's top and bottom stay as they were. True when the result is not empty.
bool IntersectRectInPlace(plat::Rect& r, const plat::Rect& clip);
bool PointsEqual(plat::Point a, plat::Point b);
// Whether p lies within `tolerance` pixels (Euclidean) of the segment a-b; a = b measures to a.
bool PointNearSegment(plat::Point p, plat::Point a, plat::Point b, double tolerance);

// Where the find and replace window is, for FindFormScreenRect. The window registers the real
// source when it exists; the default has no window and so no offset.
class TFindFormPlacement {
 public:
  virtual ~TFindFormPlacement() = default;
  // The window's screen rectangle and its normal-placement rectangle; false when there is none.
  virtual bool GetRects(plat::Rect& /*screen*/, plat::Rect& /*placement*/) const { return false; }
};
void RegisterFindFormPlacement(std::unique_ptr<TFindFormPlacement> source);
const TFindFormPlacement& FindFormPlacement();
// The rectangle moved from the find window's placement coordinates into screen coordinates.
void FindFormScreenRect(const plat::Rect& rect, plat::Rect& out);

// The mouse position in screen coordinates, and in a window's client coordinates.
void GetCursorPosition(plat::Point& out);
void GetClientCursorPos(plat::Hwnd control, plat::Point& out);
// True when the mouse lies in the window's rectangle on the screen.
bool IsMouseOverControl(plat::Hwnd control);

// A colour chosen for a white background, mapped onto `background` so that it keeps its
// contrast; on white every colour stays as it is.
uint32_t AdjustColorForBackground(uint32_t color, uint32_t background);
// The WCAG 2.0 contrast ratio of two colours (1 to 21).
double ContrastRatio(uint32_t color1, uint32_t color2);
// The colour when its contrast ratio with the background is at least 3; otherwise white or black
// when one of them has a strictly better ratio (white tried first, so it wins a tie).
uint32_t PickContrastingColor(uint32_t color, uint32_t background);

}  // namespace qv
