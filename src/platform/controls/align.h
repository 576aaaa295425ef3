#pragma once
// Alignment of child controls: each visible child with an Align other than None takes a strip
// of what is left of the parent's client area, in the order Top, Bottom, Left, Right (each kind
// in the order the children were added), and Client children take the rest. Splitters are
// aligned children like any other: moving one resizes its neighbour, and the layout follows.
#include "platform/gfx/types.h"

namespace plat {

class Control;

// Lays out the aligned children of parent inside its client area.
void AlignChildren(Control& parent);
// The part of the parent's client area left after the Top, Bottom, Left and Right children.
Rect AlignedClientArea(const Control& parent);

}  // namespace plat
