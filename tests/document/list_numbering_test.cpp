#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/list_numbering.h"
#include "document/number_formats.h"

using namespace qv;

namespace {

// The text of a number paragraph: its UTF-16 character tags (follow character left out).
std::u16string NumberText(const TPar& par) {
  std::u16string text;
  if (!par.NumberPar) return text;
  const TMemory& s = par.NumberPar->Content;
  for (int32_t off = 0; off < s.Length;) {
    if (IsTagAt(s.Data, s.Length, off)) {
      const TContentTag tag = ReadTagAt(s.Data, off);
      if (tag.Kind == ctWideChar) text.push_back(static_cast<char16_t>(tag.Value));
      off += ContentTagSize;
    } else {
      ++off;
    }
  }
  return text;
}

// A document of paragraphs "item" in list 1 at the given levels; level texts "<0>." and
// "<0>.<1>" and so on, no follow character.
struct TListDoc {
  TDoc doc{true};
  TAutoList* list = nullptr;

  explicit TListDoc(const std::vector<int>& levels) {
    auto l = std::make_unique<TAutoList>();
    l->Number = 1;
    for (int32_t i = 0; i < ListLevelCount; ++i) {
      TListLevel& level = l->ListLevels[static_cast<size_t>(i)];
      level.Follow = 2;
      if (i == 0) {
        level.LevelText = std::u16string(1, u'\0') + u".";
      } else {
        for (int32_t k = 0; k <= i; ++k) {
          if (k > 0) level.LevelText += u'.';
          level.LevelText += static_cast<char16_t>(k);
        }
      }
    }
    list = l.get();
    doc.Lists.push_back(std::move(l));
    TDocBuilder b(doc);
    bool first = true;
    for (int level : levels) {
      b.Format.List = 1;
      b.Format.ListLevel = static_cast<int8_t>(level);
      if (first) doc.Par(0)->Format = b.Format;
      first = false;
      b.Add("item");
    }
  }
  std::vector<std::u16string> Numbers() {
    std::vector<std::u16string> out;
    for (int32_t i = 0; i < doc.ParCount(); ++i)
      if (doc.Par(i)->CharCount() > 1) out.push_back(NumberText(*doc.Par(i)));
    return out;
  }
};

TEST(ListNumbering, NestedRestartedAndLegalNumbers) {
  struct Case {
    const char* name;
    std::vector<int> levels;
    void (*setup)(TAutoList&);
    std::vector<std::u16string> want;
  } cases[] = {
      {"nested", {0, 0, 1, 1, 0}, [](TAutoList&) {},
       {u"1.", u"2.", u"2.1", u"2.2", u"3."}},
      {"restart", {0, 1, 1, 0, 1}, [](TAutoList&) {}, {u"1.", u"1.1", u"1.2", u"2.", u"2.1"}},
      {"no restart", {0, 1, 1, 0, 1},
       [](TAutoList& l) { l.ListLevels[1].NoRestart = 1; },
       {u"1.", u"1.1", u"1.2", u"2.", u"2.3"}},
      {"starts deeper", {1, 0}, [](TAutoList&) {}, {u"1.1", u"2."}},
      {"start numbers", {0, 1}, [](TAutoList& l) {
         l.ListLevels[0].StartAt = 4;
         l.ListLevels[1].StartAt = 7;
       },
       {u"4.", u"4.7"}},
      {"roman and letters", {0, 1, 1}, [](TAutoList& l) {
         l.ListLevels[0].NumberFormat = nfUpperRoman;
         l.ListLevels[1].NumberFormat = nfLowerLetter;
       },
       {u"I.", u"I.a", u"I.b"}},
      {"legal", {0, 0, 1}, [](TAutoList& l) {
         l.ListLevels[0].NumberFormat = nfLowerRoman;
         l.ListLevels[1].Legal = 1;
         l.ListLevels[1].NumberFormat = nfUpperLetter;
       },
       {u"i.", u"ii.", u"2.1"}},
      {"legal keeps leading zero", {0, 1}, [](TAutoList& l) {
         l.ListLevels[0].NumberFormat = nfLeadingZero;
         l.ListLevels[1].Legal = 1;
       },
       {u"01.", u"01.1"}},
      {"legal keeps bullets", {0, 1}, [](TAutoList& l) {
         l.ListLevels[0].NumberFormat = nfFirstBullet;
         l.ListLevels[1].Legal = 1;
       },
       {u".", u".1"}},
      {"single level", {0, 3, 5}, [](TAutoList& l) { l.SingleLevel = 1; },
       {u"1.", u"2.", u"3."}},
  };
  for (const Case& c : cases) {
    TListDoc d(c.levels);
    c.setup(*d.list);
    d.doc.RenumberLists();
    EXPECT_EQ(d.Numbers(), c.want) << c.name;
  }
}

TEST(ListNumbering, ParagraphsLeavingTheListLoseTheirNumberButKeepTheObject) {
  TListDoc d({0, 0, 0});
  d.doc.RenumberLists();
  TPar& second = *d.doc.Par(1);
  ASSERT_TRUE(second.NumberPar);
  second.Format.List = 0;
  d.doc.RenumberLists();
  ASSERT_TRUE(second.NumberPar);
  EXPECT_EQ(second.NumberPar->CharCount(), 0);
  EXPECT_EQ(NumberText(*d.doc.Par(2)), u"2.");
}

TEST(ListNumbering, RerunWithoutChangesRebuildsNothing) {
  TListDoc d({0, 1, 0});
  d.doc.RenumberLists();
  std::vector<const uint8_t*> buffers;
  for (int32_t i = 0; i < d.doc.ParCount(); ++i)
    buffers.push_back(d.doc.Par(i)->NumberPar->Content.Data);
  d.doc.SetDocFlag(dfListsNeedRenumbering, true);
  d.doc.RenumberLists();
  for (int32_t i = 0; i < d.doc.ParCount(); ++i)
    EXPECT_EQ(d.doc.Par(i)->NumberPar->Content.Data, buffers[static_cast<size_t>(i)]) << i;
  EXPECT_FALSE(d.doc.IsDocFlagSet(dfListsNeedRenumbering));
}

TEST(ListNumbering, FollowCharacterAndEmptyText) {
  struct Case {
    uint8_t follow;
    std::u16string text;
    int32_t wantChars;  // characters of the number paragraph
    uint8_t lastCode;
  } cases[] = {
      {0, std::u16string(u"\0.", 2), 3, scTab},
      {1, std::u16string(u"\0.", 2), 3, ' '},
      {2, std::u16string(u"\0.", 2), 2, scWideChar},
      {2, u"", 0, 0},
      {1, u"", 1, ' '},
  };
  for (const Case& c : cases) {
    TListDoc d({0});
    d.list->ListLevels[0].Follow = c.follow;
    d.list->ListLevels[0].LevelText = c.text;
    d.doc.RenumberLists();
    const TPar& np = *d.doc.Par(0)->NumberPar;
    ASSERT_EQ(np.CharCount(), c.wantChars) << int(c.follow);
    if (c.wantChars > 0) {
      EXPECT_EQ(np.CodeAt(c.wantChars - 1), c.lastCode) << int(c.follow);
    }
    EXPECT_TRUE(np.HasFlag(pfNumberPar));
    EXPECT_EQ(np.NumberOwner, d.doc.Par(0));
  }
}

TEST(ListNumbering, ListNumberTextByCode) {
  TDoc doc(true);
  EXPECT_EQ(ListNumberText(doc, 0, 3, nfLeadingZero), "03");
  EXPECT_EQ(ListNumberText(doc, 0, 3, nfNoteSymbols), "");
  EXPECT_EQ(ListNumberText(doc, 0, 4, nfUpperRoman), "IV");
  EXPECT_EQ(ListNumberText(doc, 99, 2, nfLowerLetter), "b");  // no such paragraph: still a text
}

}  // namespace
