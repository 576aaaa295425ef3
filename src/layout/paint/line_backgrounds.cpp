#include "layout/paint/line_backgrounds.h"

#include <algorithm>

#include "document/border_group.h"
#include "document/border_sets.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/tab_stops.h"
#include "foundation/base/units.h"
#include "layout/box.h"
#include "layout/paint/line_painter.h"
#include "layout/pictures/bitmap_utils.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr uint32_t kDimmedColour = 0xC0C0C0;

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

}  // namespace qv
