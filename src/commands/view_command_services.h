#pragma once
// What the view, window and help commands ask of the subsystems above the commands: the main
// window (its bars, Full Screen, the document area's windows), the document dispatcher (side by
// side), the Control Board and its document map, the split view, the zoom dialog, the help
// window, the update check and the About box. The stand-in does nothing and answers that there
// is nothing to show, so the commands still change the options and the documents they own; the
// shell registers the real services at start-up.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TDoc;

class TViewCommandServices {
 public:
  virtual ~TViewCommandServices() = default;

  // ---- The main window's bars and document windows
  // The command bars and the document bar are built again at the next interface update.
  virtual void RebuildBars() {}
  // Every document window arranges its view again (rulers, scroll bars, pages).
  virtual void RearrangeAllViews() {}
  // Whether the document's window fills the document area.
  virtual bool DocWindowMaximized(const TDoc& /*doc*/) { return true; }
  // Toggles Full Screen for the main window and its document windows.
  virtual void ToggleFullScreen() {}
  // The command-bar band exists and is visible; invalidating it; the style of its bars.
  virtual bool CommandBandVisible() { return false; }
  virtual void InvalidateCommandBand() {}
  virtual void ApplyToolbarStyle(int32_t /*style*/) {}
  // The document bar sorts its buttons again.
  virtual void ResortDocBar() {}
  // Drops the zoom list of the command-bar band; false when the band cannot show it.
  virtual bool DropZoomList() { return false; }
  // Opens the Vadure Vavi's window (the clipboard manager's document).
  virtual void OpenVadureVavi() {}
  // The Zoom dialog for the document.
  virtual void ExecuteZoomDialog(TDoc& /*doc*/) {}

  // ---- The Control Board, its document map and the hyper boxes
  // Whether a board (0 first, 1 second) exists; rebuilding it; showing a panel on it.
  virtual bool ControlBoardExists(int32_t /*board*/) { return false; }
  virtual void RebuildControlBoard(int32_t /*board*/) {}
  virtual void SelectControlBoardTool(int32_t /*board*/, int32_t /*panel*/) {}
  virtual void RepaintControlBoard(int32_t /*board*/) {}
  // The clip library panel is refreshed at the next update.
  virtual void RefreshClipLibrary() {}
  // A document map command (levels, expanding, font size, heading operations, clipboard).
  virtual void DocumentMapCommand(int32_t /*id*/) {}
  // A command of the open popup menu of a hyper box.
  virtual void HyperBoxCommand(int32_t /*id*/) {}

  // ---- Split view and Spotlight
  // A split-window command for the document (split, swap, settings, orientation, switching).
  virtual void SplitCommand(TDoc& /*doc*/, int32_t /*id*/) {}
  // Marks the inactive pane of every split window for repainting.
  virtual void RepaintInactivePanes() {}
  // The Spotlight settings dialog; true on OK.
  virtual bool ExecuteSpotlightSettingsDialog() { return false; }

  // ---- The document windows of the main window
  virtual void CascadeWindows() {}
  virtual void TileWindows(bool /*vertical*/) {}
  // Minimizes every document window not minimized (marking it); true when one was.
  virtual bool MinimizeAllWindows() { return false; }
  // Gives every marked window its remembered state back when it differs; clears the marks.
  virtual void UndoMinimizeAll() {}
  // The active document window's state: 0 normal, 1 minimized, 2 maximized.
  virtual void SetActiveWindowState(int32_t /*state*/) {}
  // The document list dialog with its caption, leaving out `exclude`; null on Cancel.
  virtual TDoc* ChooseOpenDocument(const std::string& /*caption*/, const TDoc* /*exclude*/,
                                   int32_t /*helpContext*/) {
    return nullptr;
  }
  virtual void ActivateDocument(TDoc& /*doc*/) {}

  // ---- Side by side (first and second document; null ends it)
  virtual void SetSideBySide(TDoc* /*first*/, TDoc* /*second*/) {}
  virtual bool SideBySideActive() { return false; }
  virtual TDoc* SideBySideDoc(int32_t /*index*/) { return nullptr; }
  // Each view remembers its vertical offset against the other's, for synchronized scrolling.
  virtual void RememberSideBySideOffsets() {}
  // The two documents exchange roles, placements, saved states, zooms and zoom modes.
  virtual void SwapSideBySide() {}

  // ---- Help, web pages, updates, About
  // The help start page, and the help page of a command; false when there is no help to open.
  virtual bool ShowHelpIndex() { return false; }
  virtual bool ShowHelp(int32_t /*id*/) { return false; }
  virtual void RunUpdateCheck() {}
  // The About box; false when none could be shown.
  virtual bool ShowAboutBox() { return false; }
};

void RegisterViewCommandServices(std::unique_ptr<TViewCommandServices> services);
TViewCommandServices& ViewCommandServices();

}  // namespace qv
