#include "platform/controls/memo.h"

namespace plat {

Memo::Memo() {
  multiLine_ = true;
  SetAutoSelect(false);
  SetBounds(0, 0, 185, 89);
}

std::vector<std::u16string> Memo::Lines() const {
  std::vector<std::u16string> out;
  for (const LineSpan& s : LineSpans()) out.push_back(Text().substr(size_t(s.start), size_t(s.end - s.start)));
  return out;
}

void Memo::SetLines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += u"\r\n";
    text += lines[i];
  }
  SetText(text);
}

Point Memo::CaretLineColumn() const {
  int32_t line = LineOf(CaretPos());
  return {CaretPos() - LineSpans()[size_t(line)].start, line};
}

}  // namespace plat
