// The wavy marks under misspelt words, drawn from the marks a checker leaves in the paragraph.
#include <map>

#include "document/doc_flags.h"
#include "foundation/base/service_slot.h"
#include "foundation/graphics/colour_manager.h"
#include "layout/paint/paint_fixture.h"
#include "layout/paint/spelling_mark_services.h"
#include "layout/paint/spelling_marks.h"

namespace {

// A checker that marks the word "wrod" wherever it occurs and counts its checks.
struct FakeChecker : TSpellingMarkServices {
  bool On = true;
  bool Busy = false;
  int32_t Checks = 0;
  int32_t FlagsSeen = 0;
  bool ChecksAsYouType(const TDoc&) override { return On; }
  bool IsBusy() override { return Busy; }
  int32_t CheckSerial() override { return 7; }
  bool IsParagraphChecked(const TPar& par) override { return par.Spell.Generation == 7; }
  void CheckRange(TDoc& doc, int32_t index, int32_t, int32_t) override {
    ++Checks;
    FlagsSeen += doc.IsDocFlagSet(122) && doc.IsDocFlagSet(123);
    TPar& par = *doc.Par(index);
    par.Spell.Generation = 7;
    par.Spell.Marks.clear();
    const std::u16string text = doc.GetParagraphDisplayText(index);
    for (size_t at = text.find(u"wrod"); at != std::u16string::npos; at = text.find(u"wrod", at + 1))
      par.Spell.Marks.push_back({static_cast<int32_t>(at), static_cast<int32_t>(at) + 4, 0x0000FF});
  }
};

class SpellingMarks : public PaintTest {
 protected:
  ScopedService<TSpellingMarkServices, FakeChecker> checker;

  // The red pixels of the painted line, by column: the row of each.
  std::map<int32_t, int32_t> RedPixels(int32_t par) {
    PaintRecorder rec;
    PaintFirstLine(par, rec);
    // The mark's colour as the page background leaves it.
    const uint32_t red = GetColorManager().AdjustColor(0x0000FF, 0xFF000000u);
    std::map<int32_t, int32_t> rows;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
      for (int32_t x = 0; x < bitmap.Width(); ++x)
        if (bitmap.GetPixel(x, y) == red) rows[x] = y;
    return rows;
  }
};

TEST_F(SpellingMarks, AMarkedWordGetsAZigzagInPhaseWithTheDocument) {
  const int32_t p = b->Add("one wrod here");
  Layout();
  TLine& line = FirstLine(p);
  const std::map<int32_t, int32_t> rows = RedPixels(p);
  EXPECT_EQ(checker->Checks, 1);
  EXPECT_EQ(checker->FlagsSeen, 1);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.begin()->first, XAt(line, 4));
  EXPECT_EQ(rows.rbegin()->first, XAt(line, 8) - 1);
  const int32_t base = 10 + 2 + SpellMarkBaseline(line, 0);
  for (const auto& [x, y] : rows) {
    const int32_t step = x % 4;
    EXPECT_EQ(y, step == 0 ? base - 1 : step == 2 ? base + 1 : base) << x;
  }
  // A horizontal scroll moves the phase with the document.
  doc->View.ScrollPos.x = 1;
  const std::map<int32_t, int32_t> scrolled = RedPixels(p);
  for (const auto& [x, y] : scrolled) {
    const int32_t step = (x + 1) % 4;
    EXPECT_EQ(y, step == 0 ? base - 1 : step == 2 ? base + 1 : base) << x;
  }
  EXPECT_EQ(checker->Checks, 1);  // the paragraph was checked once
}

TEST_F(SpellingMarks, NoMarksWhereTheyMustNotShow) {
  struct Case {
    const char* what;
    bool on, busy, preview, printPreview, dimmed, hidden, staleSerial;
  };
  const Case cases[] = {
      {"shown", true, false, false, false, false, false, false},
      {"checking off", false, false, false, false, false, false, false},
      {"preview document", true, false, true, false, false, false, false},
      {"print preview", true, false, false, true, false, false, false},
      {"dimmed line", true, false, false, false, true, false, false},
      {"mark not to be painted", true, false, false, false, false, true, false},
      {"checked with another serial", true, true, false, false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    ScopedService<TSpellingMarkServices, FakeChecker> fake;
    fake->On = c.on;
    fake->Busy = c.busy;
    const int32_t p = b->Add("a wrod");
    b->Add("elsewhere");
    Layout();
    if (c.staleSerial) {
      Par(p).Spell.Generation = 3;
      Par(p).Spell.Marks.push_back({2, 6, 0x0000FF});
    }
    if (c.hidden) {
      fake->CheckRange(*doc, p, 0, 6);
      Par(p).Spell.Marks[0].Value = static_cast<int32_t>(SpellMarkHidden);
    }
    if (c.preview) doc->SetDocFlag(dfPreview, true);
    doc->PrintPreview = c.printPreview;
    if (c.dimmed) {
      // Spotlight greys the lines outside the range it shows.
      doc->Spotlight = true;
      MakeRange(p + 1, 0, p + 1, 2, doc->PaintedSpotlightRange);
    }
    const bool any = !RedPixels(p).empty();
    EXPECT_EQ(any, std::string(c.what) == "shown");
    TearDown();
  }
}

}  // namespace
