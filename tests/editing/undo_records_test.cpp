// Every undo record class: performing it, undoing, redoing and undoing again leaves the
// document exactly as it was before (compared as a full dump).
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "document/content_stream.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"
#include "editing/style_operations.h"
#include "editing/undo_records.h"
#include "editing/undo_stack.h"
#include "edit_test_support.h"

using namespace qv;

namespace {

// Ends paragraph `par` with a section break of a new section (the second of the document).
TSection* AddSectionBreak(TDoc& doc, int32_t par) {
  auto s = std::make_unique<TSection>(&doc);
  s->SetDefaults();
  TSection* sp = s.get();
  doc.Sections.insert(doc.Sections.begin(), std::move(s));
  TPar& p = *doc.Par(par);
  p.Content.SetLength(p.Content.Length - ContentTagSize);
  AppendContentTag(p.Content, ctSectionBreak, TagRefOf(sp));
  p.RebuildCodes();
  p.ContentChanged();
  doc.SectionRangesStale = true;
  doc.UpdateSectionRanges();
  return sp;
}

TField* AddField(TDoc& doc, uint8_t kind, uint8_t type, const std::u16string& instruction) {
  auto f = std::make_unique<TField>();
  f->Kind = kind;
  f->FieldType = type;
  f->Instruction = instruction;
  TField* fp = f.get();
  doc.Fields.push_back(std::move(f));
  return fp;
}

TMemory Bytes(const std::string& s) {
  TMemory m;
  m.AppendString(s);
  return m;
}

struct TRecordCase {
  const char* Name;
  std::vector<std::string> Text;
  std::function<void(TDoc&)> Prepare;  // may be null
  std::function<void(TDoc&)> Perform;  // performs records into the open operation
};

void Rec(std::unique_ptr<TSubOperation> r) { TSubOperation::Execute(std::move(r)); }

std::vector<TRecordCase> Cases() {
  std::vector<TRecordCase> c;
  c.push_back({"InsDel insert in a paragraph", {"abc|Bdef|b"}, nullptr, [](TDoc& d) {
                 TDocPosition at;
                 MakePosition(0, 4, at);
                 Rec(TInsDelOperation::ForInsert(d, Bytes("XY"), at, stMain, 0));
               }});
  c.push_back({"InsDel insert formatted text", {"abcdef"}, nullptr, [](TDoc& d) {
                 TMemory m;
                 AppendContentTag(m, ctBold, 1);
                 m.AppendString("Z");
                 TDocPosition at;
                 MakePosition(0, 2, at);
                 Rec(TInsDelOperation::ForInsert(d, m, at, stMain, 0));
               }});
  c.push_back({"InsDel delete across formatting", {"ab|Bcd|bef"}, nullptr, [](TDoc& d) {
                 TDocRange r;
                 MakeRange(0, 1, 0, 3, r);
                 Rec(TInsDelOperation::ForDelete(d, r));
               }});
  c.push_back({"InsDel delete from offset 0", {"|Bab|bcd"}, nullptr, [](TDoc& d) {
                 TDocRange r;
                 MakeRange(0, 0, 0, 2, r);
                 Rec(TInsDelOperation::ForDelete(d, r));
               }});
  c.push_back({"InsDel delete across paragraphs", {"one|Btwo", "three", "fo|bur"}, nullptr,
               [](TDoc& d) {
                 TDocRange r;
                 MakeRange(0, 2, 2, 1, r);
                 Rec(TInsDelOperation::ForDelete(d, r));
               }});
  c.push_back({"InsDel insert paragraphs", {"head|Btail"}, nullptr, [](TDoc& d) {
                 TMemory m;
                 m.AppendString("x");
                 AppendContentTag(m, ctSpecialChar, scParagraphEnd);
                 TParFormat f = DefaultParFormat;
                 SetParFormatProp(f, ppAlignment, 1);
                 AppendParFormatBlock(m, f);
                 m.AppendString("y");
                 AppendContentTag(m, ctSpecialChar, scParagraphEnd);
                 AppendParFormatBlock(m, DefaultParFormat);
                 m.AppendString("z");
                 TDocPosition at;
                 MakePosition(0, 4, at);
                 Rec(TInsDelOperation::ForInsert(d, m, at, stMain, 2));
               }});
  c.push_back({"InsDel whole paragraphs appended and removed", {"main"}, nullptr, [](TDoc& d) {
                 TMemory m;
                 m.AppendString("hdr");
                 AppendContentTag(m, ctSpecialChar, scParagraphEnd);
                 AppendParFormatBlock(m, DefaultParFormat);
                 TDocPosition at;
                 MakePosition(d.ParCount(), 0, at);
                 Rec(TInsDelOperation::ForInsert(d, m, at, stHeadersFooters, 1));
               }});
  c.push_back({"InsDel section break content", {"a", "b", "c"},
               [](TDoc& d) { AddSectionBreak(d, 0); }, [](TDoc& d) {
                 TDocRange r;
                 MakeRange(0, 1, 1, 0, r);
                 Rec(TInsDelOperation::ForDelete(d, r));
               }});
  c.push_back({"TFormatParsOperation", {"a", "b"}, nullptr, [](TDoc& d) {
                 TParFormat f = UnsetParFormat;
                 SetParFormatProp(f, ppAlignment, 2);
                 SetParFormatProp(f, ppLeftIndent, 720);
                 TDocRange r;
                 MakeRange(0, 0, 1, 1, r);
                 FormatParagraphs(d, nullptr, &r, f);
               }});
  c.push_back({"TFormatFontOperation", {"abc|Bdef|bghi", "jkl"}, nullptr, [](TDoc& d) {
                 TCharFormat f = UnsetCharFormat;
                 f.Italic = 1;
                 f.Bold = 0;
                 TDocRange r;
                 MakeRange(0, 2, 1, 1, r);
                 FormatFont(d, nullptr, &r, 0, f);
               }});
  c.push_back({"TFormatStyleListOperation", {"styled"}, [](TDoc& d) { d.InitNewDocument(); },
               [](TDoc& d) {
                 auto info = std::make_unique<TFormatStyleListInfo>();
                 info->NewStyles = std::make_unique<TStyleList>(&d);
                 info->NewStyles->Assign(*d.Styles);
                 (*info->NewStyles)[0].CharFmt.Bold = 1;
                 info->Changed.push_back(0);
                 FormatDocumentStyles(d, nullptr, nullptr, std::move(info));
               }});
  c.push_back({"TFormatTabsOperation", {"a"}, nullptr, [](TDoc& d) { FormatTabs(d, 360, 3); }});
  c.push_back({"TSortParsOperation", {"pear", "apple", "fig", "apple", "banana"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TSortParsOperation>(d, 0, 4, false)); }});
  c.push_back({"TMoveParsOperation", {"a", "b", "c", "d"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TMoveParsOperation>(d, 0, 2, 3)); }});
  c.push_back({"TFastReplaceTextOperation", {"abcd"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TFastReplaceTextOperation>(d, 0, 1, "XY")); }});
  c.push_back({"TFastReplaceTextOperation2", {"ab"}, [](TDoc& d) {
                 TPar& p = *d.Par(0);
                 p.Content.Clear();
                 p.Content.AppendString("a");
                 AppendContentTag(p.Content, ctSpecialChar, scLineBreak);
                 p.Content.AppendString("b");
                 AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
                 p.RebuildCodes();
                 p.ContentChanged();
               },
               [](TDoc& d) { Rec(std::make_unique<TFastReplaceTextOperation2>(d, 0, 1, scPageBreak)); }});
  c.push_back({"TChangeDefLangOperation", {"a"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TChangeDefLangOperation>(d, 1031)); }});
  c.push_back({"TFormatSectOperation", {"a"}, nullptr, [](TDoc& d) {
                 std::vector<TSection> saved{*d.Sections[0]};
                 saved[0].Format.ColumnCount = 2;
                 Rec(std::make_unique<TFormatSectOperation>(d, saved, false, 0, 0));
               }});
  c.push_back({"TExchangeSectFormattingOperation", {"a", "b"},
               [](TDoc& d) { AddSectionBreak(d, 0)->Format.ColumnCount = 3; }, [](TDoc& d) {
                 Rec(std::make_unique<TExchangeSectFormattingOperation>(d, d.Sections[0].get(),
                                                                        d.Sections[1].get()));
               }});
  c.push_back({"TFormatNotesOperation", {"a"}, nullptr, [](TDoc& d) {
                 TCharFormat mark = d.FootnoteMarkFormat;
                 mark.Bold = 1;
                 Rec(std::make_unique<TFormatNotesOperation>(
                     d, std::vector<TNoteSettings>{{2, 4, 5, 1}}, std::vector<TNoteSettings>{{0, 1, 1, 1}},
                     mark, d.EndnoteMarkFormat, 0));
               }});
  c.push_back({"TConvertNotesOperation", {"a"},
               [](TDoc& d) { AddField(d, fkNoteText, 0, u""); }, [](TDoc& d) {
                 Rec(std::make_unique<TConvertNotesOperation>(d, std::vector<TField*>{d.Fields[0].get()}));
               }});
  c.push_back({"TNoteSeparatorOperation", {"a"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TNoteSeparatorOperation>(d, 1)); }});
  c.push_back({"TAssignSectOperation", {"a", "b"},
               [](TDoc& d) { AddSectionBreak(d, 0)->PageParams.LeftMargin = 100; }, [](TDoc& d) {
                 Rec(std::make_unique<TAssignSectOperation>(d, d.Sections[1].get(), d.Sections[0].get()));
               }});
  c.push_back({"TChangeSectHeadersOperation", {"a"},
               [](TDoc& d) { AddField(d, fkHeaderFooter, 0, u""); }, [](TDoc& d) {
                 std::array<TField*, hfCount> f{};
                 f[1] = d.Fields[0].get();
                 Rec(std::make_unique<TChangeSectHeadersOperation>(d, d.Sections[0].get(), f));
               }});
  c.push_back({"TChangeHyphOptionsOperation", {"a"}, nullptr,
               [](TDoc& d) { Rec(std::make_unique<TChangeHyphOptionsOperation>(d, 1, 0, 180, 2)); }});
  c.push_back({"TEditFieldOperation", {"a"}, [](TDoc& d) { AddField(d, fkField, 33, u"PAGE"); },
               [](TDoc& d) { Rec(std::make_unique<TEditFieldOperation>(d, d.Fields[0].get(), u"NUMPAGES")); }});
  c.push_back({"TChangeFieldPropsOperation", {"a"}, [](TDoc& d) { AddField(d, fkField, 33, u"PAGE"); },
               [](TDoc& d) {
                 Rec(std::make_unique<TChangeFieldPropsOperation>(d, d.Fields[0].get(), 37, u"PAGEREF x"));
               }});
  c.push_back({"TChangeSectBreakOperation", {"a", "b"}, [](TDoc& d) { AddSectionBreak(d, 0); },
               [](TDoc& d) { Rec(std::make_unique<TChangeSectBreakOperation>(d, 0, sbContinuous)); }});
  c.push_back({"TChangePageParamsOperation", {"a"}, nullptr, [](TDoc& d) {
                 TPageParams p;
                 p.LeftMargin = p.RightMargin = p.TopMargin = p.BottomMargin = INT32_MIN;
                 p.HeaderDistance = p.FooterDistance = INT32_MIN;
                 TDocRange r;
                 MakeRange(0, 0, 0, 0, r);
                 ChangePageParams(d, p, r);  // kind 6: orientation
               }});
  c.push_back({"TFormatListLevelOperation", {"a"},
               [](TDoc& d) { d.Lists.push_back(std::make_unique<TAutoList>()); }, [](TDoc& d) {
                 TCharFormat f = UnsetCharFormat;
                 f.Bold = 1;
                 Rec(std::make_unique<TFormatListLevelOperation>(d, d.Lists[0].get(), 2, f));
               }});
  c.push_back({"TFormatAutoListOperation", {"a"},
               [](TDoc& d) { d.Lists.push_back(std::make_unique<TAutoList>()); }, [](TDoc& d) {
                 TAutoList def;
                 def.ListLevels[0].NumberFormat = 23;
                 ChangeListDefinition(d, *d.Lists[0], def);
               }});
  c.push_back({"TInsDelFieldOperation insert", {"abc"}, nullptr, [](TDoc& d) {
                 auto f = std::make_unique<TField>();
                 f->FieldType = 33;
                 TDocPosition at;
                 MakePosition(0, 1, at);
                 EditServices().InsertEmptyField(d, std::move(f), at, 0);
               }});
  c.push_back({"TInsDelFieldOperation remove", {"abc"},
               [](TDoc& d) {
                 TField* f = AddField(d, fkBookmark, 0, u"mark");
                 TPar& p = *d.Par(0);
                 p.Content.Clear();
                 p.Content.AppendString("a");
                 AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
                 p.Content.AppendString("bc");
                 AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
                 AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
                 p.RebuildCodes();
                 p.ContentChanged();
               },
               [](TDoc& d) {
                 TDocPosition s, e;
                 MakePosition(0, 1, s);
                 MakePosition(0, 3, e);
                 Rec(std::make_unique<TInsDelFieldOperation>(d, 1, d.Fields[0].get(),
                                                             TInsDelFieldOperation::mpBoth, s, 0, e, 0));
               }});
  c.push_back({"TChangeDocPropsOperation", {"a"}, nullptr, [](TDoc& d) {
                 TDocProps p = d.Props;
                 p.Author = u"Someone Else";
                 p.Comments = u"two\rlines";
                 Rec(std::make_unique<TChangeDocPropsOperation>(d, p));
               }});
  return c;
}

class UndoRecords : public ::testing::TestWithParam<size_t> {
 protected:
  TEngineScope engine_;
};

TEST_P(UndoRecords, PerformUndoRedoUndoRestoresTheDocument) {
  const TRecordCase rc = Cases()[GetParam()];
  SCOPED_TRACE(rc.Name);
  TDoc doc(true);
  SetMainText(doc, rc.Text);
  if (rc.Prepare) rc.Prepare(doc);
  const std::string before = DumpDoc(doc);
  std::unique_ptr<TUndoableOperation> operation = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(operation.get());
  rc.Perform(doc);
  doc.EndOperation();
  ASSERT_FALSE(static_cast<TOperation*>(operation.get())->Records.empty());
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(operation));
  const std::string after = DumpDoc(doc);
  EXPECT_NE(before, after);
  doc.Undo();
  EXPECT_EQ(before, DumpDoc(doc));
  doc.Redo();
  EXPECT_EQ(after, DumpDoc(doc));
  doc.Undo();
  EXPECT_EQ(before, DumpDoc(doc));
}

INSTANTIATE_TEST_SUITE_P(AllClasses, UndoRecords, ::testing::Range<size_t>(0, Cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string n = Cases()[info.param].Name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(UndoRecordsSort, ComparatorIsAStrictWeakOrderForEqualAndPrefixTexts) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"abc", "ab", "abc", "b"});
  const TPar& a = *doc.Par(0);
  const TPar& b = *doc.Par(1);
  const TPar& a2 = *doc.Par(2);
  // A prefix sorts first, and the comparison is antisymmetric.
  EXPECT_LT(CompareParagraphsForSort(b, a), 0);
  EXPECT_GT(CompareParagraphsForSort(a, b), 0);
  // Equal texts: ordered by paragraph, never both "less".
  EXPECT_LT(CompareParagraphsForSort(a, a2), 0);
  EXPECT_GT(CompareParagraphsForSort(a2, a), 0);
  EXPECT_EQ(CompareParagraphsForSort(a, a), 0);
}

TEST(UndoRecordsSort, SortOrdersTextsAndUndoReplaysBackwards) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"pear", "apple", "fig", "app"});
  auto op = EditServices().CreateOperation(doc, 26);
  doc.BeginOperation(op.get());
  TSubOperation::Execute(std::make_unique<TSortParsOperation>(doc, 0, 3, false));
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  EXPECT_EQ(MainText(doc), "app/apple/fig/pear");
  doc.Undo();
  EXPECT_EQ(MainText(doc), "pear/apple/fig/app");
  doc.Redo();
  EXPECT_EQ(MainText(doc), "app/apple/fig/pear");
}

}  // namespace

namespace {

// Marks named by letters in a paragraph: "[a" starts field a, "a]" ends it.
void MarkedText(TDoc& doc, const std::string& text, std::map<char, TField*>& fields) {
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '[' && i + 1 < text.size()) {
      TField*& f = fields[text[i + 1]];
      if (f == nullptr) f = AddField(doc, fkBookmark, 0, std::u16string(1, text[i + 1]));
      AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
      ++i;
    } else if (i + 1 < text.size() && text[i + 1] == ']') {
      TField*& f = fields[text[i]];
      if (f == nullptr) f = AddField(doc, fkBookmark, 0, std::u16string(1, text[i]));
      AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
      ++i;
    } else {
      p.Content.AppendByte(static_cast<uint8_t>(text[i]));
    }
  }
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
}

// The paragraph's text with its marks written the same way.
std::string MarkedText(TDoc& doc) {
  TPar& p = *doc.Par(0);
  NormalizeParagraphTags(p);
  std::string out;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      out.append(reinterpret_cast<const char*>(p.Content.Data + off), static_cast<size_t>(item.Size));
    } else if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
      const char name = static_cast<char>(FieldOfTag(item.Tag)->Instruction[0]);
      out += item.Tag.Kind == ctFieldStart ? std::string("[") + name : std::string(1, name) + "]";
    }
  }
  return out;
}

TEST(TextRecord, FieldMarksAfterTheDeletedTextGoOnlyWhenTheyBelongToIt) {
  struct Case {
    const char* name;
    std::string text;
    int32_t from, to;  // characters deleted
    const char* want;
  } cases[] = {
      {"the end of a field that starts inside goes with it", "x[abca]y", 1, 3, "xy"},
      {"the end of a field that starts before stays", "[axbca]y", 1, 3, "[axa]y"},
      {"an empty field right after stays", "xbc[aa]y", 1, 3, "x[aa]y"},
      {"both kinds at once", "[ax[bcb]a]y", 1, 2, "[axa]y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TEngineScope engine;
    TDoc doc(true);
    SetMainText(doc, {"x"});
    std::map<char, TField*> fields;
    MarkedText(doc, c.text, fields);
    const std::string before = DumpDoc(doc);
    std::unique_ptr<TUndoableOperation> operation = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(operation.get());
    EditServices().DeleteContent(doc, {{0, c.from}, {0, c.to}});
    doc.EndOperation();
    doc.CommitOperation(std::move(operation));
    EXPECT_EQ(MarkedText(doc), c.want);
    const std::string after = DumpDoc(doc);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpDoc(doc), after);
  }
}

}  // namespace
