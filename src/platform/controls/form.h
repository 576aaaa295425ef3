#pragma once
// plat::Form: a top-level window with controls (dialogs, tool windows, the main window) or, as
// a document child of a multiple-document frame, a child window with its own caption.
//
// - Show() shows a form without waiting; ShowModal() disables the program's other forms, runs
//   a nested message loop until ModalResult is set (a button with a modal result sets it;
//   Close() and the window manager's close box set mrCancel) and the close query agrees, then
//   hides the form, enables the others again and returns the result. WM_QUIT during a modal
//   loop ends it with mrCancel (and is posted again for the enclosing loop).
// - Keys: with KeyPreview the form's OnKeyDown/OnKeyPress see a key before the focused control.
//   Tab and Shift+Tab move the focus in Tab order; arrows move it among the controls of one
//   parent (checking radio buttons); Enter clicks the default button (or the focused button);
//   Escape clicks the cancel button; Alt+letter (or the plain letter when the focused control
//   does not take characters) acts on the control whose caption has that "&" letter.
// - Sizes are designed for an interface font 13 pixels high: ApplyInterfaceScale() scales the
//   form and its controls by the real height over 13 when that is 14 or more.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/controls/control.h"

namespace plat {

// Modal results.
constexpr int32_t mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                  mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class FormStyle { Normal, StayOnTop, MdiChild };
enum class FormPosition { Designed, ScreenCenter, OwnerCenter };
enum class CloseAction { None, Hide, Free, Minimize };

class Form : public Control {
 public:
  // owner: the form this one stays above (tool windows, dialogs); nullptr for none.
  explicit Form(Form* owner = nullptr);
  ~Form() override;

  Form* Owner() const { return owner_; }
  void SetOwner(Form* owner);

  // ---- Showing ----
  void SetVisible(bool v) override;
  int32_t ShowModal();
  bool Modal() const { return modal_; }
  // Asks the close query; closes (hides) the form, or ends the modal loop with mrCancel.
  void Close();
  // The close query: OnCloseQuery (default: true).
  virtual bool CloseQuery();
  int32_t ModalResult() const { return modalResult_; }
  // Setting a result wakes a waiting loop, so a modal loop ends even when the result was set
  // by an idle step.
  void SetModalResult(int32_t r);

  BorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(BorderStyle b) { borderStyle_ = b; }
  FormStyle GetFormStyle() const { return formStyle_; }
  void SetFormStyle(FormStyle s);
  FormPosition Position() const { return position_; }
  void SetPosition(FormPosition p) { position_ = p; }
  WindowState GetWindowState() const { return windowState_; }
  virtual void SetWindowState(WindowState s);
  // Client size of the form (the bounds are set from it).
  void SetClientSize(int32_t width, int32_t height);
  // Whether the form is the active top-level window (or, for a document child, the frame's
  // active child).
  bool Active() const;

  // ---- Keyboard ----
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  // The control that has (or gets, when the form is next active) the focus.
  Control* ActiveControl() const { return activeControl_; }
  void SetActiveControl(Control* c);
  // Moves the focus to the next (or previous) control after cur in Tab order; with tabStopOnly
  // controls without TabStop are skipped. False when there was none to move to.
  bool SelectNext(Control* cur, bool forward, bool tabStopOnly);
  // Focusable controls of the form in Tab order (visible, enabled, with tab stop when asked).
  std::vector<Control*> FocusOrder(bool tabStopOnly) const;
  // The form's dialog-key handling: Tab, arrows, Enter, Escape move the focus or go to the
  // default and cancel buttons; every other key (but a modifier alone) is offered to the
  // controls' DialogKey (a menu bar runs its shortcuts and enters the bar on F10). True when
  // taken.
  virtual bool FormDialogKey(uint8_t vk, ShiftState shift);
  // A key-down the focused control's routing chain left (not a navigation key, Enter or
  // Escape, which the chain offers itself): offered to FormDialogKey before the key preview
  // and the control, so menu shortcuts work whatever control has the focus.
  bool FormShortCut(uint8_t vk, ShiftState shift);
  // The mnemonic handling: true when a control took the character.
  virtual bool FormDialogChar(char16_t ch);
  // The form this form lies inside (a document window's main window); null for a top-level form.
  Form* OuterForm() const;

  // ---- Interface scale ----
  // Scales the form's design sizes for the interface font height (scale over 13 from 14 up).
  void ApplyInterfaceScale();

  // ---- Events ----
  std::function<void(Form&, bool& canClose)> OnCloseQuery;
  std::function<void(Form&, CloseAction& action)> OnClose;
  std::function<void(Form&)> OnShow;
  std::function<void(Form&)> OnHide;
  std::function<void(Form&)> OnActivate;
  std::function<void(Form&)> OnDeactivate;
  // Called when a form closes with CloseAction::Free: its owner should destroy it (later, not
  // from inside the call).
  std::function<void(Form&)> OnRelease;

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

  // Runs the nested loop of a modal form; the application object may install its own loop
  // step. done() becomes true when the loop must end; return false when WM_QUIT ended it.
  using ModalLoopRunner = std::function<bool(const std::function<bool()>& done)>;
  static void SetModalLoopRunner(ModalLoopRunner runner);

  // Told of every form's life (the application object keeps its list of forms with it).
  enum class Event { Created, Destroyed, Shown, Hidden, Activated, Deactivated };
  static void SetEventHook(std::function<void(Form&, Event)> hook);

 protected:
  void FillCreateParams(CreateParams& p) override;
  bool IsTopLevelControl() const override { return true; }
  void DoEnter() override {}
  void DoExit() override {}
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activated();
  virtual void Deactivated();
  // A control of the form (or the form itself) took the focus.
  virtual void FocusNoted(Control*) {}
  void HandleCreated() override;
  void HandleDestroying() override;
  void Paint(PaintContext& pc) override;

 private:
  friend class Control;
  void PlaceBeforeShow();
  void NoteFocus(Control* c);
  bool MoveByArrow(Control* cur, bool forward);

  Form* owner_ = nullptr;
  Control* activeControl_ = nullptr;
  int32_t modalResult_ = mrNone;
  bool modal_ = false;
  bool keyPreview_ = false;
  bool altAlone_ = false;  // Alt went down and nothing else since: its release enters the menu bar
  bool shownOnce_ = false;
  bool scaled_ = false;
  bool handleReady_ = false;  // created: size messages now tell the window manager's state
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  FormStyle formStyle_ = FormStyle::Normal;
  FormPosition position_ = FormPosition::Designed;
  WindowState windowState_ = WindowState::Normal;
  Rect restoreBounds_;
};

}  // namespace plat
