#include <gtest/gtest.h>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/stream_builder.h"

using namespace qv;

namespace {

using B = TStreamBuilder;

TEST(Par, ListNumberTextLeavesOutTheFollowCharacter) {
  TDoc doc(true);
  auto list = std::make_unique<TAutoList>();
  list->Number = 7;
  TAutoList& l = *list;
  doc.Lists.push_back(std::move(list));
  TPar& p = *doc.Par(0);
  B().Text("item").End().Into(p);
  p.Format.List = 7;
  p.Format.ListLevel = 0;
  p.NumberPar = std::make_unique<TPar>(&doc);
  B().Tag(ctWideChar, u'1').Tag(ctWideChar, u'.').Tag(ctSpecialChar, scTab).Into(*p.NumberPar);

  struct Case {
    uint8_t follow;
    std::u16string want;
  } cases[] = {{0, u"1. "}, {1, u"1. "}, {2, u"1.\t"}};
  for (const Case& c : cases) {
    l.ListLevels[0].Follow = c.follow;
    EXPECT_EQ(p.GetNumberText(), c.want) << int(c.follow);
  }
  l.ListLevels[0].NumberFormat = 23;  // a bullet: no number text
  EXPECT_EQ(p.GetNumberText(), u"");
  p.Format.List = 8;                  // a list the document does not have
  EXPECT_FALSE(p.HasNumberedLevel());
}

TEST(Par, NoteMarksTakeTheTextOfTheirAutomaticReference) {
  TDoc doc(true);
  TField reference, note, mark, manualRef, manualNote, manualMark;
  reference.Kind = fkNoteReference;
  reference.Flags = 1;
  reference.Text = "3";
  note.Kind = fkNoteText;
  note.LinkedField = &reference;
  mark.Kind = fkNoteMark;
  mark.Text = "2";
  manualRef.Kind = fkNoteReference;
  manualRef.Text = "*";
  manualNote.Kind = fkNoteText;
  manualNote.LinkedField = &manualRef;
  manualMark.Kind = fkNoteMark;
  manualMark.Text = "a";
  TPar& p = *doc.Par(0);
  B().Ref(ctFieldStart, &note).Ref(ctFieldStart, &mark).Text("2").Ref(ctFieldEnd, &mark)
      .Text(" text").Ref(ctFieldEnd, &note)
      .Ref(ctFieldStart, &manualNote).Ref(ctFieldStart, &manualMark).Text("a")
      .Ref(ctFieldEnd, &manualMark).Ref(ctFieldEnd, &manualNote).End().Into(p);
  EXPECT_TRUE(p.SyncNoteMarkText());
  EXPECT_EQ(mark.Text, "3");
  EXPECT_EQ(manualMark.Text, "a") << "a reference numbered by hand leaves its mark alone";
  EXPECT_FALSE(p.SyncNoteMarkText());
}

TEST(Par, AutomaticNoteReferencesAreNumberedInStreamOrder) {
  TDoc doc(true);
  TPar& body = *doc.Par(0);
  TPar& noteBody = *doc.AppendParagraph(stFootnotes, DefaultParFormat);
  TField foot1, foot2, endRef, manual, footText, endText;
  foot1.Kind = foot2.Kind = endRef.Kind = manual.Kind = fkNoteReference;
  foot1.Flags = foot2.Flags = endRef.Flags = 1;
  foot1.Text = "1";  // already right: no change for it
  footText.Kind = endText.Kind = fkNoteText;
  endText.NoteClass = 1;
  foot1.LinkedField = &footText;
  footText.Range.Start.Par = footText.Range.End.Par = noteBody.Index;
  endRef.LinkedField = &endText;
  B().Ref(ctFieldStart, &foot1).Text("1").Ref(ctFieldEnd, &foot1)
      .Ref(ctFieldStart, &manual).Text("*").Ref(ctFieldEnd, &manual)
      .Ref(ctFieldStart, &endRef).Text("x").Ref(ctFieldEnd, &endRef)
      .Ref(ctFieldStart, &foot2).Text("9").Ref(ctFieldEnd, &foot2).End().Into(body);
  B().Text("note").End().Into(noteBody);
  noteBody.Lines.push_back(AcquireLine(noteBody, DefaultCharFormat));
  noteBody.Flags |= pfLinesValid;

  int32_t footnotes = 1, endnotes = 1;
  EXPECT_TRUE(body.RenumberNoteMarks(0, footnotes, endnotes));
  EXPECT_EQ(footnotes, 3);
  EXPECT_EQ(endnotes, 2);
  EXPECT_EQ(foot1.NoteNumber, 1);
  EXPECT_EQ(foot2.NoteNumber, 2);
  EXPECT_EQ(foot2.Text, "2");
  EXPECT_EQ(endRef.NoteNumber, 1);
  EXPECT_EQ(manual.NoteNumber, 0);
  EXPECT_FALSE(noteBody.Lines.empty()) << "foot1's text did not change, so its note keeps its lines";

  foot1.Text = "old";
  footnotes = endnotes = 1;
  EXPECT_TRUE(body.RenumberNoteMarks(0, footnotes, endnotes));
  EXPECT_TRUE(noteBody.Lines.empty());
  EXPECT_FALSE(noteBody.HasFlag(pfLinesValid));
  footnotes = endnotes = 1;
  EXPECT_FALSE(body.RenumberNoteMarks(0, footnotes, endnotes));
}

TEST(Par, WordDelimitersHonourFrenchApostrophes) {
  TPar p(nullptr);
  B().Text("it's").Tag(cpLanguage, 0x040C).Text("l'eau").End().Into(p);
  EXPECT_FALSE(IsWordDelimiterAt(p, '\'', 2));
  EXPECT_TRUE(IsWordDelimiterAt(p, '\'', 5));
  EXPECT_TRUE(IsWordDelimiterAt(p, ' ', 0));
  EXPECT_FALSE(IsWordDelimiterAt(p, 'e', 6));
}

TEST(Par, SpellStateKeepsOneCheckedSpan) {
  TPar p(nullptr);
  p.AddSpellCheckedSpan(10, 20);
  struct Step {
    int32_t start, end;
    int32_t wantStart, wantEnd;
  } steps[] = {{30, 40, 10, 20}, {20, 25, 10, 25}, {5, 12, 5, 25}, {7, 7, 5, 25}};
  for (const Step& s : steps) {
    p.AddSpellCheckedSpan(s.start, s.end);
    EXPECT_EQ(p.Spell.CheckedStart, s.wantStart) << s.start;
    EXPECT_EQ(p.Spell.CheckedEnd, s.wantEnd) << s.start;
  }
  EXPECT_TRUE(p.SpellCheckedWithin(6, 25));
  EXPECT_FALSE(p.SpellCheckedWithin(4, 10));
  p.AddSpellMark(1, 3, 0x800000);
  p.AddSpellMark(1, 3, 5);  // the same span is not marked twice
  p.AddSpellMark(4, 6, 5);
  EXPECT_EQ(p.Spell.Marks.size(), 2u);
  EXPECT_EQ(p.Spell.MarkCount, 2u | TParSpellState::NoProofBit | TParSpellState::OtherMarkBit);
}

TEST(Par, SnapshotRestoresStreamAndFlags) {
  TPar p(nullptr);
  B().Text("before").End().Into(p);
  p.Flags |= pfNormalized | pfLinesValid;
  TParSnapshot snap;
  p.SaveState(snap);
  EXPECT_FALSE(p.HasFlag(pfLinesValid));
  B().Text("after").End().Into(p);
  p.RestoreState(snap);
  EXPECT_EQ(p.Content.ToString(), B().Text("before").End().Bytes());
  EXPECT_EQ(p.Codes.ToString(), std::string("before\x02"));
  EXPECT_TRUE(p.HasFlag(pfLinesValid));
}

}  // namespace
