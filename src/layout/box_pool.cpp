#include "layout/box_pool.h"

#include <algorithm>
#include <array>
#include <memory>

#include "document/compound_fragment.h"
#include "document/line.h"
#include "document/table_row.h"

namespace qv {

namespace {

// The pools own the boxes they hold. Boxes released after the pools are gone (documents freed
// at exit) are simply destroyed.
bool gPoolsGone = false;

struct TBoxPools {
  std::array<std::vector<std::unique_ptr<TBox>>, BoxKindCount> boxes;
  std::vector<std::unique_ptr<TPageSnapshot>> snapshots;
  uint32_t mark = 0;
  ~TBoxPools() { gPoolsGone = true; }
};

TBoxPools& Pools() {
  static TBoxPools pools;
  return pools;
}

std::unique_ptr<TBox> MakeBox(TBoxKind kind) {
  switch (kind) {
    case TBoxKind::Cell: return std::make_unique<TCellBox>();
    case TBoxKind::Table: return std::make_unique<TTableBox>();
    case TBoxKind::Page: return std::make_unique<TPage>();
    default: return std::make_unique<TBox>();
  }
}

void ResetBox(TBox& box) {
  box.Flags = 0;
  box.Area = TBox::AreaNone;
  box.Column = TBox::SingleColumn;
  box.Rect = {};
  box.PixelRect = {};
  box.MaxHeight = TBox::Unlimited;
  box.Margins = {};
  box.PixelMargins = {};
  box.SeparatorHeight = 0;
  box.SeparatorGap = 0;
  box.FillPos = 0;
  box.GeometryValues[0] = box.GeometryValues[1] = 0;
  switch (box.Kind) {
    case TBoxKind::Cell: {
      auto& c = static_cast<TCellBox&>(box);
      c.CellIndex = 0;
      c.CellRange = {};
      c.Cell = nullptr;
      c.MergeLastRow = -1;
      c.Row = nullptr;
      c.RowRange = {};
      break;
    }
    case TBoxKind::Table: {
      auto& t = static_cast<TTableBox&>(box);
      t.FirstPar = 0;
      t.CellExtent = t.CellExtentPx = t.MoveHandlePx = t.SizeHandlePx = {};
      t.HeaderRowCount = t.HeaderHeight = t.LastHeaderPar = 0;
      break;
    }
    case TBoxKind::Page: {
      auto& p = static_cast<TPage&>(box);
      p.Index = 0;
      p.Section = nullptr;
      p.HeaderField = p.FooterField = nullptr;
      p.HeaderBox = p.FooterBox = nullptr;
      p.FootnoteCounter = p.EndnoteCounter = 0;
      break;
    }
    default:
      break;
  }
}

std::unique_ptr<TPageSnapshot> TakeSnapshotBuffer() {
  auto& free = Pools().snapshots;
  if (free.empty()) return std::make_unique<TPageSnapshot>();
  std::unique_ptr<TPageSnapshot> s = std::move(free.back());
  free.pop_back();
  s->Records.clear();
  return s;
}

void GiveBackSnapshot(std::unique_ptr<TPageSnapshot> s) {
  s->Footnotes.reset();
  s->Endnotes.reset();
  s->Shapes.clear();
  if (gPoolsGone || MemoryUnderPressure()) return;
  Pools().snapshots.push_back(std::move(s));
}

void RecordTree(TBox& box, TPageSnapshot& s) {
  s.Records.push_back({&box, box.LineCount(), box.Rect.bottom, box.FillPos});
  for (TBoxRef& child : box.Children) RecordTree(*child, s);
}

// Removes every box of the tree that does not carry the mark of the recorded boxes.
void RemoveUnmarked(TBox& box, uint32_t mark) {
  auto& children = box.Children;
  children.erase(std::remove_if(children.begin(), children.end(),
                                [mark](const TBoxRef& c) { return c->SnapshotMark != mark; }),
                 children.end());
  for (TBoxRef& child : children) RemoveUnmarked(*child, mark);
}

void AssignFragment(TFragmentRef& target, const TFragmentRef& copy) {
  if (!copy) {
    target.reset();
  } else if (target) {
    target->Assign(*copy);
  } else {
    target = CloneFragment(*copy);
  }
}

}  // namespace

TBoxRef AcquireBox(TBox* owner, TBoxKind kind, TDoc* doc) {
  std::unique_ptr<TBox> box;
  auto& pool = Pools().boxes[static_cast<size_t>(kind)];
  if (!gPoolsGone && !pool.empty()) {
    box = std::move(pool.back());
    pool.pop_back();
    ResetBox(*box);
  } else {
    box = MakeBox(kind);
  }
  box->Kind = kind;
  if (kind == TBoxKind::Page) {
    box->Doc = doc;
    box->Parent = nullptr;
    box->Page = static_cast<TPage*>(box.get());
  } else if (owner != nullptr) {
    box->Parent = owner;
    box->Page = owner->Parent == nullptr ? static_cast<TPage*>(owner) : owner->Page;
    box->Doc = owner->Doc;
  }
  return TBoxRef(box.release());
}

TPage* AcquirePage(TDoc& doc) {
  return static_cast<TPage*>(AcquireBox(nullptr, TBoxKind::Page, &doc).release());
}

void ReleaseBox(TBox* box) {
  if (box == nullptr) return;
  std::unique_ptr<TBox> owned(box);
  owned->TruncateLines(0);
  owned->Children.clear();
  owned->Parent = nullptr;
  if (owned->Kind == TBoxKind::Page) {
    auto& page = static_cast<TPage&>(*owned);
    page.Footnotes.reset();
    page.Endnotes.reset();
    page.Shapes.clear();
    page.DeferredShapes.clear();
    page.MainTextCut = false;
    while (!page.Snapshots.empty()) DiscardPageSnapshot(page);
    page.HeaderBox = page.FooterBox = nullptr;
  }
  if (gPoolsGone || MemoryUnderPressure()) return;
  Pools().boxes[static_cast<size_t>(owned->Kind)].push_back(std::move(owned));
}

int32_t BoxPoolSize(TBoxKind kind) {
  return gPoolsGone ? 0 : static_cast<int32_t>(Pools().boxes[static_cast<size_t>(kind)].size());
}

void ClearBoxPools() {
  if (gPoolsGone) return;
  for (auto& pool : Pools().boxes) std::vector<std::unique_ptr<TBox>>().swap(pool);
  Pools().snapshots.clear();
}

void TakePageSnapshot(TPage& page) {
  std::unique_ptr<TPageSnapshot> s = TakeSnapshotBuffer();
  RecordTree(page, *s);
  s->FootnoteCounter = page.FootnoteCounter;
  s->EndnoteCounter = page.EndnoteCounter;
  s->Footnotes = page.Footnotes ? CloneFragment(*page.Footnotes) : TFragmentRef();
  s->Endnotes = page.Endnotes ? CloneFragment(*page.Endnotes) : TFragmentRef();
  s->Shapes = page.Shapes;
  page.Snapshots.push_back(std::move(s));
}

void RestorePageSnapshot(TPage& page) {
  if (!page.Snapshots.empty()) RestorePageSnapshot(page, *page.Snapshots.back());
}

void RestorePageSnapshot(TPage& page, const TPageSnapshot& s) {
  page.FootnoteCounter = s.FootnoteCounter;
  page.EndnoteCounter = s.EndnoteCounter;
  AssignFragment(page.Footnotes, s.Footnotes);
  AssignFragment(page.Endnotes, s.Endnotes);
  if (!page.HasFlag(TBox::KeepShapeList)) page.Shapes = s.Shapes;
  const uint32_t mark = ++Pools().mark;
  for (const TSnapshotRecord& r : s.Records) {
    TBox& box = *r.Box;
    box.TruncateLines(r.LineCount);
    box.Rect.bottom = r.Bottom;
    box.FillPos = r.FillPos;
    box.SnapshotMark = mark;
  }
  if (page.HeaderBox != nullptr && page.HeaderBox->SnapshotMark != mark) page.HeaderBox = nullptr;
  if (page.FooterBox != nullptr && page.FooterBox->SnapshotMark != mark) page.FooterBox = nullptr;
  RemoveUnmarked(page, mark);
}

void DiscardPageSnapshot(TPage& page) {
  if (page.Snapshots.empty()) return;
  std::unique_ptr<TPageSnapshot> s = std::move(page.Snapshots.back());
  page.Snapshots.pop_back();
  GiveBackSnapshot(std::move(s));
}

void DiscardPageSnapshot(TPage& page, const TPageSnapshot* snapshot) {
  auto& list = page.Snapshots;
  for (size_t i = list.size(); i-- > 0;) {
    if (list[i].get() != snapshot) continue;
    std::unique_ptr<TPageSnapshot> s = std::move(list[i]);
    list.erase(list.begin() + static_cast<ptrdiff_t>(i));
    GiveBackSnapshot(std::move(s));
    return;
  }
}

const TPageSnapshot* LastPageSnapshot(const TPage& page) {
  return page.Snapshots.empty() ? nullptr : page.Snapshots.back().get();
}

int32_t PageSnapshotCount(const TPage& page) { return static_cast<int32_t>(page.Snapshots.size()); }

void DetachLineFromBox(TLine& line) {
  TBox* box = line.Box;
  if (box == nullptr) return;
  if (line.Slot < box->Lines.size() && box->Lines[line.Slot] == &line) box->Lines[line.Slot] = nullptr;
  line.Box = nullptr;
}

}  // namespace qv
