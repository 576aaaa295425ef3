#include "platform/controls/align.h"

#include <algorithm>

#include "platform/controls/control.h"

namespace plat {
namespace {

// Places the strips of one alignment kind and shrinks the free rectangle; with place false it
// only computes.
void PlaceKind(const Control& parent, Align kind, Rect& free, bool place) {
  for (Control* c : parent.Controls()) {
    if (c->GetAlign() != kind || !c->Visible()) continue;
    Rect r = c->BoundsRect();
    int32_t w = r.Width(), h = r.Height();
    Rect to;
    switch (kind) {
      case Align::Top:
        to = {free.left, free.top, free.right, free.top + h};
        free.top += h;
        break;
      case Align::Bottom:
        to = {free.left, free.bottom - h, free.right, free.bottom};
        free.bottom -= h;
        break;
      case Align::Left:
        to = {free.left, free.top, free.left + w, free.bottom};
        free.left += w;
        break;
      case Align::Right:
        to = {free.right - w, free.top, free.right, free.bottom};
        free.right -= w;
        break;
      default:
        to = {free.left, free.top, std::max(free.left, free.right), std::max(free.top, free.bottom)};
        break;
    }
    if (to.right < to.left) to.right = to.left;
    if (to.bottom < to.top) to.bottom = to.top;
    if (place) c->SetBounds(to);
  }
}

}  // namespace

Rect AlignedClientArea(const Control& parent) {
  Rect free = parent.ClientRect();
  for (Align k : {Align::Top, Align::Bottom, Align::Left, Align::Right}) PlaceKind(parent, k, free, false);
  return free;
}

void AlignChildren(Control& parent) {
  Rect free = parent.ClientRect();
  for (Align k : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client})
    PlaceKind(parent, k, free, true);
}

}  // namespace plat
