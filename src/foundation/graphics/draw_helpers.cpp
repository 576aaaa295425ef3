#include "foundation/graphics/draw_helpers.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "foundation/base/geometry.h"

namespace qv {

namespace {

void DrawCaption(plat::Canvas& canvas, const plat::Rect& rect, const char* text, bool centre) {
  plat::Size extent = canvas.TextExtent(std::string_view(text));
  int32_t x = centre ? rect.left + (rect.Width() - extent.cx) / 2 : rect.left;
  int32_t y = rect.top + (rect.Height() - extent.cy) / 2;
  canvas.SaveState();
  canvas.SetBkMode(plat::BkMode::Transparent);
  canvas.TextOut(x, y, std::string_view(text));
  canvas.RestoreState();
}

}  // namespace

void FillRectColor(plat::Canvas& canvas, const plat::Rect& rect, uint32_t color) {
  canvas.FillRect(rect, color);
}

void DrawWave(plat::Canvas& canvas, int32_t x1, int32_t x2, uint32_t color, int32_t width,
              int32_t amplitude, int32_t period, int32_t phase, int32_t y) {
  // The wave's vertices keep their places whatever its ends, so only the part that can show
  // (and a period and a pen width beyond it) is made: a wave across the whole coordinate range
  // would otherwise be a billion points.
  const plat::Rect visible = canvas.ClipBox();
  const int64_t margin = int64_t{std::max(period, 2)} + std::max(width, 0) + 2;
  const int32_t from = plat::SaturateToInt32(std::max<int64_t>(x1, visible.left - margin));
  const int32_t to = plat::SaturateToInt32(std::min<int64_t>(x2, visible.right + margin));
  if (from > to) return;
  std::vector<plat::Point> points = WavePoints(from, to, width, amplitude, period, phase, y);
  const int64_t reach = 2 * int64_t{amplitude} + width;
  canvas.SaveState();
  canvas.IntersectClipRect({x1, plat::SaturateToInt32(y - reach - 1), x2,
                            plat::SaturateToInt32(y + reach + 2)});
  canvas.SetPen({plat::PenStyle::Solid, width, color});
  canvas.Polyline(points);
  canvas.RestoreState();
}

void DrawEtchedLine(plat::Canvas& canvas, int32_t x1, int32_t x2, int32_t y) {
  canvas.SaveState();
  canvas.SetPen({plat::PenStyle::Solid, 1, EtchShadowColor});
  canvas.Line(x1, y, x2, y);
  canvas.SetPen({plat::PenStyle::Solid, 1, EtchHighlightColor});
  canvas.Line(x1, y + 1, x2, y + 1);
  canvas.RestoreState();
}

void DrawFrame3D(plat::Canvas& canvas, const plat::Rect& rect, uint32_t color1, uint32_t color2) {
  const plat::Point topLeft[] = {{rect.left, rect.bottom - 1}, {rect.left, rect.top},
                                 {rect.right - 1, rect.top}};
  const plat::Point bottomRight[] = {{rect.right - 1, rect.top},
                                     {rect.right - 1, rect.bottom - 1},
                                     {rect.left, rect.bottom - 1}};
  canvas.SaveState();
  canvas.SetPen({plat::PenStyle::Solid, 1, color1});
  canvas.Polyline(topLeft);
  canvas.SetPen({plat::PenStyle::Solid, 1, color2});
  canvas.Polyline(bottomRight);
  canvas.RestoreState();
}

void DrawUnderlinePreview(plat::Canvas& canvas, const plat::Rect& rect, int32_t code,
                          bool centre) {
  const uint32_t color = canvas.GetBrush().Colour;
  const int32_t line = (rect.top + rect.bottom - 1) / 2;
  switch (code) {
    case 0: DrawCaption(canvas, rect, "(None)", centre); return;
    case 2: DrawCaption(canvas, rect, "Words only", centre); return;
    case 11:
    case 27:
      DrawWave(canvas, rect.left, rect.right, color, code == 27 ? 2 : 1, 1, 6, rect.left, line);
      return;
    case 43:
      DrawWave(canvas, rect.left, rect.right, color, 1, 1, 6, rect.left, line - 2);
      DrawWave(canvas, rect.left, rect.right, color, 1, 1, 6, rect.left, line + 2);
      return;
    default:
      for (const plat::Rect& r : UnderlinePreviewBars(rect, code)) canvas.FillRect(r, color);
  }
}

namespace {

// The dots of a dotted line from `from` to `to` that can show within [low, high): the first one
// keeps its place in the line's five-pixel rhythm, so a line reaching far off the canvas costs
// only the dots that can be seen.
void ForEachVisibleDot(int64_t from, int64_t to, int64_t low, int64_t high,
                       const std::function<void(int32_t)>& dot) {
  if (from < low) from += (low - from + 4) / 5 * 5;
  to = std::min(to, high - 1);
  for (int64_t at = from; at <= to; at += 5) dot(static_cast<int32_t>(at));
}

}  // namespace

void DottedHLine(plat::Canvas& canvas, int32_t x1, int32_t x2, uint32_t color, int32_t y) {
  const plat::Rect clip = canvas.ClipBox();
  const int32_t bottom = plat::SaturateToInt32(int64_t{y} + LineWidth);
  ForEachVisibleDot(x1, x2, clip.left, clip.right,
                    [&](int32_t px) { canvas.FillRect({px, y, px + 1, bottom}, color); });
}

void DottedVLine(plat::Canvas& canvas, int32_t x, int32_t y1, uint32_t color, int32_t y2) {
  const plat::Rect clip = canvas.ClipBox();
  const int32_t right = plat::SaturateToInt32(int64_t{x} + LineWidth);
  ForEachVisibleDot(y1, y2, clip.top, clip.bottom,
                    [&](int32_t py) { canvas.FillRect({x, py, right, py + 1}, color); });
}

}  // namespace qv
