#pragma once
// The post-edit update: after an edit (or undo or redo) it renumbers the lists, lays the pages
// out again from the first changed page, restores caret and selection, decides on scrolling and
// repaints the view or only the one re-broken paragraph, then clears the main post-actions.
// The layout is reached through TEditLayoutHooks (editing/edit_layout_hooks.h).
#include <cstdint>

namespace qv {

class TDoc;

void RunPostEditUpdate(TDoc& doc);
// Lowers the first paragraph (and page) to lay out again in the current post-actions: from the
// paragraph, or from the first of the paragraphs before it that keep with the next; a full
// repaint is needed afterwards. Nothing while the layout is suspended.
void InvalidateLayoutFrom(TDoc& doc, int32_t par);

}  // namespace qv
