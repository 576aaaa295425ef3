#pragma once
// TCompoundFragment: a set of places in a document, as a byte buffer of TDocRange records laid
// back to back. It is the selection (one range, several ranges, or a column block with one range
// per line), the places a search found, the ranges an undo record restores and the targets of a
// formatting command.
//
// A fragment always holds at least one range; nothing selected is one empty range. The normal
// form (after Normalize, Exclude and ShiftForSpanReplace) is sorted by start, with overlapping or
// touching ranges merged and empty ranges dropped unless one is all that is left. AppendRanges,
// InsertRange, SetCount, DeleteRange and ShiftForEdit do not normalise.
//
// Range indexes are the caller's to keep within 0 .. Count() - 1; nothing checks them.
// Fragments are taken from and given back to the program-wide pool (document/fragment_pool.h).
#include <cstdint>

#include "document/doc_position.h"
#include "foundation/base/memory.h"

namespace qv {

class TCompoundFragment : public TMemory {
 public:
  static constexpr int32_t RangeSize = static_cast<int32_t>(sizeof(TDocRange));

  // One empty range at paragraph 0, offset 0 (hints 0); flag clear.
  TCompoundFragment();
  TCompoundFragment(const TCompoundFragment& other);
  TCompoundFragment& operator=(const TCompoundFragment& other);

  // Set when the fragment is a column block (one range per line of a rectangle).
  uint8_t ColumnBlock = 0;
  // The last range of the buffer; refreshed by every operation that changes the range count.
  TDocRange* LastRange = nullptr;

  // Copies the source's bytes, and its flag when it is a fragment. The bytes of a plain buffer
  // are range records read from outside (an undo record, the clipboard) and are checked as
  // KeepSoundRanges does.
  void Assign(const TMemory& source) override;
  // Keeps the whole range records that are sound: no negative paragraph or offset, and the end
  // not before the start (negative page and line hints become 0). When none is left, the
  // fragment holds the one empty range. Range ends may still lie far past a document's end; the
  // shifts below saturate at the ends of the 32-bit range instead of wrapping.
  void KeepSoundRanges();

  int32_t Count() const { return Length / RangeSize; }
  TDocRange* GetRange(int32_t i) { return reinterpret_cast<TDocRange*>(Data) + i; }
  const TDocRange* GetRange(int32_t i) const { return reinterpret_cast<const TDocRange*>(Data) + i; }

  // New ranges are not initialised.
  void SetCount(int32_t n);
  // One zero-filled range without reallocating; flag cleared.
  void Clear();
  // Count 1 with the four numbers written into range 0 (its hints keep what the buffer held).
  void SetSingleRange(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset);
  // Start of range 0 up to the end of the last range.
  TDocRange GetExtent() const;

  void AppendRanges(const TCompoundFragment& other);
  void InsertRange(int32_t i, const TDocRange& range);  // i = Count() appends
  void DeleteRange(int32_t i);

  // From the last range to the first, the first whose range holds r with both ends inclusive;
  // -1 when none does.
  int32_t IndexOfContaining(const TDocRange& r) const;
  bool ContainsAll(const TCompoundFragment& other) const;
  // Same count and the same paragraph and offset at both ends of every range; the flag is not
  // compared.
  bool Equals(const TCompoundFragment& other) const;

  void Normalize();
  // Removes every place covered by the other fragment (set difference), then normalises.
  void Exclude(const TCompoundFragment& other);
  // Moves the range ends after an edit that removed `deleted` and then inserted text that now
  // spans `inserted` (whose start is the insertion point). Ends at the insertion point take the
  // inserted text in. Does not normalise.
  void ShiftForEdit(const TDocRange& deleted, const TDocRange& inserted);
  // Moves the range ends after a span of `oldLength` characters at p, inside one paragraph, was
  // replaced by `newLength` characters; then normalises.
  void ShiftForSpanReplace(const TDocPosition& p, int32_t oldLength, int32_t newLength);

  void RefreshLastRange();

 private:
  friend class TFragmentPool;
  // Leaves exactly one zero-filled range and clears the flag, reusing the block when there is one.
  void ResetToEmptyRange();
};

}  // namespace qv
