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
