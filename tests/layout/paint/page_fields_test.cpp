// Page-dependent fields on laid-out pages: a header's PAGE field shows each page's own number
// when the page is painted, and a style reference in a header shows the heading of the page it
// stands on; a PAGE field in the body counts through the section chain.
#include <string>

#include "document/field.h"
#include "document/field_evaluation.h"
#include "document/styles.h"
#include "layout/paint/paint_fixture.h"

namespace {

class PageFieldsTest : public PaintTest {
 protected:
  // Turns the first character '#' of the paragraph into a field of the type around "?".
  TField* FieldAtHash(int32_t par, uint8_t type, const std::u16string& instruction) {
    auto owned = std::make_unique<TField>();
    TField* f = owned.get();
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
        out.AppendString("?");
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
  // The text painted in the page's header band.
  std::u16string HeaderTextPainted(int32_t index) {
    TPage& page = Page(index);
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintRecorder rec;
    PaintPage(page, canvas, 0, 0, &rec);
    std::u16string text;
    const int32_t bandBottom = page.HeaderBox != nullptr
                                   ? BoxToPagePoint(*page.HeaderBox, {0, 0}).y +
                                         page.HeaderBox->PixelRect.Height()
                                   : 0;
    for (const auto& t : rec.Texts)
      if (t.Y <= bandBottom) text += t.S;
    return text;
  }
  std::string BodyText(int32_t par) {
    TDocRange r;
    MakeRange(par, 0, par, Par(par).CharCount() - 1, r);
    const std::u16string w = doc->GetRangeWideText(r, 0);
    return std::string(w.begin(), w.end());
  }
};

TEST_F(PageFieldsTest, AHeaderPageFieldShowsEachPaintedPagesNumber) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Page #");
  b->Add("page one\fpage two\fpage three");
  b->Finish();
  const int32_t headerPar = header->Range.Start.Par;
  FieldAtHash(headerPar, ftPageField, u"PAGE");
  Layout();
  ASSERT_EQ(doc->PageCount(), 3);
  // In turn, out of order and again: each page paints its own number.
  for (int32_t i : {0, 1, 2, 1, 0, 2})
    EXPECT_EQ(HeaderTextPainted(i), u"Page " + std::u16string(1, char16_t(u'1' + i))) << i;
}

TEST_F(PageFieldsTest, APageCountShowsTheLaidOutPagesBeforeAnyCountIsStored) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "# of #");
  b->Add("one\ftwo\fthree");
  b->Finish();
  FieldAtHash(header->Range.Start.Par, ftPageField, u"PAGE");
  FieldAtHash(header->Range.Start.Par, ftNumPages, u"NUMPAGES");
  Layout();
  ASSERT_EQ(doc->PageCount(), 3);
  EXPECT_FALSE(doc->FieldUpdate.HasStoredCounts);
  EXPECT_EQ(HeaderTextPainted(0), u"1 of 3");
  EXPECT_EQ(HeaderTextPainted(2), u"3 of 3");
}

TEST_F(PageFieldsTest, AHeaderPageFieldFollowsARestartedSectionInRoman) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "#");
  b->Add("one\ftwo");
  TSection* second = b->SectionBreak("end of part one", sbNextPage);
  second->PageNumberStart = 5;
  second->PageNumberFormat = 3;  // lower-case roman
  b->Add("five\fsix");
  b->Finish();
  FieldAtHash(header->Range.Start.Par, ftPageField, u"PAGE");
  Layout();
  ASSERT_EQ(doc->PageCount(), 4);
  const std::u16string expected[] = {u"1", u"2", u"v", u"vi"};
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(HeaderTextPainted(i), expected[i]) << i;
}

TEST_F(PageFieldsTest, AHeaderStyleReferenceShowsTheHeadingOfItsPage) {
  doc->InitNewDocument();
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "#");
  TParFormat heading = b->Format;
  SetParFormatProp(heading, ppStyle, doc->Styles->IndexOfBuiltIn(bsHeading1));
  const TParFormat body = b->Format;
  b->Format = heading;
  b->Add("Alpha");
  b->Format = body;
  b->Add("text\f");
  b->Format = heading;
  b->Add("Beta");
  b->Add("Gamma");
  b->Format = body;
  b->Add("more");
  b->Finish();
  TField* ref = FieldAtHash(header->Range.Start.Par, ftStyleRef, u"STYLEREF \"Heading 1\"");
  Layout();
  ASSERT_EQ(doc->PageCount(), 2);
  EXPECT_EQ(HeaderTextPainted(0), u"Alpha");
  EXPECT_EQ(HeaderTextPainted(1), u"Beta");
  // With \l the last heading of the page.
  ref->Instruction = u"STYLEREF \"Heading 1\" \\l";
  EXPECT_EQ(HeaderTextPainted(1), u"Gamma");
}

TEST_F(PageFieldsTest, ABodyPageFieldCountsThroughTheSectionChain) {
  b->Add("one\ftwo\f#");
  TSection* second = b->SectionBreak("next section", sbNextPage);
  second->PageNumberStart = 5;
  const int32_t later = b->Add("#");
  b->Finish();
  FieldAtHash(0, ftPageField, u"PAGE");
  FieldAtHash(later, ftPageField, u"PAGE \\* ROMAN");
  Layout();
  TDocRange all;
  doc->GetMainTextRange(all);
  doc->UpdateFields(nullptr, &all);
  EXPECT_EQ(BodyText(later), "V");
  // The section's first page is page 4 of the document; the first field stands on page 3.
  TDocRange r;
  MakeRange(0, 0, 0, Par(0).CharCount() - 1, r);
  EXPECT_EQ(doc->GetRangeWideText(r, 0).back(), u'3');
}

}  // namespace
