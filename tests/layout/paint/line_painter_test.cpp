#include <numeric>

#include "document/field.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "foundation/base/service_slot.h"
#include "layout/inline_shape_service.h"
#include "layout/pictures/png_codec.h"
#include "layout/shape_services.h"
#include "platform/gfx/jpeg_codec.h"
#include "layout/paint/paint_fixture.h"
#include "layout/paint/underlines.h"

using LinePaintTest = PaintTest;

TEST_F(LinePaintTest, AdvancesAreTheLinesCachedWidths) {
  Begin();
  Text("Hello ");
  Fmt(ctBold, 1);
  Text("World");
  Fmt(ctBold, 0);
  Fmt(ctSize, 36);
  Text(" big");
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  ASSERT_EQ(rec.Texts.size(), 3u);
  EXPECT_EQ(rec.Texts[0].S, u"Hello ");
  EXPECT_EQ(rec.Texts[1].S, u"World");
  EXPECT_EQ(rec.Texts[2].S, u" big");
  int32_t index = 0;
  for (const PaintRecorder::Text& t : rec.Texts) {
    EXPECT_EQ(t.X, XAt(line, index)) << "run at character " << index;
    ASSERT_EQ(t.Dx.size(), t.S.size());
    for (int32_t w : t.Dx) {
      EXPECT_EQ(w, GetLineCharX(line, index + 1) - GetLineCharX(line, index)) << index;
      ++index;
    }
  }
  // The larger run is drawn in the larger font, on the same baseline.
  EXPECT_LT(rec.Texts[2].Height, rec.Texts[0].Height);
  EXPECT_EQ(rec.Texts[2].Y, rec.Texts[0].Y);
  // Something was really drawn where the text is.
  bool ink = false;
  for (int32_t x = XAt(line, 0); x < XAt(line, 5) && !ink; ++x)
    for (int32_t y = 10; y < 40 && !ink; ++y) ink = bitmap.GetPixel(x, y) != 0xFFFFFF;
  EXPECT_TRUE(ink);
}

TEST_F(LinePaintTest, StrikeThroughSpansItsRunButNeverTheParagraphMark) {
  Begin();
  Text("ab");
  Fmt(cpStrike, 1);
  Text("cdef");
  Fmt(cpStrike, 0);
  Text("gh");
  const int32_t inner = EndPar();
  Begin();
  Text("ab");
  Fmt(cpDoubleStrike, 1);
  Text("cd");
  const int32_t last = EndPar();
  Layout();
  {
    PaintRecorder rec;
    PaintFirstLine(inner, rec);
    TLine& line = FirstLine(inner);
    ASSERT_EQ(rec.Strikes.size(), 1u);
    EXPECT_EQ(rec.Strikes[0].left, XAt(line, 2));
    EXPECT_EQ(rec.Strikes[0].right, XAt(line, 6));
    EXPECT_GE(rec.Strikes[0].Height(), 1);
  }
  {
    PaintRecorder rec;
    PaintFirstLine(last, rec);
    TLine& line = FirstLine(last);
    ASSERT_EQ(rec.Strikes.size(), 2u);  // double strike: two bars, 2t apart
    EXPECT_EQ(rec.Strikes[0].left, XAt(line, 2));
    EXPECT_EQ(rec.Strikes[0].right, XAt(line, 4));  // the paragraph mark stays unstruck
    EXPECT_EQ(rec.Strikes[1].top - rec.Strikes[0].top, 2 * rec.Strikes[0].Height());
  }
}

TEST_F(LinePaintTest, SmallCapitalsDrawLowerCaseInTheReducedFont) {
  Begin();
  Fmt(cpSmallCaps, 1);
  Text("Text");
  const int32_t plain = EndPar();
  Begin();
  Fmt(cpSmallCaps, 1);
  Fmt(cpScript, 1);
  Text("ab");
  const int32_t raised = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(plain, rec);
  ASSERT_EQ(rec.Texts.size(), 2u);
  EXPECT_EQ(rec.Texts[0].S, u"T");
  EXPECT_EQ(rec.Texts[1].S, u"EXT");
  EXPECT_EQ(rec.Texts[0].Height, doc->FontHeightForSize(24));
  EXPECT_EQ(rec.Texts[1].Height, doc->FontHeightForSize(19));  // 80 % of 12 pt
  EXPECT_EQ(rec.Texts[1].X, XAt(FirstLine(plain), 1));
  PaintRecorder sup;
  PaintFirstLine(raised, sup);
  ASSERT_EQ(sup.Texts.size(), 1u);
  EXPECT_EQ(sup.Texts[0].S, u"AB");
  EXPECT_EQ(sup.Texts[0].Height, doc->FontHeightForSize(12));  // 52 %
}

TEST_F(LinePaintTest, UnderlinesMergeAcrossRunsAndSkipTheParagraphMark) {
  Begin();
  Fmt(cpUnderline, ulSingle);
  Fmt(ctBold, 1);
  Text("bold");
  Fmt(ctBold, 0);
  Fmt(ctSize, 30);
  Text("plain");
  const int32_t merged = EndPar();
  Begin();
  Fmt(cpUnderline, ulWordsOnly);
  Text("a ");
  Special(scTab);
  Text("b");
  const int32_t words = EndPar();
  Begin();
  Fmt(cpUnderline, ulDotted);
  Text("ab");
  Fmt(cpUnderlineColor, 0x0000FF);
  Text("cd");
  const int32_t colours = EndPar();
  Layout();
  PaintRecorder a;
  PaintFirstLine(merged, a);
  ASSERT_EQ(a.Underlines.size(), 1u);
  EXPECT_EQ(a.Underlines[0].Start, 0);
  EXPECT_EQ(a.Underlines[0].End, 9);
  PaintRecorder w;
  PaintFirstLine(words, w);
  ASSERT_EQ(w.Underlines.size(), 2u);
  EXPECT_EQ(w.Underlines[0].Start, 0);
  EXPECT_EQ(w.Underlines[0].End, 1);
  EXPECT_EQ(w.Underlines[1].Start, 3);
  EXPECT_EQ(w.Underlines[1].End, 4);
  EXPECT_EQ(w.Underlines[1].Style, ulSingle);
  PaintRecorder c;
  PaintFirstLine(colours, c);
  ASSERT_EQ(c.Underlines.size(), 2u);
  EXPECT_EQ(c.Underlines[1].End, 4);
}

TEST_F(LinePaintTest, DamagedStreamEndsTheLineQuietly) {
  Begin();
  Text("abc");
  const int32_t p = EndPar();
  Layout();
  TLine& line = FirstLine(p);
  // A tag whose closing byte is gone, and a line that claims more than its paragraph holds.
  Par(p).Content.Data[line.StreamOffset + 1 + 6 + 6] = 7;
  line.StreamLength += 1000;
  line.Count += 50;
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  EXPECT_EQ(line.Count, 54);  // painting leaves the line as it found it
  // The walk ends at the broken tag: nothing past the paragraph's three letters is drawn.
  size_t drawn = 0;
  for (const auto& t : rec.Texts) drawn += t.S.size();
  EXPECT_LE(drawn, 3u);
  line.Count = 4;
  line.FirstChar = 100;
  PaintRecorder none;
  PaintFirstLine(p, none);
  EXPECT_TRUE(none.Texts.empty());
  line.FirstChar = 0;
}

TEST_F(LinePaintTest, WideCharactersAreOneRunWithTheirAdvances) {
  Begin();
  Text("a");
  AppendContentTag(s_, ctWideChar, 0x03B1);
  AppendContentTag(s_, ctWideChar, 0x03B2);
  Text("b");
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  ASSERT_EQ(rec.Texts.size(), 3u);
  EXPECT_EQ(rec.Texts[1].S, u"\u03B1\u03B2");
  EXPECT_EQ(rec.Texts[1].X, XAt(line, 1));
  ASSERT_EQ(rec.Texts[1].Dx.size(), 2u);
  EXPECT_EQ(rec.Texts[1].Dx[0] + rec.Texts[1].Dx[1], XAt(line, 3) - XAt(line, 1));
  EXPECT_EQ(rec.Texts[2].X, XAt(line, 3));
}

TEST_F(LinePaintTest, NoteMarksShowTheirOwnReferencesNumber) {
  auto reference = [&](const std::string& text) {
    auto owned = std::make_unique<TField>();
    owned->Kind = fkNoteReference;
    owned->Text = text;
    TField* f = owned.get();
    doc->Fields.push_back(std::move(owned));
    return f;
  };
  TField* first = reference("7");
  TField* second = reference("8");
  Begin();
  Text("a");
  for (TField* f : {first, second}) {
    AppendContentTag(s_, ctFieldStart, TagRefOf(f));
    Special(scAutoNoteMark);
    AppendContentTag(s_, ctFieldEnd, TagRefOf(f));
    Text("b");
  }
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  std::vector<std::pair<std::u16string, int32_t>> marks;
  for (const auto& t : rec.Texts)
    if (t.S == u"7" || t.S == u"8") marks.emplace_back(t.S, t.X);
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0], std::make_pair(std::u16string(u"7"), XAt(line, 1)));
  EXPECT_EQ(marks[1], std::make_pair(std::u16string(u"8"), XAt(line, 3)));
}

TEST_F(LinePaintTest, InlinePicturesAreDrawnAndDamagedOnesKeepAFramedPlace) {
  ScopedService<TPictureDecoder> decoder{MakeLayoutPictureDecoder()};
  ScopedService<TInlineShapeService> shapes{MakeLayoutInlineShapeService()};
  plat::Bitmap red(40, 30);
  red.Fill(0x0000FF);
  TPNGImage image(40, 30, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) image.SetColor(x, y, 0x0000FF);
  const std::vector<uint8_t> png = image.SaveToBytes();
  const std::vector<uint8_t> jpeg = plat::EncodeJpeg(red, 95);
  std::vector<uint8_t> damaged = png;
  damaged.resize(damaged.size() / 2);
  struct Case {
    const char* name;
    const std::vector<uint8_t>* data;
    TDocGraphic::TKind kind;
    bool picture;  // the middle is red; otherwise only a frame is drawn
  } cases[] = {{"png", &png, TDocGraphic::TKind::Png, true},
               {"jpeg", &jpeg, TDocGraphic::TKind::Jpeg, true},
               {"damaged", &damaged, TDocGraphic::TKind::Png, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TShape shape(doc.get());
    shape.SetPictureData(*c.data, c.kind);
    Begin();
    Text("a");
    AppendContentTag(s_, ctInlineShape, TagRefOf(&shape));
    Text("b");
    const int32_t p = EndPar();
    Layout();
    PaintRecorder rec;
    PaintFirstLine(p, rec);
    TLine& line = FirstLine(p);
    const int32_t left = XAt(line, 1), right = XAt(line, 2);
    ASSERT_GT(right - left, 20);
    const int32_t middleX = (left + right) / 2;
    int32_t redRows = 0;
    for (int32_t y = 10; y < 10 + LineHeightPixels(line); ++y) {
      const uint32_t px = bitmap.GetPixel(middleX, y);
      redRows += (px & 0xFF) > 0xC0 && ((px >> 8) & 0xFF) < 0x40 && ((px >> 16) & 0xFF) < 0x40;
    }
    // The fixture's exact line spacing cuts the picture to the line.
    if (c.picture) EXPECT_GT(redRows, LineHeightPixels(line) / 2);
    else EXPECT_EQ(redRows, 0);
    int32_t inkColumns = 0;  // the placeholder's frame or the picture covers the place
    for (int32_t x = left; x < right; ++x)
      for (int32_t y = 10; y < 10 + LineHeightPixels(line); ++y)
        if (bitmap.GetPixel(x, y) != 0xFFFFFFu) {
          ++inkColumns;
          break;
        }
    EXPECT_GT(inkColumns, (right - left) * 3 / 4);
    ForgetTagRef(&shape);
  }
}
