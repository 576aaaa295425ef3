#pragma once
// plat::Memo: the multi-line edit. Enter breaks the line ("\r\n") while WantReturns is set
// (otherwise it goes to the form's default button); Tab types a tab while WantTabs is set.
// Up, Down, Page Up and Page Down move between lines, the wheel scrolls.
#include <string>
#include <vector>

#include "platform/controls/edit.h"

namespace plat {

class Memo : public Edit {
 public:
  Memo();
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  // Lines break at spaces to the width (on by default); Lines() still gives the text's lines.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { SetWordWrapInternal(v); }
  // The lines as shown (after wrapping), for painting and tests.
  int32_t ShownLineCount() const { return int32_t(LineSpans().size()); }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  // The text's lines (without their breaks), and setting the text from lines.
  std::vector<std::u16string> Lines() const;
  void SetLines(const std::vector<std::u16string>& lines);
  int32_t LineCount() const { return int32_t(Lines().size()); }
  // The caret's shown line and column in it (0-based).
  Point CaretLineColumn() const;
  int32_t TopLineIndex() const { return TopLine(); }
  void SetTopLineIndex(int32_t line) { SetTopLine(line); }
};

}  // namespace plat
