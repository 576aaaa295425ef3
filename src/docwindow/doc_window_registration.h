#pragma once
// The document window's answers to what the lower subsystems ask of an editor window: the
// selection model's caret, scrolling, visibility and repainting (document/selection_services.h)
// and the editing engine's layout hooks after an edit (editing/edit_layout_hooks.h: the caret
// followed and brought into view, the view repainted). Documents without an editor window get
// the lower layers' own answers. What these services ask of the main window (interface updates,
// the typing popups, the mouse mode) goes on through TDocWindowServices, which the shell
// registers.
#include <memory>

namespace qv {

class TEditLayoutHooks;
class TSelectionServices;

std::unique_ptr<TSelectionServices> MakeDocWindowSelectionServices();
std::unique_ptr<TEditLayoutHooks> MakeDocWindowLayoutHooks();

void RegisterDocumentWindowServices();
// Puts the stand-ins back.
void UnregisterDocumentWindowServices();

}  // namespace qv
