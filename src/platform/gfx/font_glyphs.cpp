// Per-glyph extents and outlines of a font, read from the unhinted outlines.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>

#include "platform/gfx/font_impl.h"

namespace plat {

namespace {

struct InkBox {
  bool empty = true;
  int64_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // font units
};

InkBox LoadInk(const Font::Impl& f, uint32_t glyph) {
  std::lock_guard lock(gfx_detail::FreeTypeMutex());
  InkBox box;
  FT_Face face = f.face->face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
    return box;
  const FT_Glyph_Metrics& m = face->glyph->metrics;
  if (m.width <= 0 || m.height <= 0) return box;
  box.empty = false;
  box.xMin = m.horiBearingX;
  box.xMax = m.horiBearingX + m.width;
  box.yMax = m.horiBearingY;
  box.yMin = m.horiBearingY - m.height;
  return box;
}

int32_t FloorScale(int64_t units, int64_t em64, int64_t upem) {
  const int64_t num = units * em64, den = upem * 64;
  return int32_t(num >= 0 ? num / den : -((-num + den - 1) / den));
}
int32_t CeilScale(int64_t units, int64_t em64, int64_t upem) {
  return -FloorScale(-units, em64, upem);
}

uint32_t GlyphOf(const Font::Impl& f, char32_t c) { return f.GlyphFor(c); }

struct OutlineSink {
  GlyphOutline* out;
  double sx, sy;  // font units to pixels
};

int AddSegment(void* user, GlyphOutline::Kind kind, std::initializer_list<const FT_Vector*> pts) {
  auto* sink = static_cast<OutlineSink*>(user);
  GlyphOutline::Segment s{kind, {0, 0, 0}, {0, 0, 0}};
  int i = 0;
  for (const FT_Vector* p : pts) {
    s.x[i] = double(p->x) * sink->sx;
    s.y[i] = double(p->y) * sink->sy;
    ++i;
  }
  sink->out->Segments.push_back(s);
  return 0;
}

}  // namespace

AbcWidth Font::CharAbc(char32_t c) const {
  const Impl& f = *impl_;
  if (c >= 0xD800 && c < 0xE000) return {};
  const uint32_t glyph = GlyphOf(f, c);
  const int32_t advance = f.GlyphAdvance(glyph);
  const InkBox ink = LoadInk(f, glyph);
  if (ink.empty) return {0, 0, advance};
  const int64_t upem = f.face->upem;
  AbcWidth abc;
  abc.A = FloorScale(ink.xMin, f.emX64, upem);
  abc.B = CeilScale(ink.xMax, f.emX64, upem) - abc.A + f.boldExtra;
  abc.C = advance - abc.A - abc.B;
  return abc;
}

GlyphMetrics Font::GetGlyphMetrics(char32_t c) const {
  const Impl& f = *impl_;
  GlyphMetrics gm;
  const uint32_t glyph = GlyphOf(f, c);
  gm.CellIncX = f.GlyphAdvance(glyph);
  const InkBox ink = LoadInk(f, glyph);
  if (ink.empty) return gm;
  const int64_t upem = f.face->upem;
  const int32_t left = FloorScale(ink.xMin, f.emX64, upem);
  const int32_t top = CeilScale(ink.yMax, f.em64, upem);
  gm.GlyphOrigin = {left, top};
  gm.BlackBoxX = CeilScale(ink.xMax, f.emX64, upem) - left + f.boldExtra;
  gm.BlackBoxY = top - FloorScale(ink.yMin, f.em64, upem);
  return gm;
}

GlyphOutline Font::GetGlyphOutline(char32_t c) const {
  const Impl& f = *impl_;
  GlyphOutline out;
  std::lock_guard lock(gfx_detail::FreeTypeMutex());
  FT_Face face = f.face->face;
  if (FT_Load_Glyph(face, GlyphOf(f, c), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return out;
  OutlineSink sink{&out, double(f.emX64) / (64.0 * f.face->upem),
                  double(f.em64) / (64.0 * f.face->upem)};
  FT_Outline_Funcs funcs{};
  funcs.move_to = [](const FT_Vector* to, void* u) {
    return AddSegment(u, GlyphOutline::Kind::Move, {to});
  };
  funcs.line_to = [](const FT_Vector* to, void* u) {
    return AddSegment(u, GlyphOutline::Kind::Line, {to});
  };
  funcs.conic_to = [](const FT_Vector* c1, const FT_Vector* to, void* u) {
    return AddSegment(u, GlyphOutline::Kind::Conic, {c1, to});
  };
  funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    return AddSegment(u, GlyphOutline::Kind::Cubic, {c1, c2, to});
  };
  FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
  return out;
}

}  // namespace plat
