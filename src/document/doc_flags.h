#pragma once
// Scoped document flags. A document carries 256 byte flags, each 0 or 1, that operations switch
// on or off for their own extent (suppress repainting, layout, scrolling ...). Operations nest,
// so every change is pushed onto the document's flag stack and undone last in first out.
//
// An entry of the stack is 16 bits: the flag number in the low byte and the flag's previous value
// in bit 15. The stack starts with room for 16 entries (32 bytes) and doubles when full.
#include <cstdint>
#include <vector>

namespace qv {

class TDoc;

// Flag numbers the document model and the layout read or set. The document object's own ones
// (dfBuilding, dfFreeWindowAtOnce) are in document/doc.h.
enum : int32_t {
  dfPreview = 3,              // a preview document, or one being printed: painted without
                              // editing decorations
  dfPlaceWithoutRoom = 5,     // lines are placed even where a box has no room for them
  dfViewModeChange7 = 7,      // held through a temporary view mode
  dfViewModeChange11 = 11,    // cleared while a temporary view mode is set up
  dfArrangeOnZoom = 13,       // a zoom change arranges the pages again
  dfViewModeChange14 = 14,    // set around view-mode changes and re-pagination
  dfViewModeChange16 = 16,
  dfKeepSelectedShapes = 18,  // the shape selection is kept during a selection change
  dfNotShown = 21,            // the document is not (yet) shown in a window
  dfLayoutSuspended = 33,     // layout is suspended (page-dependent fields are being updated)
  dfUndoing = 42,             // an undo runs
  dfUndoRedo = 43,            // an undo or redo runs
  dfMultiPlaceTyping = 48,    // typing goes to every multi-place typing point
  dfHidden = 65,
  dfFieldShadingInPreview = 96,  // a preview document that still shades its fields
  dfEditAction = 113,         // an edit action runs
};

class TScopedFlagStack {
 public:
  static constexpr int32_t InitialCapacityBytes = 32;

  TScopedFlagStack();
  // Pushes one entry, doubling the capacity when the stack is full.
  void Push(int32_t flag, uint8_t previous);
  // Pops the last entry; false when the stack is empty.
  bool Pop(int32_t& flag, uint8_t& previous);
  int32_t Depth() const { return static_cast<int32_t>(entries_.size()); }
  int32_t CapacityBytes() const { return capacity_ * 2; }
  int32_t UsedBytes() const { return Depth() * 2; }

 private:
  std::vector<uint16_t> entries_;
  int32_t capacity_ = InitialCapacityBytes / 2;  // entries
};

// Sets (or clears) a document flag for the lifetime of the object and restores it when the scope
// is left, also through an exception.
class TScopedDocFlag {
 public:
  TScopedDocFlag(TDoc& doc, int32_t flag, bool value = true);
  ~TScopedDocFlag();
  TScopedDocFlag(const TScopedDocFlag&) = delete;
  TScopedDocFlag& operator=(const TScopedDocFlag&) = delete;

 private:
  TDoc& doc_;
  bool pushed_ = false;
};

}  // namespace qv
