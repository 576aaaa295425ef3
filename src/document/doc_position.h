#pragma once
// Places and stretches of a document: TDocPosition (paragraph and character offset, plus page and
// line hints that never take part in ordering or equality), TDocRange (start up to but not
// including end) and TTextRun, with the routines that build, compare and combine them.
//
// Routines that take a paragraph and an offset write only Par and Offset, so the hints a caller
// already holds survive. Ranges are never reordered: callers pass start before end.
#include <cstdint>
#include <span>

namespace qv {

struct TDocPosition {
  int32_t Par = 0;     // index in the document's single paragraph list (all stories in a row)
  int32_t Offset = 0;  // character position in the paragraph; 0 is before the first character
  int32_t Page = 0;    // hint: laid-out page that shows the place
  int32_t Line = 0;    // hint: line of the paragraph that shows the place
};

struct TDocRange {
  TDocPosition Start;
  TDocPosition End;
};

// A place and a length in characters; length 0 means no run.
struct TTextRun {
  TDocPosition Position;
  int32_t Length = 0;
};

void MakePosition(int32_t par, int32_t offset, TDocPosition& out);
void MakeRange(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset,
               TDocRange& out);
void MakeCollapsedRange(int32_t par, int32_t offset, TDocRange& out);
// The one character at the place (end = offset + 1); only for real characters.
void MakeCharRange(int32_t par, int32_t offset, TDocRange& out);
void RangeFromPositions(const TDocPosition& start, const TDocPosition& end, TDocRange& out);
void RangeOfTextRun(const TTextRun& run, TDocRange& out);

// -1, 0 or 1 by paragraph, then offset; the hints are ignored.
int ComparePositions(const TDocPosition& a, const TDocPosition& b);
inline bool SamePlace(const TDocPosition& a, const TDocPosition& b) {
  return a.Par == b.Par && a.Offset == b.Offset;
}
bool IsRangeEmpty(const TDocRange& r);
bool SameRange(const TDocRange& a, const TDocRange& b);
// Start <= p < End: an empty range holds nothing.
bool PositionInRange(const TDocPosition& p, const TDocRange& r);
// Start <= p <= End: an empty range holds its own place.
bool PositionInRangeInclusive(const TDocPosition& p, const TDocRange& r);
// The same tests against the ranges of a multi-range selection, tried from the last range to the
// first.
bool PositionInFragment(const TDocPosition& p, std::span<const TDocRange> ranges);
bool PositionInFragmentInclusive(const TDocPosition& p, std::span<const TDocRange> ranges);

// The later start and the earlier end, each copied whole (hints included); on equal starts a's
// start is taken, on equal ends b's end. True when the result is not empty. With `out` null only
// the answer is given; otherwise the result is written even when empty or inverted.
bool IntersectRanges(TDocRange* out, const TDocRange& a, const TDocRange& b);

// The parts covered by exactly one of a and b, written to out1 (and out2); answers how many
// ranges were written (0, 1 or 2). With two results they are in start order.
int RangeSymmetricDifference(TDocRange& out1, TDocRange& out2, const TDocRange& a,
                             const TDocRange& b);

// Scans of the first n character codes of a paragraph.
// Column break (6), line break (7) or page break (8).
bool ContainsBreakCode(const uint8_t* codes, int32_t n);
// Page break (8), column break (6) or section break (3).
bool ContainsLayoutBreak(const uint8_t* codes, int32_t n);

}  // namespace qv
