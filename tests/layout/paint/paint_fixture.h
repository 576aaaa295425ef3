#pragma once
// Paginated documents whose paragraphs carry formatted runs, painted into a small bitmap with a
// recorder of what the line painter draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/content_tags.h"
#include "layout/char_positions.h"
#include "layout/pagination_fixture.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/box_painter.h"
#include "layout/paint/line_painter.h"
#include "layout/paint/page_decorations.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

using namespace qv;

struct PaintRecorder : TLinePaintObserver {
  struct Text {
    int32_t X = 0;
    int32_t Y = 0;
    std::u16string S;
    std::vector<int32_t> Dx;
    int32_t Height = 0;
  };
  struct Underline {
    int32_t Start, End, Style;
  };
  std::vector<Text> Texts;
  std::vector<plat::Rect> Strikes;
  std::vector<plat::Rect> Marks;
  std::vector<Underline> Underlines;

  void OnText(int32_t x, int32_t y, std::u16string_view text, std::span<const int32_t> dx,
              int32_t height) override {
    Texts.push_back({x, y, std::u16string(text), {dx.begin(), dx.end()}, height});
  }
  void OnStrike(const plat::Rect& r, uint32_t) override { Strikes.push_back(r); }
  void OnPaginationMark(const plat::Rect& r) override { Marks.push_back(r); }
  void OnUnderline(int32_t start, int32_t end, int32_t style) override {
    Underlines.push_back({start, end, style});
  }
};

class PaintTest : public PaginationTest {
 protected:
  // What is painted does not depend on the user's view options: no gridlines, no margin
  // borders unless a test asks for them.
  void SetUp() override {
    PaginationTest::SetUp();
    GetColorManager().SchemeChanged();  // the interface colours of the user's (default) scheme
    savedViewFlags_ = GetOptionsHolder().Options.View.Flags;
    GetOptionsHolder().Options.View.Flags &= static_cast<uint16_t>(~(ViewFlagGridlines | ViewFlagMarginBorders));
  }
  void TearDown() override {
    GetOptionsHolder().Options.View.Flags = savedViewFlags_;
    PaginationTest::TearDown();
  }
  uint16_t savedViewFlags_ = 0;

  // Builds a paragraph stream: Fmt sets a character property, Text adds bytes, End closes it.
  void Begin() {
    s_.Clear();
    AppendContentTag(s_, ctFont, b->Font);
    AppendContentTag(s_, ctSize, 24);
  }
  void Fmt(int kind, int32_t value) { AppendContentTag(s_, static_cast<uint8_t>(kind), value); }
  void Text(const std::string& t) { s_.AppendString(t); }
  void Special(uint8_t code) { AppendContentTag(s_, ctSpecialChar, code); }
  // Puts the stream (with its paragraph mark) into a new paragraph.
  int32_t EndPar() {
    const int32_t p = b->Add("x");
    AppendContentTag(s_, ctSpecialChar, scParagraphEnd);
    TPar& par = Par(p);
    par.Content = s_;
    par.RebuildCodes();
    par.ContentChanged();
    return p;
  }
  void Layout() {
    Paginate();
    for (TPage* page : doc->Pages) UpdateBoxPixelRects(*page);
  }
  TLine& FirstLine(int32_t par) { return *Par(par).Lines.at(0); }
  // Paints the paragraph's first line at (10, 10) of a fresh bitmap.
  void PaintFirstLine(int32_t par, PaintRecorder& rec) {
    plat::Canvas canvas(bitmap);
    canvas.FillRect(bitmap.Bounds(), 0xFFFFFF);
    PaintLine(FirstLine(par), canvas, 10, 10, &rec);
  }
  // The painted x of a character boundary of the line drawn at x = 10.
  int32_t XAt(TLine& line, int32_t n) { return 10 + LineTextX(line, n); }

  plat::Bitmap bitmap{900, 200};
  TMemory s_;
};
