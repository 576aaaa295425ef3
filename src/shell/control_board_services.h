#pragma once
// What the shell asks of the side panes (Control Boards), the Find/Replace dialog and the other
// floating tool dialogs, which live above it. The stand-in has no panes and no dialogs.
#include <memory>

namespace qv {

class TDoc;

class TControlBoardServices {
 public:
  virtual ~TControlBoardServices() = default;
  // The Find/Replace dialog, made at start-up after the main window and freed first at shutdown.
  virtual void CreateFindReplaceForm() {}
  virtual void FreeFindReplaceForm() {}
  // The overused-words, Symbols, Go To and batch-conversion dialogs, freed at shutdown.
  virtual void FreeToolDialogs() {}
  // Hides the floating dialogs (toolbar customising starts, a document closes ...).
  virtual void HideFloatingDialogs() {}
  // The interface update: the boards show, hide and refresh for the active document (null when
  // none), and the Go To dialog refreshes.
  virtual void UpdateControlBoards(TDoc* /*activeDoc*/) {}
  // The idle work of the find panel and of the boards' lists.
  virtual void IdleStep() {}
  // The boards repaint with the final state once the start-up is done.
  virtual void InvalidateBoards() {}
  // The browse list's popup is open (the status bar's panels do not react meanwhile).
  virtual bool BrowseListOpen() { return false; }
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterControlBoardServices(std::unique_ptr<TControlBoardServices> services);
TControlBoardServices& ControlBoardServices();

}  // namespace qv
