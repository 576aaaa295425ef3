#pragma once
// Paragraph border sets. A TParFormat does not hold its borders: its Borders property is an index
// into one program-wide table in which every distinct set is stored once (interned). Entries are
// only ever added, so an index stays valid everywhere (documents, undo records, the clipboard)
// for the life of the program. Entry 0 is the set without borders.
#include <cstdint>

#include "foundation/base/memory.h"

namespace qv {

inline constexpr int32_t BorderStyleNone = 255;
inline constexpr int32_t MaxBorderDistance = 620;  // twips

struct TBorderLine {
  int32_t Width = 0;     // twips
  int32_t Style = 0;     // border style code, BorderStyleNone for no border
  int32_t Color = 0;     // 0x00BBGGRR, 0xFF000000 automatic
  int32_t Distance = 0;  // from the text, twips
  // Kept for the painting and file code; the table neither sets nor compares them.
  int32_t Extra[3] = {0, 0, 0};
};

struct TParBorders {
  TBorderLine Left;
  TBorderLine Top;
  TBorderLine Right;
  TBorderLine Bottom;
  TBorderLine Inside;  // between paragraphs of one bordered group; takes the top distance
};

// No borders: every style none, colours automatic, distances 80 left and right, 20 top, bottom
// and inside, every other field 0.
void InitParBorders(TParBorders& borders);

// The table's records laid end to end (entry count = length / sizeof(TParBorders)).
const TMemory& ParBordersTable();
int32_t ParBordersCount();

// Two borders match when their styles are equal and either the style is none, or the widths and
// colours are equal and the stored distance equals the new one clamped to 0..620.
bool SameBorderLine(const TBorderLine& stored, const TBorderLine& candidate, int32_t distance);
int32_t ClampBorderDistance(int32_t distance);

// Index of the entry equal to the set, appending it (with its distances clamped and the inside
// distance set to the top one) when there is none.
int32_t InternParBorders(const TParBorders& borders);

// A copy of the entry; an index outside the table (a damaged file, say) gives entry 0, no
// borders.
TParBorders GetParBorders(int32_t index);

}  // namespace qv
