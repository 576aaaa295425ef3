#include "platform/controls/form.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/controls/popup.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

Form::ModalLoopRunner& Runner() {
  static Form::ModalLoopRunner runner;
  return runner;
}

void CollectFocusable(const Control& parent, bool tabStopOnly, std::vector<Control*>& out) {
  for (Control* c : parent.TabList()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (dynamic_cast<Form*>(c)) continue;  // a document child form keeps its own order
    if (c->AcceptsFocus() && (!tabStopOnly || c->TabStop()) && c->CanFocus()) out.push_back(c);
    CollectFocusable(*c, tabStopOnly, out);
  }
}

// Offers a dialog key or character to every shown, enabled control of the form, the focused one
// first.
template <class F>
bool Broadcast(Form& form, Control* first, F offer) {
  if (first && first->Showing() && first->EnabledInTree() && offer(*first)) return true;
  std::vector<Control*> all;
  std::vector<Control*> stack(form.TabList().rbegin(), form.TabList().rend());
  while (!stack.empty()) {
    Control* c = stack.back();
    stack.pop_back();
    if (!c->Visible() || !c->Enabled() || dynamic_cast<Form*>(c)) continue;
    all.push_back(c);
    stack.insert(stack.end(), c->TabList().rbegin(), c->TabList().rend());
  }
  for (Control* c : all)
    if (c != first && c->Showing() && offer(*c)) return true;
  return false;
}

std::function<void(Form&, Form::Event)>& EventHook() {
  static std::function<void(Form&, Form::Event)> hook;
  return hook;
}

void Tell(Form& f, Form::Event e) {
  if (EventHook()) EventHook()(f, e);
}

}  // namespace

void Form::SetEventHook(std::function<void(Form&, Event)> hook) { EventHook() = std::move(hook); }

void Form::SetModalLoopRunner(ModalLoopRunner runner) { Runner() = std::move(runner); }

Form::Form(Form* owner) : owner_(owner) {
  Control::SetVisible(false);
  SetAcceptsFocus(true);
  SetBounds(0, 0, 400, 300);
  Tell(*this, Event::Created);
}

Form::~Form() {
  DismissPopupsOf(this);
  Tell(*this, Event::Destroyed);
}

void Form::SetOwner(Form* owner) { owner_ = owner; }

void Form::SetFormStyle(FormStyle s) {
  if (s == formStyle_) return;
  formStyle_ = s;
  if (Handle() && s != FormStyle::MdiChild && !Parent())
    SetWindowPos(Handle(), s == FormStyle::StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, {}, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::FillCreateParams(CreateParams& p) {
  Control::FillCreateParams(p);
  p.style &= ~WS_VISIBLE;
  p.classStyle = CS_DBLCLKS;
  if (Parent()) {
    p.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    return;
  }
  p.parent = 0;
  p.owner = owner_ ? owner_->HandleNeeded() : 0;
  switch (borderStyle_) {
    case BorderStyle::None: p.style = WS_POPUP; break;
    case BorderStyle::Single:
    case BorderStyle::Dialog:
    case BorderStyle::ToolWindow: p.style = WS_CAPTION | WS_SYSMENU; break;
    case BorderStyle::Sizeable:
    case BorderStyle::SizeToolWin: p.style = WS_OVERLAPPEDWINDOW; break;
  }
  p.style |= WS_CLIPCHILDREN | (Enabled() ? 0 : WS_DISABLED);
  if (borderStyle_ == BorderStyle::ToolWindow || borderStyle_ == BorderStyle::SizeToolWin)
    p.exStyle |= WS_EX_TOOLWINDOW;
  if (formStyle_ == FormStyle::StayOnTop) p.exStyle |= WS_EX_TOPMOST;
}

// ---- Showing ----

void Form::PlaceBeforeShow() {
  Rect b = BoundsRect();
  Rect area = GetScreenRect();
  if (position_ == FormPosition::OwnerCenter && owner_ && owner_->Handle() && !owner_->Parent())
    area = owner_->BoundsRect();
  else if (position_ == FormPosition::Designed)
    return;
  int32_t l = area.left + (area.Width() - b.Width()) / 2;
  int32_t t = area.top + (area.Height() - b.Height()) / 2;
  SetBounds(l, t, b.Width(), b.Height());
}

void Form::SetVisible(bool v) {
  if (v == Visible() && (!v || Showing() || !Parent() || Parent()->Showing())) {
    if (v && Handle() && !Parent()) BringWindowToTop(Handle());
    return;
  }
  if (v) {
    HandleNeeded();
    if (!shownOnce_) PlaceBeforeShow();
    shownOnce_ = true;
    Control::SetVisible(true);
    if (Handle() && Parent()) BringWindowToTop(Handle());
    // OnShow runs once the window is shown and active, so what it does goes to this form.
    DoShow();
    if (Handle() && Parent()) plat::SetFocus(Handle());
  } else {
    ClosePopupsOf(this, PopupCloseReason::Closed);
    Control::SetVisible(false);
    DoHide();
  }
}

void Form::DoShow() {
  Tell(*this, Event::Shown);
  if (OnShow) OnShow(*this);
}

void Form::DoHide() {
  Tell(*this, Event::Hidden);
  if (OnHide) OnHide(*this);
}

void Form::Activated() {
  Tell(*this, Event::Activated);
  if (OnActivate) OnActivate(*this);
}

void Form::Deactivated() {
  ClosePopupsOf(this, PopupCloseReason::Deactivated);
  Tell(*this, Event::Deactivated);
  if (OnDeactivate) OnDeactivate(*this);
}

bool Form::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(*this, can);
  return can;
}

void Form::SetModalResult(int32_t r) {
  modalResult_ = r;
  if (r != mrNone) WakeUp();
}

void Form::Close() {
  if (modal_) {
    if (modalResult_ == mrNone) SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  switch (action) {
    case CloseAction::None: return;
    case CloseAction::Minimize: SetWindowState(WindowState::Minimized); return;
    case CloseAction::Hide: Hide(); return;
    case CloseAction::Free:
      Hide();
      if (OnRelease) OnRelease(*this);
      return;
  }
}

int32_t Form::ShowModal() {
  if (modal_ || !HandleNeeded()) return mrCancel;
  Hwnd self = Handle();
  Hwnd previous = GetActiveWindow();
  std::vector<Hwnd> disabled;
  for (Hwnd t : GetTopLevelWindows()) {
    if (t == self || IsDescendant(self, t) || !IsWindowShown(t) || !IsWindowEnabled(t)) continue;
    EnableWindow(t, false);
    disabled.push_back(t);
  }
  modal_ = true;
  modalResult_ = mrNone;
  SetVisible(true);
  SetActiveWindow(self);
  auto done = [&] {
    if (!IsWindow(self)) {
      if (modalResult_ == mrNone) modalResult_ = mrCancel;
      return true;
    }
    if (modalResult_ == mrNone) return false;
    bool can = CloseQuery();
    CloseAction action = can ? CloseAction::Hide : CloseAction::None;
    if (can && OnClose) OnClose(*this, action);
    if (action == CloseAction::None) {
      modalResult_ = mrNone;
      return false;
    }
    return true;
  };
  bool ended = Runner() ? Runner()(done) : RunModalLoop(done);
  if (!ended && modalResult_ == mrNone) modalResult_ = mrCancel;
  modal_ = false;
  for (Hwnd t : disabled)
    if (IsWindow(t)) EnableWindow(t, true);
  if (IsWindow(self)) SetVisible(false);
  if (previous && IsWindow(previous) && previous != self) SetActiveWindow(previous);
  return modalResult_;
}

void Form::SetWindowState(WindowState s) {
  if (s == windowState_) return;
  if (!Parent()) {
    // A top-level form: the window system keeps the restored bounds.
    windowState_ = s;
    if (Handle()) plat::SetWindowState(Handle(), s);
    return;
  }
  WindowState old = windowState_;
  windowState_ = s;
  if (s == WindowState::Maximized) {
    if (old == WindowState::Normal) restoreBounds_ = BoundsRect();
    Rect area = Parent() ? Parent()->ClientRect() : GetScreenRect();
    SetBounds(area);
  } else if (s == WindowState::Normal && old == WindowState::Maximized) {
    SetBounds(restoreBounds_);
  } else if (s == WindowState::Minimized) {
    if (old == WindowState::Normal) restoreBounds_ = BoundsRect();
    Control::SetVisible(false);
  }
  if (old == WindowState::Minimized && s != WindowState::Minimized) Control::SetVisible(true);
}

void Form::SetClientSize(int32_t width, int32_t height) {
  Rect b = BoundsRect();
  Rect c = ClientRect();
  SetBounds(b.left, b.top, width + b.Width() - c.Width(), height + b.Height() - c.Height());
}

bool Form::Active() const {
  if (!Handle()) return false;
  if (Parent()) return GetFocus() && IsDescendant(Handle(), GetFocus());
  return GetActiveWindow() == Handle();
}

// ---- Keyboard ----

void Form::NoteFocus(Control* c) {
  activeControl_ = c;
  FocusNoted(c);
}

void Form::HandleCreated() {
  handleReady_ = true;
  if (!Parent() && windowState_ != WindowState::Normal) plat::SetWindowState(Handle(), windowState_);
  // A form made again (moved to another parent) shows itself as it was.
  if (Visible() && Handle()) ShowWindow(Handle(), true);
}

void Form::SetActiveControl(Control* c) {
  if (c && !ContainsControl(c)) return;
  activeControl_ = c;
  if (c && Showing()) c->SetFocus();
}

void Form::HandleDestroying() { handleReady_ = false; }

std::vector<Control*> Form::FocusOrder(bool tabStopOnly) const {
  std::vector<Control*> out;
  CollectFocusable(*this, tabStopOnly, out);
  return out;
}

bool Form::SelectNext(Control* cur, bool forward, bool tabStopOnly) {
  std::vector<Control*> order = FocusOrder(tabStopOnly);
  if (order.empty()) return false;
  auto it = std::find(order.begin(), order.end(), cur);
  // The focus may be inside a compound control (the field of a combo box): start from it.
  for (Control* up = cur; it == order.end() && up; up = up->Parent())
    it = std::find(order.begin(), order.end(), up);
  Control* next;
  if (it == order.end()) {
    next = forward ? order.front() : order.back();
  } else {
    size_t i = size_t(it - order.begin()), n = order.size();
    next = order[forward ? (i + 1) % n : (i + n - 1) % n];
  }
  next->SetFocus();
  return true;
}

bool Form::MoveByArrow(Control* cur, bool forward) {
  if (!cur || !cur->Parent()) return false;
  std::vector<Control*> sib;
  for (Control* c : cur->Parent()->TabList())
    if (c->AcceptsFocus() && c->CanFocus() && !dynamic_cast<Form*>(c)) sib.push_back(c);
  auto it = std::find(sib.begin(), sib.end(), cur);
  if (it == sib.end() || sib.size() < 2) return false;
  size_t i = size_t(it - sib.begin()), n = sib.size();
  Control* next = sib[forward ? (i + 1) % n : (i + n - 1) % n];
  next->SetFocus();
  next->ArrowFocused();
  return true;
}

bool Form::FormDialogKey(uint8_t vk, ShiftState shift) {
  ShiftState mods = shift & (ssShift | ssAlt | ssCtrl);
  switch (vk) {
    case VK_TAB:
      if (mods & (ssAlt | ssCtrl)) return false;
      SelectNext(activeControl_, !(mods & ssShift), true);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (mods) return false;
      MoveByArrow(activeControl_, vk == VK_RIGHT || vk == VK_DOWN);
      return true;
    case VK_RETURN:
    case VK_ESCAPE:
      if (mods & (ssAlt | ssCtrl)) return false;
      return Broadcast(*this, activeControl_, [&](Control& c) { return c.DialogKey(vk, mods); });
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
      return false;
    default:
      if (Broadcast(*this, activeControl_, [&](Control& c) { return c.DialogKey(vk, mods); }))
        return true;
      // A form inside another form (a document window in the main window) leaves the keys
      // none of its controls take to the form around it, whose menu bar has F10 and the
      // menus' keys.
      if (Form* outer = OuterForm()) return outer->FormDialogKey(vk, shift);
      return false;
  }
}

Form* Form::OuterForm() const { return Parent() ? Parent()->ParentForm() : nullptr; }

bool Form::FormShortCut(uint8_t vk, ShiftState shift) {
  switch (vk) {
    case VK_TAB: case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: case VK_EXECUTE:
      return false;
    default:
      return FormDialogKey(vk, shift);
  }
}

bool Form::FormDialogChar(char16_t ch) {
  if (Broadcast(*this, nullptr, [&](Control& c) { return c.DialogChar(ch); })) return true;
  Form* outer = OuterForm();
  return outer != nullptr && outer->FormDialogChar(ch);
}

void Form::ApplyInterfaceScale() {
  if (scaled_) return;
  scaled_ = true;
  int32_t s = InterfaceScale();
  if (s >= 14) ScaleBy(s, 13);
}

void Form::Paint(PaintContext& pc) {
  if (pc.canvas) pc.canvas->FillRegion(pc.region, BackColor());
}

intptr_t Form::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SETFOCUS:
      FocusNoted(this);
      if (activeControl_ && activeControl_ != this && activeControl_->CanFocus())
        activeControl_->SetFocus();
      else
        SelectNext(nullptr, true, true);
      return 0;
    case WM_KILLFOCUS:
      return 0;
    case WM_ACTIVATE: {
      altAlone_ = false;  // an Alt released after switching windows (Alt+Tab) is no menu key
      intptr_t r = Control::WndProc(msg, wParam, lParam);
      if (LoWord(wParam) != WA_INACTIVE) Activated();
      else Deactivated();
      return r;
    }
    case WM_SIZE:
      // The window manager may maximise, minimise or restore a top-level form.
      if (!Parent() && handleReady_)
        windowState_ = wParam == SIZE_MAXIMIZED   ? WindowState::Maximized
                       : wParam == SIZE_MINIMIZED ? WindowState::Minimized
                                                  : WindowState::Normal;
      return Control::WndProc(msg, wParam, lParam);
    case WM_DESTROY:
      handleReady_ = false;
      return Control::WndProc(msg, wParam, lParam);
    case WM_CANCELMODE:
      ClosePopupsOf(this, PopupCloseReason::Deactivated);
      return 0;
    default:
      return Control::WndProc(msg, wParam, lParam);
  }
}

}  // namespace plat
