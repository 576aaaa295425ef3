#include "layout/paint/underlines.h"

#include <algorithm>

#include "platform/gfx/canvas.h"

namespace qv {

namespace {

int32_t ValueOr(int32_t v, int32_t fallback) { return v == CharUnset ? fallback : v; }

// p tenths of a percent of a, truncated; at least n.
int32_t AtLeast(int32_t n, int32_t a, int32_t tenthsPercent) {
  return std::max(n, static_cast<int32_t>(int64_t{a} * tenthsPercent / 1000));
}

int32_t PositiveMod(int64_t v, int32_t m) {
  if (m <= 0) return 0;
  const int64_t r = v % m;
  return static_cast<int32_t>(r < 0 ? r + m : r);
}

bool RaisesJoin(int32_t a, int32_t b) {
  if (a < 0 && b < 0) return true;
  if (a < 0 || b < 0) return false;
  return a == 0 || b == 0 || a == b;
}

bool IsDashDotFamily(int32_t style) {
  return style == ulDashDot || style == ulDashDotDot || style == ulThickDashDot ||
         style == ulThickDashDotDot;
}

// The pattern's "on" stretches within one period, and the period.
struct Pattern {
  std::vector<std::pair<int32_t, int32_t>> On;
  int32_t Period = 0;
};

Pattern PatternOf(int32_t style, int32_t a) {
  const int32_t w = IsDashDotFamily(style) ? AtLeast(2, a, 120) : AtLeast(2, a, 40);
  const bool longDash = style == ulLongDash || style == ulThickLongDash;
  const int32_t dash = longDash ? AtLeast(18, a, 1300) : AtLeast(7, a, 600);
  const int32_t gap = longDash ? AtLeast(5, a, 350) : AtLeast(2, a, 150);
  switch (style) {
    case ulDotted:
    case ulThickDotted:
      return {{{0, w}}, 2 * w};
    case ulDash:
    case ulThickDash:
    case ulLongDash:
    case ulThickLongDash:
      return {{{0, dash}}, dash + gap};
    case ulDashDot:
    case ulThickDashDot:
      return {{{0, dash}, {dash + w, dash + 2 * w}}, dash + 3 * w};
    default:  // dash-dot-dot
      return {{{0, dash}, {dash + w, dash + 2 * w}, {dash + 3 * w, dash + 4 * w}}, dash + 5 * w};
  }
}

void AddPatterned(TUnderlineShape& shape, const Pattern& p, int32_t left, int32_t right,
                  int32_t top, int32_t height, int32_t phase, bool aligned) {
  if (p.Period <= 0) return;
  int32_t x = aligned ? left - PositiveMod(int64_t{phase} + left, p.Period) : left;
  // A pattern of very small pieces over an enormous span is still bounded by the span's width.
  for (; x < right; x += p.Period)
    for (const auto& [from, to] : p.On) {
      const int32_t l = std::max(left, x + from);
      const int32_t r = std::min(right, x + to);
      if (l < r) shape.Pieces.push_back({l, top, r, top + height});
    }
}

std::vector<plat::Point> Wave(int32_t left, int32_t right, int32_t centre, int32_t amplitude,
                              int32_t period, int32_t phase, bool aligned) {
  std::vector<plat::Point> points;
  const int32_t half = period / 2;
  const int32_t start = aligned ? left - PositiveMod(int64_t{phase} + left, period) : left;
  const int32_t end = (aligned ? right - PositiveMod(int64_t{phase} + right, period) : right) + period;
  int32_t k = 0;
  for (int32_t x = start;; x += half, ++k) {
    points.push_back({x, centre + (k % 2 == 0 ? amplitude : -amplitude)});
    if (x > end) break;
  }
  return points;
}

}  // namespace

bool UnderlineSegmentsJoin(const TUnderlineSegment& c, const TUnderlineSegment& n) {
  return n.Start == c.End && ValueOr(n.Format.Underline, 0) == ValueOr(c.Format.Underline, 0) &&
         n.TextColor == c.TextColor &&
         ValueOr(n.Format.UnderlineColor, AutoColor) == ValueOr(c.Format.UnderlineColor, AutoColor) &&
         (ValueOr(n.Format.Script, 0) == 2) == (ValueOr(c.Format.Script, 0) == 2) &&
         RaisesJoin(ValueOr(c.Format.VertOffset, 0), ValueOr(n.Format.VertOffset, 0));
}

std::vector<TUnderlineSegment> MergeUnderlineSegments(std::span<const TUnderlineSegment> segments) {
  std::vector<TUnderlineSegment> merged;
  for (size_t i = 0; i < segments.size();) {
    TUnderlineSegment current = segments[i++];
    while (i < segments.size() && UnderlineSegmentsJoin(current, segments[i])) {
      const TUnderlineSegment& next = segments[i++];
      current.End = next.End;
      if (next.Ascent > current.Ascent) {
        current.TextTop = next.TextTop;
        current.Ascent = next.Ascent;
        current.Descent = next.Descent;
      }
      if (ValueOr(next.Format.Bold, 0) == 0) current.Format.Bold = 0;
    }
    merged.push_back(current);
  }
  return merged;
}

TUnderlineShape UnderlineShape(int32_t style, int32_t a, bool bold, int32_t left, int32_t right,
                               int32_t baseY, int32_t phase, bool aligned) {
  TUnderlineShape shape;
  if (right <= left) return shape;
  a = std::max(0, a);
  const int32_t b = bold ? 1 : 0;
  switch (style) {
    case ulSingle:
    case ulWordsOnly: {
      const int32_t top = baseY + AtLeast(1, a, 120);
      shape.Pieces.push_back({left, top, right, top + AtLeast(1, a, bold ? 110 : 70)});
      break;
    }
    case ulDouble: {
      const int32_t top = baseY + std::max(1, static_cast<int32_t>(int64_t{a} * 68 / 1000));
      const int32_t h = AtLeast(1, a, bold ? 53 : 33);
      const int32_t second = top + AtLeast(2, a, bold ? 163 : 155);
      shape.Pieces.push_back({left, top, right, top + h});
      shape.Pieces.push_back({left, second, right, second + h});
      break;
    }
    case ulThick: {
      const int32_t top = baseY + AtLeast(1, a, 70);
      shape.Pieces.push_back({left, top, right, top + AtLeast(2, a, 120)});
      break;
    }
    case ulDotted:
    case ulDash:
    case ulDashDot:
    case ulDashDotDot:
    case ulLongDash:
      AddPatterned(shape, PatternOf(style, a), left, right, baseY + AtLeast(1, a, 120),
                   AtLeast(1, a, (7 + 2 * b) * 10), phase, aligned);
      break;
    case ulThickDotted:
    case ulThickDash:
    case ulThickDashDot:
    case ulThickDashDotDot:
    case ulThickLongDash:
      AddPatterned(shape, PatternOf(style, a), left, right, baseY + AtLeast(1, a, 80),
                   AtLeast(2, a, (11 + 2 * b) * 10), phase, aligned);
      break;
    case ulWave:
    case ulHeavyWave:
    case ulDoubleWave: {
      const bool twice = style == ulDoubleWave;
      int32_t period = AtLeast(4, a, twice ? 200 : 180);
      if (period % 2 != 0) ++period;
      const int32_t amplitude = AtLeast(1, a, twice ? 40 : 60);
      shape.PenWidth = style == ulHeavyWave ? AtLeast(2, a, (5 + b) * 10) : AtLeast(1, a, (3 + b) * 10);
      const int32_t centre = baseY + static_cast<int32_t>(int64_t{a} * (twice ? 10 : 12) / 100);
      const int32_t lowered = centre + AtLeast(2, a, 100);
      shape.WaveClip = {left, centre - 2 * amplitude - shape.PenWidth - 1, right,
                        (twice ? lowered : centre) + 2 * amplitude + shape.PenWidth + 2};
      if (twice) shape.Waves.push_back(Wave(left, right, lowered, amplitude, period, phase, aligned));
      shape.Waves.push_back(Wave(left, right, centre, amplitude, period, phase, aligned));
      break;
    }
    default:
      break;
  }
  return shape;
}

void DrawUnderlineShape(plat::Canvas& canvas, const TUnderlineShape& shape, uint32_t colour) {
  for (const plat::Rect& r : shape.Pieces) canvas.FillRect(r, colour);
  if (shape.Waves.empty()) return;
  canvas.SaveState();
  canvas.IntersectClipRect(shape.WaveClip);
  canvas.SetPen({plat::PenStyle::Solid, shape.PenWidth, colour});
  for (const auto& wave : shape.Waves) canvas.Polyline(wave);
  canvas.RestoreState();
}

}  // namespace qv
