#include "layout/paint/line_backgrounds.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/border_group.h"
#include "document/border_sets.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/section.h"
#include "document/tab_stops.h"
#include "foundation/base/units.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/paint/line_painter.h"
#include "layout/pictures/bitmap_utils.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr uint32_t kDimmedColour = 0xC0C0C0;
constexpr uint32_t kFieldShadeColour = 0xC0C0C0;
// The width an auxiliary paragraph (label, line number) is laid out in: one unbroken line.
constexpr int32_t kUnlimitedWidth = 0x7FFF;

int32_t PxX(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsX(twips) : TwipsToScreenPixels(twips);
}
int32_t PxY(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsY(twips) : TwipsToScreenPixels(twips);
}

int32_t Or0(int16_t v) { return v == ParUnset16 ? 0 : v; }

bool Present(const TBorderLine& b) { return b.Style != BorderStyleNone && b.Width > 0; }

bool HasBorders(const TPar& par) { return par.Format.Borders != ParUnset16 && par.Format.Borders > 0; }

// The paragraph's first line, or its second when the first holds a drop cap.
bool IsFirstTextLine(const TLine& line) {
  if (line.FirstChar == 0) return true;
  const TPar& par = *line.Par;
  return line.LineIndex == 1 && !par.Lines.empty() && par.Lines.front()->HasFlag(lfDropCap);
}

bool IsLastLine(const TLine& line) {
  return line.Par != nullptr && line.FirstChar + line.Count >= line.Par->CharCount();
}

uint32_t BorderColour(const TBorderLine& b, bool dimmed) {
  if (dimmed) return kDimmedColour;
  return (static_cast<uint32_t>(b.Color) & 0xFF000000u) != 0 ? 0x000000 : static_cast<uint32_t>(b.Color);
}

}  // namespace

plat::Rect ParagraphFrameRect(const TLineBackdrop& b) {
  const TLine& line = *b.Line;
  const TPar& par = *line.Par;
  const TDoc* doc = par.Doc;
  const TBox* box = line.Box;
  const TParBorders borders = HasBorders(par) ? GetParBorders(par.Format.Borders) : TParBorders{};
  const bool bordered = HasBorders(par);
  int32_t left = std::min(0, static_cast<int32_t>(Or0(par.Format.FirstIndent))) +
                 (box != nullptr ? box->Margins.left : 0) + Or0(par.Format.LeftIndent);
  if (bordered && Present(borders.Left)) left -= borders.Left.Width + borders.Left.Distance;
  int32_t rightInset = (box != nullptr ? box->Margins.right : 0) + Or0(par.Format.RightIndent);
  if (bordered && Present(borders.Right)) rightInset -= borders.Right.Width + borders.Right.Distance;
  plat::Rect frame;
  frame.left = b.X + PxX(doc, left);
  frame.right = b.X + PxX(doc, (box != nullptr ? box->Width() : 0) - rightInset);
  frame.top = b.Y;
  frame.bottom = b.Y + b.Height;
  const bool groupStart = !bordered || StartsBorderGroup(par);
  const bool groupEnd = !bordered || EndsBorderGroup(par);
  if (IsFirstTextLine(line) && groupStart) {
    if (!bordered || !Present(borders.Top)) {
      frame.top = b.Y + PxY(doc, b.SpaceAbove);
    } else {
      frame.top = std::max(b.Y, b.Y + PxY(doc, b.SpaceAbove - borders.Top.Distance) -
                                     std::max(1, PxY(doc, borders.Top.Width)));
    }
  }
  if (IsLastLine(line) && groupEnd) {
    const int32_t after = std::max(0, static_cast<int32_t>(Or0(par.Format.SpaceAfter)));
    frame.bottom -= PxY(doc, after);
  }
  frame.bottom = std::max(frame.bottom, frame.top);
  return frame;
}

void PaintParagraphShading(plat::Canvas& canvas, const TLineBackdrop& b, const plat::Rect& frame,
                           uint32_t colour) {
  if (frame.IsEmpty()) return;
  canvas.FillRect(frame, b.Dimmed ? LightenColor(colour) : colour);
}

void PaintParagraphBorders(plat::Canvas& canvas, const TLineBackdrop& b, plat::Rect frame) {
  const TLine& line = *b.Line;
  const TPar& par = *line.Par;
  if (!HasBorders(par)) return;
  const TDoc* doc = par.Doc;
  const TParBorders borders = GetParBorders(par.Format.Borders);
  auto thickness = [&](const TBorderLine& l) { return std::max(1, PxY(doc, l.Width)); };
  if (IsFirstTextLine(line)) {
    const bool first = StartsBorderGroup(par);
    const TBorderLine& top = first ? borders.Top : borders.Inside;
    if (Present(top)) {
      plat::Rect bar{frame.left, frame.top, frame.right, frame.top + thickness(top)};
      if (!first) {
        if (Present(borders.Left)) bar.left += thickness(borders.Left);
        if (Present(borders.Right)) bar.right -= thickness(borders.Right);
      }
      canvas.FillRect(bar, BorderColour(top, b.Dimmed));
      frame.top = bar.bottom;
    }
  }
  if (IsLastLine(line) && EndsBorderGroup(par) && Present(borders.Bottom)) {
    const plat::Rect bar{frame.left, frame.bottom - thickness(borders.Bottom), frame.right, frame.bottom};
    canvas.FillRect(bar, BorderColour(borders.Bottom, b.Dimmed));
    frame.bottom = bar.top;
  }
  if (frame.bottom <= frame.top) return;
  if (Present(borders.Left))
    canvas.FillRect({frame.left, frame.top, frame.left + std::max(1, PxX(doc, borders.Left.Width)), frame.bottom},
                    BorderColour(borders.Left, b.Dimmed));
  if (Present(borders.Right))
    canvas.FillRect({frame.right - std::max(1, PxX(doc, borders.Right.Width)), frame.top, frame.right, frame.bottom},
                    BorderColour(borders.Right, b.Dimmed));
}

void PaintHighlights(plat::Canvas& canvas, const TLineBackdrop& b) {
  TLine& line = *b.Line;
  const TPar& par = *line.Par;
  const TDoc* doc = par.Doc;
  const int32_t top = b.Y + PxY(doc, b.SpaceAbove);
  const int32_t bottom = b.Y + b.Height;
  if (bottom <= top) return;
  auto fill = [&](int32_t from, int32_t to, int32_t colour) {
    if (to <= from || colour == AutoColor || colour == CharUnset || colour < 0) return;
    const uint32_t c = b.Dimmed ? LightenColor(static_cast<uint32_t>(colour)) : static_cast<uint32_t>(colour);
    canvas.FillRect({b.X + LineTextX(line, from), top, b.X + LineTextX(line, to), bottom}, c);
  };
  const uint8_t* data = par.Content.Data;
  const int32_t length = par.Content.Length;
  int32_t offset = std::clamp(line.StreamOffset, 0, length);
  const int32_t end = static_cast<int32_t>(std::min<int64_t>(length, int64_t{offset} + std::max(0, line.StreamLength)));
  int32_t colour = line.StartFormat.Highlight;
  int32_t spanStart = 0;
  int32_t index = 0;
  while (offset < end && index < line.Count) {
    if (data[offset] != 0) {
      ++offset;
      ++index;
      continue;
    }
    if (!IsTagAt(data, length, offset)) break;
    const TContentTag tag = ReadTagAt(data, offset);
    offset += ContentTagSize;
    if (tag.Kind == cpHighlight) {
      fill(spanStart, index, colour);
      colour = tag.Value;
      spanStart = index;
    } else if (tag.Kind == ctSectionBreak || tag.Kind == ctCellEnd || tag.Kind == ctRowEnd) {
      break;
    } else if (tag.Kind == ctSpecialChar) {
      const int32_t code = tag.Value & 0xFF;
      if (code >= scParagraphEnd && code <= scPageBreak) break;
      ++index;
    } else if (IsCharTagKind(tag.Kind)) {
      ++index;
    }
  }
  fill(spanStart, index, colour);
}

void PaintBarTabs(plat::Canvas& canvas, const TLineBackdrop& b) {
  const TPar& par = *b.Line->Par;
  if (par.Format.TabSet == ParUnset16 || par.Format.TabSet <= 0) return;
  const TDoc* doc = par.Doc;
  const TTabTable& set = GetTabManager().Table(par.Format.TabSet);
  // Tab positions are measured from the text area's left edge.
  const int32_t origin = b.X + (b.Line->Box != nullptr ? b.Line->Box->PixelMargins.left : 0);
  const int32_t width = std::max(1, PxX(doc, 20));
  for (uint32_t packed : set) {
    if (TabStopKind(packed) != tkBar) continue;
    const int32_t left = origin + PxX(doc, TabStopPosition(packed));
    canvas.InvertRect({left, b.Y, left + width, b.Y + b.Height});
  }
}

namespace {

// The paragraph's line lends its place and metrics to an auxiliary line for one paint.
class TBorrowedLinePlace {
 public:
  TBorrowedLinePlace(TLine& aux, const TLine& host) : aux_(aux), saved_(Take(aux)) {
    aux.Box = host.Box;
    aux.Slot = host.Slot;
    aux.LineIndex = host.LineIndex;
    aux.Ascent = host.Ascent;
    aux.SpacingAscent = host.SpacingAscent;
    aux.Descent = host.Descent;
    aux.Height = host.Height;
  }
  ~TBorrowedLinePlace() {
    aux_.Box = saved_.Box;
    aux_.Slot = saved_.Slot;
    aux_.LineIndex = saved_.LineIndex;
    aux_.Ascent = saved_.Ascent;
    aux_.SpacingAscent = saved_.SpacingAscent;
    aux_.Descent = saved_.Descent;
    aux_.Height = saved_.Height;
  }
  TBorrowedLinePlace(const TBorrowedLinePlace&) = delete;
  TBorrowedLinePlace& operator=(const TBorrowedLinePlace&) = delete;

 private:
  struct Place {
    TBox* Box;
    uint16_t Slot;
    int32_t LineIndex;
    uint16_t Ascent, SpacingAscent, Descent;
    int32_t Height;
  };
  static Place Take(const TLine& l) {
    return {l.Box, l.Slot, l.LineIndex, l.Ascent, l.SpacingAscent, l.Descent, l.Height};
  }
  TLine& aux_;
  Place saved_;
};

// Paints the auxiliary line so that its end falls on the host line's text start.
void PaintAuxiliaryBefore(plat::Canvas& canvas, const TLineBackdrop& b, TLine& aux, int32_t gap) {
  TLine& host = *b.Line;
  const TBorrowedLinePlace place(aux, host);
  const int32_t x = b.X + LineTextX(host, 0) - LineTextX(aux, aux.Count) - gap;
  PaintLine(aux, canvas, x, b.Y);
}

}  // namespace

bool FieldShadingWanted(const TDoc* doc, bool marksAllowed) {
  if (doc == nullptr) return false;
  if (doc->IsDocFlagSet(dfPreview) && !doc->IsDocFlagSet(dfFieldShadingInPreview)) return false;
  const uint8_t mode = GetOptionsHolder().Options.View.FldShading;
  return (mode == 2 && !doc->PrintPreview) || (mode == 1 && marksAllowed);
}

void PaintFieldShading(plat::Canvas& canvas, const TLineBackdrop& b, uint32_t background) {
  TLine& line = *b.Line;
  const TPar& par = *line.Par;
  TDoc* doc = par.Doc;
  line.Flags &= ~lfFieldShading;
  if (doc == nullptr || doc->Fields.empty() || line.Count <= 0) return;
  const int32_t top = b.Y + PxY(doc, b.SpaceAbove);
  const int32_t bottom = b.Y + b.Height;
  if (bottom <= top) return;
  const TDocRange span{{par.Index, line.FirstChar}, {par.Index, line.LastChar()}};
  std::vector<TField*> fields;
  doc->GetFieldsInRange(std::span<const TDocRange>(&span, 1), fields, 255, fkField);
  uint32_t colour = b.Dimmed ? LightenColor(kFieldShadeColour) : kFieldShadeColour;
  colour = GetColorManager().AdjustColor(colour, background);
  for (TField* field : fields) {
    if (field->FieldType == ftSymbol || field->FieldType == ftHyperlink) continue;
    TDocRange range;
    if (!doc->GetFieldRange(field, range)) continue;
    const int32_t from = range.Start.Par == par.Index ? std::max(0, range.Start.Offset - line.FirstChar) : 0;
    const int32_t to = range.End.Par == par.Index ? std::min(line.Count, range.End.Offset - line.FirstChar) : line.Count;
    if (to <= from) continue;
    canvas.FillRect({b.X + LineTextX(line, from), top, b.X + LineTextX(line, to), bottom}, colour);
    line.Flags |= lfFieldShading;
  }
}

bool LineHasListLabel(const TLine& line) {
  const TPar* par = line.Par;
  if (par == nullptr || !par->NumberPar || par->NumberPar->CharCount() == 0) return false;
  if (par->NumberPar->Lines.empty() || line.HasFlag(lfDropCap)) return false;
  return IsFirstTextLine(line);
}

void PaintListLabel(plat::Canvas& canvas, const TLineBackdrop& b) {
  if (!LineHasListLabel(*b.Line)) return;
  TLine& label = *b.Line->Par->NumberPar->Lines.front();
  PaintAuxiliaryBefore(canvas, b, label, 0);
}

void PaintLineNumber(plat::Canvas& canvas, const TLineBackdrop& b) {
  TLine& line = *b.Line;
  TPar& par = *line.Par;
  TDoc* doc = par.Doc;
  if (doc == nullptr || line.LineNumber <= 0) return;
  const TSection* section = doc->SectionOfParagraph(par.Index);
  if (section == nullptr) return;
  const int32_t interval = section->PageParams.LineNumInterval;
  if (interval <= 0 || line.LineNumber % interval != 0) return;
  int32_t distance = section->PageParams.LineNumDistance;
  if (distance <= 0) distance = section->Format.ColumnCount > 1 ? 180 : 360;
  // A paragraph of its own, never part of the document: the number in the default character
  // format, laid out on one line.
  TPar number(doc);
  number.Flags |= pfNumberPar;
  number.Index = par.Index;
  number.Format = par.Format;
  number.Format.Alignment = 0;
  number.Format.FirstIndent = 0;
  number.Format.LeftIndent = 0;
  number.Format.Shading = ParUnset32;
  number.Format.Borders = ParUnset16;
  number.Content.AppendString(std::to_string(line.LineNumber));
  number.RebuildCodes();
  number.ContentChanged();
  BreakParagraphIntoLines(number, 0, kUnlimitedWidth, nullptr);
  if (number.Lines.empty()) return;
  TLine& aux = *number.Lines.front();
  // The number is measured from the text area's edge, not from the paragraph's indent.
  const int32_t textStart = LineTextX(line, 0) - (line.Box != nullptr ? line.Box->PixelMargins.left : 0);
  const int32_t gap = PxX(doc, distance) + textStart;
  PaintAuxiliaryBefore(canvas, b, aux, gap);
  number.ReleaseLines();
}

}  // namespace qv
