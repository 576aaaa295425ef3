#pragma once
// Formatting marks of Special Symbols mode: which invisible characters show, the glyph each is
// drawn as, and the small drawings of line breaks, optional hyphens, tab arrows and the labels
// of page, column and section breaks. Tab leaders are drawn in every mode.
#include <cstdint>
#include <string>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TDoc;

// What the mark types setting selects.
struct TMarkSettings {
  enum : uint8_t {
    Tabs = 0x1,
    Spaces = 0x2,
    ParagraphEnds = 0x4,
    OptionalHyphens = 0x8,
    BookmarkDelimiters = 0x10,
    NoteMarks = 0x20,
    IndexEntries = 0x40,
  };
  bool Allowed = false;  // Special Symbols mode is on and the document is no preview
  uint8_t Types = 0;
  bool Shows(uint8_t type) const { return Allowed && (Types & type) != 0; }
};

// Bit 0x40 of the view flags: Special Symbols mode.
inline constexpr uint16_t ViewFlagSpecialSymbols = 0x40;

// Marks of the document's painting: the options' view flags and mark types, never in print
// preview or for a preview document.
TMarkSettings MarkSettingsFor(const TDoc* doc);

// The code page 1252 glyph that shows a character code with the settings; 0 when the code is
// drawn as itself (or, for breaks, tabs and note marks, by its own drawing).
uint8_t MarkGlyph(uint8_t code, const TMarkSettings& marks);

// The label of a break: 0 page, 1 column, 2 + a section's break kind.
std::string BreakLabelText(int32_t label);

// A return arrow whose box starts at (b, f).
void DrawLineBreakMark(plat::Canvas& canvas, int32_t b, int32_t f, uint32_t colour);
// The optional hyphen's bar through the middle of [left, right) from top, height high.
void DrawOptionalHyphenMark(plat::Canvas& canvas, int32_t left, int32_t right, int32_t top,
                            int32_t height, uint32_t colour);
// The tab arrow centred in the tab's cell.
void DrawTabArrow(plat::Canvas& canvas, const plat::Rect& cell, uint32_t colour);
// A dotted horizontal rule over [left, right) at y: pattern 0 every other pixel, 1 two on two off.
void DrawPatternLine(plat::Canvas& canvas, int32_t left, int32_t right, int32_t y, int pattern,
                     uint32_t colour);

}  // namespace qv
