#pragma once
// The cases of the left button that the window's mouse handlers (mouse_input.cpp) choose
// between: a press by the hit test's findings, the extension of a selecting drag by its kind,
// and a double click.
#include <cstdint>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TDocForm;
struct THitTestInfo;

// A press with no tool or with a formatting tool (Format Brush, Highlight, Font color).
void PressWithTool(TDocForm& form, int32_t x, int32_t y, uint32_t keys, bool triple);
// A move of a selecting drag to the point the hit test describes.
void MoveWhileSelecting(TDocForm& form, const THitTestInfo& hit, uint32_t keys);
// The double-click cases with no tool or a formatting tool.
void DoubleClickCases(TDocForm& form, int32_t x, int32_t y, uint32_t keys);
// A hyperlink (or a field with the \h switch) followed on its release.
void FollowLinkAt(TDocForm& form, const THitTestInfo& hit);
// Whether the hit lies on a field that is followed by a click.
bool IsOnLink(const THitTestInfo& hit);

// Shared steps of the gestures.
// The gesture extends by the kind as the mouse moves; the mouse is captured.
void StartSelectingDrag(TDocForm& form, uint8_t kind);
// Selects the range (added to the base selection when `add`) keeping the anchor at its start.
void SelectRangeAnchored(TDoc& doc, const TDocRange& range, bool add);

}  // namespace qv
