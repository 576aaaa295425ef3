#pragma once
// Growing boxes and arranging their children: the twip geometry that flowing text into boxes
// needs (pixel rectangles belong to painting).
#include <cstdint>

namespace qv {

class TBox;
class TDoc;

// Asks for `delta` more twips of height for the child of `parent` (null: the child is a page,
// which cannot grow). The parent grows too when its content needs it, asking its own parent in
// turn; what the ancestors refuse is taken from the grant unless `force`. A request beyond the
// child's maximum height fails unless forced, when it is cut to the maximum (failing below one
// twip). The child's bottom moves down by the grant, written to `granted` when given. True when
// the whole delta was granted, or when forced and something was.
bool GrowBox(TBox* parent, TBox& child, int32_t delta, bool force, int32_t* granted = nullptr);

// Places the children one under the other from the inner top margin down (keeping heights).
void StackChildBoxes(TBox& box);
// The same from the inner bottom margin up, the last child lowest.
void StackChildBoxesFromBottom(TBox& box);
// Stacks the children and centres the stack in the room inside the margins.
void CentreChildBoxes(TBox& box);
// Releases every child box (their lines are detached); the box keeps its size.
void ReleaseChildBoxes(TBox& box);
// The width in twips that lines of the box may fill: the box's inner width in Print Layout, the
// section's text width in the draft views.
int32_t BoxTextWidth(const TBox& box, int32_t sectionTextWidth);
// The box and its children hold no lines and nothing precedes it in its page body: no earlier
// band on the page, every ancestor up to the column body its parent's first child (for a cell
// box: no other cell of its table box starts above it).
bool IsBoxAtBodyTop(const TBox& box);

}  // namespace qv
