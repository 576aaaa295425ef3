#include "layout/drop_cap_layout.h"

#include <algorithm>

#include "document/doc.h"
#include "document/drop_caps.h"
#include "document/line.h"
#include "document/par.h"
#include "layout/box.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/layout_common.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"

namespace qv {

namespace {

// Room kept left of the letters (for their overhang).
constexpr int32_t kDropCapLeftRoom = 280;
// The drop cap's kinds: in the text, or in the margin beside it.
constexpr uint8_t kDropCapInMargin = 2;

}  // namespace

std::vector<plat::Rect> DropCapExclusions(const TBox& textBox, int32_t fromY) {
  std::vector<plat::Rect> out;
  for (const TBoxRef& child : textBox.Children) {
    if (!child->HasFlag(TBox::DropCapBox)) continue;
    const plat::Rect r = child->Rect.Offset(-textBox.Margins.left, -textBox.Margins.top);
    if (r.bottom > fromY && !r.IsEmpty()) out.push_back(r);
  }
  return out;
}

TBox* PlaceDropCapLine(TBox& textBox, TPar& par, bool atTop) {
  if (par.Lines.empty() || !par.Lines.front()->HasFlag(lfDropCap) || textBox.Doc == nullptr) return nullptr;
  TDoc& doc = *textBox.Doc;
  TLine& cap = *par.Lines.front();
  const int64_t bottom = int64_t{textBox.FillPos} + cap.Height;
  if (bottom > textBox.InnerHeight()) {
    const bool force = !doc.Layout.Balancing && ((atTop && textBox.LastLine() == nullptr) ||
                                                 textBox.Area == TBox::AreaHeaderFooter);
    const int32_t need = static_cast<int32_t>(std::min<int64_t>(bottom - textBox.InnerHeight(), INT32_MAX));
    if (!GrowBox(textBox.Parent, textBox, need, force)) return nullptr;
  }
  TDropCapSettings settings;
  if (TField* field = doc.GetDropCapField(par.Index)) {
    settings = DropCapSettingsOf(*field);
    if (auto* record = dynamic_cast<TDropCapRecord*>(field->Attachment.get()))
      record->Settings.Last = static_cast<uint32_t>(std::max(cap.Height, 0));
  }
  const TLayoutSettings& units = LayoutLineFitter().Settings;
  const int32_t start = LayoutXToTwips(cap.StartX(), units);
  const int32_t width = LayoutXToTwips(std::max(0, cap.EndX() - cap.StartX()), units);
  const int32_t distance = settings.Value16 == TDropCapSettings::Unchanged16 ? 0 : settings.Value16;
  // The line's own x (from the paragraph's indent) counts from the box's inner left, which lies
  // the room's width left of the letters' box.
  const int32_t inset = kDropCapLeftRoom - start;
  int32_t left = textBox.Margins.left + start - kDropCapLeftRoom;
  if (settings.First == kDropCapInMargin) left -= width + distance;
  // In Print Layout the letters stay on the paper.
  if (IsPrintLayout(doc)) left = std::max(left, -textBox.OffsetInPage().x);
  TBoxRef box = AcquireBox(&textBox, TBoxKind::Box);
  box->Flags = TBox::TextBox | TBox::DropCapBox;
  box->Area = TBox::AreaMain;
  box->Rect = {left, textBox.FillPos, left + kDropCapLeftRoom + width + distance, textBox.FillPos + cap.Height};
  box->Margins.left = inset;
  box->AppendLine(cap);
  cap.Top = 0;
  box->FillPos = cap.Height;
  return textBox.AddChild(std::move(box));
}

}  // namespace qv
