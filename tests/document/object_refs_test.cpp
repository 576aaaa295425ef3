// Object references in content streams: a tag resolves only to a live object of the kind its tag
// kind stands for. Streams come from files, the clipboard and undo records, so a section-break tag
// may carry a field's number, a field mark a section's, or a number that names nothing at all.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <vector>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape_binding.h"
#include "document/stream_builder.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

using B = TStreamBuilder;

// Shapes and table rows have no definition down here; only their identity matters to the table.
struct StandInObjects {
  alignas(16) unsigned char shapeBytes[16] = {};
  alignas(16) unsigned char rowBytes[16] = {};
  const TShape* shape = reinterpret_cast<const TShape*>(shapeBytes);
  const TTableRow* row = reinterpret_cast<const TTableRow*>(rowBytes);
  ~StandInObjects() {
    ForgetTagRef(shape);
    ForgetTagRef(row);
  }
};

TEST(ObjectRefs, ATagResolvesOnlyToAnObjectOfItsOwnKind) {
  TSection section(nullptr);
  TField field;
  StandInObjects others;
  const int32_t rs = TagRefOf(&section), rf = TagRefOf(&field);
  const int32_t rsh = TagRefOf(others.shape), rr = TagRefOf(others.row);
  EXPECT_EQ(TagRefKind(rs), TTagObjectKind::Section);
  EXPECT_EQ(TagRefKind(rf), TTagObjectKind::Field);
  EXPECT_EQ(TagRefKind(rsh), TTagObjectKind::Shape);
  EXPECT_EQ(TagRefKind(rr), TTagObjectKind::TableRow);
  struct Case {
    const char* name;
    uint8_t kind;
    int32_t value;
    const void* want;  // the one object any of the accessors may give; null: none gives one
  } cases[] = {
      {"section break naming its section", ctSectionBreak, rs, &section},
      {"section break naming a field", ctSectionBreak, rf, nullptr},
      {"section break naming a table row", ctSectionBreak, rr, nullptr},
      {"field start naming its field", ctFieldStart, rf, &field},
      {"field end naming its field", ctFieldEnd, rf, &field},
      {"field start naming a section", ctFieldStart, rs, nullptr},
      {"field end naming a shape", ctFieldEnd, rsh, nullptr},
      {"inline shape naming its shape", ctInlineShape, rsh, others.shape},
      {"inline shape naming a field", ctInlineShape, rf, nullptr},
      {"row end naming its row", ctRowEnd, rr, others.row},
      {"row end naming a section", ctRowEnd, rs, nullptr},
      {"a format tag whose value is a field's number", cpBold, rf, nullptr},
      {"a cell end whose value is a section's number", ctCellEnd, rs, nullptr},
      {"a number never given", ctFieldStart, 0x7FFFFFF0, nullptr},
      {"a negative number", ctSectionBreak, -5, nullptr},
      {"the null reference", ctFieldStart, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TContentTag tag{c.kind, c.value};
    const void* got[] = {SectionOfTag(tag), FieldOfTag(tag), ShapeOfTag(tag), TableRowOfTag(tag)};
    int found = 0;
    for (const void* g : got) {
      if (g == nullptr) continue;
      ++found;
      EXPECT_EQ(g, c.want);
    }
    EXPECT_EQ(found, c.want != nullptr ? 1 : 0);
  }
  // Bare values resolve by the kind asked for in the same way.
  EXPECT_EQ(FieldOfRef(rf), &field);
  EXPECT_EQ(FieldOfRef(rs), nullptr);
  EXPECT_EQ(SectionOfRef(rf), nullptr);
  EXPECT_EQ(ShapeOfRef(rr), nullptr);
  EXPECT_EQ(TableRowOfRef(rsh), nullptr);
}

TEST(ObjectRefs, FreedObjectsAndReusedAddressesNameNothing) {
  auto field = std::make_unique<TField>();
  auto section = std::make_unique<TSection>(nullptr);
  const int32_t rf = TagRefOf(field.get());
  const int32_t rs = TagRefOf(section.get());
  field.reset();
  section.reset();
  EXPECT_EQ(FieldOfRef(rf), nullptr);
  EXPECT_EQ(SectionOfRef(rs), nullptr);
  EXPECT_EQ(TagRefKind(rf), TTagObjectKind::None);

  // A field, then a section, at the same address: each gets a number of its own, and the old
  // number names neither.
  alignas(TSection) alignas(TField) unsigned char storage[sizeof(TSection) + sizeof(TField)];
  auto* f = new (storage) TField();
  const int32_t first = TagRefOf(f);
  f->~TField();
  auto* s = new (storage) TSection(nullptr);
  const int32_t second = TagRefOf(s);
  EXPECT_NE(second, first);
  EXPECT_EQ(FieldOfRef(first), nullptr);
  EXPECT_EQ(SectionOfRef(first), nullptr);
  EXPECT_EQ(SectionOfRef(second), s);
  s->~TSection();

  // An object freed without forgetting its number (as a careless owner might) does not lend it
  // to an object of another kind that takes its place.
  const auto* shape = reinterpret_cast<const TShape*>(storage);
  const int32_t shapeRef = TagRefOf(shape);
  auto* later = new (storage) TField();
  const int32_t laterRef = TagRefOf(later);
  EXPECT_NE(laterRef, shapeRef);
  EXPECT_EQ(ShapeOfRef(shapeRef), nullptr);
  EXPECT_EQ(FieldOfRef(shapeRef), nullptr);
  EXPECT_EQ(FieldOfRef(laterRef), later);
  later->~TField();
}

// Records the shapes that normalising binds.
struct RecordingBinding : TShapeBinding {
  std::vector<const TShape*>* bound;
  explicit RecordingBinding(std::vector<const TShape*>* into) : bound(into) {}
  void BindInlineShape(TShape* shape, TPar&, int32_t) override { bound->push_back(shape); }
  void BindAnchoredShape(TShape* shape, TPar&, int32_t, TField*) override {
    bound->push_back(shape);
  }
};

// The model's readers of references meet mistyped and dangling ones and treat them as none.
TEST(ObjectRefs, ParagraphsWithMistypedOrDanglingReferences) {
  std::vector<const TShape*> bound;
  ScopedService<TShapeBinding> binding(std::make_unique<RecordingBinding>(&bound));
  TDoc doc(true);
  TSection section(nullptr);
  section.Format.BreakKind = 2;
  TField anchor;  // a field whose own meaning would set flags and bind shapes
  anchor.Kind = fkShapeAnchor;
  anchor.Shape = reinterpret_cast<TShape*>(&anchor);
  TField symbol;
  symbol.FieldType = ftSymbol;
  auto freed = std::make_unique<TField>();
  freed->Kind = fkNoteReference;
  freed->Flags = 1;
  const int32_t freedRef = TagRefOf(freed.get());
  freed.reset();
  auto freedSection = std::make_unique<TSection>(nullptr);
  const int32_t freedSectionRef = TagRefOf(freedSection.get());
  freedSection.reset();

  struct Case {
    const char* name;
    B in;
    std::string codes;
  } cases[] = {
      {"section break naming a field", B().Text("x").Ref(ctSectionBreak, &symbol), "x\x03"},
      {"section break naming a freed section", B().Text("x").Tag(ctSectionBreak, freedSectionRef),
       "x\x03"},
      {"field marks naming a section",
       B().Ref(ctFieldStart, &section).Text("a").Ref(ctFieldEnd, &section).End(), "a\x02"},
      {"field marks naming a freed note reference",
       B().Tag(ctFieldStart, freedRef).Text("1").Tag(ctFieldEnd, freedRef).End(), "1\x02"},
      {"inline shape naming a shape-anchor field", B().Text("a").Ref(ctInlineShape, &anchor).End(),
       "a\x0a\x02"},
  };
  const uint16_t contentFlags =
      pfSymbolText | pfVertOffset | pfDropCap | pfAnchoredShapes | pfHorizontalRule;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPar& p = *doc.Par(0);
    c.in.Into(p);
    EXPECT_EQ(p.Codes.ToString(), c.codes);
    EXPECT_EQ(p.SectionBreak(), nullptr);
    NormalizeParagraphTags(p);
    EXPECT_EQ(p.Flags & contentFlags, 0);
    EXPECT_TRUE(p.AnchoredShapes.empty());
    EXPECT_TRUE(p.GetSymbolCharPositions().empty());
    int32_t footnotes = 1, endnotes = 1;
    EXPECT_FALSE(p.RenumberNoteMarks(0, footnotes, endnotes));
    EXPECT_EQ(footnotes, 1);
    EXPECT_FALSE(p.SyncNoteMarkText());
    EXPECT_EQ(doc.GetDropCapField(0), nullptr);
  }
  EXPECT_TRUE(bound.empty());
  // The same streams with references of the right kind do reach their objects.
  B().Text("x").Ref(ctSectionBreak, &section).Into(*doc.Par(0));
  EXPECT_EQ(doc.Par(0)->SectionBreak(), &section);
  B().Text("a").Ref(ctFieldStart, &anchor).Ref(ctFieldEnd, &anchor).End().Into(*doc.Par(0));
  NormalizeParagraphTags(*doc.Par(0));
  EXPECT_EQ(bound.size(), 1u);
}

}  // namespace
