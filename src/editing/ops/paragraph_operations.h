#pragma once
// Operations on whole paragraphs of the selection: join (edit code 19), split at the laid-out
// line ends (20), sort with the offer to select duplicates (21) and move up or down (22), with
// the two small routines the table operations use: moving a block of paragraphs and exchanging
// one special character.
#include <cstdint>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TDoc;

void JoinParagraphs(TDoc& doc, int32_t first, int32_t last);
// The line breaks of one paragraph become word spaces (a selected block of lines becomes a
// paragraph of its own first); answers whether anything changed. `par` moves on when the block
// became a new paragraph.
bool JoinLineBreaks(TDoc& doc, int32_t& par);
void SplitParagraphs(TDoc& doc, int32_t first, int32_t last);
// Order 0 ascending, 1 descending; true when anything was sorted.
bool SortParagraphs(TDoc& doc, int32_t first, int32_t last, uint8_t order);
// The paragraphs from first + 1 to last whose character codes equal those of the paragraph before.
std::vector<int32_t> DuplicateParagraphs(TDoc& doc, int32_t first, int32_t last);
// Offers to select the duplicates of the last sort; selects them on Yes.
void OfferSelectDuplicates(TDoc& doc, int32_t first, int32_t last);
// Below 0 up, above 0 down, 0 nothing.
void MoveParagraphs(TDoc& doc, int32_t direction);
void MoveParagraphBlock(TDoc& doc, int32_t first, int32_t last, int32_t target);
// Turns the special character at the place into another (2, 4, 6, 7 or 8).
void ReplaceSpecialChar(TDoc& doc, int32_t par, int32_t offset, uint8_t code);

}  // namespace qv
