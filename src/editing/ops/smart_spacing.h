#pragma once
// Smart Cut & Paste spacing: the five-byte typing context of a place in a paragraph (which kind
// of character stands on either side, by the smart-spacing sets of the language there) and the
// adjustment that leaves exactly the spaces that belong between two words after an insertion or
// deletion.
#include <cstdint>

#include "document/doc_position.h"
#include "editing/ops/text_edit_services.h"
#include "editing/ops/text_insertion.h"

namespace qv {

class TDoc;

// Classes: 0 a space, 1 opening (or nothing before, or inside a number or time), 2 closing (or
// the paragraph's end on the right), 3 any other character.
struct TTypingContext {
  uint8_t Left = 0;
  uint8_t Right = 0;
  uint8_t NextIsOpening = 0;
  uint8_t EndOrClosing = 0;
  uint8_t Neither = 0;
};

// The context at the offset of the paragraph; `sets` null: those of the language there.
void GetTypingContext(TDoc& doc, int32_t par, int32_t offset, TTypingContext& out,
                      const TSmartSpaceSets* sets);

// Inserts a missing space at the place, or removes the spaces around it that do not belong.
TSmartSpacingResult AdjustSmartSpacing(TDoc& doc, const TDocPosition& at);

}  // namespace qv
