// Page-dependent field results on a laid-out document, updated as edits: page references with
// their relative form, the page count in a footer kept through the re-pagination of headers and
// footers, and a table of contents whose entries get their headings' pages.
#include <memory>
#include <string>

#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_evaluation.h"
#include "document/field_index.h"
#include "document/styles.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/edit_layout_hooks.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "foundation/settings/options.h"
#include "layout/pagination_fixture.h"

namespace {

class FieldPagesTest : public PaginationTest {
 protected:
  // Turns the first character '#' of the paragraph into a field around "?" (or a bookmark around
  // nothing when the kind is a bookmark).
  TField* FieldAtHash(int32_t par, uint8_t kind, uint8_t type, const std::u16string& instruction) {
    auto owned = std::make_unique<TField>();
    TField* f = owned.get();
    f->Kind = kind;
    f->FieldType = type;
    f->Instruction = instruction;
    doc->Fields.push_back(std::move(owned));
    TPar& p = Par(par);
    TMemory out;
    bool done = false;
    for (int32_t off = 0; off < p.Content.Length;) {
      if (IsTagAt(p.Content.Data, p.Content.Length, off)) {
        out.Append(p.Content.Data + off, ContentTagSize);
        off += ContentTagSize;
        continue;
      }
      if (p.Content.Data[off] == '#' && !done) {
        AppendContentTag(out, ctFieldStart, TagRefOf(f));
        if (kind == fkField) out.AppendString("?");
        AppendContentTag(out, ctFieldEnd, TagRefOf(f));
        done = true;
      } else {
        out.Append(p.Content.Data + off, 1);
      }
      ++off;
    }
    p.Content = out;
    p.RebuildCodes();
    p.ContentChanged();
    doc->InvalidateFieldIndex();
    return f;
  }
  std::string Text(int32_t par) {
    TDocRange r;
    MakeRange(par, 0, par, Par(par).CharCount() - 1, r);
    const std::u16string w = doc->GetRangeWideText(r, 0);
    return std::string(w.begin(), w.end());
  }
  void UpdateAll() {
    TDocRange all;
    doc->GetMainTextRange(all);
    doc->UpdateFields(nullptr, &all);
  }

  TEngineScope engine;
  ScopedService<TEditLayoutHooks> hooks{std::make_unique<TPaginatingLayoutHooks>()};
  ScopedService<TFieldEditServices> fieldServices{MakeFieldEditServices()};
  ScopedService<TEditOperationProviders> providers{MakeFieldEditProviders()};
};

}  // namespace

TEST_F(FieldPagesTest, PageReferencesReadAboveBelowOrTheirPage) {
  b->Add("#Top");
  const int32_t refs = b->Add("A #, B #, C #, D #.");
  b->Add("#Low\fnext page #Far");
  Paginate();
  FieldAtHash(0, fkBookmark, 0, u"top");
  FieldAtHash(2, fkBookmark, 0, u"low");
  FieldAtHash(2, fkBookmark, 0, u"far");
  FieldAtHash(refs, fkField, ftPageRef, u"PAGEREF top \\p");
  FieldAtHash(refs, fkField, ftPageRef, u"PAGEREF low \\p");
  FieldAtHash(refs, fkField, ftPageRef, u"PAGEREF far \\p \\* roman");
  FieldAtHash(refs, fkField, ftPageRef, u"PAGEREF far");
  doc->ReformatAllParagraphs();
  Paginate();
  ASSERT_EQ(doc->PageCount(), 2);
  UpdateAll();
  EXPECT_EQ(Text(refs), "A above, B below, C on page ii, D 2.");
}

TEST_F(FieldPagesTest, AFooterPageCountIsStoredForTheHeaderRepagination) {
  TField* footer = b->HeaderFooter(*doc->Sections[0], hfOddFooter, "of #");
  b->Add("one\ftwo\fthree");
  b->Finish();
  FieldAtHash(footer->Range.Start.Par, fkField, ftNumPages, u"NUMPAGES");
  doc->Paginate(0, INT32_MAX);
  ASSERT_EQ(doc->PageCount(), 3);
  doc->Layout.PageFieldsPending = true;
  doc->UpdateHeaderFooterPageFields(true);
  EXPECT_TRUE(doc->FieldUpdate.HasStoredCounts);
  EXPECT_EQ(doc->FieldUpdate.StoredPageCount, 3);
  EXPECT_FALSE(doc->Layout.PageFieldsPending);
  EXPECT_EQ(doc->PageCount(), 3);
  EXPECT_EQ(Text(footer->Range.Start.Par), "of 3");
}

TEST_F(FieldPagesTest, ATableOfContentsGetsItsHeadingsPages) {
  doc->InitNewDocument();
  const int32_t place = b->Add("");
  TParFormat heading = b->Format;
  SetParFormatProp(heading, ppStyle, doc->Styles->IndexOfBuiltIn(bsHeading1));
  const TParFormat body = b->Format;
  b->Format = heading;
  b->Add("First");
  b->Format = body;
  b->Add("text\fmore\ftext");
  b->Format = heading;
  b->Add("Second");
  b->Format = body;
  Paginate();
  MakePosition(place, 0, doc->Caret);
  TGenerateTOC_Options options;
  options.RightAlignPageNumbers = true;
  void* args[] = {&options};
  doc->ExecuteEdit(ecInsertTableOfContents, args, 0);
  EXPECT_EQ(Text(0), "First\t1");
  EXPECT_EQ(Text(1), "Second\t3");
}
