#pragma once
// Typing: edit codes 12 (a content fragment) and 13 (plain text). Typed content replaces the
// selection or goes in at the caret; overtype replaces the character after the caret; Enter at a
// paragraph's end gives the new paragraph its style's next style, and Enter on an empty list item
// ends the list.
#include <cstdint>

#include "foundation/base/memory.h"

namespace qv {

class TDoc;

// Brings the selection into a shape typing can replace: the cell end of a whole selected cell is
// left out; several ranges or a note's last mark give way to the caret at the first range's end.
void PrepareTyping(TDoc& doc);
void TypeFragment(TDoc& doc, const TMemory& fragment, int32_t parMarks, uint32_t flags);
// 8-bit text, or UTF-16 with idfUtf16.
void TypeText(TDoc& doc, const TMemory& text, uint32_t flags);
// The language of the current character format, else of the character at the selection's start.
int32_t GetCaretLanguage(TDoc& doc);

}  // namespace qv
