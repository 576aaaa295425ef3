#pragma once
// Small routines that the handlers of several command ranges share.

namespace qv {

// After a selection command changed the target's selection: in the Format Brush mouse mode
// applies the brush (15550), in the Highlight mode the highlight (12500, named "highlight"), in
// the Font Color mode the font colour (12520, named "font color"); otherwise nothing. Nothing
// either without a target document or a selection.
void ApplyMouseModeToSelection();

// Deletes the target's selection (with `wholeWords`, as whole words): refuses with a message a
// selection holding a note's last paragraph mark, empties the Vadure Vavi when its whole text is
// selected, else deletes through the edit dispatcher; then sounds the delete event.
void DeleteSelectionCommand(bool wholeWords = false);

// True when the target document has a selection and some selected range spans more than one
// paragraph or ends at or after the last character position of its paragraph.
bool SelectionReachesParagraphEnd();

}  // namespace qv
