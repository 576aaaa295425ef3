#include "layout/line_metrics.h"

#include <algorithm>
#include <cmath>

#include "document/border_sets.h"
#include "document/content_tags.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/border_group.h"
#include "layout/line_fitter.h"

namespace qv {

namespace {

uint8_t CodeInLine(const TLine& line, int32_t i) {
  const int32_t at = line.FirstChar + i;
  return at >= 0 && at < line.Par->CharCount() ? line.Par->CodeAt(at) : 0;
}

bool IsLastLineOfPar(const TLine& line) {
  if (line.HasFlag(lfSegment)) return line.HasFlag(lfLastBand);
  return line.FirstChar + line.Count >= line.Par->CharCount();
}

int32_t NonNegative16(int16_t v) { return v == ParUnset16 || v < 0 ? 0 : v; }

int32_t BorderSpace(const TBorderLine& b) {
  return b.Style == BorderStyleNone ? 0 : b.Width + b.Distance;
}

// k × extra / s rounded to the nearest integer, halves to even.
int32_t RoundShare(int64_t k, int64_t extra, int64_t s) {
  const int64_t n = k * extra;
  int64_t q = n / s;
  const int64_t r2 = 2 * (n % s);
  if (r2 > s || (r2 == s && (q & 1) != 0)) ++q;
  return static_cast<int32_t>(q);
}

}  // namespace

int32_t TLayoutLineFitter::GetLineSpaceAbove(const TLine& line) const {
  const TPar* par = line.Par;
  if (par == nullptr) return 0;
  if (par->NumberOwner != nullptr) {
    if (!line.HasFlag(lfPainting)) return 0;
    par = par->NumberOwner;
  }
  const int32_t index = line.LineIndex;
  if (index < 0 || index >= static_cast<int32_t>(par->Lines.size())) return 0;
  const TLine& same = *par->Lines[index];
  bool qualifies = false;
  if (same.HasFlag(lfSectionBreak) && same.Count == 1) {
    qualifies = true;
  } else {
    const uint8_t first = same.FirstChar < par->CharCount() ? par->CodeAt(same.FirstChar) : 0;
    if (first == scSectionEnd || first == scColumnBreak || first == scPageBreak) return 0;
    if (index == 0 || same.HasFlag(lfPainting)) qualifies = true;
    else if (index == 1 && par->Lines[0]->HasFlag(lfDropCap)) qualifies = true;
    else if (index == 1 && same.FirstChar > 0) {
      const uint8_t before = par->CodeAt(same.FirstChar - 1);
      qualifies = par->Lines[0]->Count == 1 && (before == scColumnBreak || before == scPageBreak);
    }
  }
  if (!qualifies) return 0;
  int32_t space = NonNegative16(par->Format.SpaceBefore);
  if (par->Format.Borders != ParUnset16 && par->Format.Borders > 0) {
    // The group's first paragraph carries the top border, the others the inside border.
    const TParBorders borders = GetParBorders(par->Format.Borders);
    space += BorderSpace(StartsBorderGroup(*par) ? borders.Top : borders.Inside);
  }
  return space;
}

void TLayoutLineFitter::AlignLine(TLine& line) const {
  if (line.Count == 0 || line.HasFlag(lfDropCap) || line.Positions.size() < 2) return;
  const TPar& par = *line.Par;
  const int kind = par.Format.Alignment == ParUnset8 ? 0 : par.Format.Alignment;
  if (kind == 0 || kind > 3) return;
  int32_t end = line.Count;
  const uint8_t last = CodeInLine(line, end - 1);
  if (last >= scParagraphEnd && last <= scPageBreak) --end;
  while (end > 0 && CodeInLine(line, end - 1) == 32) --end;
  // The width is bounded, so that the shift below cannot run past the 32-bit positions.
  const int32_t extra =
      std::max(0, TwipsToLayoutX(LineWidthTwips(line), Settings) - line.Positions[end]);
  if (extra == 0) return;
  if (kind == 1 || kind == 2) {
    const int32_t shift = kind == 1 ? extra / 2 : extra;
    for (int32_t& x : line.Positions) x += shift;
    return;
  }
  if (IsLastLineOfPar(line)) return;
  // Justify: spread the extra over the spaces after the leading spaces, or after the last tab.
  int32_t from = 0;
  while (from < end && CodeInLine(line, from) == 32) ++from;
  for (int32_t i = end - 1; i >= from; --i)
    if (CodeInLine(line, i) == scTab) {
      from = i + 1;
      break;
    }
  int32_t spaces = 0;
  for (int32_t i = from; i < end - 1; ++i)
    if (CodeInLine(line, i) == 32) ++spaces;
  if (spaces == 0) return;
  int32_t k = 0, shift = 0;
  for (int32_t i = from; i < line.Count; ++i) {
    if (i < end - 1 && CodeInLine(line, i) == 32) shift = RoundShare(++k, extra, spaces);
    line.Positions[static_cast<size_t>(i) + 1] += shift;
  }
}

int32_t TLayoutLineFitter::LineHeight(const TLine& line) {
  const TPar& par = *line.Par;
  int32_t height = LayoutYToTwips(line.Ascent + line.Descent, Settings);
  if (!line.HasFlag(lfDropCap)) {
    const int32_t rule = par.Format.LineRule == ParUnset16 ? 1 : par.Format.LineRule;
    const int32_t value = par.Format.LineSpacing == ParUnset16 ? 240 : par.Format.LineSpacing;
    if (rule == 1) {
      if (value != 240) {
        const int32_t t = LayoutYToTwips(line.SpacingAscent + line.Descent, Settings);
        height = std::max(1, height + MulDiv(t, value - 240, 240));
      }
    } else if (value < 0) {
      height = -value;
    } else {
      height = std::max(height, value);
    }
    if (IsLastLineOfPar(line))
      height += par.GetBottomBorderSpace() + NonNegative16(par.Format.SpaceAfter);
  }
  return height + GetLineSpaceAbove(line);
}

void TLayoutLineFitter::ComputeLineHeight(TLine& line) {
  if (line.Par == nullptr) return;
  AlignLine(line);
  if (line.Par->NumberPar && !line.Par->NumberPar->Lines.empty() && line.LineIndex == 0 &&
      !line.HasFlag(lfDropCap) && !Settings.MeasureOnly) {
    const TLine& label = *line.Par->NumberPar->Lines.front();
    line.Ascent = std::max(line.Ascent, label.Ascent);
    line.SpacingAscent = std::max(line.SpacingAscent, label.SpacingAscent);
  }
  line.Height = LineHeight(line);
}

bool LineEndsWithBreak(const TLine& line) {
  if (line.Count == 0) return false;
  const uint8_t last = CodeInLine(line, line.Count - 1);
  if (last == scColumnBreak || last == scLineBreak || last == scPageBreak) return true;
  return line.Count > 1 && CodeInLine(line, line.Count - 2) == scPageBreak;
}

bool LineEndsWithHardBreak(const TLine& line) {
  if (line.Count == 0) return false;
  const uint8_t last = CodeInLine(line, line.Count - 1);
  if (last == scColumnBreak || last == scPageBreak) return true;
  if (line.Count > 1 && CodeInLine(line, line.Count - 2) == scPageBreak) return true;
  if (last == scSectionEnd) {
    const TSection* section = line.Par->SectionBreak();
    return section != nullptr && section->Format.BreakKind >= 1 && section->Format.BreakKind <= 3;
  }
  return false;
}

bool IsBreakOnlyLine(const TLine& line) { return line.Count == 1 && LineEndsWithHardBreak(line); }

int32_t TextRunLength(const uint8_t* data, int32_t n) {
  int32_t i = 0;
  while (i < n && data[i] != 0) ++i;
  return i;
}

}  // namespace qv
