#pragma once
// The post-edit update: after an edit (or undo or redo) it renumbers the lists, lays the pages
// out again from the first changed page, restores caret and selection, decides on scrolling and
// repaints the view or only the one re-broken paragraph, then clears the main post-actions.
// The layout is reached through TEditLayoutHooks (editing/edit_layout_hooks.h).
namespace qv {

class TDoc;

void RunPostEditUpdate(TDoc& doc);

}  // namespace qv
