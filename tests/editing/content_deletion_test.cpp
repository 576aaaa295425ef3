// Content deleted by the model's own operations through the engine (making a picture floating,
// a typed list marker, a note over the selection, a section break, table rows): a deletion that
// would take one mark of a field and leave the other keeps the field whole around what is left,
// and undo and redo bring back the exact text and marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "edit_test_support.h"

using namespace qv;

namespace {

// A paragraph per string: "<X" opens bookmark X, ">X" closes it, other characters are text.
std::vector<TField*> PutMarkedText(TDoc& doc, const std::vector<std::string>& pars) {
  SetMainText(doc, std::vector<std::string>(pars.size(), ""));
  std::vector<TField*> fields(26, nullptr);
  for (size_t i = 0; i < pars.size(); ++i) {
    TPar& p = *doc.Par(static_cast<int32_t>(i));
    p.Content.Clear();
    const std::string& s = pars[i];
    for (size_t k = 0; k < s.size(); ++k) {
      if (s[k] != '<' && s[k] != '>') {
        p.Content.AppendByte(static_cast<uint8_t>(s[k]));
        continue;
      }
      TField*& f = fields[static_cast<size_t>(s[k + 1] - 'A')];
      if (f == nullptr) {
        auto owned = std::make_unique<TField>();
        owned->Kind = fkBookmark;
        owned->Instruction = std::u16string(1, s[k + 1]);
        f = owned.get();
        doc.Fields.push_back(std::move(owned));
      }
      AppendContentTag(p.Content, s[k] == '<' ? ctFieldStart : ctFieldEnd, TagRefOf(f));
      ++k;
    }
    AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
    p.RebuildCodes();
    p.ContentChanged();
  }
  doc.InvalidateFieldIndex();
  return fields;
}

std::string ReadMarkedText(TDoc& doc, const std::vector<TField*>& fields) {
  std::string s;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    TPar& p = *doc.Par(i);
    NormalizeParagraphTags(p);
    if (i > 0) s += '/';
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
  }
  return s;
}

TDocPosition At(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

}  // namespace

TEST(ContentDeletion, AFieldThatWouldLoseOneMarkKeepsBoth) {
  const struct Case {
    const char* name;
    std::vector<std::string> pars;
    TDocRange range;
    const char* want;
  } cases[] = {
      {"a field ending where the deletion starts", {"<Aab>Acd"}, {At(0, 2), At(0, 4)}, "<Aab>A"},
      {"a field starting where the deletion starts", {"ab<Acd>Ae"}, {At(0, 2), At(0, 3)},
       "ab<Ad>Ae"},
      {"a field starting inside the deletion", {"a<Abc>Ad"}, {At(0, 0), At(0, 2)}, "<Ac>Ad"},
      {"a field ending inside the deletion", {"a<Abc>Ad"}, {At(0, 2), At(0, 4)}, "a<Ab>A"},
      {"across paragraphs", {"ab<Ac", "d>Ae"}, {At(0, 1), At(1, 0)}, "a<Ad>Ae"},
      {"a field wholly inside goes with the content", {"a<Ab>Ac"}, {At(0, 0), At(0, 2)}, "c"},
      {"a field around exactly the content goes with it", {"a<Ab>Ac"}, {At(0, 1), At(0, 2)},
       "ac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TEngineScope engine;
    TDoc doc(true);
    const std::vector<TField*> fields = PutMarkedText(doc, c.pars);
    const std::string before = DumpDoc(doc);
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    EditServices().DeleteContent(doc, c.range);
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
    EXPECT_EQ(ReadMarkedText(doc, fields), c.want);
    const std::string after = DumpDoc(doc);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpDoc(doc), after);
  }
}
