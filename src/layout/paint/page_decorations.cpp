#include "layout/paint/page_decorations.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "foundation/base/units.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

namespace qv {

namespace {

// Entries of the active palette.
constexpr int32_t kAutoText = 0;
constexpr int32_t kSpecialSymbol = 2;
constexpr int32_t kMarginBorder = 4;
constexpr int32_t kPageMargin = 14;
constexpr uint32_t kNoteRuleGrey = 0xC0C0C0;
constexpr int32_t kNoteRuleTwips = 2880;  // two inches
constexpr int32_t kNoteRuleHeightTwips = 16;

uint32_t PaletteColour(int32_t entry) {
  return GetColorManager().ActivePalette().Entries[static_cast<size_t>(entry)].Color;
}

uint16_t ViewFlags() { return GetOptionsHolder().Options.View.Flags; }

bool DotAt(int64_t at, int32_t pattern) {
  const int64_t m = pattern == 2 ? 5 : 8;
  const int64_t k = ((at % m) + m) % m;
  return pattern == 2 ? k == 0 : (k == 0 || k == 3);
}

int32_t PxX(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsX(twips) : TwipsToScreenPixels(twips);
}
int32_t PxY(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsY(twips) : TwipsToScreenPixels(twips);
}

// The pixel rectangle of a box of the page painted at the paper's origin.
plat::Rect BoxOnPaper(const TBox& box, const plat::Rect& paper) {
  const plat::Point at = BoxToPagePoint(box, {0, 0});
  return {paper.left + at.x, paper.top + at.y, paper.left + at.x + box.PixelRect.Width(),
          paper.top + at.y + box.PixelRect.Height()};
}

const TSection* SectionOf(const TPage& page) {
  const TSection* s = GetPageSection(page);
  return s != nullptr ? s : page.Section;
}

// The page's text area edges and the boundaries of its header and footer, in pixels.
struct TMarginLines {
  int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
};

TMarginLines MarginLines(const TPage& page, const plat::Rect& paper) {
  const TDoc* doc = page.Doc;
  const TSection* s = SectionOf(page);
  TMarginLines m;
  if (s == nullptr) return m;
  const TPageParams& p = s->PageParams;
  m.Left = paper.left + PxX(doc, p.LeftMargin);
  m.Right = paper.left + PxX(doc, p.PageWidth - p.RightMargin);
  m.Top = page.HeaderBox != nullptr ? BoxOnPaper(*page.HeaderBox, paper).bottom
                                    : paper.top + PxY(doc, p.HeaderDistance);
  m.Bottom = page.FooterBox != nullptr ? BoxOnPaper(*page.FooterBox, paper).top + 1
                                       : paper.top + PxY(doc, p.PageHeight - p.FooterDistance) + 1;
  return m;
}

int32_t SectionIndex(const TDoc& doc, const TSection* section) {
  for (size_t i = 0; i < doc.Sections.size(); ++i)
    if (doc.Sections[i].get() == section) return static_cast<int32_t>(i);
  return 0;
}

}  // namespace

bool GridlinesShown(const TDoc* doc) {
  if (doc == nullptr || doc->IsDocFlagSet(dfPreview) || doc->PrintPreview) return false;
  return (ViewFlags() & ViewFlagGridlines) != 0;
}

void DottedHLine(plat::Canvas& canvas, int32_t x1, int32_t x2, int32_t y, int32_t pattern,
                 uint32_t colour, int32_t phase) {
  const plat::Rect clip = canvas.ClipBox();
  if (y < clip.top || y >= clip.bottom) return;
  for (int32_t x = std::max(x1, clip.left); x <= std::min(x2, clip.right - 1); ++x)
    if (DotAt(int64_t{x} + phase, pattern)) canvas.SetPixel(x, y, colour);
}

void DottedVLine(plat::Canvas& canvas, int32_t x, int32_t y1, int32_t y2, int32_t pattern,
                 uint32_t colour, int32_t phase) {
  const plat::Rect clip = canvas.ClipBox();
  if (x < clip.left || x >= clip.right) return;
  for (int32_t y = std::max(y1, clip.top); y <= std::min(y2, clip.bottom - 1); ++y)
    if (DotAt(int64_t{y} + phase, pattern)) canvas.SetPixel(x, y, colour);
}

void PaintNoteSeparator(const TBox& area, plat::Canvas& canvas, const plat::Rect& r) {
  const TDoc* doc = area.Doc;
  if (doc == nullptr || area.Parent == nullptr || !area.Parent->HasFlag(TBox::ColumnBody)) return;
  if (area.Area != TBox::AreaFootnotes && area.Area != TBox::AreaEndnotes) return;
  const uint8_t shown = area.Area == TBox::AreaFootnotes ? 1 : 2;
  if ((doc->NoteSeparatorFlags & shown) == 0 || area.PixelMargins.top <= 0) return;
  const int32_t room = area.PixelRect.Width() - area.PixelMargins.left - area.PixelMargins.right;
  const int32_t width = std::min(doc->TwipsToPixelsY(kNoteRuleTwips), room);
  const int32_t height = std::max(1, doc->TwipsToPixelsY(kNoteRuleHeightTwips));
  if (width <= 0) return;
  const int32_t left = r.left + area.PixelMargins.left;
  const int32_t top = r.top + (area.PixelMargins.top - height) / 2;
  const uint32_t colour = doc->IsDocFlagSet(dfPreview) || doc->PrintPreview
                              ? PaletteColour(kAutoText)
                              : GetColorManager().AdjustToBackground(kNoteRuleGrey);
  canvas.FillRect({left, top, left + width, top + height}, colour);
}

void PaintColumnLines(const TBox& band, plat::Canvas& canvas, const plat::Rect& r) {
  const TDoc* doc = band.Doc;
  if (band.SeparatorHeight == 0) return;
  const bool preview = doc != nullptr && doc->IsDocFlagSet(dfPreview);
  const bool editingHeader = doc != nullptr && doc->HeaderFooterInPlace != nullptr && !doc->PrintPreview;
  const uint32_t colour =
      editingHeader ? GetColorManager().AdjustToBackground(0xC0C0C0) : PaletteColour(kAutoText);
  const int32_t height = PxX(doc, band.SeparatorHeight);
  for (const TBoxRef& child : band.Children) {
    if (!child->HasFlag(TBox::ColumnBody)) continue;
    const int32_t edge = r.left + child->PixelRect.right;
    const int32_t top = r.top + child->PixelRect.top;
    // A printed line is 16 twips wide, centred on the edge; on screen one pixel left of it.
    const int32_t half = preview ? std::max(1, PxX(doc, 16)) / 2 : 0;
    const plat::Rect line = preview ? plat::Rect{edge - half, top, edge - half + std::max(1, PxX(doc, 16)), top + height}
                                    : plat::Rect{edge - 1, top, edge, top + height};
    canvas.FillRect(line, colour);
  }
}

bool PageShowsDecorations(const TPage& page) {
  const TDoc* doc = page.Doc;
  if (doc == nullptr || doc->IsDocFlagSet(dfPreview) || doc->PrintPreview) return false;
  if (doc->ViewMode != vmPrintLayout) return false;
  return GetFirstLineOfBox(page, AllAreas) != nullptr;
}

void PaintPageMarginShading(TPage& page, plat::Canvas& canvas, const plat::Rect& paper) {
  if (CurrentColorScheme().Colors[kPageMargin] == -1) return;
  const TDoc* doc = page.Doc;
  TMarginLines m = MarginLines(page, paper);
  if ((ViewFlags() & ViewFlagHideWhiteSpace) != 0 || (doc != nullptr && doc->HeaderFooterInPlace != nullptr)) {
    m.Top = paper.top;
    m.Bottom = paper.bottom;
  }
  const uint32_t colour = PaletteColour(kPageMargin) & 0xFFFFFF;
  // The corners a shade apart, so that the text area's corners stand out.
  uint32_t corner = colour;
  if (colour != 0xFFFFFF) {
    corner = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int32_t v = static_cast<int32_t>((colour >> shift) & 0xFF);
      corner |= static_cast<uint32_t>(v >= 64 ? v - 4 : v + 4) << shift;
    }
  }
  canvas.FillRect({m.Left, paper.top, m.Right, m.Top}, colour);
  canvas.FillRect({m.Left, m.Bottom, m.Right, paper.bottom}, colour);
  canvas.FillRect({paper.left, m.Top, m.Left, m.Bottom}, colour);
  canvas.FillRect({m.Right, m.Top, paper.right, m.Bottom}, colour);
  canvas.FillRect({paper.left, paper.top, m.Left, m.Top}, corner);
  canvas.FillRect({m.Right, paper.top, paper.right, m.Top}, corner);
  canvas.FillRect({paper.left, m.Bottom, m.Left, paper.bottom}, corner);
  canvas.FillRect({m.Right, m.Bottom, paper.right, paper.bottom}, corner);
}

void PaintPageMarginBorders(TPage& page, plat::Canvas& canvas, const plat::Rect& paper) {
  const TDoc* doc = page.Doc;
  if ((ViewFlags() & ViewFlagMarginBorders) == 0 || (ViewFlags() & ViewFlagHideWhiteSpace) != 0) return;
  if (doc == nullptr || doc->HeaderFooterInPlace != nullptr) return;
  const TMarginLines m = MarginLines(page, paper);
  const uint32_t colour = PaletteColour(kMarginBorder);
  const plat::Point phase = doc->View.ScrollPos;
  DottedHLine(canvas, paper.left, paper.right - 1, m.Top - 1, 3, colour, phase.x);
  DottedHLine(canvas, paper.left, paper.right - 1, m.Bottom, 3, colour, phase.x);
  DottedVLine(canvas, m.Left - 1, paper.top, paper.bottom - 1, 3, colour, phase.y);
  DottedVLine(canvas, m.Right + 1, paper.top, paper.bottom - 1, 3, colour, phase.y);
}

THeaderFooterLabel HeaderFooterLabel(TPage& page, bool footer) {
  THeaderFooterLabel label;
  const TDoc* doc = page.Doc;
  const TSection* s = SectionOf(page);
  if (doc == nullptr || s == nullptr) return label;
  const char* kind = footer ? "Footer" : "Header";
  const TLine* first = GetFirstLineOfBox(page, BodyAreas);
  const bool sectionStart = first != nullptr && first->Par != nullptr &&
                            first->Par->Index == s->FirstPar && first->FirstChar == 0;
  if (s->PageParams.DiffFirstPage != 0 && sectionStart) label.Text = std::string("First Page ") + kind;
  else if (s->PageParams.DiffOddEven != 0) label.Text = std::string(page.Index % 2 == 0 ? "Odd Page " : "Even Page ") + kind;
  else label.Text = kind;
  if (doc->Sections.size() > 1)
    label.Text = "Section " + std::to_string(SectionIndex(*doc, s) + 1) + " " + label.Text;
  const TField* field = footer ? page.FooterField : page.HeaderField;
  label.SameAsPrevious =
      field != nullptr && std::find(s->HeaderFooter.begin(), s->HeaderFooter.end(), field) == s->HeaderFooter.end();
  return label;
}

void PaintHeaderFooterLabels(TPage& page, plat::Canvas& canvas, const plat::Rect& paper) {
  TDoc* doc = page.Doc;
  if (doc == nullptr || doc->HeaderFooterInPlace == nullptr) return;
  const plat::Point phase = doc->View.ScrollPos;
  const bool borders = (ViewFlags() & ViewFlagMarginBorders) != 0;
  const TMarginLines m = MarginLines(page, paper);
  plat::LogFont lf;
  lf.FaceName = "Arial";
  lf.Weight = 400;
  lf.CharSet = plat::charset::Ansi;
  lf.Height = -MulDiv(doc->ZoomPercent <= 50 ? MulDiv(8, 85, 100) : 8, ScreenPixelsPerInch(), 72);
  const plat::Font font(lf);
  canvas.SaveState();
  canvas.SetFont(font);
  canvas.SetBkMode(plat::BkMode::Transparent);
  canvas.SetTextAlign(plat::align::Left | plat::align::Top);
  canvas.SetTextColor(PaletteColour(kAutoText));
  const int32_t height = font.Metrics().Height;
  for (const bool footer : {false, true}) {
    const TBox* area = footer ? page.FooterBox : page.HeaderBox;
    if (area == nullptr) continue;
    const plat::Rect r = BoxOnPaper(*area, paper);
    DottedHLine(canvas, paper.left, paper.right - 1, r.top - 1, 3, PaletteColour(kSpecialSymbol), phase.x);
    DottedHLine(canvas, paper.left, paper.right - 1, r.bottom, 3, PaletteColour(kSpecialSymbol), phase.x);
    const THeaderFooterLabel label = HeaderFooterLabel(page, footer);
    const int32_t top = footer ? r.bottom + 2 : r.top - 2 - height;
    const int32_t left = (borders ? m.Left : paper.left) + 10;
    const std::u16string text(label.Text.begin(), label.Text.end());
    canvas.TextOut(left, top, std::u16string_view(text));
    if (label.SameAsPrevious) {
      const std::u16string same = u"Same as Previous";
      const int32_t right = (borders ? m.Right : paper.right) - 10;
      canvas.TextOut(right - canvas.TextExtent(std::u16string_view(same)).cx, top, std::u16string_view(same));
    }
  }
  canvas.RestoreState();
}

}  // namespace qv
