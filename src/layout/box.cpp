#include "layout/box.h"

#include <algorithm>

#include "document/line.h"
#include "document/par.h"
#include "layout/box_pool.h"

namespace qv {

void TBoxReleaser::operator()(TBox* box) const { ReleaseBox(box); }

TBox::~TBox() {
  for (TLine* line : Lines)
    if (line != nullptr && line->Box == this) line->Box = nullptr;
}

TPage::TPage() {
  Kind = TBoxKind::Page;
  Page = this;
}

TPage::~TPage() = default;

TLine* TBox::LastLine() const {
  for (auto it = Lines.rbegin(); it != Lines.rend(); ++it)
    if (*it != nullptr) return *it;
  return nullptr;
}

TBox* TBox::AddChild(TBoxRef child, const TBox* before) {
  TBox* c = child.get();
  c->Parent = this;
  c->Page = Page != nullptr ? Page : static_cast<TPage*>(this);
  auto at = Children.end();
  if (before != nullptr)
    at = std::find_if(Children.begin(), Children.end(), [before](const TBoxRef& b) { return b.get() == before; });
  Children.insert(at, std::move(child));
  return c;
}

void TBox::RemoveChild(const TBox* child) {
  auto it = std::find_if(Children.begin(), Children.end(), [child](const TBoxRef& b) { return b.get() == child; });
  if (it != Children.end()) Children.erase(it);
}

void TBox::AppendLine(TLine& line) {
  // A line lies in one box at a time: a box it was left in (the same header paragraph laid out
  // for another page) forgets it, so that no box keeps a line that is later released.
  if (line.Box != nullptr && line.Box != this) DetachLineFromBox(line);
  line.Box = this;
  line.Slot = static_cast<uint16_t>(Lines.size());
  Lines.push_back(&line);
}

void TBox::TruncateLines(int32_t count) {
  count = std::max(count, 0);
  for (size_t i = static_cast<size_t>(count); i < Lines.size(); ++i)
    if (Lines[i] != nullptr && Lines[i]->Box == this) Lines[i]->Box = nullptr;
  if (static_cast<size_t>(count) < Lines.size()) Lines.resize(static_cast<size_t>(count));
}

plat::Point TBox::OffsetInPage() const {
  plat::Point p;
  for (const TBox* b = this; b != nullptr && b->Parent != nullptr; b = b->Parent) {
    p.x += b->Rect.left;
    p.y += b->Rect.top;
  }
  return p;
}

TCellBox* GetCellBox(TBox* box) {
  for (; box != nullptr; box = box->Parent)
    if (box->Kind == TBoxKind::Cell) return static_cast<TCellBox*>(box);
  return nullptr;
}

TTableBox* GetTableBox(TBox* box) {
  for (; box != nullptr; box = box->Parent)
    if (box->Kind == TBoxKind::Table) return static_cast<TTableBox*>(box);
  return nullptr;
}

bool IsBoxEmpty(const TBox& box) {
  for (const TLine* line : box.Lines)
    if (line != nullptr) return false;
  for (const TBoxRef& child : box.Children)
    if (!IsBoxEmpty(*child)) return false;
  return true;
}

bool BoxLinesWithin(const TBox& box, uint32_t areas, const TDocRange& range) {
  const bool hasLines = std::any_of(box.Lines.begin(), box.Lines.end(), [](const TLine* l) { return l != nullptr; });
  if (hasLines) {
    if (box.Area == TBox::AreaNone || (AreaBit(box.Area) & areas) == 0) return true;
    for (const TLine* line : box.Lines) {
      if (line == nullptr || line->Par == nullptr) continue;
      const int32_t p = line->Par->Index;
      if (p < range.Start.Par || p > range.End.Par) return false;
    }
  }
  for (const TBoxRef& child : box.Children)
    if (!BoxLinesWithin(*child, areas, range)) return false;
  return true;
}

bool IsAncestor(const TBox* box, const TBox* other) {
  if (box == nullptr || other == nullptr) return false;
  for (const TBox* b = box->Parent; b != nullptr; b = b->Parent)
    if (b == other) return true;
  return false;
}

bool IsInFooter(const TBox* box) {
  for (; box != nullptr; box = box->Parent)
    if (box->HasFlag(TBox::FooterBox)) return true;
  return false;
}

TLine* GetFirstLineOfBox(const TBox& box, uint32_t areas) {
  if (box.Area != TBox::AreaNone && (AreaBit(box.Area) & areas) != 0) {
    for (TLine* line : box.Lines)
      if (line != nullptr) return line;
  }
  for (const TBoxRef& child : box.Children)
    if (TLine* line = GetFirstLineOfBox(*child, areas)) return line;
  return nullptr;
}

}  // namespace qv
