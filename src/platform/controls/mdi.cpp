#include "platform/controls/mdi.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

// The area of the frame that holds the docked children; a maximised child follows its size.
class ClientAreaControl : public Control {
 public:
  explicit ClientAreaControl(MdiFrame& f) : frame_(f) { SetBackColor(SysColor(syscolor::AppWorkspace)); }
  std::function<void()> onResize;

 protected:
  void Resize() override {
    Control::Resize();
    if (onResize) onResize();
  }

 private:
  MdiFrame& frame_;
};

// The caption strip of a docked child: title, maximise and close buttons; dragging moves the
// child, a double click maximises or restores it.
class CaptionStrip : public Control {
 public:
  explicit CaptionStrip(MdiChild& c) : child_(c) { SetBounds(0, 0, 100, MdiChild::CaptionHeight()); }

 protected:
  Rect CloseBox() const {
    Rect r = ClientRect();
    return {r.right - r.Height(), 0, r.right, r.bottom};
  }
  Rect MaxBox() const {
    Rect c = CloseBox();
    return {c.left - c.Width(), 0, c.left, c.bottom};
  }

  void Paint(PaintContext& pc) override {
    Canvas& c = *pc.canvas;
    Rect r = ClientRect();
    bool active = child_.IsActiveChild();
    const LookColors& k = Look();
    c.FillRect(r, active ? SysColor(syscolor::ActiveCaption) : SysColor(syscolor::InactiveCaption));
    Color fg = active ? SysColor(syscolor::CaptionText) : SysColor(syscolor::InactiveCaptionText);
    c.SetFont(GetFont());
    DrawCaption(c, {6, 0, MaxBox().left - 4, r.bottom}, child_.Caption(), fg, TextAlign::Left, false);
    Rect cb = CloseBox(), mb = MaxBox();
    int32_t m = r.Height() / 3;
    c.SaveState();
    c.SetPen(Pen{PenStyle::Solid, 1, fg});
    c.Line(cb.left + m, cb.top + m, cb.right - m, cb.bottom - m);
    c.Line(cb.right - m - 1, cb.top + m, cb.left + m - 1, cb.bottom - m);
    c.SetBrush(Brush{BrushStyle::Null, 0});
    c.Rectangle({mb.left + m, mb.top + m, mb.right - m, mb.bottom - m});
    c.RestoreState();
    (void)k;
  }

  void MouseDown(MouseButton b, ShiftState shift, Point p) override {
    Control::MouseDown(b, shift, p);
    if (b != MouseButton::Left) return;
    child_.Activate();
    dragging_ = !CloseBox().Contains(p) && !MaxBox().Contains(p) && !(shift & ssDouble) &&
                child_.GetWindowState() != WindowState::Maximized;
    dragStart_ = ClientToScreen(p);
    startBounds_ = child_.BoundsRect();
  }

  void MouseMove(ShiftState shift, Point p) override {
    Control::MouseMove(shift, p);
    if (!dragging_ || !LeftButtonDownHere()) return;
    Point s = ClientToScreen(p);
    child_.SetBounds(startBounds_.Offset(s.x - dragStart_.x, s.y - dragStart_.y));
  }

  void MouseUp(MouseButton b, ShiftState shift, Point p) override {
    if (OnMouseUp) OnMouseUp(*this, b, shift, p);
    bool wasDown = LeftButtonDownHere();
    dragging_ = false;
    if (b != MouseButton::Left || !wasDown) return;
    if (CloseBox().Contains(p)) child_.Close();
    else if (MaxBox().Contains(p)) ToggleMax();
  }

  void DblClick() override {
    Control::DblClick();
    ToggleMax();
  }

 private:
  void ToggleMax() {
    child_.SetWindowState(child_.GetWindowState() == WindowState::Maximized ? WindowState::Normal
                                                                            : WindowState::Maximized);
  }
  MdiChild& child_;
  bool dragging_ = false;
  Point dragStart_;
  Rect startBounds_;
};

}  // namespace

// ---- Frame ----

MdiFrame::MdiFrame() {
  auto& area = Add<ClientAreaControl>(*this);
  area.SetAlign(Align::Client);
  area.onResize = [this] { LayoutMaximized(); };
  client_ = &area;
}

MdiFrame::~MdiFrame() {
  for (MdiChild* c : children_) c->frame_ = nullptr;
}

void MdiFrame::Register(MdiChild* c) { children_.push_back(c); }

void MdiFrame::Unregister(MdiChild* c) {
  children_.erase(std::remove(children_.begin(), children_.end(), c), children_.end());
  if (lastActive_ == c) lastActive_ = nullptr;
}

std::vector<MdiChild*> MdiFrame::DockedChildren() const {
  std::vector<MdiChild*> out;
  if (!client_->Handle()) return out;
  std::vector<Hwnd> z = GetChildren(client_->Handle());
  for (auto it = z.rbegin(); it != z.rend(); ++it) {
    auto* c = dynamic_cast<MdiChild*>(FindControl(*it));
    if (c && c->Visible() && std::find(children_.begin(), children_.end(), c) != children_.end()) out.push_back(c);
  }
  return out;
}

MdiChild* MdiFrame::ActiveChild() const {
  auto docked = DockedChildren();
  return docked.empty() ? nullptr : docked.front();
}

void MdiFrame::ChildActivated(MdiChild* c) {
  if (c == lastActive_) return;
  MdiChild* old = lastActive_;
  lastActive_ = c;
  if (old && old->caption_) old->caption_->Invalidate();
  if (c && c->caption_) c->caption_->Invalidate();
  if (OnActiveChildChange) OnActiveChildChange(*this);
}

void MdiFrame::Next() {
  auto docked = DockedChildren();
  if (docked.size() < 2) return;
  MdiChild* top = docked[0];
  docked[1]->Activate();
  SetWindowPos(top->Handle(), HWND_BOTTOM, {}, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool MdiFrame::ChildKey(uint8_t& vk, ShiftState shift) {
  if (vk == VK_F6 && (shift & (ssCtrl | ssAlt | ssShift)) == ssCtrl) {
    Next();
    return true;
  }
  return Form::ChildKey(vk, shift);
}

void MdiFrame::Cascade() {
  auto docked = DockedChildren();
  std::reverse(docked.begin(), docked.end());  // the bottom one first, the active one last
  Rect area = client_->ClientRect();
  int32_t step = MdiChild::CaptionHeight() + 2;
  int32_t w = std::max(120, area.Width() * 2 / 3), h = std::max(90, area.Height() * 2 / 3);
  int32_t n = 0;
  for (MdiChild* c : docked) {
    c->SetWindowState(WindowState::Normal);
    int32_t off = step * n;
    if (off + h > area.Height() || off + w > area.Width()) n = 0, off = 0;
    c->SetBounds(off, off, w, h);
    ++n;
  }
  if (!docked.empty()) docked.back()->Activate();
}

void MdiFrame::Tile(TileMode mode) {
  auto docked = DockedChildren();
  int32_t n = int32_t(docked.size());
  if (n == 0) return;
  Rect area = client_->ClientRect();
  for (int32_t i = 0; i < n; ++i) {
    MdiChild* c = docked[size_t(i)];
    c->SetWindowState(WindowState::Normal);
    if (mode == TileMode::Horizontal) {
      int32_t top = area.Height() * i / n, bottom = area.Height() * (i + 1) / n;
      c->SetBounds(Rect{0, top, area.Width(), bottom});
    } else {
      int32_t left = area.Width() * i / n, right = area.Width() * (i + 1) / n;
      c->SetBounds(Rect{left, 0, right, area.Height()});
    }
  }
}

void MdiFrame::LayoutMaximized() {
  for (MdiChild* c : children_)
    if (c->Docked() && c->GetWindowState() == WindowState::Maximized) c->SetBounds(client_->ClientRect());
}

// ---- Child ----

int32_t MdiChild::CaptionHeight() { return InterfaceFontHeight() + 9; }

MdiChild::MdiChild(MdiFrame& frame) : frame_(&frame) {
  SetFormStyle(FormStyle::MdiChild);
  auto& strip = Add<CaptionStrip>(*this);
  strip.SetAlign(Align::Top);
  caption_ = &strip;
  SetBounds(0, 0, 320, 240);
  frame.Register(this);
  SetParent(&frame.ClientArea());
}

MdiChild::~MdiChild() {
  if (frame_) frame_->Unregister(this);
}

bool MdiChild::IsActiveChild() const {
  if (!Docked()) return Active();
  return frame_ && frame_->ActiveChild() == this;
}

void MdiChild::Activate() {
  if (!Handle()) return;
  if (Docked()) BringWindowToTop(Handle());
  else SetActiveWindow(Handle());
  if (!(GetFocus() && IsDescendant(Handle(), GetFocus()))) plat::SetFocus(Handle());
  if (frame_) frame_->ChildActivated(this);
}

void MdiChild::FocusNoted(Control* c) {
  Form::FocusNoted(c);
  if (Docked() && Handle()) BringWindowToTop(Handle());
  if (frame_) frame_->ChildActivated(this);
}

void MdiChild::TextChanged() {
  Form::TextChanged();
  if (caption_) caption_->Invalidate();
}

void MdiChild::Paint(PaintContext& pc) {
  Form::Paint(pc);
  // A docked child has a thin frame of its own; the window manager frames a top-level one.
  if (Docked() && pc.canvas) DrawFrame(*pc.canvas, ClientRect(), SysColor(syscolor::WindowFrame));
}

void MdiChild::SetWindowState(WindowState s) {
  Form::SetWindowState(s);
  if (s == WindowState::Maximized && Docked() && Handle()) BringWindowToTop(Handle());
}

void MdiChild::Undock() {
  if (!Docked()) return;
  if (GetWindowState() == WindowState::Maximized) SetWindowState(WindowState::Normal);
  Point screen = ClientToScreen({0, 0});
  Rect b = BoundsRect();
  Rect c = ClientRect();
  screen.x -= (b.Width() - c.Width()) / 2;
  caption_->Hide();  // the window manager draws the caption of a top-level window
  SetParent(nullptr);
  SetBounds(screen.x, screen.y, b.Width(), b.Height() - caption_->Height());
  if (Visible() && Handle()) SetActiveWindow(Handle());
}

void MdiChild::Dock() {
  if (Docked() || !frame_) return;
  Rect b = BoundsRect();
  Point p = frame_->ClientArea().ScreenToClient({b.left, b.top});
  Rect area = frame_->ClientArea().ClientRect();
  if (!area.Contains(p)) p = {0, 0};
  SetParent(&frame_->ClientArea());
  caption_->Show();
  SetBounds(p.x, p.y, b.Width(), b.Height() + caption_->Height());
  if (Visible()) Activate();
}

}  // namespace plat
