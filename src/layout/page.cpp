#include "layout/page.h"

#include <algorithm>
#include <climits>

#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/table_row.h"
#include "layout/box.h"
#include "layout/box_filler.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/char_positions.h"
#include "layout/floating_shapes.h"
#include "layout/layout_common.h"

namespace qv {

namespace {

void CollectLines(const TBox& box, uint32_t areas, std::vector<TLine*>& out) {
  if (box.Area != TBox::AreaNone && (AreaBit(box.Area) & areas) != 0)
    for (TLine* line : box.Lines)
      if (line != nullptr) out.push_back(line);
  for (const TBoxRef& c : box.Children) CollectLines(*c, areas, out);
}

// The section before `section` in the document's list (null for the first).
const TSection* EarlierSection(const TDoc& doc, const TSection* section) {
  for (size_t i = 1; i < doc.Sections.size(); ++i)
    if (doc.Sections[i].get() == section) return doc.Sections[i - 1].get();
  return nullptr;
}

bool IsFirstPageOfSection(const TDoc& doc, const TSection& section) {
  if (section.FirstPar < 0 || section.FirstPar >= doc.ParCount()) return false;
  const TPar& first = *doc.Par(section.FirstPar);
  return first.Lines.empty() || first.Lines.front()->Box == nullptr;
}

// The header and footer text is shared by every page: its page-dependent fields (page numbers,
// style references) are evaluated for this page before it is laid out here.
void ShowPageFields(TPage& page, TField& field, TDocRange& range) {
  if (page.Doc == nullptr || !page.Doc->GetFieldRange(&field, range)) {
    range = field.Range;
    return;
  }
  page.Doc->UpdatePageFieldsForPage(&field, page.Index, range);
  page.Doc->GetFieldRange(&field, range);
}

// A header or footer box on the page for the field's text.
TBox* MakeAreaBox(TPage& page, const TSection& section, bool footer) {
  const TPageParams& pp = section.PageParams;
  TBoxRef box = AcquireBox(&page, TBoxKind::Box);
  box->Flags = TBox::AreaBox | (footer ? TBox::FooterBox : 0u);
  box->Area = TBox::AreaHeaderFooter;
  const bool mirrored = pp.Mirror != 0 && (page.Index & 1) != 0;
  box->Margins.left = mirrored ? pp.RightMargin : pp.LeftMargin;
  box->Margins.right = mirrored ? pp.LeftMargin : pp.RightMargin;
  const int32_t y = footer ? pp.PageHeight - pp.BottomMargin : pp.HeaderDistance;
  box->Rect = {0, y, pp.PageWidth, y};
  box->MaxHeight = std::max(0, (pp.PageHeight - pp.HeaderDistance - pp.FooterDistance) / 3);
  return page.AddChild(std::move(box));
}

// Flows the range into the header or footer box. With floating shapes the flow is repeated from
// a snapshot of the page for as long as it places shapes, so that the text wraps round them; the
// page's other shapes are set aside meanwhile and come back afterwards, joined by the box's own.
void FlowWithShapes(TPage& page, TBox& box, TDocRange range) {
  const TDoc& doc = *page.Doc;
  const int32_t shapes = LaidOutShapeCount(doc);
  if (shapes == 0) {
    FlowIntoBoxes(box, range);
    return;
  }
  std::vector<TShape*> others;
  others.swap(page.Shapes);
  const uint32_t keep = page.Flags & TBox::KeepShapeList;
  page.Flags |= TBox::KeepShapeList;
  TakePageSnapshot(page);
  const TPageSnapshot* snapshot = LastPageSnapshot(page);
  for (int32_t round = 0; round <= shapes; ++round) {
    TDocRange r = range;
    if ((FlowIntoBoxes(box, r) & frShapeMoved) == 0) break;
    RestorePageSnapshot(page, *snapshot);
  }
  DiscardPageSnapshot(page, snapshot);
  page.Flags = (page.Flags & ~TBox::KeepShapeList) | keep;
  for (TShape* s : page.Shapes)
    if (std::find(others.begin(), others.end(), s) == others.end()) others.push_back(s);
  page.Shapes.swap(others);
}

// A footer's children are stacked from its bottom; the shapes that follow the text of its first
// child move along.
void StackFooter(TPage& page, TBox& box) {
  const TBox* first = box.Children.empty() ? nullptr : box.Children.front().get();
  const int32_t before = first != nullptr ? first->Rect.top : 0;
  StackChildBoxesFromBottom(box);
  if (first != nullptr) ShiftShapesOfBox(page, *first, first->Rect.top - before, false);
}

// Flows the field's paragraphs into the box and places the box (header from the top, footer
// from the bottom).
void FlowHeaderFooter(TPage& page, TBox& box, TField& field, const TSection& section, bool footer) {
  const TPageParams& pp = section.PageParams;
  const TDoc& doc = *page.Doc;
  TDocRange range = field.Range;
  ShowPageFields(page, field, range);
  if (range.Start.Par >= 0 && range.End.Par < doc.ParCount() && !IsRangeEmpty(range)) FlowWithShapes(page, box, range);
  if (!footer) {
    box.Rect.bottom = std::max(box.Rect.bottom, pp.TopMargin);
    StackChildBoxes(box);
    return;
  }
  const int32_t limit = pp.PageHeight - pp.FooterDistance;
  box.Rect.bottom = std::max(box.Rect.bottom, limit);
  StackFooter(page, box);
  if (box.Rect.bottom > limit) {
    // A footer reaching below its limit moves up, and its shapes with it.
    ShiftShapesOfBox(page, box, limit - box.Rect.bottom, true);
    box.Rect = box.Rect.Offset(0, limit - box.Rect.bottom);
  }
}

// The shapes placed in the box's content now belong to the box itself: its content is released
// until it is laid out again.
void KeepShapesWithBox(TPage& page, TBox& box) {
  for (TShape* s : page.Shapes) {
    const auto* in = static_cast<const TBox*>(s->LayoutBox);
    if (in != nullptr && IsAncestor(in, &box)) s->LayoutBox = &box;
  }
}

}  // namespace

TField* PageHeaderField(const TPage& page, bool footer) {
  const TDoc& doc = *page.Doc;
  const TSection* section = page.Section;
  if (section == nullptr) return nullptr;
  const TPageParams& pp = section->PageParams;
  int slot = footer ? hfOddFooter : hfOddHeader;
  if (pp.DiffFirstPage != 0 && IsFirstPageOfSection(doc, *section)) {
    slot = footer ? hfFirstFooter : hfFirstHeader;
  } else if (pp.DiffOddEven != 0) {
    slot = ((page.Index + 1) & 1) + (footer ? 2 : 0);
  }
  for (const TSection* s = section; s != nullptr; s = EarlierSection(doc, s)) {
    if (TField* f = s->HeaderFooter[static_cast<size_t>(slot)]) return f;
    if (s->FirstPar <= 0) break;
  }
  return nullptr;
}

void MakePageHeaderFooter(TPage& page) {
  const TSection* section = page.Section;
  if (section == nullptr) return;
  for (const bool footer : {false, true}) {
    TField* field = PageHeaderField(page, footer);
    if (field == nullptr) continue;
    TBox& box = *MakeAreaBox(page, *section, footer);
    FlowHeaderFooter(page, box, *field, *section, footer);
    if (footer) {
      page.FooterField = field;
      page.FooterBox = &box;
      page.Margins.bottom = section->PageParams.FooterDistance;
    } else {
      page.HeaderField = field;
      page.HeaderBox = &box;
      page.Margins.top = section->PageParams.HeaderDistance;
    }
    box.MaxHeight = box.Height();
    // Shapes of the box's table cells take their page places before the cells are released.
    PlaceShapesOnPage(page);
    KeepShapesWithBox(page, box);
    ReleaseChildBoxes(box);
  }
}

void ReflowPageHeaderFooter(TPage& page, TField* field) {
  if (field == nullptr || page.Section == nullptr) return;
  ClearPageHeaderFooter(page);
  const bool footer = field == page.FooterField;
  if (!footer && field != page.HeaderField) return;
  TBox* box = footer ? page.FooterBox : page.HeaderBox;
  if (box == nullptr) return;
  ReleaseChildBoxes(*box);
  const plat::Rect kept = box->Rect;
  const int32_t maxHeight = box->MaxHeight;
  box->MaxHeight = TBox::Unlimited;
  box->Rect.bottom = box->Rect.top;
  TDocRange range = field->Range;
  const TDoc& doc = *page.Doc;
  ShowPageFields(page, *field, range);
  if (range.Start.Par >= 0 && range.End.Par < doc.ParCount() && !IsRangeEmpty(range)) FlowWithShapes(page, *box, range);
  const int32_t height = std::max(kept.Height(), box->Height());
  if (footer) {
    // The shapes were placed for the box as it was flowed: they move with it to its place.
    const int32_t flowedTop = box->Rect.top;
    box->Rect.bottom = kept.bottom;
    box->Rect.top = kept.bottom - height;
    ShiftShapesOfBox(page, *box, box->Rect.top - flowedTop, false);
    StackFooter(page, *box);
  } else {
    box->Rect.top = kept.top;
    box->Rect.bottom = kept.top + height;
    StackChildBoxes(*box);
  }
  box->MaxHeight = maxHeight;
  PlaceShapesOnPage(page);
}

void ClearPageHeaderFooter(TPage& page) {
  const TField* inPlace = page.Doc != nullptr ? page.Doc->HeaderFooterInPlace : nullptr;
  if (inPlace == nullptr) return;
  if (inPlace == page.HeaderField && page.HeaderBox != nullptr) ReleaseChildBoxes(*page.HeaderBox);
  if (inPlace == page.FooterField && page.FooterBox != nullptr) ReleaseChildBoxes(*page.FooterBox);
}

TSection* GetPageSection(const TPage& page) {
  const TLine* line = GetFirstLineOfBox(page, BodyAreas);
  if (line != nullptr && line->Par != nullptr && page.Doc != nullptr)
    return SectionOfParagraph(*page.Doc, line->Par->Index);
  return page.Section;
}

std::vector<TLine*> CollectPageLines(const TPage& page, uint32_t areas) {
  std::vector<TLine*> lines;
  CollectLines(page, areas, lines);
  return lines;
}

int32_t CountPageLines(const TPage& page, uint32_t areas) {
  return static_cast<int32_t>(CollectPageLines(page, areas).size());
}

int32_t GetPageLineIndex(const TPage& page, const TLine& line) {
  const bool headerFooter = line.Box != nullptr && line.Box->Area == TBox::AreaHeaderFooter;
  const uint32_t areas = headerFooter ? AreaBit(TBox::AreaHeaderFooter) : (AllAreas & ~AreaBit(TBox::AreaHeaderFooter));
  const std::vector<TLine*> lines = CollectPageLines(page, areas);
  const auto it = std::find(lines.begin(), lines.end(), &line);
  return it == lines.end() ? -1 : static_cast<int32_t>(it - lines.begin());
}

int32_t FirstLineIndexOnPage(const TPage& page, int32_t par) {
  if (page.Doc == nullptr || par < 0 || par >= page.Doc->ParCount()) return INT32_MAX;
  const TPar& p = *page.Doc->Par(par);
  for (size_t i = 0; i < p.Lines.size(); ++i)
    if (p.Lines[i]->Box != nullptr && p.Lines[i]->Box->Page == &page) return static_cast<int32_t>(i);
  return INT32_MAX;
}

int32_t PageBodyTop(const TPage& page) {
  const int32_t margin = page.Section != nullptr ? page.Section->PageParams.TopMargin : page.Margins.top;
  return page.HeaderBox != nullptr ? std::max(margin, page.HeaderBox->Rect.bottom) : margin;
}

int32_t PageBodyBottomSpace(const TPage& page) {
  const int32_t margin = page.Section != nullptr ? page.Section->PageParams.BottomMargin : page.Margins.bottom;
  return page.FooterBox != nullptr ? std::max(margin, page.Height() - page.FooterBox->Rect.top) : margin;
}

namespace {

bool InTree(const TBox& root, const TBox* box) {
  if (&root == box) return true;
  for (const TBoxRef& c : root.Children)
    if (InTree(*c, box)) return true;
  return false;
}

}  // namespace

void PlaceShapesOnPage(TPage& page) {
  for (auto it = page.Shapes.begin(); it != page.Shapes.end();) {
    TShape& s = **it;
    const auto* box = static_cast<const TBox*>(s.VerticalBox);
    if (box == nullptr) {
      ++it;
      continue;
    }
    s.VerticalBox = nullptr;
    if (!InTree(page, box)) {
      // Its box left the page with the shape's anchor: the shape goes where its anchor goes.
      it = page.Shapes.erase(it);
      continue;
    }
    const plat::Point at = box->OffsetInPage();
    s.PlacedRect = {s.PlacedRect[0] + at.x, s.PlacedRect[1] + at.y, s.PlacedRect[2] + at.x, s.PlacedRect[3] + at.y};
    s.Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
    ++it;
  }
}

namespace {

bool ShowsShape(const TPage& page, const TShape* shape) {
  return shape != nullptr && std::find(page.Shapes.begin(), page.Shapes.end(), shape) != page.Shapes.end();
}

// The first line of the paragraph on the page; null when none is there.
TLine* FirstLineOnPage(const TPage& page, const TPar& par) {
  for (TLine* line : par.Lines)
    if (line->Box != nullptr && line->Box->Page == &page) return line;
  return nullptr;
}

}  // namespace

plat::Size AnchorMarkSize() {
  // Seven units across (the glyph is built of sevenths), a little taller than wide.
  const int32_t unit = std::max(1, ShapeHandleSize() / 4);
  return {7 * unit, 8 * unit};
}

bool AnchorMarkRect(const TPage& page, plat::Rect& out) {
  out = {};
  const TDoc* doc = page.Doc;
  if (doc == nullptr || doc->SelectedShapes.empty()) return false;
  if (doc->HeaderFooterInPlace != nullptr && doc->HeaderFooterPage >= 0 && doc->HeaderFooterPage != page.Index)
    return false;
  // The anchor paragraph of the first selected shape, when it shows on this page and every
  // selected shape of the page shares it.
  const TShape* first = doc->SelectedShapes.front();
  if (!ShowsShape(page, first) || first->AnchorPar == nullptr) return false;
  const TPar& par = *first->AnchorPar;
  for (const TShape* s : doc->SelectedShapes)
    if (ShowsShape(page, s) && s->AnchorPar != &par) return false;
  TLine* line = FirstLineOnPage(page, par);
  if (line == nullptr) return false;
  const plat::Size mark = AnchorMarkSize();
  const TBox& box = *line->Box;
  const plat::Point at = box.OffsetInPage();
  const bool inTable = IsInTable(par);
  int32_t x = doc->ZoomValueX(GetLineCharX(*line, 0)) - mark.cx * 8 / 3;
  if (inTable) x = std::max(x, -mark.cx / 3);
  x += doc->TwipsToPixelsX(at.x + box.Margins.left);
  const int32_t spaceAbove = line->LineIndex == 0 ? std::max<int32_t>(par.LayoutValues.SpaceBeforeCache, 0) : 0;
  int32_t y = doc->TwipsToPixelsY(at.y + line->Top + spaceAbove);
  const int32_t pageWidth = doc->TwipsToPixelsX(page.Width());
  const int32_t pageHeight = doc->TwipsToPixelsY(page.Height());
  if (!inTable) x = std::clamp(x, mark.cx / 3, std::max(mark.cx / 3, pageWidth - mark.cx));
  y = std::clamp(y, 0, std::max(0, pageHeight - mark.cy));
  out = {x, y, x + mark.cx, y + mark.cy};
  // Beside a shape of the page the mark moves left past it.
  for (const TShape* s : page.Shapes) {
    const plat::Rect r = doc->RectTwipsToPixels({s->PlacedRect[0], s->PlacedRect[1], s->PlacedRect[2], s->PlacedRect[3]});
    if (r.Intersect(out).IsEmpty()) continue;
    const int32_t overlap = out.right - r.left;
    const int32_t left = std::max(mark.cx / 3, out.left - overlap - 2 * mark.cx);
    out = {left, out.top, left + mark.cx, out.bottom};
  }
  out = out.Offset(page.PixelRect.left, page.PixelRect.top);
  return true;
}

void CellHorzRange(const TCellBox& cell, int32_t& left, int32_t& right) {
  if (cell.CellIndex < 0 || cell.Row == nullptr) {
    left = right = 0x3FFFFFFF;
    return;
  }
  left = cell.Row->CellLeft(cell.CellIndex);
  right = cell.Row->Cells[static_cast<size_t>(std::min(cell.CellIndex, MaxTableCells - 1))].Right;
}

}  // namespace qv
