// Paragraph operations, case and keyboard-layout conversion, the default language, go back and
// the hyphenation options, each undone and redone exactly.
#include <gtest/gtest.h>

#include "document/field.h"
#include "editing/ops/case_conversion.h"
#include "editing/ops/go_back.h"
#include "editing/ops/hyphenation_operations.h"
#include "editing/ops/keyboard_layout_conversion.h"
#include "editing/ops/paragraph_operations.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/keyboard_layouts.h"
#include "ops_test_support.h"
#include "platform/system/keyboard_layouts.h"

using namespace qv;

namespace {

void RunPars(TDoc& doc, uint8_t code, int32_t first, int32_t last, uint8_t order = 0) {
  void* args[] = {&first, &last, &order};
  doc.ExecuteEdit(code, args, 2);
}

TEST(ParagraphOperations, JoinKeepsBlankParagraphsAndJoinsTheRest) {
  OpsScope scope;
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  SetMainText(doc, {"one", "two", "", "three", "four"});
  Select(doc, {{Pos(0, 0), Pos(4, 4)}});
  const std::string before = DumpDoc(doc);
  RunPars(doc, ecJoinParagraphs, 0, 4);
  EXPECT_EQ(MainText(doc), "one two//three four");
  ExpectUndoRedoExact(doc, before);

  // One paragraph without line breaks: the message, nothing recorded.
  SetMainText(doc, {"single"});
  Caret(doc, 0, 0);
  const uint32_t serial = doc.LastOperationSerial();
  RunPars(doc, ecJoinParagraphs, 0, 0);
  EXPECT_EQ(doc.LastOperationSerial(), serial);
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_NE(box->Texts[0].find("\"join paragraphs\" operation"), std::string::npos);
}

TEST(ParagraphOperations, JoinTurnsSingleLineBreaksIntoSpaces) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"a\x0B" "b\x0B\x0B" "c"});
  // Line breaks are special characters: rebuild the codes from tags.
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  p.Content.AppendString("a");
  AppendContentTag(p.Content, ctSpecialChar, scLineBreak);
  p.Content.AppendString("b");
  AppendContentTag(p.Content, ctSpecialChar, scLineBreak);
  AppendContentTag(p.Content, ctSpecialChar, scLineBreak);
  p.Content.AppendString("c");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  Select(doc, {{Pos(0, 0), Pos(0, 6)}});
  const std::string before = DumpDoc(doc);
  RunPars(doc, ecJoinParagraphs, 0, 0);
  EXPECT_EQ(MainText(doc), "a b\x07\x07" "c");
  ExpectUndoRedoExact(doc, before);
}

TEST(ParagraphOperations, SortSortsAroundTablesAndOffersDuplicates) {
  OpsScope scope;
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  SetMainText(doc, {"pear", "apple", "fig", "apple"});
  Select(doc, {{Pos(0, 0), Pos(3, 5)}});
  const std::string before = DumpDoc(doc);
  RunPars(doc, ecSortParagraphs, 0, 3);
  EXPECT_EQ(MainText(doc), "apple/apple/fig/pear");
  ASSERT_EQ(box->Texts.size(), 1u);
  ASSERT_EQ(doc.Selection->Count(), 1);
  EXPECT_EQ(doc.Selection->GetRange(0)->Start.Par, 1);
  ExpectUndoRedoExact(doc, before);

  // A table paragraph between two runs is a block of its own: nothing moves across it.
  SetMainText(doc, {"b", "a", "cell", "d", "c"});
  TPar& cell = *doc.Par(2);
  cell.Format.InTable = 1;
  cell.Content.Clear();
  cell.Content.AppendString("cell");
  AppendContentTag(cell.Content, ctCellEnd, 0);
  cell.RebuildCodes();
  cell.ContentChanged();
  Select(doc, {{Pos(0, 0), Pos(4, 2)}});
  RunPars(doc, ecSortParagraphs, 0, 4);
  EXPECT_EQ(MainText(doc), "a/b/cell/c/d");
}

TEST(ParagraphOperations, MoveUpAndDown) {
  OpsScope scope;
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  SetMainText(doc, {"one", "two", "three"});
  Caret(doc, 0, 1);
  const uint32_t serial = doc.LastOperationSerial();
  int32_t up = -1, down = 1;
  void* upArgs[] = {&up};
  void* downArgs[] = {&down};
  doc.ExecuteEdit(ecMoveParagraphs, upArgs, 0);
  EXPECT_EQ(doc.LastOperationSerial(), serial);
  const std::string before = DumpDoc(doc);
  doc.ExecuteEdit(ecMoveParagraphs, downArgs, 0);
  EXPECT_EQ(MainText(doc), "two/one/three");
  EXPECT_EQ(doc.Caret.Par, 1);
  ExpectUndoRedoExact(doc, before);
}

struct CaseFixture : ::testing::Test {
  static void SetUpTestSuite() {
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  }
  // Runs code 23 over the whole first paragraph.
  void Convert(TDoc& doc, uint8_t mode, const void* parameter = nullptr) {
    TDocRange r{Pos(0, 0), Pos(0, doc.ParLength(0) - 1)};
    int32_t flags = 0;
    void* args[] = {nullptr, &r, &mode, &flags, const_cast<void*>(parameter)};
    doc.ExecuteEdit(ecChangeCase, args, parameter ? 4 : 3);
  }
  OpsScope scope;
};

TEST_F(CaseFixture, CaseModesWithTheirRules) {
  struct Case {
    uint8_t mode;
    const char* text;
    const char* want;
  } cases[] = {
      {cmUpperCase, "Hello world 42", "HELLO WORLD 42"},
      {cmLowerCase, "Hello WORLD", "hello world"},
      {cmInvertCase, "Hello World 7", "hELLO wORLD 7"},
      {cmSentenceCase, "THIS IS LOUD. second one.", "This is loud. Second one."},
      {cmSentenceCase, "the NATO report by Anna", "The NATO report by Anna"},
      {cmHeadingCase, "the NATO rEPORT of anna", "The NATO Report Of Anna"},
      {cmUpperCase, "stra\xDF" "e", "STRA\xDF" "E"},  // the sharp s has no one-byte capital
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDoc doc(true);
    SetMainText(doc, {c.text});
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    Convert(doc, c.mode);
    EXPECT_EQ(MainText(doc), c.want);
    ExpectUndoRedoExact(doc, before);
  }
}

TEST_F(CaseFixture, TurkishDottedAndDotlessI) {
  TDoc doc(true);
  const int32_t font = FontManager()->FontIndex("Qv Turkish Face", TURKISH_CHARSET, false);
  ASSERT_GE(font, 0);
  SetMainText(doc, {"istanbul"});
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  AppendContentTag(p.Content, ctFont, font);
  AppendContentTag(p.Content, cpLanguage, 1055);
  p.Content.AppendString("istanbul IZMIR");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  Convert(doc, cmUpperCase);
  // Dotted capital I (0xDD in code page 1254) for i.
  EXPECT_EQ(MainText(doc), "\xDDSTANBUL IZMIR");
  Convert(doc, cmLowerCase);
  // Dotless small i (0xFD) for I, and i for the dotted capital.
  EXPECT_EQ(MainText(doc), "istanbul \xFDzm\xFDr");
}

TEST_F(CaseFixture, UpperCaseKeepsFieldsInPlace) {
  TDoc doc(true);
  SetMainText(doc, {"see here now"});
  auto field = std::make_unique<TField>();
  field->Kind = fkBookmark;
  field->Instruction = u"place";
  TField* f = doc.InsertFieldMarks(std::move(field), {Pos(0, 4), Pos(0, 8)});
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  Convert(doc, cmUpperCase);
  EXPECT_EQ(MainText(doc), "SEE HERE NOW");
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(f, r));
  EXPECT_EQ(r.Start.Offset, 4);
  EXPECT_EQ(r.End.Offset, 8);
  ExpectUndoRedoExact(doc, before);
}

TEST_F(CaseFixture, WrongLayoutTextBecomesCyrillicWithItsLanguage) {
  TDoc doc(true);
  SetMainText(doc, {"ghbdtn"});
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  // From US English (the active layout) to the one before it in the list: the last, Russian.
  TKeyLayoutConversion parameter;
  Convert(doc, cmKeyboardLayout, &parameter);
  const std::u16string text = CodePageToWide(MainText(doc), 1251);
  EXPECT_EQ(text, u"\u043F\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(doc.GetLanguageAt(0, 1), 1049);
  ExpectUndoRedoExact(doc, before);
}

TEST_F(CaseFixture, OneLayoutShowsTheLayoutMessage) {
  struct OneLayout : plat::KeyboardLayoutSource {
    std::vector<uint32_t> InstalledLayouts() override { return {plat::kLayoutUS}; }
    uint32_t CurrentLayout() override { return plat::kLayoutUS; }
  };
  plat::SetKeyboardLayoutSource(std::make_unique<OneLayout>());
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  SetMainText(doc, {"abc"});
  const uint32_t serial = doc.LastOperationSerial();
  TKeyLayoutConversion parameter;
  Convert(doc, cmKeyboardLayout, &parameter);
  plat::SetKeyboardLayoutSource(nullptr);
  GetLayoutManager().Update();
  EXPECT_EQ(doc.LastOperationSerial(), serial);
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_NE(box->Texts[0].find("at least two keyboard layouts"), std::string::npos);
}

TEST(DefaultLanguageAndGoBack, SameLanguageRecordsNothingAndGoBackFindsTheLastEdit) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"first", "second", "third"});
  int32_t lang = 1031;
  void* args[] = {&lang};
  const std::string before = DumpDoc(doc);
  doc.ExecuteEdit(ecChangeDefaultLanguage, args, 0);
  EXPECT_EQ(doc.DefaultLanguage, 1031);
  ExpectUndoRedoExact(doc, before);
  doc.Redo();
  const uint32_t serial = doc.LastOperationSerial();
  doc.ExecuteEdit(ecChangeDefaultLanguage, args, 0);
  EXPECT_EQ(doc.LastOperationSerial(), serial);

  Caret(doc, 1, 3);
  TypeBytes(doc, "XY");
  Caret(doc, 2, 0);
  GoBack(doc);
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_EQ(doc.Caret.Offset, 5);
  doc.UndoAll();
  Caret(doc, 2, 0);
  GoBack(doc);
  // Everything undone: the place where the first change started.
  EXPECT_EQ(doc.Caret.Par, 0);

  // A remembered jump comes first, then the undo list.
  Caret(doc, 2, 4);
  RememberGoBackPlace(doc);
  Caret(doc, 0, 1);
  GoBack(doc);
  EXPECT_EQ(doc.Caret.Par, 2);
  EXPECT_EQ(doc.Caret.Offset, 4);
}

TEST(Hyphenation, OptionsAreOneUndoStepAndManualHyphenationCountsSkipped) {
  OpsScope scope;
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  SetMainText(doc, {"one", "two", "three"});
  const std::string before = DumpDoc(doc);
  THyphenationSettings s{1, 0, 200};
  void* args[] = {&s};
  doc.ExecuteEdit(49, args, 0);
  EXPECT_EQ(doc.AutoHyphenation, 1);
  EXPECT_EQ(doc.HyphenationZone, 200);
  ExpectUndoRedoExact(doc, before);

  doc.Par(0)->Format.NoHyphenation = 1;
  doc.Par(2)->Format.NoHyphenation = 1;
  Select(doc, {{Pos(0, 0), Pos(2, 5)}});
  const TManualHyphResult r = HyphenateManually(doc, s);
  EXPECT_EQ(r.Skipped, 2);
  ASSERT_FALSE(box->Texts.empty());
  EXPECT_NE(box->Texts.back().find("skipped over 2 paragraph(s)"), std::string::npos);
}

}  // namespace
