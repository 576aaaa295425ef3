#pragma once
// Breaking a paragraph's content stream into lines (TLine, document/line.h) with the registered
// line fitter, flowing round floating shapes when a wrap context is given, and the paragraph's
// line queries.
#include <cstdint>

#include "document/line_fitter_service.h"

namespace qv {

class TPar;
class TLine;
struct TCharFormat;

// Releases the paragraph's lines from `fromLine` on and breaks the rest of the stream into new
// lines of `width` twips. Without a wrap context the lines are simply stacked; with one they are
// placed at wrap->BandTop and below, in bands of segments beside the exclusion rectangles. Every
// new line is aligned and gets its height.
void BreakParagraphIntoLines(TPar& par, int32_t fromLine, int32_t width, TWrapContext* wrap);

// Releases all lines. With `breakNow` the stream is normalised and broken again for the width
// less the right indent (a negative right indent counts as 0 when `draftView`), and the lines are
// marked valid; otherwise the paragraph is marked for normalising and breaking when next laid
// out.
void ReformatParagraph(TPar& par, bool breakNow, int32_t width, bool draftView = false);

int32_t ParLineCount(const TPar& par);
// The line whose characters hold the index (the last line examined when none does; -1 without
// lines). When the index is a line's first character and the line lies above `lowestLine`, the
// previous line is answered instead when `endAffinity` is asked for or the previous line does not
// end with a column, line or page break: a caret at a soft line end shows on the upper line.
int32_t ParLineIndexOfChar(const TPar& par, int32_t charIndex, int32_t lowestLine, bool endAffinity);
// The lines are valid and the first one lies in a box.
bool IsParPlaced(const TPar& par);

// The character format in force after the line's stream span (its start format with the format
// tags of the span applied).
void FormatAfterLine(const TLine& line, TCharFormat& format);

}  // namespace qv
