#pragma once
// The table of character formats that start lines: every distinct TCharFormat is kept once per
// document (TDocLayoutState::LineFormats, whole records laid end to end), so that a line can name
// its start format by an index. The table only grows while the document lives.
#include <cstdint>

#include "document/char_format.h"

namespace qv {

class TDoc;

// The index of a byte-identical record, searched from the last record back, or of the format
// appended.
int32_t CacheCharFormat(TDoc& doc, const TCharFormat& format);
// Record `index` with its size and kerning threshold taken back from layout units to half-points
// (divided by 16, halves up; a kerning threshold of 0 or less is left as it is). An index outside
// the table gives the default format.
void GetCachedCharFormat(const TDoc& doc, int32_t index, TCharFormat& out);
int32_t CachedCharFormatCount(const TDoc& doc);

}  // namespace qv
