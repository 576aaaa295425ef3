#include "layout/paint/view_painter.h"

#include <algorithm>
#include <vector>

#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "layout/box.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/box_painter.h"
#include "layout/paint/selection_rects.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/region.h"

namespace qv {

namespace {

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

uint32_t Compose(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

int32_t PositiveMod(int64_t v, int32_t m) {
  const int64_t r = v % m;
  return static_cast<int32_t>(r < 0 ? r + m : r);
}

bool PatternSelects(TTintPass pass, int64_t s) {
  switch (pass) {
    case TTintPass::Selection:
      return true;
    case TTintPass::Locked:
      return PositiveMod(s, 6) < 2;
    default:
      return PositiveMod(s, 2) == 1;
  }
}

uint32_t Brightness(uint32_t p) { return Channel(p, 0) + Channel(p, 8) + Channel(p, 16); }

}  // namespace

uint32_t SelectionTintColor(uint32_t colour, TTintPass pass) {
  colour &= 0xFFFFFF;
  if (pass == TTintPass::Selection) return colour;
  auto raise = [](uint32_t v) { return std::max<uint32_t>(208, v + (255 - v) / 3); };
  return Compose(raise(Channel(colour, 0)), raise(Channel(colour, 8)), raise(Channel(colour, 16)));
}

uint32_t TintPixel(uint32_t pixel, uint32_t tint) {
  const bool dark = Brightness(tint) / 3 < 128;
  uint32_t out[3];
  for (int i = 0; i < 3; ++i) {
    const int32_t t = static_cast<int32_t>(Channel(tint, 8 * i));
    const int32_t p = static_cast<int32_t>(Channel(pixel, 8 * i));
    out[i] = static_cast<uint32_t>(dark ? std::min(255, t + (255 - p)) : std::max(0, t - (255 - p) * 2 / 3));
  }
  return Compose(out[0], out[1], out[2]);
}

void TintRegion(plat::Bitmap& bitmap, const plat::Region& region, uint32_t selectionColour,
                TTintPass pass, plat::Point scroll) {
  // Bitmap pixels keep their channels in another order; the formulas treat every channel alike.
  const uint32_t tint = plat::ColorToPixel(SelectionTintColor(selectionColour, pass)) & 0xFFFFFF;
  for (const plat::Rect& raw : region.Rects()) {
    const plat::Rect r = raw.Intersect(bitmap.Bounds());
    if (r.IsEmpty()) continue;
    uint32_t lastIn = 0, lastOut = TintPixel(0, tint);
    for (int32_t y = r.bottom - 1; y >= r.top; --y) {
      uint32_t* row = bitmap.ScanLine(y);
      for (int32_t x = r.left; x < r.right; ++x) {
        if (!PatternSelects(pass, int64_t{x} + y + scroll.x + scroll.y)) continue;
        const uint32_t p = row[x] & 0xFFFFFF;
        if (p != lastIn) {  // a run of equal pixels reuses the last result
          lastIn = p;
          lastOut = TintPixel(p, tint);
        }
        row[x] = (row[x] & 0xFF000000u) | lastOut;
      }
    }
  }
}

int32_t SpotlightLevel(uint32_t options) {
  if (options & 0x10) return 4;
  if (options & 0x8) return 3;
  if (options & 0x4) return 2;
  if (options & 0x2) return 1;
  return 0;
}

void ApplySpotlight(plat::Bitmap& bitmap, const plat::Rect& area, const plat::Rect& band,
                    uint32_t options) {
  const bool blur = (options & 0x1) != 0;
  const int32_t level = SpotlightLevel(options);
  if (!blur && level == 0) return;
  const plat::Rect a = area.Intersect(bitmap.Bounds());
  if (a.IsEmpty()) return;
  std::vector<uint32_t> sums;
  for (int32_t y = a.top; y < a.bottom; ++y) {
    uint32_t* row = bitmap.ScanLine(y);
    const bool rowInBand = y >= band.top && y < band.bottom;
    if (blur) {
      sums.assign(static_cast<size_t>(bitmap.Width()), 0);
      for (int32_t x = 0; x < bitmap.Width(); ++x) sums[static_cast<size_t>(x)] = Brightness(row[x]);
    }
    uint32_t lastIn = 0xFFFFFFFFu, lastOut = 0;
    for (int32_t x = a.left; x < a.right; ++x) {
      if (rowInBand && x >= band.left && x < band.right) continue;
      uint32_t grey;
      if (blur) {
        uint32_t sum = 0;
        for (int32_t k = x - 5; k <= x + 5; ++k)
          sum += (k < 0 || k >= bitmap.Width()) ? 765u : sums[static_cast<size_t>(k)];
        grey = sum * static_cast<uint32_t>(6 - level) / 198;
      } else {
        const uint32_t p = row[x] & 0xFFFFFF;
        if (p == lastIn) {
          row[x] = (row[x] & 0xFF000000u) | lastOut;
          continue;
        }
        grey = static_cast<uint32_t>(6 - level) * Brightness(p) / 18;
        lastIn = p;
        lastOut = Compose(grey, grey, grey);
      }
      grey = std::min<uint32_t>(grey, 255);
      row[x] = (row[x] & 0xFF000000u) | Compose(grey, grey, grey);
    }
  }
}

int32_t PaintDocumentView(TDoc& doc, plat::Bitmap& bitmap, const plat::Rect& pageArea,
                          const TViewColours& colours) {
  plat::Canvas canvas(bitmap);
  canvas.IntersectClipRect(pageArea);
  canvas.FillRect(pageArea, colours.Interpage);
  const plat::Point scroll = doc.View.ScrollPos;
  int32_t painted = 0;
  std::vector<plat::Rect> selection;
  const std::vector<plat::Rect>& placed = doc.Layout.Arrangement.PageRects;
  for (size_t i = 0; i < doc.Pages.size(); ++i) {
    TPage* page = doc.Pages[i];
    if (page == nullptr) continue;
    // Where the view's page arrangement put the page; unarranged pages stand at the origin.
    const plat::Rect at = i < placed.size()
                              ? plat::Rect{placed[i].left, placed[i].top,
                                           placed[i].left + page->PixelRect.Width(),
                                           placed[i].top + page->PixelRect.Height()}
                              : page->PixelRect;
    const plat::Rect r = at.Offset(pageArea.left - scroll.x, pageArea.top - scroll.y);
    const plat::Rect framed{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    if (framed.Intersect(pageArea).IsEmpty()) continue;
    canvas.FrameRect(framed, colours.PageBorder);
    PaintPage(*page, canvas, r.left, r.top);
    ++painted;
    if (doc.IsDocFlagSet(dfPreview) || IsFragmentEmpty(doc.Selection)) continue;
    for (TLine* line : CollectPageLines(*page, AllAreas)) {
      if (line == nullptr || line->Box == nullptr) continue;
      const plat::Point at = BoxToPagePoint(*line->Box, {0, doc.TwipsToPixelsY(line->Top)});
      AddLineSelectionRects(*line, r.left + at.x, r.top + at.y, *doc.Selection, selection);
    }
  }
  canvas.Flush();
  for (plat::Rect& rect : selection) rect = rect.Intersect(pageArea);
  if (!selection.empty())
    TintRegion(bitmap, plat::Region::FromRects(selection), colours.Selection, TTintPass::Selection, scroll);
  return painted;
}

}  // namespace qv
