#pragma once
// plat::Popup: a borderless top-level window that never takes the activation (drop-down lists,
// galleries, hints, completion lists). The keyboard focus stays with the control that opened
// it, which forwards the keys it wants. An open popup closes on Escape, on a click outside it
// (a click on its opener is left to the opener), when its opener's form is deactivated, and
// when its opener's form is hidden or destroyed.
#include <functional>

#include "platform/controls/control.h"

namespace plat {

enum class PopupCloseReason { Closed, Escape, ClickOutside, Deactivated };

class Popup : public Control {
 public:
  Popup();
  ~Popup() override;

  // Shows the popup at a screen rectangle; opener is the control it belongs to (its form owns
  // the popup's window). Opening an open popup moves it.
  void Open(const Rect& screen, Control* opener);
  void Close(PopupCloseReason reason = PopupCloseReason::Closed);
  bool IsOpen() const { return open_; }
  Control* Opener() const { return opener_; }

  // Called after the popup closed, with the reason.
  std::function<void(Popup&, PopupCloseReason)> OnClose;

 protected:
  bool IsTopLevelControl() const override { return true; }
  void FillCreateParams(CreateParams& p) override;
  // The opener going away closes the popup.
  void ControlGone(Control* gone) override;

 private:
  friend void DismissPopupsOf(const Control* form);
  void CloseSilently();

  Control* opener_ = nullptr;
  bool open_ = false;
};

// Closes the popup opened last (Escape); false when none is open.
bool CloseTopPopup();
// A mouse button went down on control c: every open popup that neither contains c nor was
// opened by c closes.
void ClosePopupsOutside(Control* c);
// Closes every open popup whose opener lives in the form (all when form is nullptr).
void ClosePopupsOf(const Control* form, PopupCloseReason reason);
// The same without calling OnClose, for a form being destroyed (whoever would hear of it may
// be gone already).
void DismissPopupsOf(const Control* form);
// The popups open now, oldest first.
std::vector<Popup*> OpenPopups();

}  // namespace plat
