#include "platform/controls/label.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"

namespace plat {
namespace {

std::u16string Strip(const std::u16string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  return out;
}

}  // namespace

Label::Label() { SetBounds(0, 0, 65, 13); }

void Label::SetAlignment(TextAlign a) {
  alignment_ = a;
  Invalidate();
}

void Label::SetWordWrap(bool v) {
  wordWrap_ = v;
  AdjustSize();
  Invalidate();
}

void Label::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustSize();
}

void Label::SetShowAccelChar(bool v) {
  showAccel_ = v;
  Invalidate();
}

std::vector<std::u16string> Label::Lines() const {
  std::vector<std::u16string> out;
  const std::u16string& text = Caption();
  // Widths as drawn: without the "&" marks.
  auto width = [this](const std::u16string& t) { return GetFont().TextWidth(Strip(t)); };
  size_t i = 0;
  while (true) {
    size_t j = text.find(u'\n', i);
    std::u16string para = text.substr(i, j == std::u16string::npos ? std::u16string::npos : j - i);
    if (!para.empty() && para.back() == u'\r') para.pop_back();
    if (wordWrap_) WrapAtSpaces(para, Width(), width, out);
    else out.push_back(para);
    if (j == std::u16string::npos) break;
    i = j + 1;
  }
  return out;
}

bool Label::DialogChar(char16_t ch) {
  if (!showAccel_ || !IsMnemonic(ch) || !focusControl_ || !focusControl_->CanFocus()) return false;
  focusControl_->SetFocus();
  focusControl_->ArrowFocused();
  return true;
}

void Label::TextChanged() {
  AdjustSize();
  Invalidate();
}

void Label::FontChanged() {
  AdjustSize();
  Invalidate();
}

void Label::AdjustSize() {
  if (!autoSize_) return;
  std::vector<std::u16string> lines = Lines();
  int32_t lh = GetFont().Metrics().Height;
  int32_t w = 0;
  for (auto& l : lines) w = std::max(w, showAccel_ ? CaptionWidth(GetFont(), l) : GetFont().TextWidth(l));
  Rect b = BoundsRect();
  int32_t h = lh * int32_t(lines.size());
  if (wordWrap_) SetBounds(b.left, b.top, b.Width(), h);
  else SetBounds(b.left, b.top, w, h);
}

void Label::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  c.FillRect(r, BackColor());
  c.SetFont(GetFont());
  int32_t lh = GetFont().Metrics().Height;
  Color colour = EnabledInTree() ? TextColor() : Look().GrayText;
  int32_t y = 0;
  for (auto& line : Lines()) {
    DrawCaption(c, {0, y, r.right, y + lh}, line, colour, alignment_, showAccel_);
    y += lh;
  }
}

}  // namespace plat
