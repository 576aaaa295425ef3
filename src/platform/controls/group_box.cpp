#include "platform/controls/group_box.h"

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"

namespace plat {

GroupBox::GroupBox() { SetBounds(0, 0, 185, 105); }

bool GroupBox::DialogChar(char16_t ch) {
  if (!IsMnemonic(ch)) return false;
  for (Control* c : TabList()) {
    if (c->CanFocus()) {
      c->SetFocus();
      c->ArrowFocused();
      return true;
    }
  }
  return false;
}

void GroupBox::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  c.FillRect(r, BackColor());
  c.SetFont(GetFont());
  int32_t th = GetFont().Metrics().Height;
  const LookColors& k = Look();
  DrawFrame(c, {r.left, r.top + th / 2, r.right, r.bottom}, k.Border);
  if (Caption().empty()) return;
  int32_t w = CaptionWidth(GetFont(), Caption());
  Rect tr{8, 0, 8 + w + 6, th};
  c.FillRect(tr, BackColor());
  DrawCaption(c, {tr.left + 3, 0, tr.right, th}, Caption(), EnabledInTree() ? TextColor() : k.GrayText);
}

}  // namespace plat
