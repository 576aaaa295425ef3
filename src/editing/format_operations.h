#pragma once
// Character, paragraph and page formatting operations (edit action codes 0 to 7). Each runs
// inside an open operation, records its change as undo records and leaves the caret and the
// selection for the post-edit update in the current post-actions.
#include <cstdint>

#include "document/char_format.h"
#include "document/doc.h"
#include "document/page_params.h"
#include "document/par_format.h"

namespace qv {

class TCompoundFragment;

void ChangePageParams(TDoc& doc, const TPageParams& params, const TDocRange& range);
void FormatParagraphs(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                      const TParFormat& format);
// flags bit 0: clear the post-actions selection instead of taking the document's.
void FormatFont(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                uint8_t flags, const TCharFormat& format);
// The new value of a numeric character property stepped from its old value, limited.
int32_t StepFontValue(int32_t prop, int32_t oldValue, int32_t step);
void StepFontProperty(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                      int32_t step, int32_t prop);
void FormatTabs(TDoc& doc, int32_t defaultTabStop, int16_t tabSet);
// byte 1: the style's character format, 0: its paragraph format.
void ResetToStyleFormat(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                        uint8_t characterFormat);

// What the Format Brush captured.
struct TFormatBrush {
  std::string StyleName;
  TCharFormat CharFormat;
  TParFormat ParFormat;
  bool Captured = false;
};
TFormatBrush& FormatBrush();
void ApplyFormatBrush(TDoc& doc);
// True when the page count went down; needs the layout's pagination (false without one).
bool ShrinkPageCount(TDoc& doc);

// The fragment of the range (when given) or a normalised pooled copy of the fragment, or of the
// caret as an empty range.
TFragmentRef BuildFragment(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range);
// Sets the post-actions' selection from the document's (or clears it) and its caret.
void TakeDocumentSelection(TDoc& doc, bool clear = false);

}  // namespace qv
