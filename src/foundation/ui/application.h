#pragma once
// TApp: the single application object of the interface toolkit.
//
// It owns a hidden top-level window (never shown on screen), runs one step of the message loop
// at a time (HandleMessage), does the idle work between messages, drives the hints of all
// controls, keeps the program-wide focus state, and shows exceptions that reach the top level.
// The program's main loop is
//   while (!GetApp().Terminated) GetApp().HandleMessage();
// and every modal form runs the same step until it has a modal result (a modal form running
// when the loop takes WM_QUIT ends with mrCancel).
//
// Key messages are reflected through the key routing chain (key_routing.h) before they are
// dispatched; wheel messages go through the wheel routing; mouse moves over controls drive the
// hints. The end of the session (SIGTERM, or the X session closing the connection) arrives as
// WM_ENDSESSION at the hidden window: the settings are saved and the loop ends in order.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/control.h"
#include "platform/controls/form.h"
#include "platform/controls/hint_window.h"
#include "platform/win/window_system.h"

namespace qv {

// What a control may change before its hint is shown (sent by address in lParam of CM_HINTSHOW).
struct THintWindowClass;
struct THintInfo {
  plat::Control* HintControl = nullptr;
  bool HintAbove = false;           // place the hint above the control
  bool HintBeside = false;          // place it to the right of the control
  bool HintAtCursorHeight = false;  // with HintBeside: the hint's top is the cursor's y
  bool HintSelfPlaced = false;      // no placement at all
  const THintWindowClass* HintWindowClass = nullptr;
  plat::Point HintPos;              // screen point of the hint's top-left
  int32_t HintMaxWidth = 0;
  plat::Point CursorPos;            // the cursor in the control's client coordinates
  int32_t ReshowTimeout = 0;        // ms; > 0: ask the control again after that time
  int32_t HideTimeout = 0;          // ms the hint stays
  std::u16string HintStr;
  intptr_t HintData = 0;            // a shown hint with the same non-zero data is not redrawn
};

// The window that shows hints: the class layer's hint window, with the three operations the
// application object asks of a hint window class open to other classes.
class THintWindow : public plat::HintWindow {
 public:
  // The rectangle (top-left at 0, 0) the text needs at most maxWidth wide.
  virtual plat::Rect MeasureHint(int32_t maxWidth, const std::u16string& text) {
    return CalcHintRect(maxWidth, text);
  }
  // Shows the text in a screen rectangle, kept on the screen, above other windows.
  virtual void ShowHint(const plat::Rect& screen, const std::u16string& text) {
    ActivateHint(screen, text);
  }
  // True when a loop message ends hints (keys, mouse buttons and the wheel, commands,
  // activation changes).
  virtual bool EndsHint(const plat::Msg& msg) const { return IsHintMsg(msg); }
};

// A hint window class: a name that identifies it and the way to make one.
struct THintWindowClass {
  const char* Name;
  std::unique_ptr<THintWindow> (*Make)();
};
const THintWindowClass& PlainHintWindowClass();

// The program's own cursors by name (the cursor table's entries without a system shape). The
// resource subsystem registers its loader; until then they show the arrow.
class TCursorLoader {
 public:
  virtual ~TCursorLoader() = default;
  virtual plat::CursorShape Load(const std::string& name) { return plat::CursorShape::Arrow; }
};
// Registers the loader (null restores the default); the registered one, never null.
void RegisterCursorLoader(std::unique_ptr<TCursorLoader> loader);
TCursorLoader& CursorLoader();

// A routine that sees the hidden window's messages first; true ends their processing.
using TWindowHook =
    std::function<bool(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result)>;

class TApp {
 public:
  TApp();
  ~TApp();
  TApp(const TApp&) = delete;
  TApp& operator=(const TApp&) = delete;

  plat::Control* MouseControl = nullptr;
  bool HintActive = false;
  int32_t HintPause = 500;
  int32_t HintShortPause = 50;
  uint32_t HintHidePause = 15000;
  plat::Form* MainForm = nullptr;
  std::string Title;
  plat::Control* ActiveControl = nullptr;
  plat::Form* ActiveForm = nullptr;
  plat::Form* FocusedForm = nullptr;
  bool Terminated = false;
  bool Active = false;
  plat::Control* HintControl = nullptr;

  // Installed by the main window.
  std::function<void(void* sender, const std::exception& e)> OnException;
  std::function<void(plat::Msg& msg, bool& handled)> OnMessage;
  std::function<void()> OnIdle;
  // The program's order at the end of the session; the default saves the settings.
  std::function<void()> OnEndSession;

  plat::Hwnd Handle() const;

  // One step of the loop: a message, or else the idle work and a wait for the next message.
  void HandleMessage();
  // Takes and handles one message; false when none was waiting.
  bool ProcessMessage();
  void ProcessMessages();
  // Ends the loop after the current step.
  void Terminate();
  // Shows the exception being handled (call inside a catch block).
  void HandleException(void* sender);
  // Shows the plain box with the program's other windows disabled; restores the active window.
  int32_t MessageBox(const std::string& text, const std::string& caption, uint32_t flags);
  // The cursor of an id 0..63 (see the cursor table; the program's own through CursorLoader);
  // loaded once and kept.
  plat::CursorShape GetCursor(int32_t index);

  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }
  void BringPopupToFront();
  void UpdateVisible();
  bool AppWindowVisible() const { return appWindowVisible_; }
  void SetAppWindowVisible(bool v) { appWindowVisible_ = v; }
  void NormalizeTopMosts(bool includeMain);
  void RestoreTopMosts();
  // Returns an id for UnhookMainWindow.
  int32_t HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int32_t id);
  void ControlDestroyed(plat::Control* control);

  // Hints.
  void HintMouseMessage(plat::Control& control, plat::Point client);
  void ActivateHint(plat::Point screen);
  void CancelHint();
  void HideHint();
  void StartHintTimer(uint32_t ms, uint8_t mode);
  void StopHintTimer();
  void HintTimerExpired();
  THintWindow* HintWindow() { return hintWindow_.get(); }
  uint32_t HintTimerId() const { return hintTimer_; }

  // The hidden window's message handling.
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);

 private:
  class AppWindow;
  void Idle();
  bool IsMDIMsg(const plat::Msg& msg);
  bool IsKeyMsg(plat::Msg& msg);
  bool IsHintMsg(const plat::Msg& msg);
  void UpdateFocusState();
  void EndSession();
  void ShowHint(const THintInfo& info);

  std::unique_ptr<AppWindow> window_;
  std::unique_ptr<THintWindow> hintWindow_;
  const THintWindowClass* hintClass_ = nullptr;
  uint8_t hintTimerMode_ = 0;
  uint32_t hintTimer_ = 0;
  std::vector<plat::Hwnd> topMostList_;
  int32_t topMostLevel_ = 0;
  std::vector<std::pair<int32_t, TWindowHook>> hooks_;
  int32_t nextHookId_ = 1;
  std::vector<plat::Hwnd> taskWindows_;
  bool haveTaskWindows_ = false;
  plat::CursorShape cursors_[64];
  bool cursorLoaded_[64] = {};
  bool minimized_ = false;
  bool appWindowVisible_ = false;
  bool endingSession_ = false;
};

// The program-wide application object, made on first use (after the window system started).
TApp& GetApp();
bool AppExists();
// Frees it (at the very end, and between tests).
void FreeApp();

// The last WM_CHAR the loop saw waiting, whole: the document window reads its character when
// the character it received could not be held by the code page.
extern plat::Msg LastWideCharMessage;

// An interface byte string (UTF-8, or the Western code page where it is not) as wide text.
std::u16string InterfaceText(const std::string& text);

}  // namespace qv
