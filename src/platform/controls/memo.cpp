#include "platform/controls/memo.h"

namespace plat {

Memo::Memo() {
  multiLine_ = true;
  wordWrap_ = true;
  SetAutoSelect(false);
  SetBounds(0, 0, 185, 89);
}

std::vector<std::u16string> Memo::Lines() const {
  std::vector<std::u16string> out;
  const std::u16string& t = Text();
  size_t start = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i == t.size() || t[i] == u'\n') {
      size_t end = (i > start && t[i - 1] == u'\r' && i < t.size()) ? i - 1 : i;
      out.push_back(t.substr(start, end - start));
      start = i + 1;
    }
  }
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
