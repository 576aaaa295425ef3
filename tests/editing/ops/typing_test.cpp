// Typing and plain-text insertion through the dispatcher: paragraph marks, special characters,
// section breaks, characters outside the basic plane, overtype, Enter and the selection typed
// over; each change undone and redone exactly.
#include <gtest/gtest.h>

#include <map>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/field.h"
#include "document/section.h"
#include "document/styles.h"
#include "foundation/fonts/font_manager.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

std::string Codes(const TPar& p) {
  std::string s;
  for (int32_t i = 0; i + 1 < p.CharCount(); ++i) {
    const uint8_t c = p.CodeAt(i);
    s += c >= 32 ? std::string(1, static_cast<char>(c)) : "<" + std::to_string(c) + ">";
  }
  return s;
}

std::string AllCodes(TDoc& doc) {
  std::string s;
  for (int32_t i = 0; i < doc.StoryCounts[stMain]; ++i) s += (i ? "/" : "") + Codes(*doc.Par(i));
  return s;
}

TEST(Typing, PlainTextBecomesParagraphsAndSpecialCharacters) {
  struct Case {
    const char* name;
    std::string typed;
    std::string want;
  } cases[] = {
      {"CR LF is one mark", "a\r\nb", "a/b|"},
      {"LF CR is one mark", "a\n\rb", "a/b|"},
      {"CR CR are two", "a\r\rb", "a//b|"},
      {"tab, line break, dashes, no-break space", "a\tb\x0B" "c\x96\x97\xA0", "a<9>b<7>c<14><13><11>|"},
      {"other control bytes are dropped", "a\x01\x02z", "az|"},
      {"optional and non-breaking hyphens", "a\x1F" "b\x10", "a<15>b<12>|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    SetMainText(doc, {"|"});
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    TypeBytes(doc, c.typed);
    EXPECT_EQ(AllCodes(doc), c.want);
    ExpectUndoRedoExact(doc, before);
  }
}

TEST(Typing, FormFeedTripleInsertsSectionBreakExceptInCells) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ab"});
  Caret(doc, 0, 1);
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, std::string("\x0C\x00\x02", 3));
  ASSERT_EQ(doc.StoryCounts[stMain], 2);
  TSection* made = doc.Par(0)->SectionBreak();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Format.BreakKind, 2);
  EXPECT_EQ(doc.Sections.size(), 2u);
  ExpectUndoRedoExact(doc, before);
  EXPECT_EQ(doc.Sections.size(), 1u);

  SetMainText(doc, {"ab"});
  doc.Par(0)->Format.InTable = 1;
  Caret(doc, 0, 1);
  TypeBytes(doc, std::string("\x0C\x00\x02", 3));
  EXPECT_EQ(AllCodes(doc), "a<7>b");
  doc.Par(0)->Format.InTable = 1;
  Caret(doc, 0, 0);
  TypeBytes(doc, "\x0C", idfBreaksInCells);
  EXPECT_EQ(Codes(*doc.Par(0)), "<8>a<7>b");
}

TEST(Typing, CharactersOutsideTheBasicPlaneGoInWholeAndLoneHalvesNever) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ab"});
  Caret(doc, 0, 1);
  const std::string before = DumpDoc(doc);
  TypeWide(doc, u"\U0001F600");
  EXPECT_EQ(Codes(*doc.Par(0)), "a<17><17>b");
  EXPECT_EQ(doc.Caret.Offset, 3);
  ExpectUndoRedoExact(doc, before);

  // A lone high or low half is dropped.
  TypeWide(doc, std::u16string(u"x\xD800y\xDC00", 4));
  EXPECT_EQ(Codes(*doc.Par(0)), "axyb");
}

TEST(Typing, BackspaceAndDeleteNextToAPairRemoveTheWholeCharacter) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ab"});
  Caret(doc, 0, 1);
  TypeWide(doc, u"\U0001F600");
  // Backspace from after the pair names only its low half; Delete before it only its high half.
  for (TDocRange r : {TDocRange{Pos(0, 2), Pos(0, 3)}, TDocRange{Pos(0, 1), Pos(0, 2)}}) {
    const std::string before = DumpDoc(doc);
    DeleteRange(doc, r);
    EXPECT_EQ(Codes(*doc.Par(0)), "ab");
    ExpectUndoRedoExact(doc, before);
    doc.Redo();
    doc.Undo();
  }
}

TEST(Typing, OvertypeReplacesTheNextCharacterButNotTheMark) {
  OpsScope scope;
  TDoc doc(true);
  scope.Text->Overtype = true;
  SetMainText(doc, {"abc"});
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, "X");
  EXPECT_EQ(MainText(doc), "Xbc");
  ExpectUndoRedoExact(doc, before);
  Caret(doc, 0, 3);
  TypeBytes(doc, "Y");
  EXPECT_EQ(MainText(doc), "abcY");
}

TEST(Typing, TypingOverTheSelectionKeepsItsFormat) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"a|Bbold|b z"});
  Select(doc, {{Pos(0, 1), Pos(0, 5)}});
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, "NEW\r");
  EXPECT_EQ(MainText(doc), "aNEW/ z");
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(1, f);
  EXPECT_EQ(f.Bold, 1);
  doc.Par(1)->GetCharFormatAt(1, f);
  EXPECT_NE(f.Bold, 1);
  ExpectUndoRedoExact(doc, before);
}

TEST(Typing, EnterAtAHeadingsEndTakesTheNextStyle) {
  OpsScope scope;
  TDoc doc(true);
  doc.InitNewDocument();
  SetMainText(doc, {"Title"});
  TStyle& heading = doc.Styles->AddNew();
  heading.Name = "Heading X";
  heading.Next = 0;
  const int16_t index = static_cast<int16_t>(doc.Styles->Count() - 1);
  ASSERT_GT(index, 0);
  doc.Par(0)->Format.Style = index;
  Caret(doc, 0, 5);
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, "\r");
  ASSERT_EQ(doc.StoryCounts[stMain], 2);
  EXPECT_EQ(doc.Par(0)->Format.Style, index);
  EXPECT_EQ(doc.Par(1)->Format.Style, 0);
  ExpectUndoRedoExact(doc, before);
}

}  // namespace

namespace {

TEST(Typing, EnterOnAnEmptyListItemEndsTheListThere) {
  OpsScope scope;
  TDoc doc(true);
  doc.InitNewDocument();
  SetMainText(doc, {"one", ""});
  auto list = std::make_unique<TAutoList>();
  list->Number = 1;
  list->ListLevels[0].LevelText = std::u16string(u"\0.", 2);
  doc.Lists.push_back(std::move(list));
  for (int32_t i = 0; i < 2; ++i) {
    doc.Par(i)->Format.List = 1;
    doc.Par(i)->Format.ListLevel = 0;
  }
  // Enter at the end of a filled item continues the list.
  Caret(doc, 0, 3);
  TypeBytes(doc, "\r");
  ASSERT_EQ(doc.StoryCounts[stMain], 3);
  EXPECT_EQ(int32_t{doc.Par(1)->Format.List}, 1);  // a packed field: compared by value
  // Enter on the empty item takes it out of the list and makes no new paragraph.
  Caret(doc, 2, 0);
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, "\r");
  EXPECT_EQ(doc.StoryCounts[stMain], 3);
  EXPECT_EQ(int32_t{doc.Par(1)->Format.List}, 1);  // a packed field: compared by value
  EXPECT_TRUE(doc.Par(2)->Format.List == 0 || doc.Par(2)->Format.List == ParUnset32);
  EXPECT_EQ(doc.Caret.Par, 2);
  ExpectUndoRedoExact(doc, before);
}

}  // namespace

namespace {

// Every field's marks are both in the text, or both out of it.
bool MarksPaired(TDoc& doc) {
  std::map<const TField*, int> starts, ends;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    const TPar& p = *doc.Par(i);
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size)
      if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind))
        ++(item.Tag.Kind == ctFieldStart ? starts : ends)[FieldOfTag(item.Tag)];
  }
  return starts == ends;
}

TEST(Typing, AFragmentEndingInAFieldMarkIsUndoneWithItsMarks) {
  struct Case {
    const char* name;
    std::vector<std::string> pars;
    TDocPosition at;
    int32_t parMarks;  // paragraph ends in the fragment
  } cases[] = {
      {"within one paragraph", {"abc"}, Pos(0, 1), 0},
      {"with a paragraph end", {"abc"}, Pos(0, 1), 1},
      {"at the paragraph's end", {"abc"}, Pos(0, 3), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    SetMainText(doc, c.pars);
    Caret(doc, c.at.Par, c.at.Offset);
    const std::string before = DumpDoc(doc);
    auto field = std::make_unique<TField>();
    field->Kind = fkBookmark;
    field->Instruction = u"inserted";
    TField* f = field.get();
    doc.Fields.push_back(std::move(field));
    TMemory fragment;
    fragment.AppendString("X");
    if (c.parMarks > 0) {
      AppendContentTag(fragment, ctSpecialChar, scParagraphEnd);
      fragment.AppendByte(29);
    }
    AppendContentTag(fragment, ctFieldStart, TagRefOf(f));
    fragment.AppendString("Y");
    AppendContentTag(fragment, ctFieldEnd, TagRefOf(f));
    int32_t marks = c.parMarks, flags = 0;
    void* args[] = {&fragment, &marks, &flags};
    doc.ExecuteEdit(ecTypeFragment, args, 2);
    TDocRange r;
    ASSERT_TRUE(doc.GetFieldRange(f, r));
    EXPECT_EQ(r.End.Offset - r.Start.Offset, 1);
    EXPECT_TRUE(MarksPaired(doc));
    ExpectUndoRedoExact(doc, before);
    EXPECT_TRUE(MarksPaired(doc));
  }
}

// Reference numbers only grow over a session; a field's tag whose number has a byte 1 in it
// reads, when misaligned, like the end of a tag. Undo must still find the field behind the
// paragraph format that the held content carries before it.
TEST(Typing, UndoFindsAFieldBehindAHeldParagraphWhateverItsReferenceNumber) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"abc"});
  Caret(doc, 0, 1);
  const std::string before = DumpDoc(doc);
  std::vector<std::unique_ptr<TField>> spent;
  auto field = std::make_unique<TField>();
  while (((TagRefOf(field.get()) >> 8) & 0xFF) != 1) {
    spent.push_back(std::move(field));
    field = std::make_unique<TField>();
  }
  spent.clear();
  field->Kind = fkBookmark;
  TField* f = field.get();
  doc.Fields.push_back(std::move(field));
  TMemory fragment;
  fragment.AppendString("X");
  AppendContentTag(fragment, ctSpecialChar, scParagraphEnd);
  fragment.AppendByte(29);
  AppendContentTag(fragment, ctFieldStart, TagRefOf(f));
  fragment.AppendString("Y");
  AppendContentTag(fragment, ctFieldEnd, TagRefOf(f));
  int32_t marks = 1, flags = 0;
  void* args[] = {&fragment, &marks, &flags};
  doc.ExecuteEdit(ecTypeFragment, args, 2);
  ExpectUndoRedoExact(doc, before);
}

}  // namespace

namespace {

// A character by its code or a symbol: one undo step, whole, refused when it is half a pair.
TEST(Typing, InsertSymbolPutsInOneWholeCharacterOrNothing) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ab"});
  struct Case {
    const char* name;
    int32_t code;
    uint8_t kind;  // 1 a byte of the code page, 2 Unicode
    const char* want;
  } cases[] = {
      {"ANSI byte", 0xE9, 1, "a\xE9" "b"},
      {"outside the basic plane", 0x1F600, 2, "a<17><17>b"},
      {"high surrogate", 0xD800, 2, "ab"},
      {"low surrogate", 0xDC00, 2, "ab"},
      {"past the last code", 0x110000, 2, "ab"},
  };
  for (const Case& c : cases) {
    Caret(doc, 0, 1);
    const std::string before = DumpDoc(doc);
    int32_t code = c.code;
    std::string face;
    uint8_t kind = c.kind;
    void* args[] = {&code, &face, &kind};
    doc.ExecuteEdit(46, args, 2);
    EXPECT_EQ(Codes(*doc.Par(0)), c.want) << c.name;
    if (Codes(*doc.Par(0)) != "ab") {
      ExpectUndoRedoExact(doc, before);
      doc.Undo();
    }
    EXPECT_EQ(Codes(*doc.Par(0)), "ab") << c.name;
  }
}

}  // namespace

namespace {

// A character by its Unicode code in a named face keeps its own character set: Greek and
// Cyrillic letters read back as themselves, not as the Western letters of the same byte.
TEST(Typing, ASymbolInANamedFaceKeepsItsCharacterSet) {
  if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ab"});
  Caret(doc, 0, 1);
  for (int32_t code : {0x3A9, 0x416}) {
    std::string face = "Arial";
    uint8_t kind = 2;
    void* args[] = {&code, &face, &kind};
    doc.ExecuteEdit(46, args, 2);
  }
  TDocRange all;
  MakeRange(0, 0, 0, doc.Par(0)->CharCount() - 1, all);
  EXPECT_EQ(doc.GetRangeWideText(all, 0), u"a\u03A9\u0416b");
}

}  // namespace
