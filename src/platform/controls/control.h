#pragma once
// plat::Control: the base of every form and control of the class layer.
//
// How controls work
// - A control is a plat::Window with properties kept in the object (bounds, caption, visibility,
//   enabled state, font, colours, tab order). The handle is made when the control has a parent
//   with a handle (a form makes its own when it is first shown, or on HandleNeeded()), and the
//   properties are applied to it; a control whose handle is gone keeps its properties.
// - Ownership: a control added with Add<T>() (or Adopt()) is owned by its parent and destroyed
//   with it; a control that is a member of its form is owned by the form object and only
//   listed by its parent. Destroying a control removes it from its parent's lists.
// - SetParent() moves a control (with its children) to another parent at run time, also to no
//   parent or from one form to another. Between two parents that have handles it keeps its
//   handles (and the focus); otherwise its handles are made again under the new parent.
// - Input: every key passes one routing chain before the control sees it. A key-down goes
//   first to the parents (ChildKey); then to the form's dialog-key handling (Tab, arrows,
//   Enter, Escape, mnemonics): Escape always, the other special keys unless the control wants
//   them itself (CM_WANTSPECIALKEY, or the WM_GETDLGCODE bit of the key), system keys always;
//   then, for a control with HotKeysThrough, to the program's hot-key handling (never Enter or
//   Delete); then to the form's key preview, and last to the control (KeyDown, then
//   OnKeyDown). Characters go to the form's mnemonic handling unless the control wants
//   characters, then to the preview and the control; system characters go to the mnemonics
//   and then the hot keys. A program that reflects key messages before dispatching them
//   (CN_KEYDOWN ...) runs the chain there; the message that follows then skips it (KeyRouted
//   marks it for code that runs a chain of its own). Mouse buttons give MouseDown/MouseUp
//   (with the capture held while a button is down) and Click on a left button released inside.
// - Events are std::function members, called after the control's own handling.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/font.h"
#include "platform/gfx/types.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace plat {

class Canvas;
class Form;

// Shift state of keyboard and mouse events.
using ShiftState = uint8_t;
constexpr ShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                     ssDouble = 64;
// The shift state of the keyboard and mouse as the message being handled saw it.
ShiftState CurrentShiftState();

enum class MouseButton { Left, Right, Middle };

// Sizing edges of a control.
constexpr uint8_t seLeft = 1, seTop = 2, seRight = 4, seBottom = 8;

// How a control places itself in its parent's client area (see align.h).
enum class Align { None, Top, Bottom, Left, Right, Client };

// What a control wants of the keys the form would otherwise take (WM_GETDLGCODE bits).
constexpr uint32_t DLGC_WANTARROWS = 0x0001;
constexpr uint32_t DLGC_WANTTAB = 0x0002;
constexpr uint32_t DLGC_WANTALLKEYS = 0x0004;
constexpr uint32_t DLGC_HASSETSEL = 0x0008;
constexpr uint32_t DLGC_DEFPUSHBUTTON = 0x0010;
constexpr uint32_t DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr uint32_t DLGC_RADIOBUTTON = 0x0040;
constexpr uint32_t DLGC_WANTCHARS = 0x0080;
constexpr uint32_t DLGC_STATIC = 0x0100;
constexpr uint32_t DLGC_BUTTON = 0x2000;

// Messages of the class layer (numbers the system's code quotes).
constexpr uint32_t WM_SETFONT = 0x0030;
constexpr uint32_t WM_GETFONT = 0x0031;
constexpr uint32_t WM_HELP = 0x0053;
constexpr uint32_t WM_CHANGEUISTATE = 0x0127;
constexpr uint32_t WM_QUERYUISTATE = 0x0129;
constexpr uint32_t WM_CUT = 0x0300;
constexpr uint32_t WM_COPY = 0x0301;
constexpr uint32_t WM_PASTE = 0x0302;
constexpr uint32_t WM_CLEAR = 0x0303;
constexpr uint32_t WM_UNDO = 0x0304;
constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_ACTIVATE = 0xB000;
constexpr uint32_t CM_DEACTIVATE = 0xB001;
constexpr uint32_t CM_DIALOGKEY = 0xB005;
constexpr uint32_t CM_DIALOGCHAR = 0xB006;
constexpr uint32_t CM_VISIBLECHANGED = 0xB00B;
constexpr uint32_t CM_ENABLEDCHANGED = 0xB00C;
constexpr uint32_t CM_TEXTCHANGED = 0xB012;
constexpr uint32_t CM_MOUSEENTER = 0xB013;
constexpr uint32_t CM_MOUSELEAVE = 0xB014;
constexpr uint32_t CM_APPKEYDOWN = 0xB016;
constexpr uint32_t CM_APPSYSCOMMAND = 0xB017;
constexpr uint32_t CM_ENTER = 0xB01A;
constexpr uint32_t CM_WANTSPECIALKEY = 0xB01E;
constexpr uint32_t CM_WINDOWHOOK = 0xB020;
constexpr uint32_t CM_CHILDKEY = 0xB02E;
constexpr uint32_t CM_HINTSHOW = 0xB030;
// A key message reflected to its window before it is dispatched (CN_BASE + WM_KEYDOWN ...):
// answers non-zero when the routing chain handled the key.
constexpr uint32_t CN_BASE = 0xBC00;
constexpr uint32_t CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr uint32_t CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr uint32_t CN_CHAR = CN_BASE + WM_CHAR;
constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr uint32_t CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

class Control : public Window {
 public:
  Control();
  ~Control() override;

  // ---- Tree ----
  Control* Parent() const { return parent_; }
  // Moves the control under another parent (nullptr: none), keeping its bounds as numbers in
  // the new parent's coordinates. Ownership does not move: a control made with Add() stays
  // owned by the control that made it.
  void SetParent(Control* parent);
  // Children in creation order (the z-order: later ones are drawn above).
  const std::vector<Control*>& Controls() const { return children_; }
  // Makes a child owned by this control.
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto p = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *p;
    Adopt(std::move(p));
    return ref;
  }
  Control& Adopt(std::unique_ptr<Control> child);
  // The form the control lives in (itself for a form); nullptr when it has none.
  Form* ParentForm() const;
  // True when this control is c or one of its ancestors.
  bool ContainsControl(const Control* c) const;

  // ---- Handle ----
  // Makes the handle (and its parents' and children's) when it can; returns it (0 when the
  // control has no top-level ancestor that can have a handle).
  Hwnd HandleNeeded();
  bool HandleAllocated() const { return Handle() != 0; }

  // ---- Geometry (parent client coordinates; screen coordinates for a top-level form) ----
  Rect BoundsRect() const;
  void SetBounds(const Rect& r);
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    SetBounds(Rect{left, top, left + width, top + height});
  }
  int32_t Left() const { return BoundsRect().left; }
  int32_t Top() const { return BoundsRect().top; }
  int32_t Width() const { return BoundsRect().Width(); }
  int32_t Height() const { return BoundsRect().Height(); }
  void SetLeft(int32_t v);
  void SetTop(int32_t v);
  void SetWidth(int32_t v);
  void SetHeight(int32_t v);
  Rect ClientRect() const;  // (0, 0, client width, client height)
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;
  Align GetAlign() const { return align_; }
  void SetAlign(Align a);
  // Edges the user may drag to resize the control (an aligned strip then takes the new size
  // and the layout follows): a set of seLeft, seTop, seRight, seBottom.
  uint8_t SizingEdges() const { return sizingEdges_; }
  void SetSizingEdges(uint8_t edges) { sizingEdges_ = edges; }
  // Lays the children out by their Align (align.h); runs on every size change.
  virtual void Realign();
  // Scales position, size and a font of its own by m/d, and its children likewise.
  virtual void ScaleBy(int32_t m, int32_t d);

  // ---- State ----
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Showing() const;  // visible with all its parents, and with a handle
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool e);
  bool EnabledInTree() const;  // enabled with all its parents

  const std::u16string& Caption() const { return caption_; }
  void SetCaption(const std::u16string& text);
  // The caption without the "&" marks (a doubled "&&" leaves one "&").
  std::u16string PlainCaption() const;
  // The mnemonic letter of the caption (upper case), 0 when it has none.
  char16_t Mnemonic() const;
  // True when ch (any case) is the mnemonic of the caption.
  bool IsMnemonic(char16_t ch) const;

  const Font& GetFont() const;  // its own font, or its parent's while ParentFont is set
  void SetFont(const Font& f);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  Color BackColor() const { return BackgroundColor(); }
  void SetBackColor(Color c);
  Color TextColor() const { return textColor_; }
  void SetTextColor(Color c);

  const std::string& Name() const { return name_; }
  void SetName(std::string n) { name_ = std::move(n); }
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t t) { tag_ = t; }
  const std::u16string& Hint() const { return hint_; }
  void SetHint(const std::u16string& h) { hint_ = h; }

  // ---- Focus and tab order ----
  // Position among the parent's children in the Tab order (0 first).
  int32_t TabOrder() const;
  void SetTabOrder(int32_t index);
  // Children in Tab order.
  const std::vector<Control*>& TabList() const { return tabList_; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  // Whether the control can hold the keyboard focus at all (labels and group boxes cannot).
  bool AcceptsFocus() const { return acceptsFocus_; }
  // Accepts the focus, has a handle and is shown and enabled with all its parents.
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The program's own key routing ran for this key message (WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR
  // or WM_SYSCHAR with its key or character) and left it to the control: the very message
  // that follows skips the class layer's routing chain, so no parent is asked twice.
  void KeyRouted(uint32_t msg, uintptr_t key) {
    preRoutedMsg_ = msg;
    preRoutedKey_ = key;
  }
  // The WM_GETDLGCODE answer: which keys the control keeps from the form.
  virtual uint32_t DlgCode() const { return dlgCode_; }
  void SetDlgCode(uint32_t c) { dlgCode_ = c; }

  // ---- Painting and messages ----
  void Invalidate();
  void InvalidateRect(const Rect& r);
  void Update();  // paints what is pending now
  void Repaint() { Invalidate(); Update(); }
  // Sends the message to the handle, or calls the handler directly while there is none.
  intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

  // ---- Behaviour for subclasses ----
  // Clicks the control as the user would (buttons act; the base fires OnClick).
  virtual void Click();
  // A key the form offers every control (Enter and Escape for default and cancel buttons);
  // true when the control acted on it.
  virtual bool DialogKey(uint8_t vk, ShiftState shift);
  // A mnemonic character the form offers every control; true when the control acted on it.
  virtual bool DialogChar(char16_t ch);
  // A key on its way to a descendant; true takes it. The default asks the parent.
  virtual bool ChildKey(uint8_t& vk, ShiftState shift);
  // The focus came to the control by an arrow key (radio buttons check themselves).
  virtual void ArrowFocused() {}

  // ---- Events ----
  std::function<void(Control&)> OnClick;
  std::function<void(Control&)> OnDblClick;
  std::function<void(Control&)> OnEnter;
  std::function<void(Control&)> OnExit;
  std::function<void(Control&)> OnResize;
  std::function<void(Control&, uint8_t& key, ShiftState shift)> OnKeyDown;
  std::function<void(Control&, uint8_t& key, ShiftState shift)> OnKeyUp;
  std::function<void(Control&, char16_t& ch)> OnKeyPress;
  std::function<void(Control&, MouseButton, ShiftState, Point)> OnMouseDown;
  std::function<void(Control&, MouseButton, ShiftState, Point)> OnMouseUp;
  std::function<void(Control&, ShiftState, Point)> OnMouseMove;
  // delta: multiples of WHEEL_DELTA, positive away from the user; true when handled.
  std::function<bool(Control&, ShiftState, int32_t delta, Point screen)> OnMouseWheel;
  std::function<void(Control&)> OnMouseEnter;
  std::function<void(Control&)> OnMouseLeave;

  // Called for every control being destroyed (the application object drops references).
  static void SetDestroyHook(std::function<void(Control*)> hook);

  // The control passes its key-downs (but Enter and Delete), system key-downs and system
  // characters to the program's hot-key handling, after the form's dialog keys.
  bool HotKeysThrough = false;
  // The scroll bar the mouse wheel moves for this control (nullptr: none); dropped when that
  // bar is destroyed.
  Control* WheelScrollBar = nullptr;
  // The program's hot-key handling, offered the keys of controls with HotKeysThrough: msg is
  // WM_KEYDOWN, WM_SYSKEYDOWN or WM_SYSCHAR, key the virtual key or character, keyData the
  // message's key data. The answer is the key message's result: non-zero when the key was
  // taken (or is to be kept from the system, as a system key-down may be while a key code is
  // being collected).
  using HotKeyHandler =
      std::function<intptr_t(Control&, uint32_t msg, uintptr_t key, intptr_t keyData)>;
  static void SetHotKeyHandler(HotKeyHandler handler);

 protected:
  // The creation parameters of the handle; the base makes a child window (WS_CHILD) with the
  // control's bounds, caption and state.
  virtual void FillCreateParams(CreateParams& p);
  // After the handle was made (children not yet).
  virtual void HandleCreated() {}
  // Before the handle goes.
  virtual void HandleDestroying() {}
  // Another control is being destroyed: drop every reference to it.
  virtual void ControlGone(Control* gone) { (void)gone; }
  // Whether the control makes a top-level window when it has no parent (forms, popups).
  virtual bool IsTopLevelControl() const { return false; }

  virtual void KeyDown(uint8_t& key, ShiftState shift);
  virtual void KeyUp(uint8_t& key, ShiftState shift);
  virtual void KeyPress(char16_t& ch);
  // A typed character outside the basic plane (cp > 0xFFFF). The default hands KeyPress its
  // surrogate halves, high then low (a handler that zeroes the high half drops both); text
  // controls insert the pair as one.
  virtual void KeyPressWide(char32_t cp);
  virtual void MouseDown(MouseButton b, ShiftState shift, Point p);
  virtual void MouseMove(ShiftState shift, Point p);
  virtual void MouseUp(MouseButton b, ShiftState shift, Point p);
  virtual void DblClick();
  virtual bool MouseWheel(ShiftState shift, int32_t delta, Point screen);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void Resize();
  virtual void TextChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void EnabledChanged() { Invalidate(); }
  virtual void VisibleChanged() {}
  virtual void MouseEnter();
  virtual void MouseLeave();

  // The key routing chain before the control's own handling (see the top of this file); the
  // answer is the reflected message's result, non-zero when the chain took the key. ch is a
  // whole code point.
  intptr_t RouteKeyDown(uint8_t vk, intptr_t keyData, bool sys);
  intptr_t RouteChar(char32_t ch, intptr_t keyData, bool sys);
  // The form's key preview (KeyPreview with OnKeyDown/OnKeyPress), after the chain and before
  // the control's own handling; true when it zeroed the key.
  bool PreviewKey(uint8_t& vk, ShiftState shift);
  bool PreviewChar(char16_t& ch);

  void SetAcceptsFocus(bool v) { acceptsFocus_ = v; }
  // Whether a left-button press focuses the control (when it accepts the focus).
  void SetFocusOnClick(bool v) { focusOnClick_ = v; }
  bool MouseInside() const { return mouseInside_; }
  bool LeftButtonDownHere() const { return leftDown_; }

 private:
  friend class Form;
  void CreateHandleTree();
  void DestroyHandleTree();
  // Moves the handle to a parent that has one, keeping it (SetParent between live parents).
  void MoveHandle(Control* parent);
  void DetachChild(Control* c);
  void AttachChild(Control* c);
  void RequestParentRealign();
  intptr_t HandleMouse(uint32_t msg, uintptr_t wParam, intptr_t lParam);
  intptr_t HandleKey(uint32_t msg, uintptr_t wParam, intptr_t lParam);
  // Whether the form's dialog keys see a key-down before the control: Escape always, another
  // special key unless the control wants it.
  bool FormGetsKeyFirst(uint8_t vk, intptr_t keyData);
  intptr_t OfferHotKey(uint32_t msg, uintptr_t key, intptr_t keyData);
  // Sizing by an edge: the edge under a client point (0 for none), and the drag itself.
  uint8_t EdgeAt(Point p) const;
  bool HandleSizing(uint32_t msg, Point p);

  Control* parent_ = nullptr;
  std::vector<Control*> children_;
  std::vector<Control*> tabList_;
  std::vector<std::unique_ptr<Control>> owned_;
  Rect bounds_;
  Align align_ = Align::None;
  bool visible_ = true;
  bool enabled_ = true;
  bool parentFont_ = true;
  bool tabStop_ = false;
  bool acceptsFocus_ = false;
  bool focusOnClick_ = true;
  bool mouseInside_ = false;
  bool leftDown_ = false;
  bool releasingOnUp_ = false;  // the capture is being released by this control's button-up
  // The key message whose reflected form ran the routing chain already (message, key).
  uint32_t preRoutedMsg_ = 0;
  uintptr_t preRoutedKey_ = 0;
  bool realigning_ = false;
  uint32_t dlgCode_ = 0;
  uint8_t sizingEdges_ = 0;
  uint8_t sizingEdge_ = 0;      // the edge being dragged
  bool edgeCursor_ = false;     // the cursor shows a sizing edge
  CursorShape ownCursor_ = CursorShape::Arrow;
  Point sizingStart_;           // screen point where the drag began
  Rect sizingBounds_;
  std::u16string caption_;
  Font font_;
  Color textColor_;
  std::string name_;
  intptr_t tag_ = 0;
  std::u16string hint_;
};

// The control of a handle; nullptr when the handle is not a control's.
Control* FindControl(Hwnd h);

}  // namespace plat
