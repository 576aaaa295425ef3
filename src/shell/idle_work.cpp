// The main window's idle hook: everything that waits for a quiet moment runs here on the
// interface thread, in small steps, in a fixed order. Nothing runs while the program is starting
// or terminating, without a main window, or while an exception during an edit is being handled.
#include "document/doc.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/command_bar_services.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

void TMainForm::AppIdle() {
  if (AppTerminating() || GetMainForm() != this || StartingUp || EmergencyHandling) return;
  TDocDispatcher* dispatcher = GetDocDispatcher();
  // The clipboard's new content goes into the clipboard history once the user paused.
  if (ClipboardChanged && IdleFor(50)) {
    ClipboardChanged = false;
    ClipboardManagerServices().CaptureClipboard();
    RequestInterfaceUpdate();
  }
  // The documents' deferred view work, last to first; the caret is scrolled into view only in
  // the active document, or in any while the active one's window is not minimised.
  if (dispatcher != nullptr) {
    TDoc* active = dispatcher->ActiveDoc();
    const bool frameMinimized = GetWindowState() == plat::WindowState::Minimized;
    for (int32_t i = dispatcher->Count() - 1; i >= 0; --i) {
      TDoc* doc = dispatcher->Document(i);
      if (TDocWindowLink* window = dispatcher->WindowOf(doc))
        window->DeferredViewWork(doc == active || !frameMinimized);
    }
  }
  if (UpdatePending) UpdateInterfaceState();
  if (RestoreCursor || SynthesizeMove) {
    RestoreCursor = false;
    TDoc* active = GetActiveDoc();
    TDocWindowLink* window = dispatcher && active ? dispatcher->WindowOf(active) : nullptr;
    if (window != nullptr && !window->InMouseOperation()) SynthesizeMouseMove();
  }
  ShowQueuedMessage();
  if (Enabled() && ProgressShown) ProgressShown = false;
  if (dispatcher != nullptr && DocToActivateLater != nullptr) {
    TDoc* doc = DocToActivateLater;
    DocToActivateLater = nullptr;
    if (dispatcher->IndexOf(doc) >= 0) dispatcher->Activate(doc);
  }
  // Windows of closed documents go now that none of their handlers runs.
  FreeReleasedEditorWindows();
  CommandBarServices().IdleStep();
  ControlBoardServices().IdleStep();
}

}  // namespace qv
