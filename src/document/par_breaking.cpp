#include "document/par_breaking.h"

#include <algorithm>
#include <climits>

#include "document/border_group.h"
#include "document/border_sets.h"
#include "document/char_format.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "foundation/base/units.h"

namespace qv {

namespace {

void ReleaseLinesFrom(TPar& par, int32_t from) {
  for (size_t i = static_cast<size_t>(from); i < par.Lines.size(); ++i) ReleaseLine(par.Lines[i]);
  par.Lines.resize(static_cast<size_t>(from));
}

TLine& NewLine(TPar& par, TLineFitter& fitter, int32_t width) {
  TLine* line = AcquireLine(par, fitter.CurrentFormat());
  line->AvailWidth = width;
  line->LineIndex = static_cast<int32_t>(par.Lines.size());
  line->RowNumber = par.Lines.empty() ? 0 : par.Lines.back()->RowNumber + 1;
  par.Lines.push_back(line);
  return *line;
}

// Drops the last line again (a segment that took nothing).
void DropLastLine(TPar& par) {
  ReleaseLine(par.Lines.back());
  par.Lines.pop_back();
}

bool Intersects(const plat::Rect& a, const plat::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool AnyExclusionBelow(const TWrapContext& wrap, int32_t y) {
  return std::any_of(wrap.Exclusions.begin(), wrap.Exclusions.end(),
                     [y](const plat::Rect& r) { return r.bottom > y && !r.IsEmpty(); });
}

// Moves x right past every exclusion rectangle that holds the point (x, y), scanning again after
// each move.
int32_t SkipExclusionsAt(const TWrapContext& wrap, int32_t x, int32_t y) {
  for (bool moved = true; moved;) {
    moved = false;
    for (const plat::Rect& r : wrap.Exclusions)
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
        x = r.right;
        moved = true;
      }
  }
  return x;
}

// The next y at which a row of the minimum size finds room, starting below y. Bounded: each
// round moves y down to a rectangle bottom, and there are finitely many.
int32_t NextFreeRowTop(const TWrapContext& wrap, int32_t startX, int32_t y) {
  int32_t next = INT32_MAX;
  for (const plat::Rect& r : wrap.Exclusions)
    if (r.bottom > y && !r.IsEmpty()) next = std::min(next, r.bottom);
  if (next == INT32_MAX) return y;
  y = next;
  const int32_t minW = std::max(1, wrap.MinBandWidth);
  const int32_t minH = std::max(1, wrap.MinBandHeight);
  for (size_t round = 0; round <= wrap.Exclusions.size() * 2 + 2; ++round) {
    int32_t x = startX;
    int32_t down = INT32_MAX;
    bool met = true;
    while (met && x < wrap.RightLimit) {
      met = false;
      const plat::Rect probe{x, y, x + minW, y + minH};
      for (const plat::Rect& r : wrap.Exclusions)
        if (Intersects(probe, r)) {
          x = std::max(x, r.right);
          down = std::min(down, r.bottom - y);
          met = true;
        }
    }
    if (x + minW <= wrap.RightLimit || (!met && x < wrap.RightLimit)) return y;
    if (down == INT32_MAX || down <= 0) break;
    y += down;
  }
  // Nothing found among the rectangles: go below all of them.
  for (const plat::Rect& r : wrap.Exclusions) y = std::max(y, r.bottom);
  return y;
}

// Fits one row of segments at y; returns how many segments it made.
int32_t FitRow(TPar& par, TLineFitter& fitter, TStreamCursor& cursor, TWrapContext& wrap,
               int32_t y, int32_t width) {
  const int32_t indent = fitter.LineIndentTwips(par, par.Lines.empty()
                                                         ? 0
                                                         : par.Lines.back()->LastChar());
  int32_t x = SkipExclusionsAt(wrap, indent, y);
  wrap.BandTop = y;
  wrap.BandRects.clear();
  wrap.BandHeight = 0;
  int32_t made = 0;
  const int32_t row = par.Lines.empty() ? 0 : par.Lines.back()->RowNumber + 1;
  while (cursor.Left > 0 && x < wrap.RightLimit) {
    TLine& line = NewLine(par, fitter, width);
    line.RowNumber = row;
    line.Flags |= lfSegment | lfWrapPlaced | (made == 0 ? lfBandFirst : 0u);
    line.Top = y;
    wrap.NextFreeX = x;
    wrap.BandRects.push_back({x, y, x, y});
    fitter.FitLine(line, cursor, &wrap);
    const int32_t next = wrap.NextFreeX;
    if (line.StreamLength == 0) {
      DropLastLine(par);
      wrap.BandRects.pop_back();
    } else {
      ++made;
    }
    if (next == INT32_MAX || next <= x) break;  // the band must move down, or no progress
    x = SkipExclusionsAt(wrap, next, y);
  }
  return made;
}

// Gives the segments of a finished row the row's largest metrics and their right limits.
void FinishRow(TPar& par, TLineFitter& fitter, const TWrapContext& wrap, size_t first) {
  uint16_t ascent = 0, spacing = 0, descent = 0;
  for (size_t i = first; i < par.Lines.size(); ++i) {
    ascent = std::max(ascent, par.Lines[i]->Ascent);
    spacing = std::max(spacing, par.Lines[i]->SpacingAscent);
    descent = std::max(descent, par.Lines[i]->Descent);
  }
  for (size_t i = first; i < par.Lines.size(); ++i) {
    TLine& line = *par.Lines[i];
    line.Ascent = ascent;
    line.SpacingAscent = spacing;
    line.Descent = descent;
    line.Height = fitter.LineHeight(line);
    const plat::Rect band{line.StartX() / 16, line.Top, wrap.RightLimit, line.Top + line.Height};
    int32_t limit = std::min(line.AvailWidth, wrap.RightLimit);
    const int32_t from = i < wrap.BandRects.size() + first ? wrap.BandRects[i - first].left : 0;
    for (const plat::Rect& r : wrap.Exclusions)
      if (r.left >= from && r.top < band.bottom && band.top < r.bottom) limit = std::min(limit, r.left);
    line.AvailWidth = limit;
  }
}

void BreakWrapped(TPar& par, TLineFitter& fitter, TStreamCursor& cursor, TWrapContext& wrap,
                  int32_t width, size_t firstNew) {
  int32_t y = wrap.BandTop;
  bool afterWrap = false;
  size_t firstRowEnd = SIZE_MAX;
  size_t lastRowStart = firstNew;
  // The first row of the paragraph's text: after the drop-cap line, if there is one.
  const bool startsFirstRow =
      firstNew == 0 || (firstNew == 1 && par.Lines.front()->HasFlag(lfDropCap));
  while (cursor.Left > 0) {
    if (!AnyExclusionBelow(wrap, y)) {
      const size_t start = par.Lines.size();
      TLine& line = NewLine(par, fitter, width);
      line.Top = y;
      if (afterWrap) line.Flags |= lfWrapPlaced;
      afterWrap = false;
      fitter.FitLine(line, cursor, nullptr);
      if (line.StreamLength == 0 && cursor.Left > 0) break;  // the fitter made no progress
      y += fitter.LineHeight(line);
      lastRowStart = start;
      if (firstRowEnd == SIZE_MAX) firstRowEnd = par.Lines.size();
      continue;
    }
    const size_t start = par.Lines.size();
    const int32_t made = FitRow(par, fitter, cursor, wrap, y, width);
    if (made == 0) {
      par.Flags |= pfWrapsShapes;
      const int32_t indent = fitter.LineIndentTwips(
          par, par.Lines.empty() ? 0 : par.Lines.back()->LastChar());
      const int32_t next = NextFreeRowTop(wrap, indent, y);
      if (next <= y) y = y + std::max(1, wrap.MinBandHeight);  // never stand still
      else y = next;
      continue;
    }
    FinishRow(par, fitter, wrap, start);
    y = par.Lines[start]->Top + par.Lines[start]->Height;
    afterWrap = true;
    lastRowStart = start;
    if (firstRowEnd == SIZE_MAX) firstRowEnd = par.Lines.size();
  }
  for (size_t i = firstNew; i < par.Lines.size(); ++i) {
    TLine& line = *par.Lines[i];
    if (!line.HasFlag(lfSegment)) continue;
    if (i < firstRowEnd && startsFirstRow) line.Flags |= lfFirstBand;
    if (i >= lastRowStart) line.Flags |= lfLastBand;
  }
}

// The stream offset after the end mark of the drop cap that starts the paragraph; 0 when the
// paragraph does not start with one (or its end mark is missing).
int32_t DropCapStreamEnd(const TPar& par) {
  if (!par.HasFlag(pfDropCap)) return 0;
  int32_t ref = 0;
  bool open = false;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    const bool tag = item.ItemType == TStreamItem::siTag;
    if (open) {
      if (tag && item.Tag.Kind == ctFieldEnd && item.Tag.Value == ref) return off + item.Size;
      continue;
    }
    if (!tag || IsCharTagKind(item.Tag.Kind)) return 0;  // a character before any drop cap
    if (item.Tag.Kind != ctFieldStart) continue;
    const TField* field = FieldOfTag(item.Tag);
    if (field != nullptr && field->Kind == fkDropCap) {
      ref = item.Tag.Value;
      open = true;
    }
  }
  return 0;
}

// The drop-cap line: the drop cap's characters, up to and with its end mark, on a line of their
// own (line index and row 0), measured by the fitter but never broken.
void FitDropCapLine(TPar& par, TLineFitter& fitter, int32_t streamEnd, int32_t width,
                    const TWrapContext* wrap) {
  TLine& line = NewLine(par, fitter, width);
  line.Flags |= lfDropCap;
  if (wrap != nullptr) line.Top = wrap->BandTop;
  TStreamCursor cursor{par.Content.Data, 0, streamEnd};
  fitter.FitLine(line, cursor, nullptr);
  fitter.ComputeLineHeight(line);
}

}  // namespace

void FormatAfterLine(const TLine& line, TCharFormat& format) {
  format = line.StartFormat;
  const TPar* par = line.Par;
  if (par == nullptr) return;
  const uint8_t* data = par->Content.Data;
  const int32_t length = par->Content.Length;
  const int32_t end = std::min(length, line.StreamOffset + line.StreamLength);
  for (int32_t at = std::max(0, line.StreamOffset); at < end;) {
    if (data[at] != 0) {
      ++at;
      continue;
    }
    if (!IsTagAt(data, length, at)) {
      ++at;
      continue;
    }
    const TContentTag tag = ReadTagAt(data, at);
    if (IsFormatTagKind(tag.Kind)) format[tag.Kind] = tag.Value;
    at += ContentTagSize;
  }
}

void BreakParagraphIntoLines(TPar& par, int32_t fromLine, int32_t width, TWrapContext* wrap) {
  if (fromLine <= 0) par.Flags &= static_cast<uint16_t>(~pfWrapsShapes);
  const int32_t count = static_cast<int32_t>(par.Lines.size());
  fromLine = std::clamp(fromLine, 0, count);
  TCharFormat format = DefaultCharFormat;
  int32_t offset = 0;
  if (fromLine < count) {
    format = par.Lines[fromLine]->StartFormat;
    offset = par.Lines[fromLine]->StreamOffset;
  } else if (count > 0) {
    const TLine& last = *par.Lines.back();
    FormatAfterLine(last, format);
    offset = last.StreamOffset + last.StreamLength;
  }
  ReleaseLinesFrom(par, fromLine);
  offset = std::clamp(offset, 0, static_cast<int32_t>(par.Content.Length));
  TStreamCursor cursor{par.Content.Data, offset, static_cast<int32_t>(par.Content.Length) - offset};

  TLineFitter& fitter = LineFitter();
  fitter.BeginParagraph(par, format);
  if (fromLine == 0) {
    const int32_t dropCapEnd = DropCapStreamEnd(par);
    if (dropCapEnd > 0) {
      FitDropCapLine(par, fitter, dropCapEnd, width, wrap);
      BreakParagraphIntoLines(par, 1, width, wrap);
      return;
    }
  }
  const size_t firstNew = par.Lines.size();
  if (wrap != nullptr) {
    BreakWrapped(par, fitter, cursor, *wrap, width, firstNew);
  } else {
    while (cursor.Left > 0) {
      TLine& line = NewLine(par, fitter, width);
      fitter.FitLine(line, cursor, nullptr);
      if (line.StreamLength == 0) break;  // a fitter that makes no progress must not hang us
    }
  }
  if (par.Lines.empty()) {  // a paragraph without any stream still shows one (empty) line
    TLine& line = NewLine(par, fitter, width);
    fitter.FitLine(line, cursor, nullptr);
  }
  for (size_t i = firstNew; i < par.Lines.size(); ++i) {
    TLine& line = *par.Lines[i];
    fitter.ComputeLineHeight(line);
    if (wrap != nullptr && line.HasFlag(lfWrapPlaced) && line.HasFlag(lfSegment)) {
      const plat::Rect band{0, line.Top, wrap->RightLimit, line.Top + line.Height};
      for (const plat::Rect& r : wrap->Exclusions)
        if (Intersects(band, r)) par.Flags |= pfWrapsShapes;
    }
  }
}

void ReformatParagraph(TPar& par, bool breakNow, int32_t width, bool draftView) {
  ReleaseLinesFrom(par, 0);
  if (!breakNow) {
    par.Flags &= static_cast<uint16_t>(~(pfLinesValid | pfNormalized));
    return;
  }
  NormalizeParagraphTags(par);
  int32_t right = par.Format.RightIndent == ParUnset16 ? 0 : par.Format.RightIndent;
  if (draftView && right < 0) right = 0;
  const int64_t lineWidth = static_cast<int64_t>(width) - right;
  BreakParagraphIntoLines(par, 0, static_cast<int32_t>(std::clamp<int64_t>(lineWidth, INT32_MIN, INT32_MAX)),
                          nullptr);
  par.Flags |= pfLinesValid;
}

// --- The paragraph's line queries ---

int32_t TPar::LineCount() const { return static_cast<int32_t>(Lines.size()); }

int32_t TPar::LineIndexOfChar(int32_t charIndex, int32_t lowestLine, bool endAffinity) const {
  const int32_t count = LineCount();
  if (count == 0) return -1;
  int32_t lo = 0, hi = count - 1, found = 0;
  while (lo <= hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    const TLine& line = *Lines[static_cast<size_t>(mid)];
    found = mid;
    if (charIndex < line.FirstChar) hi = mid - 1;
    else if (charIndex >= line.FirstChar + line.Count) lo = mid + 1;
    else break;
  }
  const TLine& line = *Lines[static_cast<size_t>(found)];
  if (charIndex == line.FirstChar && found > lowestLine && found > 0) {
    const TLine& prev = *Lines[static_cast<size_t>(found) - 1];
    const int32_t last = prev.FirstChar + prev.Count - 1;
    const uint8_t code = last >= 0 && last < CharCount() ? CodeAt(last) : 0;
    const bool hardEnd = code == scColumnBreak || code == scLineBreak || code == scPageBreak;
    if (endAffinity || !hardEnd) return found - 1;
  }
  return found;
}

bool TPar::IsPlaced() const {
  return HasFlag(pfLinesValid) && !Lines.empty() && Lines.front()->Box != nullptr;
}

int32_t TPar::GetLineIndentTwips(int32_t charIndex, bool draftView) const {
  const int32_t left = Format.LeftIndent == ParUnset16 ? 0 : Format.LeftIndent;
  const int32_t first = Format.FirstIndent == ParUnset16 ? 0 : Format.FirstIndent;
  int32_t indent = left + (OnlyBreaksBefore(charIndex) ? first : 0);
  if (draftView) {
    const int32_t lowest = std::min(left, left + first);
    if (lowest < 0) indent -= lowest;
  }
  return indent;
}

int32_t TPar::GetLineIndentPx(int32_t charIndex) const {
  const bool draft = Doc != nullptr && Doc->ViewMode != vmPrintLayout;
  const int32_t zoom = Doc != nullptr ? Doc->ZoomPercent : 100;
  return TwipsToScreenPixelsZoomed(GetLineIndentTwips(charIndex, draft), zoom);
}

int32_t TPar::GetBottomBorderSpace() const {
  if (Format.Borders == ParUnset16 || Format.Borders <= 0) return 0;
  // Only the group's last paragraph carries the bottom border; the inside border separates the
  // others from the paragraph after them.
  const TParBorders borders = GetParBorders(Format.Borders);
  const TBorderLine& border = EndsBorderGroup(*this) ? borders.Bottom : borders.Inside;
  return border.Style == BorderStyleNone ? 0 : border.Width + border.Distance;
}

}  // namespace qv
