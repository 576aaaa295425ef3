#pragma once
// The document window with the mouse: client points of character boundaries and characters of a
// laid-out document, and presses, moves and releases through the headless backend's input queue,
// with Shift, Ctrl or Alt held around them.
#include <algorithm>

#include "document/auto_list.h"
#include "document/line.h"
#include "docwindow/caret.h"
#include "docwindow/hit_test.h"
#include "layout/box.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "doc_window_fixture.h"

namespace dwtest {

class MouseTest : public DocWindowTest {
 protected:
  RecWindowServices& S() { return *(*services); }
  RecEditProviders& E() { return *(*edits); }

  // A numbered list of the number ("1.", "2." ...) whose levels are indented by 720 twips a level.
  void AddNumberedList(int32_t number) {
    auto l = std::make_unique<TAutoList>();
    l->Number = number;
    for (int32_t i = 0; i < ListLevelCount; ++i) {
      l->ListLevels[static_cast<size_t>(i)].LevelText = std::u16string(1, static_cast<char16_t>(i)) + u".";
      l->ListLevels[static_cast<size_t>(i)].ParFormat.LeftIndent = static_cast<int16_t>(720 * (i + 1));
      l->ListLevels[static_cast<size_t>(i)].ParFormat.FirstIndent = -360;
    }
    Doc().Lists.push_back(std::move(l));
  }

  TLine& LineOf(int32_t par, int32_t offset) {
    TDocPosition p{par, offset, 0, 0};
    EnsureLaidOut(Doc(), p, true);
    TPar& pr = *Doc().Par(par);
    return *pr.Lines[static_cast<size_t>(std::max(0, p.Line))];
  }
  // The client point of the boundary before the character, half-way down its line.
  plat::Point At(int32_t par, int32_t offset) {
    TLine& line = LineOf(par, offset);
    const plat::Point origin = BoxToViewPoint(*line.Box, {0, Doc().TwipsToPixelsY(line.Top)});
    const int32_t x = origin.x + LineTextX(line, offset - line.FirstChar);
    return form->DocToClient({x, origin.y + LineHeightPixels(line) / 2});
  }
  // The middle of the character.
  plat::Point AtChar(int32_t par, int32_t offset) {
    const plat::Point a = At(par, offset), b = At(par, offset + 1);
    return {(a.x + b.x) / 2, a.y};
  }
  // A point left of the line's text by `dx` pixels.
  plat::Point LeftOfLine(int32_t par, int32_t offset, int32_t dx) {
    TLine& line = LineOf(par, offset);
    const plat::Point p = At(par, line.FirstChar);
    return {p.x - dx, p.y};
  }
  THitTestInfo Hit(plat::Point p, uint32_t stories = 0) {
    THitTestInfo h;
    form->HitTest(p.x, p.y, h, stories);
    return h;
  }

  void Hold(uint8_t shiftBits, bool down) {
    if (shiftBits & plat::ssShift) down ? plat::headless::KeyDown(plat::VK_SHIFT) : plat::headless::KeyUp(plat::VK_SHIFT);
    if (shiftBits & plat::ssCtrl) down ? plat::headless::KeyDown(plat::VK_CONTROL) : plat::headless::KeyUp(plat::VK_CONTROL);
    if (shiftBits & plat::ssAlt) down ? plat::headless::KeyDown(plat::VK_LMENU) : plat::headless::KeyUp(plat::VK_LMENU);
    Pump();
  }
  void Click(plat::Point p, uint8_t shiftBits = 0) {
    Hold(shiftBits, true);
    plat::headless::Click(host.Handle(), p);
    Pump();
    Hold(shiftBits, false);
  }
  void Down(plat::Point p, uint8_t shiftBits = 0) {
    Hold(shiftBits, true);
    plat::headless::MouseDown(host.Handle(), p);
    Pump();
  }
  void MoveTo(plat::Point p) {
    plat::headless::MouseMove(host.Handle(), p);
    Pump();
  }
  void Up(plat::Point p, uint8_t shiftBits = 0) {
    plat::headless::MouseUp(host.Handle(), p);
    Pump();
    Hold(shiftBits, false);
  }
  void DragTo(plat::Point from, plat::Point to, uint8_t shiftBits = 0) {
    Down(from, shiftBits);
    MoveTo({(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveTo(to);
    Up(to, shiftBits);
  }
  void DoubleClick(plat::Point p) {
    Click(p);
    Click(p);
  }
  // The single selected range as (start paragraph, start offset, end paragraph, end offset).
  std::array<int32_t, 4> Sel() {
    const TDocRange& r = *Doc().Selection->GetRange(0);
    return {r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset};
  }
  int32_t Ranges() { return Doc().Selection->Count(); }
};

}  // namespace dwtest
