#pragma once
// Questions about fitted lines: how they end, and how long a text run is. Alignment and heights
// are the line fitter's (TLayoutLineFitter::ComputeLineHeight).
#include <cstdint>

namespace qv {

class TLine;

// The last character is a column, line or page break, or the line holds more than one character
// and the one before the last is a page break.
bool LineEndsWithBreak(const TLine& line);
// The last character is a column or page break, or the one before the last is a page break, or
// the last character is a section break that starts a new page.
bool LineEndsWithHardBreak(const TLine& line);
// The line holds exactly one character and ends with a hard break.
bool IsBreakOnlyLine(const TLine& line);
// Bytes from the offset before the next content tag (a 0 byte), at most n.
int32_t TextRunLength(const uint8_t* data, int32_t n);

}  // namespace qv
