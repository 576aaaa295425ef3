#pragma once
// Breaking a paragraph's content stream into lines (TLine, document/line.h) with the registered
// line fitter, flowing round floating shapes when a wrap context is given. The paragraph's line
// queries (TPar::LineCount, TPar::LineIndexOfChar ...) are defined with the breaker.
#include <cstdint>

#include "document/line_fitter_service.h"

namespace qv {

class TPar;
class TLine;
struct TCharFormat;

// Releases the paragraph's lines from `fromLine` on and breaks the rest of the stream into new
// lines of `width` twips. Without a wrap context the lines are simply stacked; with one they are
// placed at wrap->BandTop and below, in bands of segments beside the exclusion rectangles. A
// paragraph that starts with a drop cap, broken from its first line, gets the drop cap's
// characters as a line of their own (lfDropCap), measured but never broken, before the rest.
// Every new line is aligned and gets its height.
void BreakParagraphIntoLines(TPar& par, int32_t fromLine, int32_t width, TWrapContext* wrap);

// Releases all lines. With `breakNow` the stream is normalised and broken again for the width
// less the right indent (a negative right indent counts as 0 when `draftView`), and the lines are
// marked valid; otherwise the paragraph is marked for normalising and breaking when next laid
// out.
void ReformatParagraph(TPar& par, bool breakNow, int32_t width, bool draftView = false);

// The character format in force after the line's stream span (its start format with the format
// tags of the span applied).
void FormatAfterLine(const TLine& line, TCharFormat& format);

}  // namespace qv
