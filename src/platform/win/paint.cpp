// Invalidation, the paint cycle, scrolling of window content and showing the images.
//
// Each window paints only the pixels it owns: its client area inside its parents, less its
// visible children and the windows above it. So invalidating a window never repaints another,
// and a window shown, hidden or moved invalidates exactly the area it uncovered or covered.
#include <algorithm>
#include <cstring>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace detail {
namespace {

// Subtracts the visible windows of list that come after (above) the given one.
void SubtractAbove(Region& r, const std::vector<Hwnd>& list, Hwnd self) {
  auto it = std::find(list.begin(), list.end(), self);
  if (it == list.end()) return;
  for (++it; it != list.end(); ++it) {
    const Node* sib = Find(*it);
    if (sib->shown) r.Subtract(BoundsInTop(*sib));
  }
}

bool FindIn(Hwnd h, Hwnd& out) {
  const Node* n = Find(h);
  if (!n->shown) return false;
  if (!n->update.IsEmpty() || (n->ncDirty && !(n->insets == Insets{}))) {
    out = h;
    return true;
  }
  for (Hwnd c : n->children) {
    if (FindIn(c, out)) return true;
  }
  return false;
}

void PaintTree(Hwnd h) {
  Node* n = Find(h);
  if (!n) return;
  if (!n->update.IsEmpty() || n->ncDirty) PaintNode(h);
  std::vector<Hwnd> kids = GetChildren(h);
  for (Hwnd c : kids) PaintTree(c);
}

void MarkCaretChanged() {
  State& s = S();
  const Node* owner = Find(s.caret.hwnd);
  if (!owner || !IsWindowVisible(owner->handle)) return;
  Point o = ClientOriginInTop(*owner);
  Rect r{s.caret.pos.x + o.x, s.caret.pos.y + o.y, s.caret.pos.x + o.x + s.caret.width,
         s.caret.pos.y + o.y + s.caret.height};
  Node* top = Find(TopOf(owner->handle));
  top->changed.Union(r.Intersect(VisibleClientInTop(*owner)));
}

Rect CaretRectInTop() {
  State& s = S();
  const Node* owner = Find(s.caret.hwnd);
  Point o = ClientOriginInTop(*owner);
  Rect r{s.caret.pos.x + o.x, s.caret.pos.y + o.y, s.caret.pos.x + o.x + s.caret.width,
         s.caret.pos.y + o.y + s.caret.height};
  return r.Intersect(VisibleClientInTop(*owner));
}

// Inverts the caret's pixels in its top-level surface (its own inverse).
void XorCaret() {
  State& s = S();
  const Node* owner = Find(s.caret.hwnd);
  Node* top = Find(TopOf(s.caret.hwnd));
  Rect r = CaretRectInTop().Intersect(top->surface->Bounds());
  Point o = ClientOriginInTop(*owner);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint32_t* row = top->surface->ScanLine(y);
    for (int32_t x = r.left; x < r.right; ++x) {
      if (s.caret.hasShape) {
        int32_t sx = x - o.x - s.caret.pos.x, sy = y - o.y - s.caret.pos.y;
        if ((s.caret.shape.GetPixel(sx, sy) & 0xFFFFFF) == 0) continue;
      }
      row[x] ^= 0x00FFFFFFu;
    }
  }
}

bool CaretDrawnIn(Hwnd top) {
  State& s = S();
  return s.caret.hwnd != 0 && s.caret.hideCount == 0 && s.caret.blinkOn &&
         TopOf(s.caret.hwnd) == top && IsWindowVisible(s.caret.hwnd);
}

}  // namespace

Region VisibleRegion(const Node& n) {
  Region r(VisibleClientInTop(n));
  for (Hwnd c : n.children) {
    const Node* child = Find(c);
    if (child->shown) r.Subtract(BoundsInTop(*child));
  }
  for (const Node* cur = &n; cur->parent != 0; cur = Find(cur->parent)) {
    SubtractAbove(r, Find(cur->parent)->children, cur->handle);
  }
  return r;
}

Region FrameRegion(const Node& n) {
  Rect whole = BoundsInTop(n);
  if (n.parent != 0) whole = whole.Intersect(VisibleClientInTop(*Find(n.parent)));
  Region r(whole);
  r.Subtract(ClientRectInTop(n));
  for (const Node* cur = &n; cur->parent != 0; cur = Find(cur->parent)) {
    SubtractAbove(r, Find(cur->parent)->children, cur->handle);
  }
  return r;
}

namespace {

// Sends WM_NCPAINT with a canvas whose origin is the window's top-left corner, clipped to the
// visible part of its frame.
void PaintFrame(Node& n) {
  n.ncDirty = false;
  if (n.insets == Insets{}) return;
  Region clip = FrameRegion(n);
  if (clip.IsEmpty()) return;
  Hwnd h = n.handle, topHandle = TopOf(h);
  std::shared_ptr<Bitmap> surface = Find(topHandle)->surface;
  Rect b = BoundsInTop(n);
  Point o{b.left, b.top};
  Region local = clip;
  local.Offset(SaturateToInt32(-int64_t{o.x}), SaturateToInt32(-int64_t{o.y}));
  Canvas canvas(*surface);
  canvas.SetOrigin(o);
  canvas.SetClipRegion(clip);
  PaintContext pc{h, local.Bounds(), local, &canvas, surface.get(), o};
  SendMessage(h, WM_NCPAINT, reinterpret_cast<uintptr_t>(&pc), 0);
  canvas.Flush();
  if (Node* t = Find(topHandle)) t->changed.Union(clip);
}

}  // namespace

bool FindPaintCandidate(Hwnd& out) {
  for (Hwnd t : S().topLevels) {
    if (FindIn(t, out)) return true;
  }
  return false;
}

void PaintNode(Hwnd h) {
  Node* n = Find(h);
  if (!n) return;
  if (!IsWindowVisible(h)) {
    n->update = Region();
    n->erase = false;
    n->ncDirty = false;
    return;
  }
  if (n->ncDirty) {
    PaintFrame(*n);
    n = Find(h);
    if (!n) return;
  }
  if (n->update.IsEmpty()) {
    n->erase = false;
    return;
  }
  Hwnd topHandle = TopOf(h);
  Node* top = Find(topHandle);
  Point o = ClientOriginInTop(*n);
  Region clip = n->update;
  clip.Offset(o.x, o.y);
  clip.Intersect(VisibleRegion(*n));
  bool erase = n->erase;
  // Validated before painting: whatever the handlers invalidate while painting comes back.
  n->update = Region();
  n->erase = false;
  if (clip.IsEmpty()) return;
  Region local = clip;
  local.Offset(SaturateToInt32(-int64_t{o.x}), SaturateToInt32(-int64_t{o.y}));
  std::shared_ptr<Bitmap> surface = top->surface;
  Canvas canvas(*surface);
  canvas.SetOrigin(o);
  canvas.SetClipRegion(clip);
  PaintContext pc{h, local.Bounds(), local, &canvas, surface.get(), o};
  if (erase) SendMessage(h, WM_ERASEBKGND, reinterpret_cast<uintptr_t>(&pc), 0);
  SendMessage(h, WM_PAINT, 0, reinterpret_cast<intptr_t>(&pc));
  canvas.Flush();
  if (Node* t = Find(topHandle)) t->changed.Union(clip);
}

void PresentAll() {
  State& s = S();
  for (Hwnd t : s.topLevels) {
    Node* n = Find(t);
    if (!n->inBackend || !n->shown || n->changed.IsEmpty()) continue;
    bool caret = CaretDrawnIn(t);
    if (caret) XorCaret();
    s.backend->Present(t, *n->surface, n->changed);
    if (caret) XorCaret();
    n->changed = Region();
  }
}

void CaretTick(uint64_t now) {
  State& s = S();
  if (s.caret.hwnd == 0 || s.caret.hideCount != 0 || s.caretBlinkMs == 0) return;
  if (now < s.caret.nextBlink) return;
  s.caret.blinkOn = !s.caret.blinkOn;
  s.caret.nextBlink = now + s.caretBlinkMs;
  MarkCaretChanged();
}

uint64_t NextCaretEvent() {
  State& s = S();
  if (s.caret.hwnd == 0 || s.caret.hideCount != 0 || s.caretBlinkMs == 0) return 0;
  return s.caret.nextBlink;
}

}  // namespace detail

using namespace detail;

// ---- Invalidation ----

void InvalidateRegion(Hwnd hwnd, const Region& region, bool erase) {
  Node* n = Find(hwnd);
  if (!n || !IsWindowVisible(hwnd)) return;  // showing a window invalidates all of it
  Region r = region;
  r.Intersect(Region(GetClientRect(hwnd)));
  if (r.IsEmpty()) return;
  n->update.Union(r);
  n->erase = n->erase || erase;
}

void InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) {
  InvalidateRegion(hwnd, Region(rect ? *rect : GetClientRect(hwnd)), erase);
}

void RedrawFrame(Hwnd hwnd) {
  Node* n = Find(hwnd);
  if (n && IsWindowVisible(hwnd)) n->ncDirty = true;
}

void ValidateRect(Hwnd hwnd, const Rect* rect) {
  Node* n = Find(hwnd);
  if (!n) return;
  if (rect) n->update.Subtract(*rect);
  else n->update = Region();
  if (n->update.IsEmpty()) n->erase = false;
}

Region GetUpdateRegion(Hwnd hwnd) {
  Node* n = Find(hwnd);
  return n ? n->update : Region();
}

void UpdateWindow(Hwnd hwnd) {
  if (!Find(hwnd)) return;
  PaintTree(hwnd);
  PresentAll();
}

void ScrollWindowEx(Hwnd hwnd, int32_t dx, int32_t dy, const Rect* scroll, const Rect* clip) {
  Node* n = Find(hwnd);
  if (!n || !IsWindowVisible(hwnd) || (dx == 0 && dy == 0)) return;
  // Scrolling further than any window reaches moves everything out all the same.
  dx = FitCoord(dx);
  dy = FitCoord(dy);
  Rect client = GetClientRect(hwnd);
  Rect sr = scroll ? scroll->Intersect(client) : client;
  Rect cr = clip ? clip->Intersect(client) : client;
  Point o = ClientOriginInTop(*n);
  Region vis = VisibleRegion(*n);
  vis.Offset(SaturateToInt32(-int64_t{o.x}), SaturateToInt32(-int64_t{o.y}));
  Region src(sr);
  src.Intersect(vis);
  Region dest = src;
  dest.Offset(dx, dy);
  dest.Intersect(Region(cr));
  dest.Intersect(vis);
  // Move the pixels through a copy of the source bounds (source and destination overlap).
  Node* top = Find(TopOf(hwnd));
  Bitmap& bmp = *top->surface;
  Rect sb = dest.Bounds().Offset(-dx, -dy).Offset(o.x, o.y).Intersect(bmp.Bounds());
  if (!sb.IsEmpty()) {
    std::vector<uint32_t> copy(size_t(sb.Width()) * size_t(sb.Height()));
    for (int32_t y = sb.top; y < sb.bottom; ++y)
      std::memcpy(&copy[size_t(y - sb.top) * sb.Width()], bmp.ScanLine(y) + sb.left, size_t(sb.Width()) * 4);
    for (const Rect& r0 : dest.Rects()) {
      Rect r = r0.Offset(o.x, o.y).Intersect(sb.Offset(dx, dy)).Intersect(bmp.Bounds());
      for (int32_t y = r.top; y < r.bottom; ++y) {
        const uint32_t* from = &copy[size_t(y - dy - sb.top) * sb.Width() + size_t(r.left - dx - sb.left)];
        std::memcpy(bmp.ScanLine(y) + r.left, from, size_t(r.Width()) * 4);
      }
    }
  }
  // Pending update areas travel with their pixels; the uncovered part is invalidated.
  Region moved = n->update;
  moved.Intersect(src);
  n->update.Subtract(src);
  moved.Offset(dx, dy);
  moved.Intersect(Region(cr));
  n->update.Union(moved);
  Region uncovered(sr.Intersect(cr));
  uncovered.Intersect(vis);
  uncovered.Subtract(dest);
  if (!uncovered.IsEmpty()) {
    n->update.Union(uncovered);
    n->erase = true;
  }
  Region changed = dest;
  changed.Offset(o.x, o.y);
  top->changed.Union(changed);
}

const Bitmap* GetWindowSurface(Hwnd topLevel) {
  Node* n = Find(topLevel);
  return (n && n->parent == 0) ? n->surface.get() : nullptr;
}

void SaveWindowPng(Hwnd hwnd, const std::string& path) {
  Hwnd top = TopOf(hwnd);
  if (!top) throw WindowSystemError("no such window to save");
  PaintTree(top);
  Find(top)->surface->SavePng(path);
}

// ---- Caret ----

bool CreateCaret(Hwnd hwnd, int32_t width, int32_t height, const Bitmap* shape) {
  State& s = S();
  if (!Find(hwnd)) return false;
  DestroyCaret();
  Caret c;
  c.hwnd = hwnd;
  c.width = shape ? shape->Width() : std::clamp(width, 1, kCoordLimit);
  c.height = shape ? shape->Height() : std::clamp(height, 1, kCoordLimit);
  if (shape) {
    c.shape = *shape;
    c.hasShape = true;
  }
  s.caret = std::move(c);
  return true;
}

bool DestroyCaret() {
  State& s = S();
  if (s.caret.hwnd == 0) return false;
  if (s.caret.hideCount == 0) MarkCaretChanged();
  s.caret = Caret();
  return true;
}

bool SetCaretPos(int32_t x, int32_t y) {
  State& s = S();
  if (s.caret.hwnd == 0) return false;
  bool shown = s.caret.hideCount == 0;
  if (shown) MarkCaretChanged();
  s.caret.pos = {FitCoord(x), FitCoord(y)};
  // A moved caret shows at once and starts a new blink period.
  s.caret.blinkOn = true;
  s.caret.nextBlink = s.clock->NowMs() + s.caretBlinkMs;
  if (shown) MarkCaretChanged();
  return true;
}

Point GetCaretPos() { return S().caret.pos; }

bool ShowCaret(Hwnd hwnd) {
  State& s = S();
  if (s.caret.hwnd == 0 || (hwnd != 0 && hwnd != s.caret.hwnd)) return false;
  if (s.caret.hideCount == 0) return true;
  if (--s.caret.hideCount == 0) {
    s.caret.blinkOn = true;
    s.caret.nextBlink = s.clock->NowMs() + s.caretBlinkMs;
    MarkCaretChanged();
  }
  return true;
}

bool HideCaret(Hwnd hwnd) {
  State& s = S();
  if (s.caret.hwnd == 0 || (hwnd != 0 && hwnd != s.caret.hwnd)) return false;
  if (s.caret.hideCount == 0) MarkCaretChanged();
  ++s.caret.hideCount;
  return true;
}

void SetCaretBlinkTime(uint32_t ms) { S().caretBlinkMs = ms; }
uint32_t GetCaretBlinkTime() { return S().caretBlinkMs; }

CaretInfo GetCaretInfo() {
  State& s = S();
  CaretInfo info;
  if (s.caret.hwnd == 0) return info;
  info.hwnd = s.caret.hwnd;
  info.rect = {s.caret.pos.x, s.caret.pos.y, s.caret.pos.x + s.caret.width, s.caret.pos.y + s.caret.height};
  info.visible = s.caret.hideCount == 0;
  info.blinkOn = info.visible && s.caret.blinkOn;
  return info;
}

}  // namespace plat
