// Text output: byte strings in the font's code page and UTF-16 strings, with optional
// per-character advances, an opaque or clipping rectangle and the font's decorations.
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gfx/canvas_impl.h"
#include "platform/gfx/font_impl.h"

namespace plat {

namespace {

// Stands for a character that draws nothing (a lone surrogate).
constexpr uint32_t kNoGlyph = 0xFFFFFFFFu;

// Advances come from callers (per-character spacing of a document) and may be anything: sums
// are kept in 64 bits and brought back into the 32-bit coordinate range where they are used.
int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

struct GlyphRun {
  std::vector<uint32_t> glyphs;
  std::vector<int32_t> advances;
  int64_t total = 0;
  void Add(uint32_t g, int64_t adv) {
    glyphs.push_back(g);
    advances.push_back(Clamp32(adv));
    total += advances.back();
  }
};

GlyphRun RunOf(const Font::Impl& f, std::string_view bytes, std::span<const int32_t> dx) {
  GlyphRun run;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = uint8_t(bytes[i]);
    run.Add(f.byteGlyphs[b], i < dx.size() ? dx[i] : f.byteWidths[b]);
  }
  return run;
}

GlyphRun RunOf(const Font::Impl& f, std::u16string_view text, std::span<const int32_t> dx) {
  GlyphRun run;
  auto adv = [&](size_t i, int32_t natural) { return i < dx.size() ? dx[i] : natural; };
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      const int32_t natural = f.Advance(c);
      run.Add(f.GlyphFor(c), int64_t{adv(i, natural)} + (i + 1 < dx.size() ? dx[i + 1] : 0));
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      run.Add(kNoGlyph, adv(i, 0));
    } else {
      run.Add(f.GlyphFor(c), adv(i, f.Advance(c)));
    }
  }
  return run;
}

void DrawRun(Canvas::Impl& d, int32_t x, int32_t y, uint32_t options, const Rect* rect,
             const GlyphRun& run) {
  const Font::Impl& f = d.st.font.impl();
  const TextMetrics& tm = f.metrics;
  const uint32_t a = d.st.textAlign;
  if (a & align::UpdateCP) {
    x = d.st.cp.x;
    y = d.st.cp.y;
  }
  const uint32_t horiz = a & 6, vert = a & 24;
  const int32_t total = Clamp32(run.total);
  const int32_t start = Clamp32(horiz == align::Center ? -run.total / 2 : horiz == align::Right ? -run.total : 0);
  const int32_t base = vert == align::Baseline ? 0 : vert == align::Bottom ? -tm.Descent : tm.Ascent;
  if (a & align::UpdateCP) {
    if (horiz == align::Right) d.st.cp.x = Clamp32(int64_t{x} - run.total);
    else if (horiz != align::Center) d.st.cp.x = Clamp32(int64_t{x} + run.total);
  }

  cairo_t* cr = d.cr.get();
  if (rect && (options & eto::Opaque)) {
    gfx_detail::SetSourceColor(cr, d.st.bkColor);
    cairo_rectangle(cr, rect->left, rect->top, rect->Width(), rect->Height());
    cairo_fill(cr);
  }
  cairo_save(cr);
  if (rect && (options & eto::Clipped)) {
    cairo_rectangle(cr, rect->left, rect->top, rect->Width(), rect->Height());
    cairo_clip(cr);
  }
  cairo_translate(cr, x, y);
  const int32_t esc = f.log.Escapement;
  if (esc % 3600 != 0) cairo_rotate(cr, -double(esc) * M_PI / 1800.0);
  if (d.st.bkMode == BkMode::Opaque && !(rect && (options & eto::Opaque)) && total > 0) {
    gfx_detail::SetSourceColor(cr, d.st.bkColor);
    cairo_rectangle(cr, start, base - tm.Ascent, total, tm.Height);
    cairo_fill(cr);
  }

  std::vector<cairo_glyph_t> glyphs;
  glyphs.reserve(run.glyphs.size());
  int64_t pen = start;
  for (size_t i = 0; i < run.glyphs.size(); ++i) {
    if (run.glyphs[i] != kNoGlyph)
      glyphs.push_back({run.glyphs[i], double(pen), double(base)});
    pen += run.advances[i];
  }
  cairo_set_font_face(cr, f.face->CairoFace(f.synthBold, f.synthItalic));
  cairo_matrix_t fm;
  cairo_matrix_init_scale(&fm, double(f.emX64) / 64.0, double(f.em64) / 64.0);
  cairo_set_font_matrix(cr, &fm);
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
  gfx_detail::SetSourceColor(cr, d.st.textColor);
  if (!glyphs.empty()) cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));

  auto line = [&](int32_t posUnits, int32_t thickUnits) {
    const int32_t thick = std::max(1, f.ScaleY(thickUnits));
    const int32_t top = base - f.ScaleY(posUnits) - thick / 2;
    cairo_rectangle(cr, start, top, total, thick);
    cairo_fill(cr);
  };
  if (f.log.Underline) line(f.face->underlinePos, f.face->underlineThick);
  if (f.log.StrikeOut) line(f.face->strikePos, f.face->strikeThick);
  cairo_restore(cr);
}

}  // namespace

void Canvas::TextOut(int32_t x, int32_t y, std::string_view bytes) {
  ExtTextOut(x, y, 0, nullptr, bytes);
}

void Canvas::TextOut(int32_t x, int32_t y, std::u16string_view text) {
  ExtTextOut(x, y, 0, nullptr, text);
}

void Canvas::ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect* rect,
                        std::string_view bytes, std::span<const int32_t> dx) {
  DrawRun(*impl_, x, y, options, rect, RunOf(impl_->st.font.impl(), bytes, dx));
}

void Canvas::ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect* rect,
                        std::u16string_view text, std::span<const int32_t> dx) {
  DrawRun(*impl_, x, y, options, rect, RunOf(impl_->st.font.impl(), text, dx));
}

Size Canvas::TextExtent(std::string_view bytes) const {
  const Font& f = impl_->st.font;
  return {f.TextWidth(bytes), f.Metrics().Height};
}

Size Canvas::TextExtent(std::u16string_view text) const {
  const Font& f = impl_->st.font;
  return {f.TextWidth(text), f.Metrics().Height};
}

}  // namespace plat
