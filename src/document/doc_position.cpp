#include "document/doc_position.h"

namespace qv {

namespace {

void SetPlace(TDocPosition& target, const TDocPosition& source) {
  target.Par = source.Par;
  target.Offset = source.Offset;
}

bool ContainsAnyOf(const uint8_t* codes, int32_t n, uint8_t c1, uint8_t c2, uint8_t c3) {
  for (int32_t i = 0; i < n; ++i) {
    uint8_t c = codes[i];
    if (c == c1 || c == c2 || c == c3) return true;
  }
  return false;
}

}  // namespace

void MakePosition(int32_t par, int32_t offset, TDocPosition& out) {
  out.Par = par;
  out.Offset = offset;
}

void MakeRange(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset,
               TDocRange& out) {
  MakePosition(startPar, startOffset, out.Start);
  MakePosition(endPar, endOffset, out.End);
}

void MakeCollapsedRange(int32_t par, int32_t offset, TDocRange& out) {
  MakeRange(par, offset, par, offset, out);
}

void MakeCharRange(int32_t par, int32_t offset, TDocRange& out) {
  MakeRange(par, offset, par, offset + 1, out);
}

void RangeFromPositions(const TDocPosition& start, const TDocPosition& end, TDocRange& out) {
  SetPlace(out.Start, start);
  SetPlace(out.End, end);
}

void RangeOfTextRun(const TTextRun& run, TDocRange& out) {
  SetPlace(out.Start, run.Position);
  MakePosition(run.Position.Par, run.Position.Offset + run.Length, out.End);
}

int ComparePositions(const TDocPosition& a, const TDocPosition& b) {
  if (a.Par != b.Par) return a.Par < b.Par ? -1 : 1;
  if (a.Offset != b.Offset) return a.Offset < b.Offset ? -1 : 1;
  return 0;
}

bool IsRangeEmpty(const TDocRange& r) { return SamePlace(r.Start, r.End); }

bool SameRange(const TDocRange& a, const TDocRange& b) {
  return SamePlace(a.Start, b.Start) && SamePlace(a.End, b.End);
}

bool PositionInRange(const TDocPosition& p, const TDocRange& r) {
  return ComparePositions(r.Start, p) <= 0 && ComparePositions(p, r.End) < 0;
}

bool PositionInRangeInclusive(const TDocPosition& p, const TDocRange& r) {
  return ComparePositions(r.Start, p) <= 0 && ComparePositions(p, r.End) <= 0;
}

bool PositionInFragment(const TDocPosition& p, std::span<const TDocRange> ranges) {
  for (size_t i = ranges.size(); i-- > 0;) {
    if (PositionInRange(p, ranges[i])) return true;
  }
  return false;
}

bool PositionInFragmentInclusive(const TDocPosition& p, std::span<const TDocRange> ranges) {
  for (size_t i = ranges.size(); i-- > 0;) {
    if (PositionInRangeInclusive(p, ranges[i])) return true;
  }
  return false;
}

bool IntersectRanges(TDocRange* out, const TDocRange& a, const TDocRange& b) {
  const TDocPosition& start = ComparePositions(b.Start, a.Start) > 0 ? b.Start : a.Start;
  const TDocPosition& end = ComparePositions(a.End, b.End) < 0 ? a.End : b.End;
  bool notEmpty = ComparePositions(start, end) < 0;
  if (out != nullptr) {
    TDocRange result{start, end};  // copied first: out may be a or b
    *out = result;
  }
  return notEmpty;
}

int RangeSymmetricDifference(TDocRange& out1, TDocRange& out2, const TDocRange& a,
                             const TDocRange& b) {
  bool aEmpty = IsRangeEmpty(a);
  bool bEmpty = IsRangeEmpty(b);
  if (aEmpty && bEmpty) return 0;
  if (aEmpty || bEmpty) {
    out1 = aEmpty ? b : a;
    return 1;
  }
  // The range with the earlier start goes first; on equal starts b does.
  TDocRange first = ComparePositions(a.Start, b.Start) < 0 ? a : b;
  TDocRange second = ComparePositions(a.Start, b.Start) < 0 ? b : a;
  out1 = first;
  out2 = second;
  if (ComparePositions(first.End, second.Start) < 0) return 2;  // a gap between them
  bool sameStart = SamePlace(first.Start, second.Start);
  bool sameEnd = SamePlace(first.End, second.End);
  if (sameStart && sameEnd) return 0;
  if (sameStart) {
    if (ComparePositions(first.End, second.End) > 0) {
      SetPlace(out1.Start, second.End);
    } else {
      SetPlace(out1.Start, first.End);
      SetPlace(out1.End, second.End);
    }
    return 1;
  }
  if (sameEnd) {
    SetPlace(out1.End, second.Start);
    return 1;
  }
  if (ComparePositions(first.End, second.End) > 0) {  // second lies inside first
    SetPlace(out1.End, second.Start);
    SetPlace(out2.Start, second.End);
    SetPlace(out2.End, first.End);
    return 2;
  }
  // Overlapping or touching, first starts and ends first.
  SetPlace(out1.End, second.Start);
  SetPlace(out2.Start, first.End);
  return 2;
}

bool ContainsBreakCode(const uint8_t* codes, int32_t n) { return ContainsAnyOf(codes, n, 6, 7, 8); }

bool ContainsLayoutBreak(const uint8_t* codes, int32_t n) {
  return ContainsAnyOf(codes, n, 8, 6, 3);
}

}  // namespace qv
