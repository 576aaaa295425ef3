#pragma once
// Private: what a Font holds.
#include <array>
#include <mutex>

#include "platform/gfx/font.h"
#include "platform/gfx/font_face.h"

namespace plat {

struct Font::Impl {
  LogFont log;
  std::shared_ptr<gfx_detail::FaceRecord> face;
  std::string faceName;
  bool substituted = false;
  bool synthBold = false;
  bool synthItalic = false;
  int32_t codePage = 1252;
  // The em size in 1/64 pixel, vertically and horizontally (they differ when a width is asked).
  int64_t em64 = 16 * 64;
  int64_t emX64 = 16 * 64;
  int32_t boldExtra = 0;  // pixels added to every advance of a synthesised bold face
  TextMetrics metrics;
  std::array<int32_t, 256> byteWidths{};
  std::array<uint32_t, 256> byteGlyphs{};
  std::array<int32_t, 0x800> lowAdvances{};  // advances of U+0000..U+07FF, filled at creation

  // Units to whole pixels along x or y, rounded half away from zero.
  int32_t ScaleX(int64_t units) const;
  int32_t ScaleY(int64_t units) const;
  uint32_t GlyphFor(char32_t c) const { return face->GlyphForChar(c); }
  int32_t GlyphAdvance(uint32_t glyph) const {
    return ScaleX(face->AdvanceUnits(glyph)) + boldExtra;
  }
  int32_t Advance(char32_t c) const {
    return c < lowAdvances.size() ? lowAdvances[c] : GlyphAdvance(GlyphFor(c));
  }

  mutable std::once_flag kernOnce, byteKernOnce;
  mutable std::vector<KerningPair> kerning;
  mutable std::vector<KerningPair> byteKerning;
};

}  // namespace plat
