#include "editing/table_records.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "document/doc.h"
#include "editing/edit_flags.h"
#include "foundation/base/units.h"

namespace qv {

namespace {

struct TSlot {
  uint32_t Offset;
  uint8_t Width;  // 1, 2 or 4 bytes
};

void AddBorder(std::vector<TSlot>& slots, size_t base) {
  for (size_t k = 0; k < sizeof(TBorderLine) / 4; ++k)
    slots.push_back({static_cast<uint32_t>(base + 4 * k), 4});
}

std::vector<TSlot> BuildSlots() {
  using R = TTableRowData;
  using C = TTableCell;
  std::vector<TSlot> s;
  auto add = [&s](size_t offset, uint8_t width) { s.push_back({static_cast<uint32_t>(offset), width}); };
  for (size_t off = offsetof(R, Alignment); off <= offsetof(R, PadBottom); off += 4) add(off, 4);
  for (int b = 0; b < RowBorderCount; ++b)
    AddBorder(s, offsetof(R, Borders) + static_cast<size_t>(b) * sizeof(TBorderLine));
  add(offsetof(R, ShadingColor), 4);
  add(offsetof(R, PatternColor), 4);
  add(offsetof(R, ShadingPercent), 4);
  add(offsetof(R, CellCount), 4);
  for (size_t i = 0; i < static_cast<size_t>(MaxTableCells); ++i) {
    const size_t c = offsetof(R, Cells) + i * sizeof(C);
    for (size_t off = offsetof(C, Right); off <= offsetof(C, PadBottom); off += 4) add(c + off, 4);
    add(c + offsetof(C, RelativeWidth), 1);
    add(c + offsetof(C, VertAlign), 1);
    add(c + offsetof(C, MergeStart), 1);
    add(c + offsetof(C, Merged), 1);
    AddBorder(s, c + offsetof(C, BorderLeft));
    AddBorder(s, c + offsetof(C, BorderTop));
    AddBorder(s, c + offsetof(C, BorderRight));
    AddBorder(s, c + offsetof(C, BorderBottom));
    add(c + offsetof(C, ShadingColor), 4);
    add(c + offsetof(C, PatternColor), 4);
    add(c + offsetof(C, ShadingPercent), 2);
    add(c + offsetof(C, Scratch1), 4);
    add(c + offsetof(C, Scratch2), 4);
  }
  add(offsetof(R, FitAvailWidth), 4);
  add(offsetof(R, FitScaledWidth), 4);
  add(offsetof(R, KeepTogether), 1);
  add(offsetof(R, HeaderRow), 1);
  add(offsetof(R, ReaderScratch), 4);
  return s;
}

const std::vector<TSlot>& Slots() {
  static const std::vector<TSlot> slots = BuildSlots();
  return slots;
}

// The values where the two blocks differ: slot and the new block's value.
std::vector<TFormatRowsOperation::TValue> Differences(const TTableRowData& live,
                                                      const TTableRowData& next) {
  std::vector<TFormatRowsOperation::TValue> out;
  const int32_t n = RowValueSlotCount();
  for (int32_t k = 0; k < n; ++k) {
    const int32_t v = GetRowValue(next, k);
    if (GetRowValue(live, k) != v) out.push_back({k, v});
  }
  return out;
}

int32_t LastRight(const TTableRowData& d) {
  const int32_t n = std::clamp(d.CellCount, 0, MaxTableCells);
  return n == 0 ? d.Left : d.Cells[static_cast<size_t>(n - 1)].Right;
}

// Rows whose width is a share of the available width keep the share their new geometry has:
// otherwise the next fitting would scale a dragged or widened table back to its old share.
void KeepRelativeWidths(std::vector<TTableRowData>& data) {
  if (data.empty() || data.front().FitAvailWidth == 0) return;
  int32_t left = INT32_MAX, widest = 0;
  for (const TTableRowData& d : data) left = std::min(left, d.Left);
  for (const TTableRowData& d : data) {
    const int32_t right = LastRight(d);
    if (right == TableValueUnset) return;
    widest = std::max(widest, right - left);
  }
  const int32_t avail = data.front().FitAvailWidth;
  for (TTableRowData& d : data)
    if (d.PreferredWidth != 0) d.PreferredWidth = MulDiv(5000, widest, avail);
}

}  // namespace

int32_t RowValueSlotCount() { return static_cast<int32_t>(Slots().size()); }

int32_t GetRowValue(const TTableRowData& data, int32_t slot) {
  const TSlot& s = Slots()[static_cast<size_t>(slot)];
  const auto* p = reinterpret_cast<const uint8_t*>(&data) + s.Offset;
  if (s.Width == 1) return *p;
  if (s.Width == 2) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

void SetRowValue(TTableRowData& data, int32_t slot, int32_t value) {
  const TSlot& s = Slots()[static_cast<size_t>(slot)];
  auto* p = reinterpret_cast<uint8_t*>(&data) + s.Offset;
  if (s.Width == 1) {
    *p = static_cast<uint8_t>(value);
  } else if (s.Width == 2) {
    const auto v = static_cast<int16_t>(value);
    std::memcpy(p, &v, 2);
  } else {
    std::memcpy(p, &value, 4);
  }
}

TFormatRowsOperation::TFormatRowsOperation(TDoc& doc, const TFormatRowsRequest& request)
    : TSubOperation(doc),
      Par(request.FirstPar),
      ViewPosA(request.ViewPosA),
      ViewPosB(request.ViewPosB),
      UpdatePos(request.UpdatePos) {
  const size_t n = std::min(request.Rows.size(), request.NewData.size());
  std::vector<TTableRowData> next(request.NewData.begin(), request.NewData.begin() + static_cast<ptrdiff_t>(n));
  bool any = false;
  for (size_t i = 0; i < n && !any; ++i)
    any = request.Rows[i] != nullptr && !Differences(*request.Rows[i], next[i]).empty();
  if (!any) return;
  KeepRelativeWidths(next);
  for (size_t i = n; i-- > 0;) {
    if (request.Rows[i] == nullptr) continue;
    std::vector<TValue> values = Differences(*request.Rows[i], next[i]);
    if (!values.empty()) Changes.push_back({request.Rows[i], std::move(values)});
  }
}

void TFormatRowsOperation::Undo() {
  for (TRowChange& change : Changes) {
    for (TValue& v : change.Values) {
      const int32_t old = GetRowValue(*change.Row, v.Slot);
      SetRowValue(*change.Row, v.Slot, v.Value);
      v.Value = old;
    }
    change.Row->LayoutChanged = 1;
  }
  TDoc& doc = *Doc;
  doc.ClearTableCache();
  if (Par >= 0 && Par < doc.ParCount()) doc.InvalidateFromParagraph(Par);
  const TRowViewPos& view = doc.IsDocFlagSet(dfUndoing) ? ViewPosA : ViewPosB;
  if (view.X != TableValueUnset) {
    TPostActions& pa = doc.CurrentPostActions();
    pa.ScrollTarget = view.X;
    pa.ScrollTargetY = view.Y;
    pa.ScrollAnchor = UpdatePos;
  }
  doc.SetDocFlag(dfRenumberLists, true);
}

}  // namespace qv
