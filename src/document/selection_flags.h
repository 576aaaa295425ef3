#pragma once
// The scoped document flags that the selection, the selection display and the typing format read
// or set (TDoc::IsDocFlagSet, SetScopedFlag ...). The numbers are shared with the layout and the
// editor window; each name says what the flag means to this code. Those the model names for
// everyone (dfPreview, dfArrangeOnZoom, dfKeepSelectedShapes ...) are in document/doc_flags.h.
#include <cstdint>

#include "document/doc_flags.h"

namespace qv {

enum : int32_t {
  dfNoSelectionRepaint = 17,       // a selection change is not repainted
  dfMeasuringSelection = 19,       // the caret is placed only to measure a selection range
  dfTypingContextFromCaret = 35,   // the typing context comes from the caret alone
  dfKeepCurCharFormat = 36,        // CurCharFormat is not recomputed at the caret
  dfNavigateTextAndNotes = 41,     // word movement crosses main text and notes
  dfNoFieldEdgeRules = 90,         // formats are computed without the field-edge rules
  dfKeepFindInSelection = 129,     // the find tool keeps its within-selection state
  dfTypingFormatFromParEnd = 131,  // the typing format comes from the paragraph's end
  dfWholeParagraphSelection = 132, // the window made the selection of whole paragraphs
  dfMakingParagraphSelection = 133,
  dfKeepSidePaneItems = 140,       // the side-pane tools keep their current items
  dfSelectTableAsRows = 147,       // tables are selected as rows of text, never as cell blocks
  dfCellEndsAsTabs = 154,          // in text of ranges, cell ends are tabs and row ends nothing
  dfPaintingLockedRanges = 160,    // the locked ranges stand in for the selection
  dfViewStepped162 = 162,          // view bytes cleared when the view steps through a selection
  dfViewStepped163 = 163,
  dfRepaintAllOnSelection = 164,   // the next selection repaint repaints the whole view
  dfHasFloatingShapes = 172,       // cached answer of TDoc::HasFloatingShapes ...
  dfFloatingShapesKnown = 173,     // ... valid while this is set
};

}  // namespace qv
