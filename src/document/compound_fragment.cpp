#include "document/compound_fragment.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace qv {

namespace {

bool RangeLess(const TDocRange& a, const TDocRange& b) {
  int c = ComparePositions(a.Start, b.Start);
  if (c != 0) return c < 0;
  return ComparePositions(a.End, b.End) < 0;
}

// Shifts are worked out in 64 bits and saturate at the ends of the 32-bit range: positions from
// damaged input can lie near either end, and a shift must not wrap them round to the other.
int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void ShiftBy(int32_t& value, int64_t delta) { value = Saturate(value + delta); }

// A paragraph index moved past either end becomes the first or last place of all (offset
// saturated too), so that positions keep their order.
void ShiftParagraph(TDocPosition& x, int64_t delta) {
  const int64_t par = x.Par + delta;
  if (par > INT32_MAX || par < INT32_MIN) x.Offset = par > 0 ? INT32_MAX : INT32_MIN;
  x.Par = Saturate(par);
}

// A position read from outside: no negative paragraph or offset; negative hints become 0.
bool SanitizePosition(TDocPosition& p) {
  p.Page = std::max(p.Page, 0);
  p.Line = std::max(p.Line, 0);
  return p.Par >= 0 && p.Offset >= 0;
}

// The deletion half of ShiftForEdit for one range end.
void ShiftForDeletion(TDocPosition& x, const TDocRange& deleted) {
  if (PositionInRange(x, deleted)) {
    x = deleted.Start;
  } else if (ComparePositions(x, deleted.End) >= 0) {
    if (x.Par == deleted.End.Par) ShiftBy(x.Offset, int64_t{deleted.Start.Offset} - deleted.End.Offset);
    ShiftParagraph(x, int64_t{deleted.Start.Par} - deleted.End.Par);
  }
}

// The insertion half: a start moves only when it lies strictly after the insertion point, an
// end also when it stands at it, so ranges ending or empty there take the inserted text in.
void ShiftForInsertion(TDocPosition& x, const TDocRange& inserted, bool isStart) {
  int c = ComparePositions(x, inserted.Start);
  if (isStart ? c <= 0 : c < 0) return;
  if (x.Par == inserted.Start.Par) {
    x.Par = inserted.End.Par;
    ShiftBy(x.Offset, int64_t{inserted.End.Offset} - inserted.Start.Offset);
  } else {
    ShiftParagraph(x, int64_t{inserted.End.Par} - inserted.Start.Par);
  }
}

void ShiftForReplace(TDocPosition& x, const TDocPosition& p, int32_t oldLength,
                     int32_t newLength) {
  if (x.Par != p.Par || x.Offset <= p.Offset) return;
  if (x.Offset < int64_t{p.Offset} + oldLength) {
    x.Offset = std::min(x.Offset, Saturate(p.Offset + std::max<int64_t>(0, int64_t{newLength} - 1)));
  } else {
    ShiftBy(x.Offset, int64_t{newLength} - oldLength);
  }
}

}  // namespace

TCompoundFragment::TCompoundFragment() { ResetToEmptyRange(); }

TCompoundFragment::TCompoundFragment(const TCompoundFragment& other) : TMemory() { Assign(other); }

TCompoundFragment& TCompoundFragment::operator=(const TCompoundFragment& other) {
  if (this != &other) Assign(other);
  return *this;
}

void TCompoundFragment::Assign(const TMemory& source) {
  if (&source == this) return;
  TMemory::Assign(source);
  if (const auto* fragment = dynamic_cast<const TCompoundFragment*>(&source)) {
    ColumnBlock = fragment->ColumnBlock;
    RefreshLastRange();
  } else {
    KeepSoundRanges();
  }
}

void TCompoundFragment::KeepSoundRanges() {
  int32_t kept = 0;
  for (int32_t i = 0; i < Count(); ++i) {
    TDocRange r = *GetRange(i);
    const bool startSound = SanitizePosition(r.Start);
    const bool endSound = SanitizePosition(r.End);
    if (startSound && endSound && ComparePositions(r.Start, r.End) <= 0) *GetRange(kept++) = r;
  }
  if (kept == 0) {
    ResetToEmptyRange();
  } else {
    SetCount(kept);  // also drops the bytes of a cut-off record at the end
  }
}

void TCompoundFragment::RefreshLastRange() {
  int32_t n = Count();
  LastRange = n > 0 ? GetRange(n - 1) : nullptr;
}

void TCompoundFragment::SetCount(int32_t n) {
  SetLength(n * RangeSize);
  RefreshLastRange();
}

void TCompoundFragment::ResetToEmptyRange() {
  if (Capacity >= RangeSize) {
    Length = RangeSize;
  } else {
    SetLength(RangeSize);
  }
  std::memset(Data, 0, RangeSize);
  ColumnBlock = 0;
  RefreshLastRange();
}

void TCompoundFragment::Clear() { ResetToEmptyRange(); }

void TCompoundFragment::SetSingleRange(int32_t startPar, int32_t startOffset, int32_t endPar,
                                       int32_t endOffset) {
  SetCount(1);
  TDocRange* r = GetRange(0);
  r->Start.Par = startPar;
  r->Start.Offset = startOffset;
  r->End.Par = endPar;
  r->End.Offset = endOffset;
  ColumnBlock = 0;
}

TDocRange TCompoundFragment::GetExtent() const {
  return TDocRange{GetRange(0)->Start, GetRange(Count() - 1)->End};
}

void TCompoundFragment::AppendRanges(const TCompoundFragment& other) {
  if (&other == this) {
    TCompoundFragment copy(other);  // appending from the own block would read moved memory
    AppendMemory(copy);
  } else {
    AppendMemory(other);
  }
  RefreshLastRange();
}

void TCompoundFragment::InsertRange(int32_t i, const TDocRange& range) {
  TDocRange copy = range;  // the argument may live inside this buffer
  Insert(&copy, i * RangeSize, RangeSize);
  RefreshLastRange();
}

void TCompoundFragment::DeleteRange(int32_t i) {
  Delete(i * RangeSize, RangeSize);
  RefreshLastRange();
}

int32_t TCompoundFragment::IndexOfContaining(const TDocRange& r) const {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    const TDocRange* range = GetRange(i);
    if (ComparePositions(range->Start, r.Start) <= 0 && ComparePositions(range->End, r.End) >= 0) {
      return i;
    }
  }
  return -1;
}

bool TCompoundFragment::ContainsAll(const TCompoundFragment& other) const {
  for (int32_t i = other.Count() - 1; i >= 0; --i) {
    if (IndexOfContaining(*other.GetRange(i)) < 0) return false;
  }
  return true;
}

bool TCompoundFragment::Equals(const TCompoundFragment& other) const {
  if (Count() != other.Count()) return false;
  for (int32_t i = 0; i < Count(); ++i) {
    if (!SameRange(*GetRange(i), *other.GetRange(i))) return false;
  }
  return true;
}

void TCompoundFragment::Normalize() {
  int32_t n = Count();
  if (n == 0) return;
  std::span<TDocRange> ranges(GetRange(0), static_cast<size_t>(n));
  std::sort(ranges.begin(), ranges.end(), RangeLess);

  // Merge ranges that overlap or touch, compacting in place.
  int32_t kept = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (kept > 0 && ComparePositions(ranges[i].Start, ranges[kept - 1].End) <= 0) {
      if (ComparePositions(ranges[i].End, ranges[kept - 1].End) > 0) {
        ranges[kept - 1].End = ranges[i].End;
      }
      continue;
    }
    ranges[kept++] = ranges[i];
  }

  // Drop empty ranges; when all are empty, the first in sorted order stays.
  int32_t nonEmpty = 0;
  for (int32_t i = 0; i < kept; ++i) {
    if (!IsRangeEmpty(ranges[i])) ranges[nonEmpty++] = ranges[i];
  }
  SetCount(nonEmpty > 0 ? nonEmpty : 1);
}

void TCompoundFragment::Exclude(const TCompoundFragment& other) {
  // A snapshot, so that excluding a fragment from itself works on its original ranges.
  std::vector<TDocRange> removed(other.GetRange(0), other.GetRange(0) + other.Count());
  for (auto o = removed.rbegin(); o != removed.rend(); ++o) {
    for (int32_t i = Count() - 1; i >= 0; --i) {
      TDocRange cut;
      if (!IntersectRanges(&cut, *o, *GetRange(i))) continue;
      TDocRange* r = GetRange(i);
      if (SamePlace(cut.Start, r->Start)) {
        r->Start = cut.End;
      } else if (SamePlace(cut.End, r->End)) {
        r->End = cut.Start;
      } else {
        TDocRange tail{cut.End, r->End};
        r->End = cut.Start;
        InsertRange(Count(), tail);  // may move the buffer; r is not used again
      }
    }
  }
  Normalize();
}

void TCompoundFragment::ShiftForEdit(const TDocRange& deleted, const TDocRange& inserted) {
  if (SameRange(deleted, inserted)) return;
  for (int32_t i = Count() - 1; i >= 0; --i) {
    TDocRange* r = GetRange(i);
    ShiftForDeletion(r->Start, deleted);
    ShiftForInsertion(r->Start, inserted, true);
    ShiftForDeletion(r->End, deleted);
    ShiftForInsertion(r->End, inserted, false);
  }
}

void TCompoundFragment::ShiftForSpanReplace(const TDocPosition& p, int32_t oldLength,
                                            int32_t newLength) {
  if (oldLength == newLength) return;
  for (int32_t i = Count() - 1; i >= 0; --i) {
    TDocRange* r = GetRange(i);
    ShiftForReplace(r->Start, p, oldLength, newLength);
    ShiftForReplace(r->End, p, oldLength, newLength);
  }
  Normalize();
}

}  // namespace qv
