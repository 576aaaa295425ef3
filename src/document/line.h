#pragma once
// TLine: one laid-out line of a paragraph, or one segment of a line that runs round floating
// shapes. The paragraph line breaker (document/par_breaking.h) makes lines from the program-wide
// line pool below and the layout's line fitter (document/line_fitter_service.h) fills them:
// which stretch of the content stream the line covers, where every character boundary lies and
// how tall the line is.
//
// Horizontal positions are layout units: sixteenths of a screen pixel (or device units while a
// paragraph is measured for a device). Widths, heights and tops are twips.
#include <cstdint>
#include <memory>
#include <vector>

#include "document/char_format.h"

namespace qv {

class TPar;
class TBox;
class TField;

// Line flags.
enum : uint32_t {
  lfHyphenated = 0x1,        // ends at a hyphenation point; a hyphen is shown at its end
  lfPainting = 0x2,          // being painted (list labels take their space above from it)
  lfScaledPicture = 0x4,     // holds a picture scaled to fit the text area
  lfHorizontalRule = 0x8,    // holds a horizontal-rule shape (the rule is the whole line)
  lfFieldShading = 0x10,     // may hold field parts whose shading painting must check
  lfSectionBreak = 0x20,     // holds a section break
  lfHighlight = 0x40,        // highlighted text occurs in the line
  lfSegment = 0x80,          // segment of a band that runs round floating shapes
  lfBandFirst = 0x100,       // first segment of its band
  lfFirstBand = 0x200,       // segment of the paragraph's first band
  lfLastBand = 0x400,        // segment of the paragraph's last band
  lfWrapPlaced = 0x800,      // placed by the wrap logic (its top is set)
  lfSectBreakFollows = 0x1000,
  lfSectBreakOnly = 0x2000,
  lfPageBreakEnds = 0x4000,  // a page break before the paragraph end; the page ends after it
  lfWidthsCurrent = 0x8000,  // the paragraph's cached pixel widths of this line are current
  lfDropCap = 0x10000,       // the drop-cap line of its paragraph
  lfStopEnds = 0x20000,      // ended early at the layout's stop index; broken again without one
};

class TLine {
 public:
  int32_t XStart = 0;            // pixels, written by the character-position cache
  TPar* Par = nullptr;
  int32_t AvailWidth = 0;        // twips from the text area's left edge the line may fill
  TCharFormat StartFormat;       // the character format in force at the line's start
  uint16_t Ascent = 0;           // layout units
  uint16_t SpacingAscent = 0;    // largest unshifted ascent (multiple line spacing uses it)
  uint16_t Descent = 0;
  int32_t StreamOffset = 0;
  int32_t StreamLength = 0;
  int32_t Height = 0;            // twips
  int32_t Top = 0;               // twips within the band or box
  int32_t FirstChar = 0;
  int32_t Count = 0;             // character positions in the line
  TBox* Box = nullptr;
  int32_t LineIndex = 0;
  uint16_t Slot = 0;
  uint32_t Flags = lfFieldShading;
  int32_t RowNumber = 0;         // visual row (segments of one band share it)
  int32_t LineNumber = 0;        // margin line number, 0 for none
  TField* FootnoteRef = nullptr;
  TField* EndnoteRef = nullptr;
  // Positions[0] is the x of the line start, Positions[i] the x after the i-th character.
  // Holds Count + 1 values once the line is fitted; its capacity is kept through the pool.
  std::vector<int32_t> Positions;

  bool HasFlag(uint32_t flag) const { return (Flags & flag) != 0; }
  int32_t LastChar() const { return FirstChar + Count; }  // one past the last character
  int32_t StartX() const { return Positions.empty() ? 0 : Positions[0]; }
  int32_t EndX() const { return Positions.empty() ? 0 : Positions.back(); }
};

// --- The line pool ---
// A line from the pool (or a new one) for the paragraph: stream offset and first character
// continue from the paragraph's last line (0 without lines), the start format is `format`,
// flags are lfFieldShading. The caller owns the line until it hands it back with ReleaseLine.
TLine* AcquireLine(TPar& par, const TCharFormat& format);
// Detaches the line from its box (the layout's line fitter makes the box forget it) and returns
// it to the pool; null is ignored.
void ReleaseLine(TLine* line);
// Lines waiting in the pool.
int32_t LinePoolSize();
// Frees the pooled lines (at shutdown, or to give memory back).
void ClearLinePool();

// A snapshot of a line's placement that pagination takes so that a trial placement can be
// undone.
struct TPaginatedLineInfo {
  TBox* Box = nullptr;
  uint16_t Slot = 0;
  int32_t Top = 0;
  uint32_t Flags = 0;
  int32_t Height = 0;
  int32_t LineNumber = 0;

  static TPaginatedLineInfo Create(const TLine& line);
  // Writes box, slot, top and line number back and adds the saved band bits (0xF80).
  void ApplyTo(TLine& line) const;
};

}  // namespace qv
