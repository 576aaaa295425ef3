#include "platform/controls/control.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "platform/controls/align.h"
#include "platform/controls/control_look.h"
#include "platform/controls/form.h"
#include "platform/controls/popup.h"
#include "platform/gfx/canvas.h"
#include "platform/system/mul_div.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

Control::HotKeyHandler& HotKeys() {
  static Control::HotKeyHandler handler;
  return handler;
}

std::function<void(Control*)>& DestroyHook() {
  static std::function<void(Control*)> hook;
  return hook;
}

// The control the mouse is over (for enter and leave).
Control* g_hot = nullptr;

// Every live control, so that references to a destroyed one can be dropped.
std::unordered_set<Control*>& LiveControls() {
  static std::unordered_set<Control*> live;
  return live;
}

void Erase(std::vector<Control*>& v, Control* c) { v.erase(std::remove(v.begin(), v.end(), c), v.end()); }

MouseButton ButtonOf(uint32_t msg) {
  switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return MouseButton::Right;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}


// The special keys with the WM_GETDLGCODE bit by which a control keeps one from its form:
// Cancel, Enter and Execute want all keys, Tab wants Tab, the arrows want arrows. Escape has
// no bit (it always reaches the form first); 0 for any other key.
uint32_t SpecialKeyMask(uintptr_t vk) {
  switch (vk) {
    case VK_CANCEL:
    case VK_RETURN:
    case VK_EXECUTE:
      return DLGC_WANTALLKEYS;
    case VK_TAB:
      return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      return DLGC_WANTARROWS;
    default:
      return 0;
  }
}

// The code point a character message carries (one per code point); a value past the last code
// point becomes the replacement character rather than being cut to 16 bits.
char32_t CodePointOf(uintptr_t wParam) { return wParam > 0x10FFFF ? U'\uFFFD' : char32_t(wParam); }
char16_t HighSurrogateOf(char32_t cp) { return char16_t(0xD800 + ((cp - 0x10000) >> 10)); }
char16_t LowSurrogateOf(char32_t cp) { return char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)); }

}  // namespace

ShiftState CurrentShiftState() {
  ShiftState s = 0;
  if (GetKeyState(VK_SHIFT) & 0x8000) s |= ssShift;
  if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) & 0x8000) s |= ssCtrl;
  if (GetKeyState(VK_LBUTTON) & 0x8000) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) & 0x8000) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) & 0x8000) s |= ssMiddle;
  return s;
}

Control* FindControl(Hwnd h) { return dynamic_cast<Control*>(FromHandle(h)); }

void Control::SetDestroyHook(std::function<void(Control*)> hook) { DestroyHook() = std::move(hook); }
void Control::SetHotKeyHandler(HotKeyHandler handler) { HotKeys() = std::move(handler); }

Control::Control() : bounds_{0, 0, 100, 24}, font_(InterfaceFont()), textColor_(Look().Text) {
  SetBackgroundColor(Look().Face);
  LiveControls().insert(this);
}

Control::~Control() {
  LiveControls().erase(this);
  if (DestroyHook()) DestroyHook()(this);
  std::vector<Control*> others(LiveControls().begin(), LiveControls().end());
  for (Control* c : others) {
    if (!LiveControls().count(c)) continue;
    if (c->WheelScrollBar == this) c->WheelScrollBar = nullptr;
    c->ControlGone(this);
  }
  if (g_hot == this) g_hot = nullptr;
  if (Form* f = ParentForm(); f && f != this && f->activeControl_ == this) f->activeControl_ = nullptr;
  Destroy();
  // Owned children go first; the rest only lose their parent.
  auto owned = std::move(owned_);
  owned.clear();
  for (Control* c : children_) c->parent_ = nullptr;
  children_.clear();
  tabList_.clear();
  if (parent_) parent_->DetachChild(this);
}

// ---- Tree ----

Control& Control::Adopt(std::unique_ptr<Control> child) {
  Control& c = *child;
  owned_.push_back(std::move(child));
  c.SetParent(this);
  return c;
}

void Control::DetachChild(Control* c) {
  Erase(children_, c);
  Erase(tabList_, c);
  if (c->align_ != Align::None) Realign();
}

void Control::AttachChild(Control* c) {
  children_.push_back(c);
  tabList_.push_back(c);
}

void Control::SetParent(Control* parent) {
  if (parent == parent_ || parent == this || (parent && ContainsControl(parent))) return;
  Form* oldForm = ParentForm();
  if (oldForm && oldForm != this && oldForm->activeControl_ && ContainsControl(oldForm->activeControl_))
    oldForm->activeControl_ = nullptr;
  // A child moving between two parents that have handles keeps its handles (and the focus).
  if (Handle() && parent_ && parent && parent->Handle() && !IsTopLevelControl()) {
    MoveHandle(parent);
    return;
  }
  DestroyHandleTree();
  Control* old = parent_;
  if (old) old->DetachChild(this);
  parent_ = parent;
  if (parent_) parent_->AttachChild(this);
  if (parent_ ? parent_->HandleAllocated() : IsTopLevelControl()) CreateHandleTree();
  if (parent_ && align_ != Align::None) parent_->Realign();
  Invalidate();
}

void Control::MoveHandle(Control* parent) {
  parent_->DetachChild(this);
  parent_ = parent;
  parent_->AttachChild(this);
  plat::SetParent(Handle(), parent_->Handle());
  if (Form* f = ParentForm(); f && f != this) {
    if (Control* focused = FindControl(GetFocus()); focused && ContainsControl(focused)) f->activeControl_ = focused;
  }
  if (align_ != Align::None) parent_->Realign();
  Invalidate();
}

Form* Control::ParentForm() const {
  for (const Control* c = this; c; c = c->parent_)
    if (auto* f = dynamic_cast<const Form*>(c)) return const_cast<Form*>(f);
  return nullptr;
}

bool Control::ContainsControl(const Control* c) const {
  for (; c; c = c->parent_)
    if (c == this) return true;
  return false;
}

// ---- Handle ----

void Control::FillCreateParams(CreateParams& p) {
  p.parent = parent_ ? parent_->Handle() : 0;
  p.bounds = bounds_;
  p.text = caption_;
  p.style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED) |
            (tabStop_ ? WS_TABSTOP : 0);
  p.classStyle = CS_DBLCLKS;
}

void Control::CreateHandleTree() {
  if (!Handle()) {
    if (parent_ && !parent_->Handle()) return;
    if (!parent_ && !IsTopLevelControl()) return;
    CreateParams p;
    FillCreateParams(p);
    if (!Create(p)) return;
    HandleCreated();
  }
  for (Control* c : children_) c->CreateHandleTree();
  Realign();
}

void Control::DestroyHandleTree() {
  if (!Handle()) return;
  if (GetCapture() == Handle()) ReleaseCapture();
  HandleDestroying();
  Destroy();
}

Hwnd Control::HandleNeeded() {
  if (Handle()) return Handle();
  if (parent_) parent_->HandleNeeded();
  CreateHandleTree();
  return Handle();
}

// ---- Geometry ----

Rect Control::BoundsRect() const { return bounds_; }

void Control::SetBounds(const Rect& r) {
  if (r == bounds_) return;
  bool sized = r.Width() != bounds_.Width() || r.Height() != bounds_.Height();
  bounds_ = r;
  if (Handle()) MoveWindow(Handle(), r);
  if (sized) {
    Realign();
    Resize();
  }
  RequestParentRealign();
}

void Control::SetLeft(int32_t v) { SetBounds(v, Top(), Width(), Height()); }
void Control::SetTop(int32_t v) { SetBounds(Left(), v, Width(), Height()); }
void Control::SetWidth(int32_t v) { SetBounds(Left(), Top(), v, Height()); }
void Control::SetHeight(int32_t v) { SetBounds(Left(), Top(), Width(), v); }

Rect Control::ClientRect() const {
  if (Handle()) return GetClientRect(Handle());
  return {0, 0, std::max(0, bounds_.Width()), std::max(0, bounds_.Height())};
}

Point Control::ClientToScreen(Point p) const {
  if (Handle()) return plat::ClientToScreen(Handle(), p);
  Point o{bounds_.left + p.x, bounds_.top + p.y};
  return parent_ ? parent_->ClientToScreen(o) : o;
}

Point Control::ScreenToClient(Point p) const {
  if (Handle()) return plat::ScreenToClient(Handle(), p);
  Point o = ClientToScreen({0, 0});
  return {p.x - o.x, p.y - o.y};
}

void Control::SetAlign(Align a) {
  if (a == align_) return;
  align_ = a;
  RequestParentRealign();
}

void Control::RequestParentRealign() {
  if (parent_ && align_ != Align::None && !parent_->realigning_) parent_->Realign();
}

void Control::Realign() {
  if (realigning_) return;
  realigning_ = true;
  AlignChildren(*this);
  realigning_ = false;
}

void Control::ScaleBy(int32_t m, int32_t d) {
  if (d == 0 || m == d) return;
  Rect b = bounds_;
  int32_t w = MulDiv(b.Width(), m, d), h = MulDiv(b.Height(), m, d);
  bool topLevel = parent_ == nullptr;
  int32_t l = topLevel ? b.left : MulDiv(b.left, m, d);
  int32_t t = topLevel ? b.top : MulDiv(b.top, m, d);
  if (!parentFont_) {
    LogFont lf = font_.Log();
    lf.Height = MulDiv(lf.Height, m, d);
    font_ = Font(lf);
  }
  realigning_ = true;  // children are scaled, not aligned, while the parent changes
  SetBounds(l, t, w, h);
  for (Control* c : children_) c->ScaleBy(m, d);
  realigning_ = false;
  Realign();
  FontChanged();
}

// ---- State ----

void Control::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (Handle()) ShowWindow(Handle(), v);
  VisibleChanged();
  RequestParentRealign();
}

bool Control::Showing() const { return Handle() && IsWindowVisible(Handle()); }

void Control::SetEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  if (Handle()) EnableWindow(Handle(), e);
  EnabledChanged();
}

bool Control::EnabledInTree() const {
  for (const Control* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void Control::SetCaption(const std::u16string& text) {
  if (text == caption_) return;
  caption_ = text;
  if (Handle()) SetWindowText(Handle(), text);
  TextChanged();
}

std::u16string Control::PlainCaption() const {
  std::u16string out;
  for (size_t i = 0; i < caption_.size(); ++i) {
    if (caption_[i] == u'&' && i + 1 < caption_.size()) ++i;
    out += caption_[i];
  }
  return out;
}

char16_t Control::Mnemonic() const {
  for (size_t i = 0; i + 1 < caption_.size(); ++i) {
    if (caption_[i] != u'&') continue;
    char16_t c = caption_[i + 1];
    if (c != u'&') return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    ++i;
  }
  return 0;
}

bool Control::IsMnemonic(char16_t ch) const {
  char16_t m = Mnemonic();
  if (ch >= u'a' && ch <= u'z') ch = char16_t(ch - 32);
  return m != 0 && m == ch;
}

const Font& Control::GetFont() const {
  if (parentFont_ && parent_) return parent_->GetFont();
  return font_;
}

namespace {
void NotifyFontTree(Control& c, void (*fn)(Control&)) {
  fn(c);
  for (Control* child : c.Controls())
    if (child->ParentFont()) NotifyFontTree(*child, fn);
}
}  // namespace

void Control::SetFont(const Font& f) {
  font_ = f;
  parentFont_ = false;
  FontChanged();
  for (Control* c : children_)
    if (c->parentFont_) NotifyFontTree(*c, [](Control& x) { x.Perform(WM_SETFONT); });
}

void Control::SetParentFont(bool v) {
  if (v == parentFont_) return;
  if (!v) font_ = GetFont();
  parentFont_ = v;
  FontChanged();
}

void Control::SetBackColor(Color c) {
  SetBackgroundColor(ResolveColor(c));
  Invalidate();
}

void Control::SetTextColor(Color c) {
  textColor_ = ResolveColor(c);
  Invalidate();
}

// ---- Focus and tab order ----

int32_t Control::TabOrder() const {
  if (!parent_) return 0;
  auto& l = parent_->tabList_;
  return int32_t(std::find(l.begin(), l.end(), this) - l.begin());
}

void Control::SetTabOrder(int32_t index) {
  if (!parent_) return;
  auto& l = parent_->tabList_;
  Erase(l, this);
  index = std::clamp<int32_t>(index, 0, int32_t(l.size()));
  l.insert(l.begin() + index, this);
}

bool Control::CanFocus() const {
  return acceptsFocus_ && Handle() && IsWindowVisible(Handle()) && IsWindowEnabled(Handle());
}

bool Control::Focused() const { return Handle() && GetFocus() == Handle(); }

void Control::SetFocus() {
  Form* f = ParentForm();
  if (f && f != this) f->activeControl_ = this;
  if (f && !f->Showing()) return;  // takes the focus when the form is shown
  if (HandleNeeded() && CanFocus()) plat::SetFocus(Handle());
}

// ---- Painting and messages ----

void Control::Invalidate() {
  if (Handle()) plat::InvalidateRect(Handle(), nullptr, true);
}

void Control::InvalidateRect(const Rect& r) {
  if (Handle()) plat::InvalidateRect(Handle(), &r, true);
}

void Control::Update() {
  if (Handle()) UpdateWindow(Handle());
}

intptr_t Control::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (Handle()) return SendMessage(Handle(), msg, wParam, lParam);
  return WndProc(msg, wParam, lParam);
}

void Control::Click() {
  if (OnClick) OnClick(*this);
}

bool Control::DialogKey(uint8_t, ShiftState) { return false; }
bool Control::DialogChar(char16_t) { return false; }

bool Control::ChildKey(uint8_t& vk, ShiftState shift) {
  return parent_ ? parent_->ChildKey(vk, shift) : false;
}

void Control::KeyDown(uint8_t& key, ShiftState shift) {
  if (OnKeyDown) OnKeyDown(*this, key, shift);
}
void Control::KeyUp(uint8_t& key, ShiftState shift) {
  if (OnKeyUp) OnKeyUp(*this, key, shift);
}
void Control::KeyPress(char16_t& ch) {
  if (OnKeyPress) OnKeyPress(*this, ch);
}
void Control::KeyPressWide(char32_t cp) {
  char16_t high = HighSurrogateOf(cp);
  KeyPress(high);
  if (high == 0) return;
  char16_t low = LowSurrogateOf(cp);
  KeyPress(low);
}
void Control::MouseDown(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseDown) OnMouseDown(*this, b, shift, p);
}
void Control::MouseMove(ShiftState shift, Point p) {
  if (OnMouseMove) OnMouseMove(*this, shift, p);
}
void Control::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (OnMouseUp) OnMouseUp(*this, b, shift, p);
  if (b == MouseButton::Left && LeftButtonDownHere() && ClientRect().Contains(p)) Click();
}
void Control::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}
bool Control::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  return OnMouseWheel && OnMouseWheel(*this, shift, delta, screen);
}
void Control::DoEnter() {
  if (OnEnter) OnEnter(*this);
}
void Control::DoExit() {
  if (OnExit) OnExit(*this);
}
void Control::Resize() {
  if (OnResize) OnResize(*this);
}
void Control::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}
void Control::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(*this);
}

bool Control::PreviewKey(uint8_t& vk, ShiftState shift) {
  Form* form = ParentForm();
  if (form && form != this && form->keyPreview_ && form->OnKeyDown) form->OnKeyDown(*form, vk, shift);
  return vk == 0;
}

bool Control::PreviewChar(char16_t& ch) {
  Form* form = ParentForm();
  if (form && form != this && form->keyPreview_ && form->OnKeyPress) form->OnKeyPress(*form, ch);
  return ch == 0;
}

bool Control::FormGetsKeyFirst(uint8_t vk, intptr_t keyData) {
  if (vk == VK_ESCAPE) return true;
  const uint32_t mask = SpecialKeyMask(vk);
  return mask != 0 && Perform(CM_WANTSPECIALKEY, vk, keyData) == 0 &&
         (uint32_t(Perform(WM_GETDLGCODE)) & mask) == 0;
}

intptr_t Control::OfferHotKey(uint32_t msg, uintptr_t key, intptr_t keyData) {
  return HotKeys() ? HotKeys()(*this, msg, key, keyData) : 0;
}

intptr_t Control::RouteKeyDown(uint8_t vk, intptr_t keyData, bool sys) {
  const ShiftState shift = CurrentShiftState();
  // An open drop-down takes its own Escape before anything else sees it.
  if (vk == VK_ESCAPE && !sys && CloseTopPopup()) return 1;
  uint8_t k = vk;
  if (parent_ && parent_->ChildKey(k, shift)) return 1;
  Form* form = ParentForm();
  if (form && (sys || FormGetsKeyFirst(vk, keyData)) && form->FormDialogKey(vk, shift)) return 1;
  if (!HotKeysThrough) return 0;
  if (sys) return OfferHotKey(WM_SYSKEYDOWN, vk, keyData);
  // Enter and Delete belong to the control even where its other keys pass to the hot keys.
  if (vk == VK_RETURN || vk == VK_DELETE) return 0;
  return OfferHotKey(WM_KEYDOWN, vk, keyData);
}

intptr_t Control::RouteChar(char32_t ch, intptr_t keyData, bool sys) {
  Form* form = ParentForm();
  // The blank and control characters are never mnemonics, and no mnemonic lies outside the
  // basic plane.
  const bool mnemonic = ch > U' ' && ch <= 0xFFFF;
  if (form && mnemonic && (sys || (uint32_t(Perform(WM_GETDLGCODE)) & DLGC_WANTCHARS) == 0) &&
      form->FormDialogChar(char16_t(ch)))
    return 1;
  return sys && HotKeysThrough ? OfferHotKey(WM_SYSCHAR, ch, keyData) : 0;
}

intptr_t Control::HandleKey(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  ShiftState shift = CurrentShiftState();
  switch (msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_CHAR:
    case CN_SYSCHAR: {
      const bool isChar = msg == CN_CHAR || msg == CN_SYSCHAR;
      const bool sys = msg == CN_SYSKEYDOWN || msg == CN_SYSCHAR;
      // Any other key pressed with Alt means Alt was not alone, also when the window's own
      // handler takes the key message (Alt+Backspace undoing in a document window).
      if (!isChar && wParam != VK_MENU)
        if (Form* form = ParentForm()) form->altAlone_ = false;
      const intptr_t result = isChar ? RouteChar(CodePointOf(wParam), lParam, sys)
                                     : RouteKeyDown(uint8_t(wParam), lParam, sys);
      // The chain ran: the key message that follows goes straight to the control.
      preRoutedMsg_ = result != 0 ? 0 : msg - CN_BASE;
      preRoutedKey_ = wParam;
      return result;
    }
    case CN_KEYUP:
      // A special key's release is the control's when it wants the key itself.
      return SpecialKeyMask(wParam) != 0 || wParam == VK_ESCAPE
                 ? Perform(CM_WANTSPECIALKEY, wParam, lParam)
                 : 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      bool sys = msg == WM_SYSKEYDOWN;
      bool routed = preRoutedMsg_ == msg && preRoutedKey_ == wParam;
      preRoutedMsg_ = 0;
      Form* form = ParentForm();
      if (form) form->altAlone_ = wParam == VK_MENU;
      if (!routed && RouteKeyDown(uint8_t(wParam), lParam, sys)) return 0;
      // System keys reached the form's dialog keys in the chain; the others do here.
      if (!sys && form && form->FormShortCut(uint8_t(wParam), shift)) return 0;
      uint8_t k = uint8_t(wParam);
      if (PreviewKey(k, shift)) return 0;
      KeyDown(k, shift);
      if (sys && k != 0) return Window::WndProc(msg, wParam, lParam);
      return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      uint8_t k = uint8_t(wParam);
      KeyUp(k, shift);
      // Alt pressed and released alone enters the menu bar, as F10 does. The release of another
      // key tells that Alt was not alone, also when the window took that key's press itself.
      Form* form = ParentForm();
      if (form && wParam != VK_MENU) form->altAlone_ = false;
      if (wParam == VK_MENU && form && std::exchange(form->altAlone_, false)) form->FormDialogKey(VK_F10, 0);
      return 0;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      bool routed = preRoutedMsg_ == msg && preRoutedKey_ == wParam;
      preRoutedMsg_ = 0;
      char32_t cp = CodePointOf(wParam);
      if (!routed && RouteChar(cp, lParam, msg == WM_SYSCHAR)) return 0;
      if (msg == WM_SYSCHAR) return 0;
      // The preview sees the high half of a character past 0xFFFF.
      char16_t c = cp > 0xFFFF ? HighSurrogateOf(cp) : char16_t(cp);
      if (PreviewChar(c)) return 0;
      if (cp > 0xFFFF) KeyPressWide(cp);
      else KeyPress(c);
      return 0;
    }
    default:
      return 0;
  }
}

uint8_t Control::EdgeAt(Point p) const {
  if (!sizingEdges_) return 0;
  constexpr int32_t kGrip = 4;
  Rect r = ClientRect();
  if ((sizingEdges_ & seLeft) && p.x < kGrip) return seLeft;
  if ((sizingEdges_ & seRight) && p.x >= r.right - kGrip) return seRight;
  if ((sizingEdges_ & seTop) && p.y < kGrip) return seTop;
  if ((sizingEdges_ & seBottom) && p.y >= r.bottom - kGrip) return seBottom;
  return 0;
}

bool Control::HandleSizing(uint32_t msg, Point p) {
  if (!sizingEdges_ && !sizingEdge_) return false;
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (sizingEdge_) {
        Point s = ClientToScreen(p);
        int32_t dx = s.x - sizingStart_.x, dy = s.y - sizingStart_.y;
        Rect b = sizingBounds_;
        constexpr int32_t kMin = 8;
        if (sizingEdge_ == seLeft) b.left = std::min(b.left + dx, b.right - kMin);
        if (sizingEdge_ == seRight) b.right = std::max(b.right + dx, b.left + kMin);
        if (sizingEdge_ == seTop) b.top = std::min(b.top + dy, b.bottom - kMin);
        if (sizingEdge_ == seBottom) b.bottom = std::max(b.bottom + dy, b.top + kMin);
        // An aligned strip keeps its place; only its size counts.
        SetBounds(b);
        return true;
      }
      uint8_t e = EdgeAt(p);
      if (e && !edgeCursor_) ownCursor_ = Cursor();
      if (e) SetCursorShape((e & (seLeft | seRight)) ? CursorShape::SizeWE : CursorShape::SizeNS);
      else if (edgeCursor_) SetCursorShape(ownCursor_);
      edgeCursor_ = e != 0;
      return false;
    }
    case WM_LBUTTONDOWN: {
      uint8_t e = EdgeAt(p);
      if (!e) return false;
      sizingEdge_ = e;
      sizingStart_ = ClientToScreen(p);
      sizingBounds_ = BoundsRect();
      SetCapture(Handle());
      return true;
    }
    case WM_LBUTTONUP:
      if (!sizingEdge_) return false;
      sizingEdge_ = 0;
      if (GetCapture() == Handle()) ReleaseCapture();
      return true;
    default:
      return false;
  }
}

intptr_t Control::HandleMouse(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  Point p{GetXParam(lParam), GetYParam(lParam)};
  ShiftState shift = CurrentShiftState();
  if (HandleSizing(msg, p)) return 0;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (g_hot != this) {
        Control* old = g_hot;
        g_hot = this;
        if (old) {
          old->mouseInside_ = false;
          old->MouseLeave();
        }
        mouseInside_ = true;
        MouseEnter();
      }
      MouseMove(shift, p);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      Hwnd self = Handle();
      if (Form* form = ParentForm()) form->altAlone_ = false;
      ClosePopupsOutside(this);
      if (!IsWindow(self)) return 0;
      MouseButton b = ButtonOf(msg);
      bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
      if (b == MouseButton::Left) {
        if (acceptsFocus_ && focusOnClick_ && !Focused() && CanFocus()) SetFocus();
        leftDown_ = true;
        SetCapture(Handle());
      }
      MouseDown(b, shift | (dbl ? ssDouble : 0), p);
      if (dbl && b == MouseButton::Left) DblClick();
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MouseButton b = ButtonOf(msg);
      // The capture goes before the control acts (a dialog opened by a click must get the
      // mouse), but the press stays known to MouseUp: this release is the press ending, not
      // the capture being taken away.
      if (b == MouseButton::Left && GetCapture() == Handle()) {
        releasingOnUp_ = true;
        ReleaseCapture();
        releasingOnUp_ = false;
      }
      Hwnd self = Handle();
      MouseUp(b, shift, p);
      // MouseUp may have destroyed the control (a click that closes its form).
      if (b == MouseButton::Left && IsWindow(self) && FindControl(self) == this) leftDown_ = false;
      return 0;
    }
    default:
      return 0;
  }
}

intptr_t Control::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DlgCode();
    case WM_SETFOCUS:
      if (Form* f = ParentForm(); f && f != this) f->NoteFocus(this);
      DoEnter();
      Invalidate();
      return 0;
    case WM_KILLFOCUS:
      DoExit();
      Invalidate();
      return 0;
    case WM_SIZE:
    case WM_MOVE: {
      if (!Handle()) return 0;
      Rect b = GetWindowBounds(Handle());
      if (b == bounds_) return 0;
      bool sized = b.Width() != bounds_.Width() || b.Height() != bounds_.Height();
      bounds_ = b;
      if (sized) {
        Realign();
        Resize();
      }
      return 0;
    }
    case WM_SETFONT:
      FontChanged();
      return 0;
    case WM_CAPTURECHANGED:
      if (Hwnd(lParam) != Handle() && !releasingOnUp_) leftDown_ = false, sizingEdge_ = 0;
      return 0;
    case WM_MOUSEWHEEL: {
      ShiftState shift = CurrentShiftState();
      int32_t delta = int16_t(HiWord(wParam));
      if (MouseWheel(shift, delta, Point{GetXParam(lParam), GetYParam(lParam)})) return 1;
      return Window::WndProc(msg, wParam, lParam);
    }
    case CM_MOUSEENTER:
      MouseEnter();
      return 0;
    case CM_MOUSELEAVE:
      MouseLeave();
      return 0;
    case CM_WANTSPECIALKEY:
      return 0;
    case CM_DIALOGKEY:
      return DialogKey(uint8_t(wParam), CurrentShiftState()) ? 1 : 0;
    case CM_DIALOGCHAR:
      return DialogChar(char16_t(wParam)) ? 1 : 0;
    case WM_DESTROY:
      if (g_hot == this) g_hot = nullptr;
      leftDown_ = false;
      return Window::WndProc(msg, wParam, lParam);
    default:
      break;
  }
  if ((msg >= WM_KEYDOWN && msg <= WM_SYSCHAR) || msg == CN_KEYDOWN || msg == CN_KEYUP ||
      msg == CN_SYSKEYDOWN || msg == CN_CHAR || msg == CN_SYSCHAR) {
    if (msg == WM_DEADCHAR || msg == WM_SYSDEADCHAR) return 0;
    return HandleKey(msg, wParam, lParam);
  }
  if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) return HandleMouse(msg, wParam, lParam);
  return Window::WndProc(msg, wParam, lParam);
}

}  // namespace plat
