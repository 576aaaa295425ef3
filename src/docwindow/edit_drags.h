#pragma once
// Where the mouse input hands over to the drags that edit the document: text drag and drop,
// inline pictures and floating shapes resized or moved, a shape's anchor and wrap points, table
// edges and the table insert markers. Each start sets its gesture bit of the window's Flags and
// captures the mouse, so that moves reach the drag and the release ends it; the drags themselves
// change nothing yet (a press still selects, a release still collapses the selection).
#include <cstdint>

namespace qv {

class TDocForm;
struct THitTestInfo;

void BeginWrapPointDrag(TDocForm& form, const THitTestInfo& hit, uint32_t keys);
void BeginAnchorMove(TDocForm& form, int32_t x, int32_t y);
void BeginShapeResize(TDocForm& form, const THitTestInfo& hit);
void BeginShapeMove(TDocForm& form, int32_t x, int32_t y);
void BeginTableEdgeDrag(TDocForm& form, const THitTestInfo& hit);
void BeginInlinePictureResize(TDocForm& form, const THitTestInfo& hit);
// A row or column inserted at the table insert marker under the point.
void InsertAtTableMarker(TDocForm& form, const THitTestInfo& hit);
// A move while one of the editing drags runs; the auto-scroll check runs for it.
void EditDragMove(TDocForm& form, int32_t x, int32_t y, uint32_t keys);
// The release of an editing drag (before cancel mode ends its state).
void EditDragRelease(TDocForm& form, int32_t x, int32_t y, uint32_t keys);

}  // namespace qv
