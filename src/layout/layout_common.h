#pragma once
// Small questions the layout's parts share: the view, paragraphs in tables, the section that
// governs a paragraph, the main text's range, and the boxes of a page's body.
#include <cstdint>

#include "document/doc.h"
#include "document/doc_position.h"
#include "document/par.h"

namespace qv {

class TBox;
class TSection;

inline bool IsPrintLayout(const TDoc& doc) { return doc.ViewMode == vmPrintLayout; }
inline bool IsDraftView(const TDoc& doc) { return doc.ViewMode != vmPrintLayout; }
inline bool IsInTable(const TPar& par) { return par.Format.InTable == 1; }
inline uint8_t LastCodeOf(const TPar& par) {
  return par.CharCount() > 0 ? par.CodeAt(par.CharCount() - 1) : 0;
}
inline uint8_t FirstCodeOf(const TPar& par) { return par.CharCount() > 0 ? par.CodeAt(0) : 0; }

// The view's margin in the draft views, twips on each side of the text.
inline constexpr int32_t DraftViewMargin = 360;
// The height of the one page of the draft views (88 inches).
inline constexpr int32_t DraftPageHeight = 126720;
// Room above the first note of a note area, for the separator line.
inline constexpr int32_t NoteSeparatorSpace = 270;

// The section whose range holds a paragraph of the main text; the first section for paragraphs
// of the other stories or outside every range.
TSection* SectionOfParagraph(const TDoc& doc, int32_t par);
// The main text: (0, 0) to the end of its last paragraph.
TDocRange MainTextRange(const TDoc& doc);
// The position after a paragraph's end: the next paragraph's start.
inline void NextParagraphStart(TDocPosition& p) {
  ++p.Par;
  p.Offset = 0;
}
// The nearest ancestor (or the box) that is a column body; null when none is.
TBox* ColumnOf(TBox* box);

}  // namespace qv
