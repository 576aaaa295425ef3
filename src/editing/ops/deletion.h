#pragma once
// The deletion primitive and the two replacement primitives. DeleteText removes the ranges of a
// fragment (or one range) and keeps the document valid while doing so: a story's last paragraph
// mark stays, table paragraphs are not cut into from outside, headers and footers move on with
// their section, notes whose references go lose their text, hyperlinks whose text is their
// target follow the edit, and a character outside the basic plane is never split. The
// replacements delete a range and insert new content at its start in the deleted text's format.
#include <cstdint>
#include <string>

#include "document/doc_position.h"
#include "foundation/base/memory.h"

namespace qv {

class TCompoundFragment;
class TDoc;

// With a fragment its ranges are deleted (start and end are not used).
void DeleteText(TDoc& doc, const TCompoundFragment* fragment, const TDocPosition& start,
                uint32_t flags, const TDocPosition& end);
// One range, without the whole-deletion steps (used by smart spacing and the operations that
// delete a few characters inside a larger change).
bool DeleteRangeText(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                     uint32_t flags);

void ReplaceWithFragment(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                         uint32_t flags, int32_t parMarks, const TMemory& fragment);
// 8-bit text, or UTF-16 with idfUtf16.
void ReplaceWithText(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                     uint32_t flags, const TMemory& text);

}  // namespace qv
