// The window tree: creation and destruction, showing, enabling, geometry and z-order.
#include <algorithm>

#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace detail {
namespace {

std::vector<Hwnd>& SiblingList(const Node& n) {
  if (n.parent == 0) return S().topLevels;
  return Find(n.parent)->children;
}

// Top-most windows stay above the others; owned windows above their owners.
void NormalizeTopLevelOrder() {
  auto& tops = S().topLevels;
  std::stable_partition(tops.begin(), tops.end(),
                        [](Hwnd h) { return !(Find(h)->exStyle & WS_EX_TOPMOST); });
}

void SendSize(const Node& n) {
  uintptr_t kind = n.state == WindowState::Maximized   ? SIZE_MAXIMIZED
                   : n.state == WindowState::Minimized ? SIZE_MINIMIZED
                                                       : SIZE_RESTORED;
  Rect c = GetClientRect(n.handle);
  if (n.state == WindowState::Minimized) c = {};
  SendMessage(n.handle, WM_SIZE, kind, MakeLParam(c.Width(), c.Height()));
}

void SendPosMessages(Node& n, const Rect& old) {
  Hwnd h = n.handle;
  if (n.bounds.left != old.left || n.bounds.top != old.top)
    SendMessage(h, WM_MOVE, 0, MakeLParam(n.bounds.left + n.insets.left, n.bounds.top + n.insets.top));
  if (n.bounds.Width() != old.Width() || n.bounds.Height() != old.Height()) {
    SendSize(n);
  }
}

void DestroyTree(Hwnd h) {
  Node* n = Find(h);
  if (!n) return;
  SendMessage(h, WM_DESTROY);
  n = Find(h);
  if (!n) return;
  std::vector<Hwnd> kids = n->children;
  for (Hwnd c : kids) DestroyTree(c);
  n = Find(h);
  if (!n) return;
  Window* obj = n->obj;
  if (obj) WindowSystemAccess::SetHandle(*obj, 0);
  n->obj = nullptr;
  if (obj) obj->WndProc(WM_NCDESTROY, 0, 0);  // the object may delete itself here
  State& s = S();
  if (n->inBackend) s.backend->DestroyTopLevel(h);
  if (Node* p = Find(n->parent)) std::erase(p->children, h);
  std::erase(s.topLevels, h);
  s.nodes.erase(h);
}

}  // namespace

int32_t FitCoord(int64_t v) { return int32_t(std::clamp<int64_t>(v, -kCoordLimit, kCoordLimit)); }

Rect FitBounds(int64_t x, int64_t y, int64_t cx, int64_t cy, bool topLevel) {
  const int64_t maxSide = topLevel ? kMaxTopLevelSide : kCoordLimit;
  const int32_t l = FitCoord(x), t = FitCoord(y);
  return {l, t, l + int32_t(std::clamp<int64_t>(cx, 0, maxSide)),
          t + int32_t(std::clamp<int64_t>(cy, 0, maxSide))};
}

// Client origin of a window in its top-level window's surface pixels. Deeply nested windows at
// the edge of the coordinate range saturate rather than wrap round.
Point ClientOriginInTop(const Node& n) {
  Point p{n.insets.left, n.insets.top};
  if (n.parent == 0) return p;
  const Node* parent = Find(n.parent);
  Point po = ClientOriginInTop(*parent);
  return {SaturateToInt32(int64_t{po.x} + n.bounds.left + p.x),
          SaturateToInt32(int64_t{po.y} + n.bounds.top + p.y)};
}

// Invalidates a rectangle of the top-level surface in every visible window of the tree.
void InvalidateTreeArea(Hwnd h, const Rect& inTop) {
  Node* n = Find(h);
  if (!n || !n->shown) return;
  Rect vis = VisibleClientInTop(*n);
  Rect part = vis.Intersect(inTop);
  if (!part.IsEmpty()) {
    Point o = ClientOriginInTop(*n);
    n->update.Union(part.Offset(-o.x, -o.y));
    n->erase = true;
  }
  if (!(n->insets == Insets{}) && !BoundsInTop(*n).Intersect(inTop).IsEmpty()) n->ncDirty = true;
  for (Hwnd c : n->children) InvalidateTreeArea(c, inTop);
}

Rect BoundsInTop(const Node& n) {
  if (n.parent == 0) return {0, 0, n.bounds.Width(), n.bounds.Height()};
  Point po = ClientOriginInTop(*Find(n.parent));
  return n.bounds.Offset(po.x, po.y);
}

Hwnd TopOf(Hwnd h) {
  Node* n = Find(h);
  while (n && n->parent != 0) n = Find(n->parent);
  return n ? n->handle : 0;
}

Rect ClientRectInTop(const Node& n) {
  Point o = ClientOriginInTop(n);
  Rect b = n.bounds;
  int64_t w = std::max<int64_t>(0, int64_t{b.Width()} - n.insets.left - n.insets.right);
  int64_t hgt = std::max<int64_t>(0, int64_t{b.Height()} - n.insets.top - n.insets.bottom);
  return {o.x, o.y, SaturateToInt32(o.x + w), SaturateToInt32(o.y + hgt)};
}

// The client area clipped by every ancestor's client area.
Rect VisibleClientInTop(const Node& n) {
  Rect r = ClientRectInTop(n);
  for (const Node* p = Find(n.parent); p; p = Find(p->parent)) r = r.Intersect(ClientRectInTop(*p));
  return r;
}

void DestroyNode(Hwnd h) {
  State& s = S();
  Node* n = Find(h);
  if (!n || n->destroying) return;
  n->destroying = true;
  // Owned windows go first.
  std::vector<Hwnd> owned;
  for (Hwnd t : s.topLevels) {
    if (Find(t)->owner == h) owned.push_back(t);
  }
  for (Hwnd t : owned) DestroyNode(t);
  n = Find(h);
  if (n->shown && n->parent != 0 && IsWindowVisible(n->parent))
    InvalidateTreeArea(TopOf(n->parent), BoundsInTop(*n));
  ForgetWindow(h);
  DeactivateOnHide(h);
  DestroyTree(h);
  if (s.active == 0 && s.appActive) {
    // Activate the next visible window, top-most first.
    for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) {
      if (IsWindowVisible(*it) && IsWindowEnabled(*it)) {
        SetActiveWindow(*it);
        break;
      }
    }
  }
}

}  // namespace detail

using namespace detail;

// ---- Window ----

Window::~Window() { Destroy(); }

bool Window::Create(const CreateParams& p) {
  if (handle_ != 0 || !Started()) return false;
  State& s = S();
  Node* parent = p.parent ? Find(p.parent) : nullptr;
  if (p.parent && !parent) return false;
  auto node = std::make_unique<Node>();
  Hwnd h = s.nextHandle++;
  node->handle = h;
  node->obj = this;
  node->parent = p.parent;
  node->owner = p.parent ? 0 : TopOf(p.owner);
  node->bounds = FitBounds(p.bounds.left, p.bounds.top, p.bounds.Width(), p.bounds.Height(),
                           p.parent == 0);
  node->text = p.text;
  node->style = p.style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  node->exStyle = p.exStyle;
  node->classStyle = p.classStyle;
  node->enabled = !(p.style & WS_DISABLED);
  Node& n = *node;
  s.nodes[h] = std::move(node);
  if (parent) {
    parent->children.push_back(h);
  } else {
    s.topLevels.push_back(h);
    NormalizeTopLevelOrder();
    n.surface = std::make_shared<Bitmap>(std::max(1, n.bounds.Width()), std::max(1, n.bounds.Height()));
    s.backend->CreateTopLevel(h, TopLevelInfo{n.bounds, p.text, p.style, p.exStyle, n.owner});
    n.inBackend = true;
  }
  handle_ = h;
  CreateParams copy = p;
  if (SendMessage(h, WM_CREATE, 0, reinterpret_cast<intptr_t>(&copy)) == -1) {
    DestroyNode(h);
    handle_ = 0;
    return false;
  }
  if (!Find(h)) return false;
  Rect c = GetClientRect(h);
  SendMessage(h, WM_SIZE, SIZE_RESTORED, MakeLParam(c.Width(), c.Height()));
  SendMessage(h, WM_MOVE, 0, MakeLParam(Find(h)->bounds.left, Find(h)->bounds.top));
  if ((p.style & WS_MAXIMIZE) && !parent) SetWindowState(h, WindowState::Maximized);
  if ((p.style & WS_MINIMIZE) && !parent) SetWindowState(h, WindowState::Minimized);
  if (Find(h) && (p.style & WS_VISIBLE)) ShowWindow(h, true);
  return Find(h) != nullptr;
}

void Window::Destroy() {
  if (handle_ != 0 && Started()) DestroyNode(handle_);
  handle_ = 0;
}

intptr_t Window::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_ERASEBKGND: {
      auto* pc = reinterpret_cast<PaintContext*>(wParam);
      if (pc && pc->canvas) pc->canvas->FillRegion(pc->region, background_);
      return 1;
    }
    case WM_PAINT:
      if (lParam != 0) Paint(*reinterpret_cast<PaintContext*>(lParam));
      return 0;
    case WM_NCPAINT: {
      auto* pc = reinterpret_cast<PaintContext*>(wParam);
      if (pc && pc->canvas) pc->canvas->FillRegion(pc->region, background_);
      return 0;
    }
    case WM_ACTIVATE:
      if (LoWord(wParam) != WA_INACTIVE) {
        Hwnd focus = GetFocus();
        if (focus == 0 || !IsDescendant(handle_, focus)) {
          // Back to the window that had the focus when this one was deactivated.
          Node* n = Find(handle_);
          Hwnd last = n ? n->lastFocus : 0;
          if (last && IsDescendant(handle_, last)) SetFocus(last);
          if (GetFocus() == 0 || !IsDescendant(handle_, GetFocus())) SetFocus(handle_);
        }
      }
      return 0;
    case WM_SETCURSOR: {
      Hwnd parent = GetParent(handle_);
      if (parent && SendMessage(parent, WM_SETCURSOR, wParam, lParam)) return 1;
      if (Hwnd(wParam) == handle_) {
        SetCursor(cursor_);
        return 1;
      }
      return 0;
    }
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (uintptr_t(lParam) & KF_ALTDOWN_BIT))
        PostMessage(GetTopLevel(handle_), WM_CLOSE);
      return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
      // Unhandled wheel turns and context-menu requests go up to the parent.
      if (Hwnd parent = GetParent(handle_)) return SendMessage(parent, msg, wParam, lParam);
      return 0;
    default:
      return 0;
  }
}

void Window::Paint(PaintContext& pc) {
  if (pc.canvas) pc.canvas->FillRegion(pc.region, background_);
}

Window* FromHandle(Hwnd h) {
  Node* n = Find(h);
  return n ? n->obj : nullptr;
}

// ---- Tree queries ----

bool IsWindow(Hwnd hwnd) { return Find(hwnd) != nullptr; }
Hwnd GetParent(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->parent : 0;
}
Hwnd GetOwner(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->owner : 0;
}
Hwnd GetTopLevel(Hwnd hwnd) { return TopOf(hwnd); }
bool IsTopLevel(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n && n->parent == 0;
}
bool IsDescendant(Hwnd ancestor, Hwnd hwnd) {
  for (Node* n = Find(hwnd); n; n = Find(n->parent)) {
    if (n->handle == ancestor) return true;
  }
  return false;
}
std::vector<Hwnd> GetChildren(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->children : std::vector<Hwnd>{};
}
std::vector<Hwnd> GetTopLevelWindows() { return S().topLevels; }
uint32_t GetWindowStyle(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (!n) return 0;
  return n->style | (n->shown ? WS_VISIBLE : 0) | (n->enabled ? 0 : WS_DISABLED) |
         (n->state == WindowState::Maximized ? WS_MAXIMIZE : 0) |
         (n->state == WindowState::Minimized ? WS_MINIMIZE : 0);
}
uint32_t GetWindowExStyle(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->exStyle : 0;
}

void SetWindowText(Hwnd hwnd, const std::u16string& text) {
  Node* n = Find(hwnd);
  if (!n || n->text == text) return;
  n->text = text;
  if (n->inBackend) S().backend->SetTopLevelTitle(hwnd, text);
}

std::u16string GetWindowText(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->text : std::u16string();
}

// ---- Show and enable ----

bool ShowWindow(Hwnd hwnd, bool show) {
  Node* n = Find(hwnd);
  if (!n) return false;
  bool was = n->shown;
  if (was == show) return was;
  SendMessage(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
  n = Find(hwnd);
  if (!n) return was;
  State& s = S();
  if (!show) DeactivateOnHide(hwnd);
  n->shown = show;
  if (n->parent == 0) {
    bool activate = show && !(n->exStyle & WS_EX_NOACTIVATE);
    s.backend->ShowTopLevel(hwnd, show, activate);
    if (show) {
      InvalidateTreeArea(hwnd, Rect{0, 0, n->bounds.Width(), n->bounds.Height()});
      if (activate) SetActiveWindow(hwnd);
    }
  } else if (IsWindowVisible(n->parent)) {
    InvalidateTreeArea(TopOf(hwnd), BoundsInTop(*n));
  }
  return was;
}

bool IsWindowShown(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n && n->shown;
}

bool IsWindowVisible(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (!n) return false;
  for (; n; n = Find(n->parent)) {
    if (!n->shown) return false;
  }
  return true;
}

bool EnableWindow(Hwnd hwnd, bool enable) {
  Node* n = Find(hwnd);
  if (!n) return false;
  bool wasDisabled = !n->enabled;
  if (n->enabled == enable) return wasDisabled;
  State& s = S();
  if (!enable) {
    // A disabled window takes no input: its subtree loses the focus and the capture.
    if (s.focus && IsDescendant(hwnd, s.focus)) SetFocus(0);
    if (s.capture && IsDescendant(hwnd, s.capture)) ReleaseCapture();
  }
  if (Node* again = Find(hwnd)) again->enabled = enable;
  SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (!n) return false;
  for (; n; n = Find(n->parent)) {
    if (!n->enabled) return false;
  }
  return true;
}

// ---- Geometry ----

namespace {

void Reorder(Node& n, Hwnd insertAfter) {
  auto& list = SiblingList(n);
  if (insertAfter == HWND_TOPMOST) n.exStyle |= WS_EX_TOPMOST;
  if (insertAfter == HWND_NOTOPMOST) n.exStyle &= ~WS_EX_TOPMOST;
  std::erase(list, n.handle);
  if (insertAfter == HWND_BOTTOM) {
    list.insert(list.begin(), n.handle);
  } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    list.push_back(n.handle);
  } else {
    // Behind the given sibling (it stays just above).
    auto it = std::find(list.begin(), list.end(), insertAfter);
    list.insert(it, n.handle);
  }
  if (n.parent == 0) {
    // Owned windows follow their owner up.
    std::vector<Hwnd> owned;
    for (Hwnd t : list) {
      if (Find(t)->owner == n.handle) owned.push_back(t);
    }
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
      for (Hwnd t : owned) {
        std::erase(list, t);
        list.push_back(t);
      }
    }
    NormalizeTopLevelOrder();
    S().backend->RaiseTopLevel(n.handle);
    for (Hwnd t : owned) S().backend->RaiseTopLevel(t);
  }
}

}  // namespace

bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, const Rect& bounds, uint32_t flags) {
  Node* n = Find(hwnd);
  if (!n) return false;
  WindowPos wp{hwnd, insertAfter, bounds.left, bounds.top, bounds.Width(), bounds.Height(), flags};
  if (flags & SWP_NOMOVE) wp.x = n->bounds.left, wp.y = n->bounds.top;
  if (flags & SWP_NOSIZE) wp.cx = n->bounds.Width(), wp.cy = n->bounds.Height();
  SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<intptr_t>(&wp));
  n = Find(hwnd);
  if (!n) return false;
  Rect old = n->bounds;
  Rect nb = FitBounds(wp.x, wp.y, wp.cx, wp.cy, n->parent == 0);
  bool changed = !(nb == old);
  bool visible = IsWindowVisible(hwnd);
  Rect oldInTop = BoundsInTop(*n);
  n->bounds = nb;
  if (!(wp.flags & SWP_NOZORDER)) Reorder(*n, wp.insertAfter);
  if (n->parent == 0) {
    if (nb.Width() != old.Width() || nb.Height() != old.Height()) {
      n->surface = std::make_shared<Bitmap>(std::max(1, nb.Width()), std::max(1, nb.Height()));
      if (n->shown) InvalidateTreeArea(hwnd, {0, 0, nb.Width(), nb.Height()});
    }
    if (changed && n->inBackend) S().backend->SetTopLevelBounds(hwnd, nb);
  } else if (visible && (changed || !(wp.flags & SWP_NOZORDER))) {
    Hwnd top = TopOf(hwnd);
    InvalidateTreeArea(top, oldInTop);
    InvalidateTreeArea(top, BoundsInTop(*n));
  }
  if (wp.flags & SWP_SHOWWINDOW) ShowWindow(hwnd, true);
  if (wp.flags & SWP_HIDEWINDOW) ShowWindow(hwnd, false);
  if (!Find(hwnd)) return true;
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<intptr_t>(&wp));
  if (Node* again = Find(hwnd)) SendPosMessages(*again, old);
  return true;
}

bool MoveWindow(Hwnd hwnd, const Rect& bounds) {
  return SetWindowPos(hwnd, 0, bounds, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool BringWindowToTop(Hwnd hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, {}, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

// Gives up what a moved subtree can no longer hold in a new top-level window: the caret drawn
// in the old surface, the capture, and the focus when the subtree cannot show it there.
void LeaveOldTopLevel(Hwnd hwnd, Hwnd oldTop) {
  State& s = S();
  if (s.caret.hwnd && IsDescendant(hwnd, s.caret.hwnd)) DestroyCaret();
  if (s.capture && IsDescendant(hwnd, s.capture)) ReleaseCapture();
  if (Node* t = Find(oldTop); t && t->lastFocus && IsDescendant(hwnd, t->lastFocus)) t->lastFocus = 0;
}

}  // namespace

Hwnd SetParent(Hwnd hwnd, Hwnd newParent) {
  Node* n = Find(hwnd);
  Node* np = Find(newParent);
  if (!n || !np || n->parent == 0 || IsDescendant(hwnd, newParent)) return 0;
  Hwnd oldParent = n->parent;
  if (oldParent == newParent) return oldParent;
  Hwnd oldTop = TopOf(hwnd), newTop = TopOf(newParent);
  if (n->shown && IsWindowVisible(oldParent)) InvalidateTreeArea(oldTop, BoundsInTop(*n));
  if (oldTop != newTop) LeaveOldTopLevel(hwnd, oldTop);
  n = Find(hwnd);
  np = Find(newParent);
  if (!n || !np) return 0;
  if (Node* op = Find(n->parent)) std::erase(op->children, hwnd);
  n->parent = newParent;
  np->children.push_back(hwnd);
  if (IsWindowVisible(hwnd)) InvalidateTreeArea(newTop, BoundsInTop(*n));
  State& s = S();
  // The focus stays where it was while the window can still take it.
  if (s.focus && IsDescendant(hwnd, s.focus) && !(IsWindowVisible(s.focus) && IsWindowEnabled(s.focus)))
    SetFocus(0);
  return oldParent;
}

bool SetWindowState(Hwnd hwnd, WindowState state) {
  Node* n = Find(hwnd);
  if (!n || n->parent != 0) return false;
  WindowState old = n->state;
  if (old == state) return true;
  if (old == WindowState::Normal) n->normalBounds = n->bounds;
  n->state = state;
  S().backend->SetTopLevelState(hwnd, state);
  if (state == WindowState::Minimized) {
    SendSize(*n);
    return true;
  }
  Rect target = state == WindowState::Maximized ? GetScreenRect() : n->normalBounds;
  if (!(target == n->bounds)) {
    SetWindowPos(hwnd, 0, target, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SendSize(*n);
  }
  if (Node* again = Find(hwnd); again && old == WindowState::Minimized && again->shown)
    InvalidateTreeArea(hwnd, {0, 0, again->bounds.Width(), again->bounds.Height()});
  return true;
}

WindowState GetWindowState(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->state : WindowState::Normal;
}

Rect GetWindowBounds(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->bounds : Rect{};
}

Rect GetWindowScreenRect(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (!n) return {};
  Node* top = Find(TopOf(hwnd));
  return BoundsInTop(*n).Offset(top->bounds.left, top->bounds.top);
}

Rect GetClientRect(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (!n) return {};
  Rect c = ClientRectInTop(*n);
  return {0, 0, c.Width(), c.Height()};
}

void SetNonClientInsets(Hwnd hwnd, const Insets& insets) {
  Node* n = Find(hwnd);
  const Insets fit{FitCoord(insets.left), FitCoord(insets.top), FitCoord(insets.right),
                   FitCoord(insets.bottom)};
  if (!n || n->insets == fit) return;
  n->insets = fit;
  n->ncDirty = true;
  if (IsWindowVisible(hwnd)) InvalidateTreeArea(TopOf(hwnd), BoundsInTop(*n));
  SendSize(*n);
}

Insets GetNonClientInsets(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->insets : Insets{};
}

Point ClientToScreen(Hwnd hwnd, Point p) {
  Node* n = Find(hwnd);
  if (!n) return p;
  Node* top = Find(TopOf(hwnd));
  Point o = ClientOriginInTop(*n);
  return {SaturateToInt32(int64_t{p.x} + o.x + top->bounds.left),
          SaturateToInt32(int64_t{p.y} + o.y + top->bounds.top)};
}

Point ScreenToClient(Hwnd hwnd, Point p) {
  Point zero = ClientToScreen(hwnd, {0, 0});
  return {SaturateToInt32(int64_t{p.x} - zero.x), SaturateToInt32(int64_t{p.y} - zero.y)};
}

Hwnd ChildWindowFromPoint(Hwnd parent, Point client) {
  Node* n = Find(parent);
  if (!n) return 0;
  for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) {
    Node* c = Find(*it);
    if (!c->shown || !c->bounds.Contains(client)) continue;
    Point inner{client.x - c->bounds.left - c->insets.left, client.y - c->bounds.top - c->insets.top};
    Rect cr = GetClientRect(c->handle);
    if (!cr.Contains(inner)) return c->handle;  // on the child's border
    return ChildWindowFromPoint(c->handle, inner);
  }
  return parent;
}

Hwnd WindowFromPoint(Point screen) {
  State& s = S();
  for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) {
    Node* t = Find(*it);
    if (!t->shown || !t->bounds.Contains(screen)) continue;
    Point local{screen.x - t->bounds.left - t->insets.left, screen.y - t->bounds.top - t->insets.top};
    if (!GetClientRect(t->handle).Contains(local)) return t->handle;
    return ChildWindowFromPoint(t->handle, local);
  }
  return 0;
}

}  // namespace plat
