// The layout's readers of object references: a section break or a field mark whose reference
// names an object of another kind, or none, lays out as a tag that names nothing.
#include <gtest/gtest.h>

#include <memory>

#include "document/field.h"
#include "document/section.h"
#include "layout/layout_fixture.h"
#include "layout/line_metrics.h"

using namespace qv;

namespace {

using ObjectRefsLayoutTest = LayoutTest;

TEST_F(ObjectRefsLayoutTest, ASectionBreakEndsThePageOnlyThroughARealSection) {
  TSection evenPage(nullptr);
  evenPage.Format.BreakKind = 2;
  TSection continuous(nullptr);
  continuous.Format.BreakKind = 0;
  // A field whose numbers, read as a section, would look like an even-page break.
  TField field;
  for (TDocPosition* p : {&field.Range.Start, &field.Range.End}) p->Par = p->Offset = p->Page = p->Line = 2;
  auto freed = std::make_unique<TSection>(nullptr);
  freed->Format.BreakKind = 3;
  const int32_t freedRef = TagRefOf(freed.get());
  freed.reset();
  const struct Case {
    const char* name;
    int32_t ref;
    bool hardBreak;
  } cases[] = {
      {"even-page section", TagRefOf(&evenPage), true},
      {"continuous section", TagRefOf(&continuous), false},
      {"a field's number", TagRefOf(&field), false},
      {"a freed section's number", freedRef, false},
      {"a number never given", 0x3FFFFFFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(serif);
    Text("last words");
    AppendContentTag(stream, ctSectionBreak, c.ref);
    par->Content = stream;
    par->RebuildCodes();
    par->ContentChanged();
    Break(100000);
    ASSERT_EQ(LineCount(), 1u);
    EXPECT_EQ(LineText(0), "last words\x03");
    EXPECT_EQ(LineEndsWithHardBreak(Line(0)), c.hardBreak);
  }
}

TEST_F(ObjectRefsLayoutTest, FieldMarksNamingASectionAreNoFields) {
  const auto widthOfMark = [&](int32_t ref) {
    Start(serif);
    Special(scAutoNoteMark);
    AppendContentTag(stream, ctFieldStart, ref);
    Text("x");
    AppendContentTag(stream, ctFieldEnd, ref);
    Finish();
    Break(100000);
    EXPECT_EQ(Line(0).FootnoteRef, nullptr);
    EXPECT_EQ(Line(0).EndnoteRef, nullptr);
    return Line(0).Positions[1] - Line(0).Positions[0];
  };
  TField reference;
  reference.Kind = fkNoteReference;
  reference.Text = "1234";
  TSection section(nullptr);
  const int32_t none = widthOfMark(0);
  EXPECT_EQ(widthOfMark(TagRefOf(&section)), none);
  Start(serif);
  Special(scAutoNoteMark);
  AppendContentTag(stream, ctFieldStart, TagRefOf(&reference));
  AppendContentTag(stream, ctFieldEnd, TagRefOf(&reference));
  Finish();
  Break(100000);
  EXPECT_NE(Line(0).Positions[1] - Line(0).Positions[0], none);  // the real one does count
  EXPECT_EQ(Line(0).FootnoteRef, &reference);
}

}  // namespace
