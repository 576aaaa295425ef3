#pragma once
// Drawing routines that several windows share: solid fills, wave lines (wavy underlines and
// spelling marks), dotted lines, etched separators, three-dimensional frames and the samples of
// underline styles shown in the underline lists.
#include <cstdint>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/types.h"

namespace qv {

// Colours of etched lines: a darker and a lighter shade of the interface's face colour.
inline constexpr uint32_t EtchShadowColor = 0xA0A0A0;
inline constexpr uint32_t EtchHighlightColor = 0xFFFFFF;

void FillRectColor(plat::Canvas& canvas, const plat::Rect& rect, uint32_t color);

// The vertices of a wave from x1 to x2 around baseline y (see DrawWave). A period under 2 counts
// as 2, so the walk always advances.
std::vector<plat::Point> WavePoints(int32_t x1, int32_t x2, int32_t width, int32_t amplitude,
                                    int32_t period, int32_t phase, int32_t y);
// A wave line: vertices every half period alternating between y - amplitude and y + amplitude
// (aligned so that x + phase = 0 mod period is a low point), drawn with a solid pen of the width
// and colour and clipped to the band of the wave between x1 and x2. The canvas's pen and clip
// are restored afterwards.
void DrawWave(plat::Canvas& canvas, int32_t x1, int32_t x2, uint32_t color, int32_t width,
              int32_t amplitude, int32_t period, int32_t phase, int32_t y);

// A line from (x1, y) to (x2, y) in the shadow colour and the same one pixel lower in the
// highlight colour.
void DrawEtchedLine(plat::Canvas& canvas, int32_t x1, int32_t x2, int32_t y);
// color1 along the left and top edges, color2 along the right and bottom edges.
void DrawFrame3D(plat::Canvas& canvas, const plat::Rect& rect, uint32_t color1, uint32_t color2);

// The bars of an underline sample for a Word underline code (dots, dashes, single, double,
// thick ...), clipped at rect.right; empty for the text samples, waves and unknown codes.
std::vector<plat::Rect> UnderlinePreviewBars(const plat::Rect& rect, int32_t code);
// The sample of an underline code in the rectangle, in the canvas's brush colour: "(None)" for
// 0 and "Words only" for 2 (centred horizontally with `centre`), bars or waves for the others,
// nothing for unknown codes.
void DrawUnderlinePreview(plat::Canvas& canvas, const plat::Rect& rect, int32_t code,
                          bool centre);

// A pixel every 5 pixels from x1 to x2 (inclusive), each a column of LineWidth pixels from y
// down; the vertical counterpart has rows of LineWidth pixels from x rightwards.
void DottedHLine(plat::Canvas& canvas, int32_t x1, int32_t x2, uint32_t color, int32_t y);
void DottedVLine(plat::Canvas& canvas, int32_t x, int32_t y1, uint32_t color, int32_t y2);

}  // namespace qv
