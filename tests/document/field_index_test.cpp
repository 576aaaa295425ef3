// The field index: fields found from the marks of the content streams, enclosure, the innermost
// field at a place, overlap queries, bookmark names and damaged marks.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/par.h"

using namespace qv;

namespace {

// Builds a document from lines of marked text: "<N" is the start mark of field N, ">N" its end
// mark (N one digit); every other character is text.
class FieldDoc {
 public:
  FieldDoc() : doc_(true) {}
  TField* Field(int n, uint8_t kind = fkField, uint8_t type = 0) {
    auto& f = fields_[n];
    if (f == nullptr) {
      auto owned = std::make_unique<TField>();
      f = owned.get();
      doc_.Fields.push_back(std::move(owned));
    }
    f->Kind = kind;
    f->FieldType = type;
    return f;
  }
  void Lines(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
      TPar* par = i == 0 ? doc_.Par(0) : doc_.AppendParagraph(stMain, DefaultParFormat);
      par->Content = Stream(lines[i]);
      par->RebuildCodes();
      par->ContentChanged();
    }
    doc_.InvalidateFieldIndex();
  }
  TMemory Stream(const std::string& text) {
    TMemory s;
    std::string run;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if ((c == '<' || c == '>') && i + 1 < text.size()) {
        s.AppendString(run);
        run.clear();
        TField* f = fields_.count(text[i + 1] - '0') ? fields_[text[i + 1] - '0'] : Field(text[i + 1] - '0');
        AppendContentTag(s, c == '<' ? ctFieldStart : ctFieldEnd, TagRefOf(f));
        ++i;
        continue;
      }
      run.push_back(c);
    }
    s.AppendString(run);
    AppendContentTag(s, ctSpecialChar, scParagraphEnd);
    return s;
  }
  TDoc& Doc() { return doc_; }
  TField* operator[](int n) { return fields_[n]; }

 private:
  TDoc doc_;
  std::map<int, TField*> fields_;
};

TDocPosition At(int32_t par, int32_t off) {
  TDocPosition p;
  MakePosition(par, off, p);
  return p;
}

std::string Order(FieldDoc& d, const std::vector<TField*>& list) {
  std::string s;
  for (TField* f : list)
    for (int n = 0; n < 10; ++n)
      if (d[n] == f) s += char('0' + n);
  return s;
}

}  // namespace

TEST(FieldIndex, RangesAndOrderFromMarks) {
  struct Case {
    std::vector<std::string> lines;
    std::string order;                 // fields of the index by start
    std::vector<int32_t> range1;       // start par, offset, end par, offset of field 1
  } cases[] = {
      {{"ab<1cd>1ef"}, "1", {0, 2, 0, 4}},
      {{"<1ab<2c>2d>1"}, "12", {0, 0, 0, 4}},
      {{"x<2y>2z", "a<1b", "c>1"}, "21", {1, 1, 2, 1}},
      // Same place: stream order decides.
      {{"<1<2>2>1"}, "12", {0, 0, 0, 0}},
      // Damaged marks: a start without an end, an end before its start, a second start.
      {{"a<1b<3c"}, "", {}},
      {{">1a<1b>1"}, "1", {0, 1, 0, 2}},
      {{"<1a<1b>1c"}, "1", {0, 0, 0, 2}},
  };
  for (const Case& c : cases) {
    FieldDoc d;
    d.Field(1);
    d.Lines(c.lines);
    TDoc& doc = d.Doc();
    doc.RebuildFieldIndex();
    SCOPED_TRACE(c.lines[0]);
    EXPECT_EQ(Order(d, doc.FieldIndex().Fields), c.order);
    TDocRange r;
    EXPECT_EQ(doc.GetFieldRange(d[1], r), !c.range1.empty());
    if (c.range1.empty()) continue;
    EXPECT_EQ(r.Start.Par, c.range1[0]);
    EXPECT_EQ(r.Start.Offset, c.range1[1]);
    EXPECT_EQ(r.End.Par, c.range1[2]);
    EXPECT_EQ(r.End.Offset, c.range1[3]);
  }
}

TEST(FieldIndex, NestingAndInnermostField) {
  FieldDoc d;
  d.Field(1);
  d.Field(2, fkField, ftHyperlink);
  d.Field(3, fkBookmark);
  d.Field(4);
  // 0123456789
  d.Lines({"a<1bc<2de<4f>4g>2h>1i<3j>3k"});
  TDoc& doc = d.Doc();
  doc.RebuildFieldIndex();
  EXPECT_EQ(d[2]->EnclosingAtStart, d[1]);
  EXPECT_EQ(d[4]->EnclosingAtStart, d[2]);
  EXPECT_EQ(d[4]->EnclosingAfterEnd, d[2]);
  EXPECT_EQ(d[1]->EnclosingAfterEnd, nullptr);
  struct Case {
    int32_t offset;
    int32_t type, kind;
    int expected;  // 0 none
  } cases[] = {
      {0, 255, 255, 0}, {1, 255, 255, 1}, {3, 255, 255, 2}, {5, 255, 255, 4},
      {6, 255, 255, 2},                       // the end of field 4 is outside it
      {5, ftHyperlink, 255, 2}, {5, 255, 0, 4},
      {9, 255, 255, 0},                       // bookmarks are not found with kind 255
      {9, 255, fkBookmark, 3},  {8, 255, 255, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    TField* f = doc.GetFieldAt(At(0, c.offset), nullptr, {}, c.type, c.kind);
    EXPECT_EQ(f, c.expected ? d[c.expected] : nullptr);
  }
  // An excluded type is passed over for the field around it.
  EXPECT_EQ(doc.GetFieldAt(At(0, 4), nullptr, {ftHyperlink}, 255, 255), d[1]);
}

TEST(FieldIndex, EmptyBookmarkFoundOnlyWithEndIncluded) {
  FieldDoc d;
  d.Field(1, fkBookmark);
  d.Lines({"ab<1>1cd"});
  TDoc& doc = d.Doc();
  EXPECT_EQ(doc.GetFieldAt(At(0, 2), nullptr, {}, 255, fkBookmark), nullptr);
  doc.SetDocFlag(dfFieldEndInclusive, true);
  TDocRange r;
  EXPECT_EQ(doc.GetFieldAt(At(0, 2), &r, {}, 255, fkBookmark), d[1]);
  EXPECT_EQ(r.Start.Offset, 2);
}

TEST(FieldIndex, IdenticalRangesGiveTheLaterField) {
  FieldDoc d;
  d.Field(1);
  d.Field(2);
  d.Lines({"a<1<2bc>2>1"});
  EXPECT_EQ(d.Doc().GetFieldAt(At(0, 2), nullptr, {}, 255, 255), d[2]);
}

TEST(FieldIndex, FieldsInRangeNeedSharedCharacters) {
  FieldDoc d;
  d.Field(1);
  d.Field(2, fkBookmark);
  d.Field(3);
  d.Lines({"a<1bc>1d<2e>2f", "g<3h>3"});
  TDoc& doc = d.Doc();
  struct Case {
    TDocRange range;
    int32_t kind;
    std::string expected;
  } cases[] = {
      {{At(0, 0), At(0, 1)}, -1, ""},     // touches field 1 only at its start
      {{At(0, 0), At(0, 2)}, -1, "1"},
      {{At(0, 2), At(1, 2)}, -1, "123"},
      {{At(0, 2), At(1, 2)}, fkBookmark, "2"},
      {{At(1, 0), At(1, 1)}, -1, ""},
  };
  for (const Case& c : cases) {
    std::vector<TField*> out;
    doc.GetFieldsInRange(std::span<const TDocRange>(&c.range, 1), out, 255, c.kind);
    EXPECT_EQ(Order(d, out), c.expected);
  }
}

TEST(FieldIndex, KeptThroughEditsAndSpanRebuilds) {
  FieldDoc d;
  d.Field(1);
  d.Field(2, fkBookmark)->Instruction = u"Intro";
  d.Lines({"ab<1cd>1", "<2x>2"});
  TDoc& doc = d.Doc();
  EXPECT_EQ(doc.FindBookmarkName(u"INTRO"), 0);
  // Text typed before the field in paragraph 0; only that paragraph is rescanned.
  TPar& p = *doc.Par(0);
  p.Content = d.Stream("XYZab<1cd>1");
  p.ContentChanged();
  doc.InvalidateFieldIndex(0, 0);
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(d[1], r));
  EXPECT_EQ(r.Start.Offset, 5);
  EXPECT_EQ(r.End.Offset, 7);
  // A whole rebuild after the bookmark's marks are gone drops it and its name.
  doc.Par(1)->Content = d.Stream("x");
  doc.Par(1)->ContentChanged();
  doc.InvalidateFieldIndex();
  EXPECT_FALSE(doc.GetFieldRange(d[2], r));
  EXPECT_EQ(doc.FindBookmarkName(u"Intro"), -1);
}

TEST(FieldIndex, DocumentWithoutFieldsGivesEmptyResults) {
  TDoc doc(true);
  std::vector<TField*> out;
  doc.FindOverlappingFields({At(0, 0), At(0, 0)}, out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(doc.GetFieldAt(At(0, 0), nullptr, {}, 255, 255), nullptr);
  EXPECT_EQ(doc.FindBookmarkName(u"x"), -1);
}

TEST(FieldIndex, FieldAtCaretHeaderFootersAndIndexEntries) {
  FieldDoc d;
  d.Field(1, fkField, ftIndexEntry);
  d.Field(2, fkField, ftPageRef);
  d.Field(3, fkField, ftIndexEntry);
  d.Lines({"a<1b>1c<2de>2f<3g>3"});
  TDoc& doc = d.Doc();
  doc.Caret = At(0, 3);
  EXPECT_EQ(doc.FindFieldAtCaret(ftPageRef, nullptr), d[2]);
  EXPECT_EQ(doc.FindFieldAtCaret(ftIndexEntry, nullptr), nullptr);
  EXPECT_EQ(Order(d, doc.GetIndexEntryFields()), "13");
  EXPECT_FALSE(doc.HeaderFooterHasFields({ftPageRef}));
}
