// Field evaluation and the update run with the engine: each computed field type gives its
// result, a result that differs replaces the text between the marks as one undoable change, and
// an unchanged result records nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc_builder.h"
#include "document/doc_object_services.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_evaluation.h"
#include "document/field_index.h"
#include "document/styles.h"
#include "edit_test_support.h"
#include "editing/field_edit_services.h"

using namespace qv;

namespace {

struct FieldScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
};

// A paragraph "before" + field(result) + "after", the field of the type with the instruction.
TField* PutField(TDoc& doc, int32_t par, const std::string& before, uint8_t type,
                 const std::u16string& instruction, const std::string& result,
                 const std::string& after) {
  auto owned = std::make_unique<TField>();
  TField* f = owned.get();
  f->FieldType = type;
  f->Instruction = instruction;
  doc.Fields.push_back(std::move(owned));
  TPar& p = *doc.Par(par);
  p.Content.Clear();
  p.Content.AppendString(before);
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
  p.Content.AppendString(result);
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
  p.Content.AppendString(after);
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
  return f;
}

std::string ParText(TDoc& doc, int32_t par) {
  TDocRange r;
  MakeRange(par, 0, par, doc.Par(par)->CharCount() - 1, r);
  const std::u16string w = doc.GetRangeWideText(r, 0);
  std::string s;
  for (char16_t c : w) s.push_back(c < 0x80 ? static_cast<char>(c) : '#');
  return s;
}

// Runs an update of every evaluated type over the whole main text as one operation.
void UpdateAll(TDoc& doc) {
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  TDocRange all;
  doc.GetMainTextRange(all);
  doc.UpdateFieldsRun(nullptr, &all, EvaluatedFieldTypes());
  doc.EndOperation();
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
}

int32_t CurrentYear() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return local.tm_year + 1900;
}

}  // namespace

TEST(FieldUpdate, EveryComputedTypeGivesItsResult) {
  struct Case {
    const char* name;
    uint8_t type;
    std::u16string instruction;
    std::function<void(TDoc&)> prepare;
    std::string expected;
  };
  const std::string year = std::to_string(CurrentYear());
  const Case cases[] = {
      {"title", 15, u"TITLE", [](TDoc& d) { d.Props.Title = u"My Title"; }, "My Title"},
      {"subject upper-cased", 16, u"SUBJECT \\* Upper",
       [](TDoc& d) { d.Props.Subject = u"grain"; }, "GRAIN"},
      {"author", 17, u"AUTHOR", [](TDoc& d) { d.Props.Author = u"Ann Lee"; }, "Ann Lee"},
      {"keywords first capital", 18, u"KEYWORDS \\* FirstCap",
       [](TDoc& d) { d.Props.Keywords = u"alpha beta"; }, "Alpha beta"},
      {"comments cut at a CR", 19, u"COMMENTS",
       [](TDoc& d) { d.Props.Comments = u"line one\rline two"; }, "line one"},
      {"last saved by, none stored: the author", 20, u"LASTSAVEDBY",
       [](TDoc& d) { d.Props.Author = u"Bo"; }, "Bo"},
      {"last saved by", 20, u"LASTSAVEDBY",
       [](TDoc& d) { d.Props.AutoProps.LastSavedBy = u"Cy"; }, "Cy"},
      {"creation date in a picture", 21, u"CREATEDATE \\@ \"yyyy-MM-dd\"",
       [](TDoc& d) { d.Props.AutoProps.Created = 45292.5; }, "2024-01-01"},
      {"save date", 22, u"SAVEDATE \\@ \"d-M-yyyy\"",
       [](TDoc& d) { d.Props.AutoProps.Modified = 45323.0; }, "1-2-2024"},
      {"print date never printed", 23, u"PRINTDATE", nullptr, "(None)"},
      {"current date", 31, u"DATE \\@ \"yyyy\"", nullptr, year},
      {"page count without pages", 26, u"NUMPAGES", nullptr, "0"},
      {"words", 27, u"NUMWORDS", nullptr, "4"},
      {"characters without spaces", 28, u"NUMCHARS", nullptr, "14"},
      {"file name", 29, u"FILENAME",
       [](TDoc& d) { d.FileName = "/home/u/Letters/note.rtf"; }, "note.rtf"},
      {"file name with its folder", 29, u"FILENAME \\p",
       [](TDoc& d) { d.FileName = "/home/u/Letters/note.rtf"; }, "/home/u/Letters/note.rtf"},
      {"page without layout", 33, u"PAGE", nullptr, "1"},
      {"page in roman", 33, u"PAGE \\* roman", nullptr, "i"},
      {"page reference to nothing", 37, u"PAGEREF missing", nullptr, "?"},
      {"section", 65, u"SECTION", nullptr, "1"},
      {"file size in kilobytes", 69, u"FILESIZE \\k",
       [](TDoc& d) { d.Props.AutoProps.StoredSize = 5000; }, "4"},
      {"file size", 69, u"FILESIZE", [](TDoc& d) { d.Props.AutoProps.StoredSize = 5000; }, "5000"},
      {"note reference to nothing", 72, u"NOTEREF missing", nullptr, "Note reference not found!"},
      {"style reference", 10, u"STYLEREF \"heading 1\"", nullptr, "Intro"},
      {"style reference with nothing of that style", 10, u"STYLEREF \"heading 2\"", nullptr,
       "No paragraph with style \"Heading 2\" could be found!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FieldScope scope;
    TDoc doc(true);
    doc.InitNewDocument();
    SetMainText(doc, {"Intro", "x", "tail"});
    TParFormat heading = doc.Par(0)->Format;
    SetParFormatProp(heading, ppStyle, doc.Styles->IndexOfBuiltIn(bsHeading1));
    doc.Par(0)->Format = heading;
    PutField(doc, 1, "ab ", c.type, c.instruction, "?", " cd");
    if (c.prepare) c.prepare(doc);
    UpdateAll(doc);
    EXPECT_EQ(ParText(doc, 1), "ab " + c.expected + " cd");
  }
}

TEST(FieldUpdate, ResultsAreUndoneAndRedoneAndUnchangedOnesRecordNothing) {
  FieldScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x"});
  TField* f = PutField(doc, 0, "Title: ", 15, u"TITLE", "old", ".");
  doc.Props.Title = u"New and longer";
  const std::string before = DumpDoc(doc);
  UpdateAll(doc);
  EXPECT_EQ(ParText(doc, 0), "Title: New and longer.");
  TDocRange range;
  ASSERT_TRUE(doc.GetFieldRange(f, range));
  EXPECT_EQ(range.Start.Offset, 7);
  EXPECT_EQ(range.End.Offset, 21);
  const std::string after = DumpDoc(doc);
  const int32_t undoPosition = doc.UndoPosition;
  // The same text again: no record, no new undo step.
  UpdateAll(doc);
  EXPECT_EQ(doc.UndoPosition, undoPosition);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
  ASSERT_TRUE(doc.GetFieldRange(f, range));
  EXPECT_EQ(range.End.Offset, 10);
  doc.Redo();
  EXPECT_EQ(DumpDoc(doc), after);
}

TEST(FieldUpdate, ResultsOfTheSameLengthInLettersAndDigitsAreOverwrittenInPlace) {
  FieldScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x"});
  TField* f = PutField(doc, 0, "", 16, u"SUBJECT", "ab12", "");
  doc.Props.Subject = u"cd34";
  const std::string before = DumpDoc(doc);
  UpdateAll(doc);
  EXPECT_EQ(ParText(doc, 0), "cd34");
  TDocRange range;
  ASSERT_TRUE(doc.GetFieldRange(f, range));
  EXPECT_EQ(range.End.Offset, 4);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(FieldUpdate, AFieldNestedInAnUpdatedFieldGoesWithTheOuterResult) {
  FieldScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x"});
  // TITLE( "a" SUBJECT("b") "c" )
  auto outer = std::make_unique<TField>();
  auto inner = std::make_unique<TField>();
  outer->FieldType = 15;
  outer->Instruction = u"TITLE";
  inner->FieldType = 16;
  inner->Instruction = u"SUBJECT";
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(outer.get()));
  p.Content.AppendString("a");
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(inner.get()));
  p.Content.AppendString("b");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(inner.get()));
  p.Content.AppendString("c");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(outer.get()));
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  TField* o = outer.get();
  doc.Fields.push_back(std::move(outer));
  doc.Fields.push_back(std::move(inner));
  doc.InvalidateFieldIndex();
  doc.Props.Title = u"T";
  doc.Props.Subject = u"S";
  UpdateAll(doc);
  EXPECT_EQ(ParText(doc, 0), "T");
  doc.RebuildFieldIndex();
  ASSERT_EQ(doc.FieldIndex().Fields.size(), 1u);
  EXPECT_EQ(doc.FieldIndex().Fields[0], o);
}

namespace {

// The model's answers that a note reference field needs: bookmarks by name, note references by
// place.
struct ModelAnswers : TDocObjectServices {
  TField* FindBookmark(TDoc* doc, const std::u16string& name) const override {
    const int32_t i = doc->FindBookmarkName(name);
    return i < 0 ? nullptr : doc->FieldIndex().Bookmarks[static_cast<size_t>(i)].Field;
  }
  TField* NoteReferenceAt(TDoc* doc, const TDocPosition& place) const override {
    return doc->GetFieldAt(place, nullptr, {}, 255, fkNoteReference);
  }
};

}  // namespace

TEST(FieldUpdate, ANoteReferenceShowsTheMarkOfTheNoteItsBookmarkHolds) {
  FieldScope scope;
  ScopedService<TDocObjectServices, ModelAnswers> answers;
  TDoc doc(true);
  TDocBuilder b(doc);
  const int32_t noted = b.AddWithNote("See", "the note");
  b.Add("x");
  b.Finish();
  doc.RebuildFieldIndex();
  TField* reference = nullptr;
  for (TField* f : doc.FieldIndex().Fields)
    if (f->Kind == fkNoteReference) reference = f;
  ASSERT_NE(reference, nullptr);
  reference->Text = "7";
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"fn";
  doc.InsertFieldMarks(std::move(mark), reference->Range);
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  PutField(doc, noted + 1, "note ", ftNoteRef, u"NOTEREF fn \\h", "?", "");
  UpdateAll(doc);
  EXPECT_EQ(ParText(doc, noted + 1), "note 7");
}

TEST(FieldUpdate, AnEmptyFieldInTheScopeGetsItsResult) {
  FieldScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x"});
  PutField(doc, 0, "[", 15, u"TITLE", "", "]");
  doc.Props.Title = u"T";
  UpdateAll(doc);
  EXPECT_EQ(ParText(doc, 0), "[T]");
}

namespace {

// A paragraph from a pattern: "<X" opens field X, ">X" closes it, other characters are text;
// T is a TITLE field, every other letter a bookmark.
std::vector<TField*> PutPattern(TDoc& doc, const std::string& pattern) {
  std::vector<TField*> fields(26, nullptr);
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '<' && c != '>') {
      p.Content.AppendByte(static_cast<uint8_t>(c));
      continue;
    }
    TField*& f = fields[static_cast<size_t>(pattern[++i] - 'A')];
    if (f == nullptr) {
      auto owned = std::make_unique<TField>();
      owned->Kind = pattern[i] == 'T' ? fkField : fkBookmark;
      owned->FieldType = pattern[i] == 'T' ? 15 : 0;
      owned->Instruction = pattern[i] == 'T' ? u"TITLE" : std::u16string(1, pattern[i]);
      f = owned.get();
      doc.Fields.push_back(std::move(owned));
    }
    AppendContentTag(p.Content, c == '<' ? ctFieldStart : ctFieldEnd, TagRefOf(f));
  }
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
  return fields;
}

std::string ReadPattern(TDoc& doc, const std::vector<TField*>& fields) {
  TPar& p = *doc.Par(0);
  NormalizeParagraphTags(p);
  std::string s;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      s.append(reinterpret_cast<const char*>(p.Content.Data + off), static_cast<size_t>(item.Size));
    } else if (IsFieldMarkKind(item.Tag.Kind)) {
      const auto at = std::find(fields.begin(), fields.end(), FieldOfTag(item.Tag));
      s += item.Tag.Kind == ctFieldStart ? '<' : '>';
      s += at == fields.end() ? '?' : static_cast<char>('A' + (at - fields.begin()));
    }
  }
  return s;
}

}  // namespace

TEST(FieldUpdate, FieldsAroundAReplacedResultStayAroundIt) {
  const struct Case {
    const char* name;
    const char* before;
    const char* after;
  } cases[] = {
      {"a bookmark around exactly the field", "x<B<Told>T>By", "x<B<TNewer>T>By"},
      {"a bookmark around an empty field", "x<B<T>T>By", "x<B<TNewer>T>By"},
      {"a bookmark ending where the field starts", "<Bx>B<Told>Ty", "<Bx>B<TNewer>Ty"},
      {"a bookmark starting where the field ends", "x<Told>T<By>B", "x<TNewer>T<By>B"},
      {"a bookmark inside the result goes with it", "x<T<Bo>Bld>Ty", "x<TNewer>Ty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FieldScope scope;
    TDoc doc(true);
    SetMainText(doc, {"x"});
    const std::vector<TField*> fields = PutPattern(doc, c.before);
    doc.Props.Title = u"Newer";
    const std::string before = DumpDoc(doc);
    UpdateAll(doc);
    EXPECT_EQ(ReadPattern(doc, fields), c.after);
    const std::string after = DumpDoc(doc);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
    EXPECT_EQ(ReadPattern(doc, fields), c.before);
    doc.Redo();
    EXPECT_EQ(DumpDoc(doc), after);
  }
}
