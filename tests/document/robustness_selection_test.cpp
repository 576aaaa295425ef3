// Places and ranges that no window would produce (damaged undo data, stale positions after an
// edit, empty paragraphs) must give sound answers, never a crash.
#include <gtest/gtest.h>

#include <climits>

#include "document/selection_fixture.h"

namespace {

TEST(SelectionRobustness, StalePlacesAndEmptyParagraphs) {
  TTestDoc t;
  t.Text("one");
  t.Add(TStreamBuilder());  // a paragraph without any character, as a damaged file may leave
  t.Text("two");
  TDoc& doc = t.doc;
  const TDocPosition places[] = {Pos(0, -5), Pos(1, 0),        Pos(1, 3),  Pos(2, 99),
                                 Pos(-1, 0), Pos(99, 2),       Pos(0, INT32_MAX),
                                 Pos(2, INT32_MIN)};
  for (const TDocPosition& p : places) {
    doc.SetSelection(p.Par, p.Offset, 2, 1);
    doc.SetSelection(0, 0, p.Par, p.Offset, TDoc::ssAddToBase);
    doc.Caret = Pos(std::clamp(p.Par, 0, doc.ParCount() - 1), 0);
    doc.UpdateTypingFormat(p, 0);
    doc.UpdateTypingFormat(p, 1);
    if (p.Par < 0 || p.Par >= doc.ParCount()) continue;
    doc.NextWordStart(p);
    doc.PrevWordStart(p);
    doc.WordAt(p);
    doc.WordOrLinkAt(p);
    doc.IsSentenceStart(p);
    const TDocRange s = doc.SentenceAt(p);
    EXPECT_LE(s.Start.Offset, s.End.Offset);
    TCharFormat f;
    doc.GetCharFormatAtPos(p, f);
    doc.GetWideTextRun({p, INT32_MAX}, 0);
    doc.GetRangeFullWideText(TDocRange{p, Pos(p.Par, INT32_MAX)}, 0);
    doc.IsRangeWordBounded(TDocRange{p, Pos(2, 1)});
  }
  doc.SelectAll();
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(2,4)");
  doc.InvertSelection();
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.GetParagraphDisplayText(1), u"");
}

}  // namespace
