#pragma once
// Box pools and page snapshots. Layout makes and throws away boxes at a high rate (every
// backtracking step restores a page), so boxes are reused from a pool per kind. A page snapshot
// records, for every box of the page's tree, its line count, bottom and fill position, with the
// page's note counters, note fragments and shape list, so that a tentative layout step can be
// undone by a walk of the tree. Snapshots are taken and discarded last in first out.
//
// While more than 1 GiB is allocated, released boxes (and snapshot buffers) are destroyed
// instead of pooled.
#include <cstdint>
#include <vector>

#include "layout/box.h"

namespace qv {

// A box of the kind for an owner box (for a page the owner is null and the document given):
// from the kind's pool when it holds one, else new. Its parent, page and document come from the
// owner; flags 0, no area, no rectangle, margins or lines, unlimited maximum height.
TBoxRef AcquireBox(TBox* owner, TBoxKind kind, TDoc* doc = nullptr);
// A page for the document.
TPage* AcquirePage(TDoc& doc);
// Returns a box to its pool: its lines are detached, its children released, a page's fragments,
// shapes and snapshots dropped.
void ReleaseBox(TBox* box);
// Boxes waiting in the pool of a kind, and all pools emptied.
int32_t BoxPoolSize(TBoxKind kind);
void ClearBoxPools();

struct TSnapshotRecord {
  TBox* Box = nullptr;
  int32_t LineCount = 0;
  int32_t Bottom = 0;
  int32_t FillPos = 0;
};

struct TPageSnapshot {
  std::vector<TSnapshotRecord> Records;  // the page's tree in pre-order, the page first
  int32_t FootnoteCounter = 0;
  int32_t EndnoteCounter = 0;
  TFragmentRef Footnotes;  // copies of the page's fragments; null when the page had none
  TFragmentRef Endnotes;
  std::vector<TShape*> Shapes;
};

void TakePageSnapshot(TPage& page);
// Puts the page back as the last snapshot recorded it (the snapshot stays): counters, note
// fragments, the shape list (unless the page keeps its list), line counts, bottoms and fill
// positions; boxes made since are removed and released.
void RestorePageSnapshot(TPage& page);
// The same for a given snapshot of the page (a flow's backtracking keeps references to its own).
void RestorePageSnapshot(TPage& page, const TPageSnapshot& snapshot);
// Drops the last snapshot, or a given one.
void DiscardPageSnapshot(TPage& page);
void DiscardPageSnapshot(TPage& page, const TPageSnapshot* snapshot);
const TPageSnapshot* LastPageSnapshot(const TPage& page);
int32_t PageSnapshotCount(const TPage& page);

// A released line that still lies in a box: the box's slot for it is emptied and the line
// forgets the box (the line fitter's detaching, which the line pool asks for).
void DetachLineFromBox(TLine& line);

}  // namespace qv
