#include "layout/paint/view_painter.h"

#include <algorithm>
#include <array>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/box_painter.h"
#include "layout/paint/highlight_services.h"
#include "layout/paint/line_painter.h"
#include "layout/paint/selection_rects.h"
#include "layout/paint/view_paint_state.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/region.h"

namespace qv {

namespace {

// Document flags: a redraw is not wanted (an edit call or a paragraph's spelling check runs),
// and the document has been painted at least once.
constexpr int32_t kRedrawBlockedFlag = 122;
constexpr int32_t kPaintedFlag = 75;

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

namespace {

TBox* PageOf(TBox* box) {
  while (box != nullptr && box->Parent != nullptr) box = box->Parent;
  return box;
}

// Where each laid-out page was painted, by page index; empty rectangles for pages not painted.
using TPagePlaces = std::vector<plat::Rect>;

// The view rectangle of a laid-out line, or false when it is not on a painted page.
bool LineViewRect(const TDoc& doc, const TLine& line, const TPagePlaces& places, plat::Rect& out) {
  TBox* page = PageOf(line.Box);
  if (page == nullptr) return false;
  for (size_t i = 0; i < doc.Pages.size() && i < places.size(); ++i) {
    if (doc.Pages[i] != page || places[i].IsEmpty()) continue;
    const plat::Point at = BoxToPagePoint(*line.Box, {0, doc.TwipsToPixelsY(line.Top)});
    out = {places[i].left + at.x, places[i].top + at.y, places[i].left + at.x + line.Box->PixelRect.Width(),
           places[i].top + at.y + LineHeightPixels(line)};
    return true;
  }
  return false;
}

// The line holding a position: on a boundary of two lines a start belongs to the later line, an
// end to the earlier one. Null when the paragraph has no such laid-out line.
TLine* LineAt(TDoc& doc, const TDocPosition& at, bool end) {
  if (at.Par < 0 || at.Par >= doc.ParCount()) return nullptr;
  TPar& par = *doc.Par(at.Par);
  if (par.Lines.empty()) return nullptr;
  const int32_t index = par.LineIndexOfChar(at.Offset, 0, end);
  if (index < 0 || index >= static_cast<int32_t>(par.Lines.size())) return nullptr;
  TLine* line = par.Lines[static_cast<size_t>(index)];
  if (line == nullptr || line->Box == nullptr || at.Offset > line->LastChar()) return nullptr;
  return line;
}

// The box a line's band is measured against: its cell in a table, else its text body.
TBox* ReferenceBox(TLine& line) {
  if (TCellBox* cell = GetCellBox(line.Box)) return cell;
  return GetBodyBox(line.Box);
}

bool SpotlightBand(TDoc& doc, const TPagePlaces& places, const plat::Rect& area, plat::Rect& band) {
  const TDocRange& range = doc.PaintedSpotlightRange;
  TLine* first = LineAt(doc, range.Start, false);
  TLine* last = LineAt(doc, range.End, true);
  if (first == nullptr || last == nullptr) return false;
  TBox* firstRef = ReferenceBox(*first);
  TBox* lastRef = ReferenceBox(*last);
  const bool draft = doc.ViewMode != vmPrintLayout;
  if (!draft && (firstRef == nullptr || lastRef == nullptr || PageOf(firstRef) != PageOf(lastRef)))
    return false;
  if (!draft && GetCellBox(first->Box) == nullptr && GetBodyBox(first->Box) != GetBodyBox(last->Box))
    return false;
  plat::Rect a, b;
  if (!LineViewRect(doc, *first, places, a) || !LineViewRect(doc, *last, places, b)) return false;
  band = {area.left, a.top, area.right, b.bottom};
  const bool sameCell = GetCellBox(first->Box) != nullptr && GetCellBox(first->Box) == GetCellBox(last->Box);
  const bool inTables = GetCellBox(first->Box) != nullptr || GetCellBox(last->Box) != nullptr;
  if ((!draft || inTables) && (!inTables || sameCell) && firstRef != nullptr && lastRef != nullptr) {
    const plat::Point origin{a.left - BoxToPagePoint(*first->Box, {0, 0}).x, 0};
    const plat::Point endOrigin{b.left - BoxToPagePoint(*last->Box, {0, 0}).x, 0};
    band.left = origin.x + BoxToPagePoint(*firstRef, {0, 0}).x - 1;
    band.right = endOrigin.x + BoxToPagePoint(*lastRef, {0, 0}).x + lastRef->PixelRect.Width() + 1;
  }
  const int32_t minimum = GetOptionsHolder().Options.View.SpotlightH;
  if (minimum > 0 && band.Height() < minimum) {
    const int32_t grow = minimum - band.Height();
    band.top -= grow / 2;
    band.bottom += grow - grow / 2;
  }
  return true;
}

// The fragments of the tint passes after the selection: locked selections, instances of the
// selected text (only while no find results are shown and the selection is one range) and find
// results. Null for a pass with nothing to show.
std::array<const TCompoundFragment*, 4> TintPassFragments(TDoc& doc) {
  std::array<const TCompoundFragment*, 4> f{};
  if (doc.PrintPreview) return f;
  if (doc.HasLockedRanges() && doc.LockedRanges) f[1] = doc.LockedRanges.get();
  THighlightServices& search = HighlightServices();
  f[3] = search.FindResults(doc);
  if (f[3] != nullptr && IsFragmentEmpty(f[3])) f[3] = nullptr;
  if (f[3] == nullptr && doc.Selection && doc.Selection->Count() == 1) f[2] = search.SelectionInstances(doc);
  if (f[2] != nullptr && IsFragmentEmpty(f[2])) f[2] = nullptr;
  return f;
}

// Visible pages: those whose arranged rectangle (or, unarranged, their own) meets the area.
plat::Rect PageViewRect(const TDoc& doc, size_t index, const plat::Rect& area) {
  const std::vector<plat::Rect>& placed = doc.Layout.Arrangement.PageRects;
  const TPage* page = index < doc.Pages.size() ? doc.Pages[index] : nullptr;
  plat::Rect at;
  if (index < placed.size()) {
    at = placed[index];
    if (page != nullptr)
      at = {at.left, at.top, at.left + page->PixelRect.Width(), at.top + page->PixelRect.Height()};
  } else if (page != nullptr) {
    at = page->PixelRect;
  }
  return at.Offset(area.left - doc.View.ScrollPos.x, area.top - doc.View.ScrollPos.y);
}

bool Meets(const plat::Rect& page, const plat::Rect& area) {
  const plat::Rect framed{page.left - 1, page.top - 1, page.right + 1, page.bottom + 1};
  return !framed.Intersect(area).IsEmpty();
}

// A document scrolled beyond its laid-out pages is laid out just far enough to fill the view:
// the arrangement's estimated rectangles tell which pages the view would show.
void PaginateVisiblePages(TDoc& doc, const plat::Rect& area) {
  if (doc.Layout.LaidOutToEnd) return;
  const std::vector<plat::Rect>& placed = doc.Layout.Arrangement.PageRects;
  int32_t last = -1;
  for (size_t i = doc.Pages.size(); i < placed.size(); ++i)
    if (Meets(PageViewRect(doc, i, area), area)) last = static_cast<int32_t>(i);
  if (last >= doc.PageCount()) doc.Paginate(doc.PageCount(), last + 1);
}

// Set while a repaint runs: a repaint asked for meanwhile (from a message handled during
// pagination) is dropped, and the running one paints the current state.
bool g_painting = false;

class TPaintingGuard {
 public:
  TPaintingGuard() { g_painting = true; }
  ~TPaintingGuard() { g_painting = false; }
  TPaintingGuard(const TPaintingGuard&) = delete;
  TPaintingGuard& operator=(const TPaintingGuard&) = delete;
};

void TintPasses(plat::Bitmap& bitmap, TViewPaintState& view, const plat::Rect& area,
                const TViewColours& colours, plat::Point scroll) {
  // A partial repaint tints only what it painted: the rest of the bitmap keeps its tint.
  const plat::Region changed = plat::Region::FromRects(view.Changed);
  for (size_t pass = 0; pass < view.Tints.size(); ++pass) {
    std::vector<plat::Rect>& rects = view.Tints[pass];
    for (plat::Rect& rect : rects) rect = rect.Intersect(area);
    if (rects.empty()) continue;
    plat::Region region = plat::Region::FromRects(rects);
    if (view.Partial()) region.Intersect(changed);
    if (!region.IsEmpty())
      TintRegion(bitmap, region, colours.Selection, static_cast<TTintPass>(pass), scroll);
  }
}

}  // namespace

bool IsViewPainting() { return g_painting; }

bool CanRedrawView(const TDoc& doc) { return !doc.IsDocFlagSet(kRedrawBlockedFlag) && !g_painting; }

TViewRepaint RepaintDocumentView(TDoc& doc, plat::Bitmap& bitmap, const plat::Rect& pageArea,
                                 const TCompoundFragment* fragment, const TViewColours& colours) {
  TViewRepaint result;
  if (g_painting) return result;
  TPaintingGuard guard;
  const bool preview = doc.IsDocFlagSet(dfPreview);
  const bool spotlight = !preview && doc.IsSpotlightActive();
  if (spotlight) SelectionServices().GetSpotlightRange(doc, doc.PaintedSpotlightRange);
  // Spotlight's band follows the caret and greys the whole view, so it is always painted whole.
  if (spotlight || IsFragmentEmpty(fragment)) fragment = nullptr;
  const bool draft = doc.ViewMode != vmPrintLayout;
  const plat::Point scroll = doc.View.ScrollPos;
  TViewPaintState view;
  view.Fragment = fragment;
  view.PageBackground = colours.PageBackground;
  if (!preview) {
    view.Passes = TintPassFragments(doc);
    if (!IsFragmentEmpty(doc.Selection)) view.Passes[0] = doc.Selection.get();
  }
  PaginateVisiblePages(doc, pageArea);
  plat::Canvas canvas(bitmap);
  canvas.IntersectClipRect(pageArea);
  if (fragment == nullptr) canvas.FillRect(pageArea, draft ? colours.PageBackground : colours.Interpage);
  TPagePlaces places(doc.Pages.size());
  for (size_t i = 0; i < doc.Pages.size(); ++i) {
    TPage* page = doc.Pages[i];
    if (page == nullptr) continue;
    const plat::Rect r = PageViewRect(doc, i, pageArea);
    if (!Meets(r, pageArea)) continue;
    if (fragment == nullptr && !draft) canvas.FrameRect({r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, colours.PageBorder);
    PaintPage(*page, canvas, r.left, r.top, nullptr, preview ? nullptr : &view);
    places[i] = r;
    ++result.Pages;
  }
  canvas.Flush();
  plat::Rect band;
  if (spotlight && SpotlightBand(doc, places, pageArea, band))
    ApplySpotlight(bitmap, pageArea, band, GetOptionsHolder().Options.View.Spotlight);
  if (!preview) TintPasses(bitmap, view, pageArea, colours, scroll);
  result.Partial = fragment != nullptr;
  if (result.Partial) {
    for (const plat::Rect& rect : view.Changed)
      if (const plat::Rect r = rect.Intersect(pageArea); !r.IsEmpty()) result.Changed.push_back(r);
  } else {
    result.Changed.push_back(pageArea.Intersect(bitmap.Bounds()));
  }
  doc.SetDocFlag(kPaintedFlag, true);
  return result;
}

int32_t PaintDocumentView(TDoc& doc, plat::Bitmap& bitmap, const plat::Rect& pageArea,
                          const TViewColours& colours) {
  return RepaintDocumentView(doc, bitmap, pageArea, nullptr, colours).Pages;
}

}  // namespace qv
