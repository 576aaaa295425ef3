// Editing a header or footer in place: its computed fields show one page's values while their
// text is shared by every page, so undo and redo first give the header back the results it
// showed when the operation ran.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_evaluation.h"
#include "edit_test_support.h"
#include "editing/field_edit_services.h"
#include "editing/field_text_snapshot.h"
#include "editing/ins_del_operation.h"
#include "editing/edit_layout_hooks.h"
#include "editing/editing_services.h"
#include "editing/operation.h"

using namespace qv;

namespace {

struct HeaderScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
};

// A header of the first section: "Page " + PAGE field showing `shown` + " end".
struct THeaderDoc {
  TDoc Doc{true};
  TField* Header = nullptr;
  TField* Page = nullptr;
  int32_t Par = -1;

  explicit THeaderDoc(const std::string& shown) {
    SetMainText(Doc, {"body text"});
    auto header = std::make_unique<TField>();
    header->Kind = fkHeaderFooter;
    auto page = std::make_unique<TField>();
    page->FieldType = ftPageField;
    page->Instruction = u"PAGE";
    Header = header.get();
    Page = page.get();
    TPar* p = Doc.AppendParagraph(stHeadersFooters, DefaultParFormat);
    Par = p->Index;
    p->Content.Clear();
    AppendContentTag(p->Content, ctFieldStart, TagRefOf(Header));
    p->Content.AppendString("Page ");
    AppendContentTag(p->Content, ctFieldStart, TagRefOf(Page));
    p->Content.AppendString(shown);
    AppendContentTag(p->Content, ctFieldEnd, TagRefOf(Page));
    p->Content.AppendString(" end");
    AppendContentTag(p->Content, ctSpecialChar, scParagraphEnd);
    AppendContentTag(p->Content, ctFieldEnd, TagRefOf(Header));
    p->RebuildCodes();
    p->ContentChanged();
    Doc.Fields.push_back(std::move(header));
    Doc.Fields.push_back(std::move(page));
    Doc.Sections[0]->HeaderFooter[hfOddHeader] = Header;
    Doc.InvalidateFieldIndex();
  }

  std::string HeaderText() {
    TDocRange r;
    MakeRange(Par, 0, Par, Doc.Par(Par)->CharCount() - 1, r);
    const std::u16string w = Doc.GetRangeWideText(r, 0);
    return std::string(w.begin(), w.end());
  }

  // Inserts text at the character offset of the header paragraph as one operation.
  void Type(int32_t offset, const std::string& text) {
    auto op = std::make_unique<TOperation>(Doc, 15);
    Doc.BeginOperation(op.get());
    TMemory m;
    m.AppendString(text);
    TDocPosition at;
    MakePosition(Par, offset, at);
    TSubOperation::Execute(TInsDelOperation::ForInsert(Doc, m, at, stHeadersFooters, 0));
    Doc.EndOperation();
    Doc.PostEditUpdate();
    Doc.CommitOperation(std::move(op));
  }
};

TEST(HeaderFooterEditing, AnOperationKeepsTheResultsItsHeaderShowed) {
  HeaderScope scope;
  THeaderDoc h("3");
  h.Doc.HeaderFooterInPlace = h.Header;
  h.Doc.HeaderFooterPage = 2;
  TFieldTexts texts;
  CaptureFieldTexts(h.Doc, texts);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].first, h.Page);
  EXPECT_EQ(texts[0].second, u"3");
  // Nothing is taken while no header is edited in place.
  h.Doc.HeaderFooterInPlace = nullptr;
  CaptureFieldTexts(h.Doc, texts);
  EXPECT_TRUE(texts.empty());
}

TEST(HeaderFooterEditing, UndoAndRedoMeetTheTextTheirRecordsWereMadeFor) {
  HeaderScope scope;
  THeaderDoc h("3");
  h.Doc.HeaderFooterInPlace = h.Header;
  h.Doc.HeaderFooterPage = 2;
  const std::string before = h.HeaderText();
  h.Type(before.size(), "!");  // after " end"
  ASSERT_EQ(h.HeaderText(), "Page 3 end!");
  // Another page shows the shared header with its own, longer number.
  RestoreFieldTexts(h.Doc, {{h.Page, u"10"}}, h.Header);
  ASSERT_EQ(h.HeaderText(), "Page 10 end!");
  h.Doc.Undo();
  EXPECT_EQ(h.HeaderText(), "Page 3 end");
  RestoreFieldTexts(h.Doc, {{h.Page, u"12"}}, h.Header);
  h.Doc.Redo();
  EXPECT_EQ(h.HeaderText(), "Page 3 end!");
}

TEST(HeaderFooterEditing, ResultsOfFieldsGoneFromTheDocumentAreLeftAlone) {
  HeaderScope scope;
  THeaderDoc h("7");
  TField stray;
  RestoreFieldTexts(h.Doc, {{&stray, u"x"}, {h.Page, u"8"}}, h.Header);
  EXPECT_EQ(h.HeaderText(), "Page 8 end");
}

}  // namespace

// --- In place on laid-out pages ---

#include "layout/box.h"
#include "layout/pagination_fixture.h"

namespace {

class InPlaceEditing : public PaginationTest {
 protected:
  void SetUp() override {
    PaginationTest::SetUp();
    header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Page ");
    // A PAGE field after the header's text.
    TDocRange r;
    doc->InvalidateFieldIndex();
    EXPECT_TRUE(doc->GetHeaderFooterRange(header, r));
    auto owned = std::make_unique<TField>();
    page = owned.get();
    page->FieldType = ftPageField;
    page->Instruction = u"PAGE";
    doc->Fields.push_back(std::move(owned));
    TPar& p = *doc->Par(r.Start.Par);
    headerPar = r.Start.Par;
    const int32_t at = p.CharToStreamOffset(5);
    TMemory field;
    AppendContentTag(field, ctFieldStart, TagRefOf(page));
    field.AppendString("1");
    AppendContentTag(field, ctFieldEnd, TagRefOf(page));
    p.Content.Insert(field.Data, at, field.Length);
    p.RebuildCodes();
    p.ContentChanged();
    doc->InvalidateFieldIndex();
    b->Add("one\ftwo\fthree\ffour");
    Paginate();
    ASSERT_EQ(doc->PageCount(), 4);
    HeaderText();  // finds the header paragraph
  }
  std::string HeaderText() {
    TDocRange r;
    EXPECT_TRUE(doc->GetHeaderFooterRange(header, r));
    headerPar = r.Start.Par;
    MakeRange(headerPar, 0, headerPar, doc->Par(headerPar)->CharCount() - 1, r);
    const std::u16string w = doc->GetRangeWideText(r, 0);
    return std::string(w.begin(), w.end());
  }
  ScopedService<TEditServices> engine{MakeEditingServices()};
  ScopedService<TFieldEditServices> fields{MakeFieldEditServices()};
  ScopedService<TEditLayoutHooks> hooks{std::make_unique<TPaginatingLayoutHooks>()};
  TField* header = nullptr;
  TField* page = nullptr;
  int32_t headerPar = -1;
};

TEST_F(InPlaceEditing, EnteringOnAPageShowsThatPagesNumbersAndLaysItsAreaOut) {
  MakePosition(0, 1, doc->Caret);
  const TDocPosition before = doc->Caret;
  doc->ToggleHeaderFooterEditing(header, 2, nullptr);
  EXPECT_EQ(doc->HeaderFooterInPlace, header);
  EXPECT_EQ(doc->HeaderFooterPage, 2);
  EXPECT_EQ(HeaderText(), "Page 3");
  EXPECT_EQ(doc->Caret.Par, headerPar);
  EXPECT_EQ(doc->Caret.Offset, 0);
  // The page's header area holds the header's live lines.
  TBox* area = Page(2).HeaderBox;
  ASSERT_NE(area, nullptr);
  const TLine* line = GetFirstLineOfBox(*area, AllAreas);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Par->Index, headerPar);
  // Leaving gives the caret back.
  doc->ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  EXPECT_EQ(doc->HeaderFooterInPlace, nullptr);
  EXPECT_EQ(doc->Caret.Par, before.Par);
  EXPECT_EQ(doc->Caret.Offset, before.Offset);
}

TEST_F(InPlaceEditing, EditingEndsWhenItsPageIsGoneOrShowsAnotherHeader) {
  doc->ToggleHeaderFooterEditing(header, 3, nullptr);
  ASSERT_EQ(doc->HeaderFooterInPlace, header);
  doc->RefreshHeaderFooterEditing();
  EXPECT_EQ(doc->HeaderFooterInPlace, header);  // still shown there
  doc->HeaderFooterPage = 9;
  doc->RefreshHeaderFooterEditing();
  EXPECT_EQ(doc->HeaderFooterInPlace, nullptr);
}

TEST_F(InPlaceEditing, PageNumbersReplaceAHeaderOfOnlyAPageFieldAsOneUndoStep) {
  // Take the header's own text away so that only the page field is left.
  TDocRange r;
  ASSERT_TRUE(doc->GetHeaderFooterRange(header, r));
  TPar& p = *doc->Par(r.Start.Par);
  std::string bytes(reinterpret_cast<const char*>(p.Content.Data), static_cast<size_t>(p.Content.Length));
  bytes.erase(bytes.find("Page "), 5);
  p.Content.Clear();
  p.Content.AppendString(bytes);
  p.RebuildCodes();
  p.ContentChanged();
  doc->InvalidateFieldIndex();
  const int32_t undoBefore = doc->UndoPosition;
  ASSERT_EQ(HeaderText().size(), 1u);  // the page number of the page laid out last
  const std::string before = DumpDoc(*doc);
  ASSERT_TRUE(doc->InsertPageNumbers(0, 2, 1));
  // The odd header holds its one page field, right-aligned.
  ASSERT_TRUE(doc->GetHeaderFooterRange(header, r));
  EXPECT_EQ(GetParFormatProp(doc->Par(r.Start.Par)->Format, ppAlignment), 2);
  std::vector<TField*> inside;
  doc->FindOverlappingFields(r, inside);
  EXPECT_EQ(std::count_if(inside.begin(), inside.end(), [](const TField* f) { return f->FieldType == ftPageField; }), 1);
  // Every step is named after the page numbers and undone at once.
  for (int32_t i = undoBefore + 1; i <= doc->UndoPosition; ++i)
    EXPECT_STREQ(static_cast<TOperation*>(doc->UndoList[static_cast<size_t>(i)].get())->Name(), "Page Numbers");
  doc->Undo();
  EXPECT_EQ(doc->UndoPosition, undoBefore);
  EXPECT_EQ(DumpDoc(*doc), before);
}

}  // namespace

namespace {

// A page field inserted into the header edited in place is empty when its operation ends; the
// page then shows its number there without a record, and undo takes that number out with the
// field instead of leaving it behind as text.
TEST_F(InPlaceEditing, PageNumbersIntoAnEmptyHeaderAreUndoneWithTheirShownNumber) {
  // Empty the header: no text, no page field.
  TDocRange r;
  ASSERT_TRUE(doc->GetHeaderFooterRange(header, r));
  TPar& p = *doc->Par(r.Start.Par);
  p.Content.Clear();
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(header));
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(header));
  p.RebuildCodes();
  p.ContentChanged();
  std::erase_if(doc->Fields, [&](const std::unique_ptr<TField>& f) { return f.get() == page; });
  doc->InvalidateFieldIndex();
  Paginate();
  ASSERT_EQ(HeaderText(), "");
  const std::string before = DumpDoc(*doc);
  ASSERT_TRUE(doc->InsertPageNumbers(0, 2, 1));
  EXPECT_EQ(HeaderText().size(), 1u);
  // The number the page gave the new field afterwards goes with the field.
  doc->Undo();
  EXPECT_EQ(HeaderText(), "");
  EXPECT_EQ(DumpDoc(*doc), before);
  doc->Redo();
  EXPECT_EQ(HeaderText().size(), 1u);  // the number of whichever page shows it now
  ASSERT_TRUE(doc->GetHeaderFooterRange(header, r));
  std::vector<TField*> inside;
  doc->FindOverlappingFields(r, inside);
  EXPECT_EQ(std::count_if(inside.begin(), inside.end(), [](const TField* f) { return f->FieldType == ftPageField; }), 1);
}

}  // namespace

namespace {

// Emptying the header edited in place takes its page field with the text, and a new page field
// goes in its place: one undo gives back the old text with the old field around its number.
TEST_F(InPlaceEditing, APageFieldRemovedAndInsertedAgainIsUndoneExactly) {
  doc->ToggleHeaderFooterEditing(header, 2, nullptr);
  ASSERT_EQ(HeaderText(), "Page 3");
  const std::string before = DumpDoc(*doc);
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*doc, 53);
  doc->BeginOperation(op.get());
  TDocRange text;
  MakeRange(headerPar, 0, headerPar, doc->Par(headerPar)->CharCount() - 1, text);
  doc->BeginKeepFieldMarks(text.Start, text.End, 0);
  EditServices().DeleteContent(*doc, text);
  doc->EndKeepFieldMarks(text.Start, text.Start);
  auto fresh = std::make_unique<TField>();
  fresh->FieldType = ftPageField;
  fresh->Instruction = u"PAGE";
  EditServices().InsertEmptyField(*doc, std::move(fresh), text.Start, 1);
  doc->InvalidateFieldIndex();
  doc->EndOperation();
  doc->PostEditUpdate();
  doc->CommitOperation(std::move(op));
  EXPECT_EQ(HeaderText(), "3");
  doc->Undo();
  EXPECT_EQ(HeaderText(), "Page 3");
  EXPECT_EQ(DumpDoc(*doc), before);
  doc->Redo();
  EXPECT_EQ(HeaderText(), "3");
}

}  // namespace
