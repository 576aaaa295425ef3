#pragma once
// The collection step that runs before the RTF, Word binary and DOCX writers: which fonts and
// lists the document uses and which colours its tables must hold, so that the writer can emit
// its font, colour and list tables before the text.
#include <cstdint>

namespace qv {

class TField;
class TSaveContext;

// Fills the context's font and list marks, list output numbers, colour table (in the order the
// colours are first met, entry 0 the automatic colour) and CJK flag from the styles, the
// paragraphs of every story and the lists of the document.
void CollectFontsAndColors(TSaveContext& context);

// True when a header, footer or note field covers exactly one paragraph that holds nothing but
// its paragraph mark and anchors no floating shape.
bool IsFieldStoryEmpty(const TSaveContext& context, const TField& field);

// The code page of a font of the font manager: 1252 for the symbol character set, otherwise the
// code page of the font's character set (1252 for a number the manager does not know).
uint32_t GetFontCodePage(int32_t fontIndex);

}  // namespace qv
