#pragma once
// The wavy marks under misspelt words. The spellchecker keeps a paragraph's marks (character
// spans with a colour) in the paragraph; painting draws those that meet a line as a zigzag of
// single pixels a little below the text's baseline, in phase with the document so that the
// pattern does not crawl while the view scrolls.
#include <cstdint>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TLine;

// The colour of a mark that stands for text that is not to be marked (it is never drawn).
inline constexpr uint32_t SpellMarkHidden = 0x800000;

// Whether the line shows spelling marks: the document is checked as the user types and is not a
// preview or in print preview, the line is not dimmed, and its paragraph carries marks of the
// current check. A paragraph not wholly checked yet is checked over the line's span first (not
// while the checker is busy); a header or footer paragraph, whose text differs from page to
// page, is checked afresh.
bool LineHasSpellingMarks(TLine& line, bool dimmed);

// The zigzag for the pixel columns [left, right): one pixel per column, a row above the base row
// where (column + phase) mod 4 is 0, a row below where it is 2, on it otherwise.
void DrawSpellingWave(plat::Canvas& canvas, int32_t left, int32_t right, int32_t baseRow,
                      uint32_t colour, int32_t phase);

// Pixels from the line's top to the row the marks are drawn about (the wave keeps 2 pixels below
// it): under the drop cap's space above for a drop-cap line, at 80 % of an exact line height,
// else at the line's ascent below its space above, raised for multiple spacing below single.
// Paragraphs with raised or lowered text take the run baseline of the mark's format instead
// (the line painter knows it). `spaceAbove` is in twips.
int32_t SpellMarkBaseline(const TLine& line, int32_t spaceAbove);

}  // namespace qv
