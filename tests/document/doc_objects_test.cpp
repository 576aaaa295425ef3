#include <gtest/gtest.h>

#include <optional>

#include "document/auto_list.h"
#include "document/doc_object_services.h"
#include "document/field.h"
#include "document/number_formats.h"
#include "document/section.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

// A document stand-in: one page section for every paragraph, fixed paragraph lengths, flag 62
// on demand, one bookmark "Note1" and a note reference at (4,2).
struct TFakeDocServices : TDocObjectServices {
  const TSection* pageSection = nullptr;
  bool flag62 = false;
  TField* bookmark = nullptr;
  TField* noteReference = nullptr;
  TDocPosition noteAt{4, 2};

  const TSection* PageSectionOfParagraph(const TDoc*, int32_t) const override {
    return pageSection;
  }
  int32_t ParLength(const TDoc*, int32_t) const override { return 10; }
  bool IsDocFlagSet(const TDoc*, int32_t flag) const override { return flag == 62 && flag62; }
  TField* FindBookmark(TDoc*, const std::u16string& name) const override {
    return name == u"Note1" ? bookmark : nullptr;
  }
  TField* NoteReferenceAt(TDoc*, const TDocPosition& p) const override {
    return SamePlace(p, noteAt) ? noteReference : nullptr;
  }
};

class DocObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    services_.emplace();
    fake = &**services_;
  }
  void TearDown() override { services_.reset(); }
  std::optional<ScopedService<TDocObjectServices, TFakeDocServices>> services_;
  TFakeDocServices* fake = nullptr;
};

TEST_F(DocObjects, SectionDefaultsAndAssign) {
  TSection source(nullptr);
  source.SetDefaults();
  EXPECT_EQ(source.Format.BreakKind, sbNextPage);
  EXPECT_EQ(source.Format.ColumnCount, 1);
  EXPECT_EQ(source.PageParams.PageWidth, 12240);
  EXPECT_EQ(source.PageNumberStart, -1);
  EXPECT_EQ(source.Endnotes.NumberFormat, 2);
  EXPECT_EQ(source.Endnotes.Position, 3);
  source.Format.ColumnCount = 2;
  source.PageNumberFormat = 3;
  source.Footnotes.NumberFormat = 9;

  TField header;
  TSection target(nullptr);
  target.FirstPar = 7;
  target.LastPar = 9;
  target.Number = 2;
  target.HeaderFooter[hfOddHeader] = &header;
  target.AssignFormat(source);
  EXPECT_EQ(target.Format.ColumnCount, 2);
  EXPECT_EQ(target.PageNumberFormat, 3);
  EXPECT_EQ(target.Footnotes.NumberFormat, 9);
  EXPECT_EQ(target.HeaderFooter[hfOddHeader], &header);
  EXPECT_EQ(target.FirstPar, 7);
  EXPECT_EQ(target.LastPar, 9);
  EXPECT_EQ(target.Number, 2);
}

TEST_F(DocObjects, SectionColumnsUseThePageSection) {
  TSection governing(nullptr);
  governing.SetDefaults();
  governing.PageParams.TextWidth = 6000;
  TSection section(nullptr);
  section.SetDefaults();
  section.Format.ColumnCount = 2;
  section.Format.Spacing = 0;
  TColumnBounds b;
  section.GetColumnBounds(1, b);
  EXPECT_EQ(b.Width, 4680);  // own page parameters while none governs
  fake->pageSection = &governing;
  section.GetColumnBounds(1, b);
  EXPECT_EQ(b.Width, 3000);
}

TEST_F(DocObjects, SectionEndsBefore) {
  TSection s(nullptr);
  s.FirstPar = 2;
  s.LastPar = 5;
  struct TCase {
    bool flag62;
    TDocPosition p;
    bool expected;
  };
  const TCase cases[] = {{false, {6, 0}, true},  {false, {5, 9}, true},  {false, {5, 8}, false},
                         {false, {4, 9}, false}, {true, {4, 9}, true},   {true, {5, 9}, false},
                         {true, {6, 0}, true}};
  for (const auto& c : cases) {
    fake->flag62 = c.flag62;
    EXPECT_EQ(s.EndsBefore(c.p), c.expected) << c.p.Par << "," << c.p.Offset << " flag " << c.flag62;
  }
}

TEST_F(DocObjects, FieldNamesAndCaseSwitches) {
  TField f;
  f.FieldType = ftHyperlink;
  f.Instruction = u"HYPERLINK \"x\"";
  EXPECT_EQ(f.GetDisplayName(), u"Hyperlink");
  f.FieldType = 59;
  f.Instruction = u"MERGEFIELD Name \\* Upper";
  EXPECT_EQ(f.GetDisplayName(), u"MERGEFIELD");
  f.Instruction = u" leading";
  EXPECT_EQ(f.GetDisplayName(), u" leading");

  struct TCase {
    const char16_t* instruction;
    const char16_t* text;
    const char16_t* expected;
  };
  const TCase cases[] = {
      {u"REF a \\* Upper", u"mIxEd case", u"MIXED CASE"},
      {u"REF a \\* Lower", u"mIxEd CASE", u"mixed case"},
      {u"REF a \\* FirstCap", u"mIxEd CASE", u"Mixed case"},
      {u"REF a \\* Caps", u"mIxEd CASE 3rd", u"Mixed Case 3rd"},
      {u"REF a \\* Caps", u"\u00e9t\u00e9 chaud", u"\u00c9t\u00e9 Chaud"},
      {u"REF a", u"mIxEd", u"mIxEd"}};
  for (const auto& c : cases) {
    f.Instruction = c.instruction;
    EXPECT_EQ(f.ApplyCaseSwitch(c.text), c.expected);
  }
}

TEST_F(DocObjects, FieldResults) {
  TField f;
  f.FieldType = 33;
  f.Instruction = u"PAGE \\* roman";
  EXPECT_EQ(f.FormatNumberResult(14, 9), u"xiv");
  f.Instruction = u"PAGE \\* ALPHABETIC";
  EXPECT_EQ(f.FormatNumberResult(28, 9), u"BB");
  f.Instruction = u"PAGE \\* roman \\* Upper";
  EXPECT_EQ(f.FormatNumberResult(4, 9), u"IV");
  f.Instruction = u"PAGE";
  EXPECT_EQ(f.FormatNumberResult(4, 9), u"4");

  f.FieldType = 31;
  f.Instruction = u"DATE";
  EXPECT_EQ(f.FormatDateResult(9, 0), u"");
  EXPECT_FALSE(f.FormatDateResult(9, 46000.5).empty());

  f.FieldType = ftPageRef;
  f.Instruction = u"PAGEREF Mark \\h";
  EXPECT_TRUE(f.HasLinkSwitch());
  f.Instruction = u"PAGEREF Mark \\p";
  EXPECT_FALSE(f.HasLinkSwitch());
  f.FieldType = ftRef;
  f.Instruction = u"REF Mark \\h";
  EXPECT_FALSE(f.HasLinkSwitch());
}

TEST_F(DocObjects, NoteNumbersAndReferencedNotes) {
  TSection section(nullptr);
  section.SetDefaults();
  section.Footnotes.NumberFormat = 9;
  TField noteText;
  TField reference;
  reference.LinkedField = &noteText;
  EXPECT_TRUE(reference.SetNoteNumber(section, 2));
  EXPECT_EQ(reference.Text, "\x86");
  EXPECT_EQ(reference.NoteNumber, 2);
  EXPECT_FALSE(reference.SetNoteNumber(section, 2));
  noteText.NoteClass = 1;  // an endnote: lower-case roman by default
  EXPECT_TRUE(reference.SetNoteNumber(section, 4));
  EXPECT_EQ(reference.Text, "iv");

  TField bookmark;
  TField noteRef;
  fake->bookmark = &bookmark;
  fake->noteReference = &noteRef;
  TField f;
  f.FieldType = ftNoteRef;
  f.Instruction = u"NOTEREF \\h Note1";
  MakeRange(4, 2, 4, 5, bookmark.Range);
  EXPECT_EQ(f.FindReferencedNote(nullptr), &noteRef);  // at the bookmark's start
  MakeRange(4, 0, 4, 3, bookmark.Range);
  EXPECT_EQ(f.FindReferencedNote(nullptr), &noteRef);  // at the character before its end
  MakeRange(4, 0, 4, 0, bookmark.Range);
  EXPECT_EQ(f.FindReferencedNote(nullptr), nullptr);
  f.Instruction = u"NOTEREF Other";
  EXPECT_EQ(f.FindReferencedNote(nullptr), nullptr);
}

TAutoList MakeOutline() {
  TAutoList list;
  list.ListLevels[0].LevelText = std::u16string(u"\0.", 2);
  list.ListLevels[1].LevelText = std::u16string(u"\0.\1.", 4);
  list.ListLevels[1].NumberFormat = nfLowerLetter;
  list.ListLevels[1].StartAt = 2;
  return list;
}

TEST_F(DocObjects, ListKindsAndLevels) {
  TAutoList list;
  EXPECT_EQ(list.ListLevels[3].StartAt, 1);
  EXPECT_EQ(list.GetKind(), lkOutline);
  list.SingleLevel = 1;
  EXPECT_EQ(list.GetKind(), lkNumbered);
  list.ListLevels[0].NumberFormat = 23;
  EXPECT_EQ(list.GetKind(), lkBulleted);
  EXPECT_TRUE(list.IsBulletLevel(5));  // answers for level 0
  EXPECT_TRUE(list.IsAllBullets());
  list.SingleLevel = 0;
  EXPECT_FALSE(list.IsBulletLevel(5));
  EXPECT_FALSE(list.IsAllBullets());
}

TEST_F(DocObjects, ListSameFormat) {
  TAutoList a = MakeOutline();
  TAutoList b;
  b.Assign(a);
  EXPECT_TRUE(a.SameFormat(b, 0));
  b.ListLevels[1].StartAt = 7;
  EXPECT_FALSE(a.SameFormat(b, 0));
  EXPECT_TRUE(a.SameFormat(b, lcIgnoreStartNumbers));
  b.ListLevels[1].ParFormat.LeftIndent = 720;
  EXPECT_FALSE(a.SameFormat(b, lcIgnoreStartNumbers));
  EXPECT_TRUE(a.SameFormat(b, lcNumberFormatsOnly));
  b.ListLevels[8].NumberFormat = 2;
  EXPECT_FALSE(a.SameFormat(b, lcNumberFormatsOnly));
  b.SingleLevel = 1;
  a.SingleLevel = 1;
  EXPECT_TRUE(a.SameFormat(b, lcIgnoreStartNumbers));  // only level 0 is in use
  a.SingleLevel = 0;
  EXPECT_FALSE(a.SameFormat(b, lcNumberFormatsOnly));
}

TEST_F(DocObjects, ListPreviewText) {
  TAutoList list = MakeOutline();
  std::vector<std::pair<std::u16string, int32_t>> numbers;
  EXPECT_EQ(ListLevelPreviewText(list, 1, 9, &numbers), u"1.b.");
  ASSERT_EQ(numbers.size(), 2u);
  EXPECT_EQ(numbers[0], (std::pair<std::u16string, int32_t>{u"b", 1}));
  EXPECT_EQ(numbers[1], (std::pair<std::u16string, int32_t>{u"1", 0}));

  list.ListLevels[1].Legal = 1;  // legal numbering shows every level in arabic
  EXPECT_EQ(ListLevelPreviewText(list, 1, 9, nullptr), u"1.2.");
  list.ListLevels[1].Legal = 0;
  list.ListLevels[0].NumberFormat = 23;  // a bullet level shows its number in arabic
  list.ListLevels[0].StartAt = 3;
  EXPECT_EQ(ListLevelPreviewText(list, 1, 9, nullptr), u"3.b.");

  TAutoList single;
  single.SingleLevel = 1;
  single.ListLevels[0].LevelText = std::u16string(u"(\0)", 3);
  single.ListLevels[0].NumberFormat = nfUpperRoman;
  EXPECT_EQ(ListLevelPreviewText(single, 2, 9, nullptr), u"(III)");
}

}  // namespace
