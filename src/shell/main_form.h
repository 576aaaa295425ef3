#pragma once
// TMainForm: the program's one main window, a frame of document windows. It owns the menu bar and
// the popup menus, the status bar and the queue of deferred work; it is the target
// of the system's notifications (system-wide hot keys, font and colour changes, the end of the
// session), of the single-instance requests and of the start-up-done message. Its idle hook and
// the one-pass interface update live in idle_work.cpp and interface_update.cpp, its timers in
// timers.cpp, its exception hook in exception_hook.cpp and the instance receiver in
// instance_receiver.cpp.
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls/mdi.h"
#include "platform/controls/menu.h"

namespace plat {
class MenuBar;
}  // namespace plat

namespace qv {

class TDoc;
class TStatusBar;
class TStatusBarSite;

class TMainForm : public plat::MdiFrame {
 public:
  // Messages of the main window.
  static constexpr uint32_t WM_INSTANCEMESSAGE = 0x7E8;  // WM_USER + 1000 (instance protocol)
  static constexpr uint32_t WM_STARTUPDONE = 0x7FC;      // WM_USER + 1020
  // System notifications it handles by their numbers.
  static constexpr uint32_t WM_SYSCOLORCHANGE = 0x0015;
  static constexpr uint32_t WM_DRAWCLIPBOARD = 0x0308;
  static constexpr uint32_t WM_CHANGECBCHAIN = 0x030D;
  static constexpr uint32_t WM_INPUTLANGCHANGEREQUEST = 0x0050;

  // Timers, started with the window handle.
  enum : uint32_t {
    tmPagination = 1,       // 100 ms
    tmFontOrder = 2,        // 15000 ms
    tmSpellcheck = 9,       // 10 ms
    tmSpellcheckIcon = 10,  // 300 ms
    tmPanning = 11,         // 1 ms
    tmControlCallback = 12, // 150 ms
    tmDocBarHover = 13,     // 1000 ms, started by the document bar
    tmHousekeeping = 100,   // 100 ms
  };

  // The system-wide hot key of Escape while a cancellable job runs.
  static constexpr int32_t kEscapeHotKey = 50;
  // The popup-menu slots: 0 the main menu, then the popup menus kept by name.
  static constexpr int32_t kMenuSlots = 28;

  // `screenshot`: where the window saves its image once it has been painted; empty for none.
  explicit TMainForm(std::string screenshot = {});
  ~TMainForm() override;

  // ---- Menus
  void CreateMenus();
  // The popup menu of a resource name, made on first use in its slot (1 to 27).
  plat::PopupMenu* GetPopupMenu(const std::string& name);
  void UpdateAllMenuCaptions();
  // The document window's spelling popup: the main window keeps it (freeing the one before),
  // notes whether it offers suggestions and shows it at the screen point, clear of `exclude`.
  void ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at,
                         const plat::Rect& exclude, bool suggestions);
  bool SpellingPopupSuggestions = false;
  plat::MainMenu& MainMenu() { return mainMenu_; }

  // ---- Captions and placement
  // The base caption, or "%s - [Project "%s"]" with a document project open.
  void UpdateMainCaption();
  // Every document window's caption from its document's name and state.
  void UpdateDocumentCaptions();
  // Centres the form on the main window with its bottom n status-bar heights above the main
  // window's bottom.
  void PlaceFormAtBottom(plat::Control& form, int32_t n);
  // The rectangle (screen coordinates) for a form of that size placed as above.
  static plat::Rect BottomPlacement(const plat::Rect& main, plat::Size form, int32_t n,
                                    int32_t statusBarHeight);
  // The area left for documents (client coordinates).
  plat::Rect GetClientArea();
  void HideFloatingDialogs();
  // A path shortened to the path width for status messages and file lists.
  std::string FitPathToWidth(const std::string& path);
  plat::Control& DocumentArea() { return ClientArea(); }

  // ---- Status message and progress (the status bar shows them)
  // Progress mode with position 0 and the text; only while the status bar is shown.
  void BeginProgress(int64_t maximum, const std::string& text);
  void SetProgressPos(int64_t position);
  // Leaves progress mode (optionally drawing the bar full first); only while it is shown.
  void EndProgress(bool showFullFirst);
  // Keep and put back the progress state around a nested job that uses the bar.
  void SaveProgress();
  void RestoreProgress();
  // A nesting pair: the first save keeps the message, the last restore puts it back.
  void SaveStatusMessage();
  void RestoreStatusMessage();
  // A plain message (an empty text clears it); a message of a kind (0 and no text clears it).
  void SetStatusMessage(const std::string& text);
  void SetStatusMessage(uint8_t kind, const std::u16string& text);
  void ResetStatusNesting() { statusNesting_ = 0; }
  const std::u16string& StatusMessage() const;
  TStatusBar& StatusBar() { return *statusBar_; }
  // The panel texts of the status bar, and whether it shows (part of the interface update).
  void UpdateStatusTexts();

  // ---- Cursor
  void ShowHourglass();
  void SynthesizeMouseMove();

  // ---- The interface update and idle work
  void RequestInterfaceUpdate() { UpdatePending = true; }
  void UpdateInterfaceState();
  void AppIdle();
  // While set, the interface update does nothing.
  bool UpdateBlocked = false;

  // ---- Timers, the exception hook and the instance receiver
  void WMTimer(uint32_t id);
  void AppException(const std::exception& e);
  uint8_t WMInstanceMessage(uint8_t code, const std::string& path);

  // ---- Closing
  // The main window's own close query (after every document agreed to close).
  bool FormCloseQuery();
  bool CloseQuery() override;

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

  // ---- State
  bool UpdatePending = false;
  bool UpdateRunning = false;
  bool ClipboardChanged = false;
  bool JoiningClipboardChain = false;
  bool AppActivated = false;
  bool RestoreCursor = false;
  bool SynthesizeMove = false;
  bool CloseAccepted = false;
  bool CloseQueryRunning = false;
  bool ProgressShown = false;
  bool FullScreen = false;
  bool ProjectOpen = false;
  // The typing mode the status bar shows: false "Ins", true "Ovr".
  bool OverwriteMode = false;
  std::string ProjectFileName;
  // The next window of the clipboard-viewer chain (0 none).
  plat::Hwnd NextClipboardViewer = 0;
  // The document to activate at the next idle pass.
  TDoc* DocToActivateLater = nullptr;
  // The tick of the last round of Safe Copies.
  uint32_t LastSafeCopiesTick = 0;
  // The tick at which the writing target's panel last blinked.
  uint32_t TargetBlinkTick = 0;
  // The spellcheck-in-progress icon's frame, 0 to 5.
  uint8_t SpellcheckIconFrame = 0;
  // A Down key press asked for by a document window's context menu.
  bool DownKeyPending = false;
  // A round of automatic backups is running.
  bool BackupRoundRunning = false;
  // The system caret width.
  int32_t CaretWidth = 2;
  // The monitor that holds the main window (origin and size), as of its last move.
  plat::Rect MonitorRect;
  // The callback a control registers for timer 12 (the character map while it has the focus,
  // the browse-list popup while it exists); null for none.
  std::function<void()> ControlTimerCallback;

  // The monitor of a window: the screen's size, its origin the window's centre rounded down to
  // a multiple of that size in each direction.
  static plat::Rect MonitorOf(const plat::Rect& window, plat::Size screen);

 protected:
  void HandleCreated() override;
  void HandleDestroying() override;
  void Resize() override;
  void Paint(plat::PaintContext& pc) override;

 private:
  struct TProgressState {
    bool Shown = false;
    int64_t Position = 0;
    int64_t Maximum = 0;
    std::u16string Text;
  };
  struct TStatusMessage {
    uint8_t Kind = 0;
    std::u16string Text;
  };

  void StartTimers();
  void StopTimers();
  void WMActivateApp(bool active);
  void WMHotKey(int32_t id);
  intptr_t WMChangeClipboardChain(plat::Hwnd removed, plat::Hwnd next);
  void WMDrawClipboard();
  void WMStartupDone();
  intptr_t WMQueryEndSession();
  void FitDocumentWindows();
  // Gives the keyboard focus to the active document's window; false when there is none to take it.
  bool FocusActiveDocument();
  void WindowMoved();
  void SaveScreenshot();

  plat::MainMenu mainMenu_;
  plat::MenuBar* menuBar_ = nullptr;
  // What the status bar asks of the main window (made before the bar).
  std::unique_ptr<TStatusBarSite> statusSite_;
  TStatusBar* statusBar_ = nullptr;
  std::array<std::unique_ptr<plat::PopupMenu>, kMenuSlots> popupMenus_;
  std::array<std::string, kMenuSlots> popupNames_;
  std::unique_ptr<plat::PopupMenu> spellingPopup_;
  TProgressState savedProgress_;
  int32_t statusNesting_ = 0;
  TStatusMessage savedStatus_;
  std::string screenshot_;
  bool screenshotPosted_ = false;
  bool timersRunning_ = false;
};

// The main window; null before it exists and from the start of its destruction.
TMainForm* GetMainForm();

}  // namespace qv
