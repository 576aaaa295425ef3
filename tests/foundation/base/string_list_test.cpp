#include "foundation/base/string_list.h"

#include <gtest/gtest.h>

#include "foundation/base/exceptions.h"

using namespace qv;

namespace {

std::string Joined(const TStringList& list) {
  std::string s;
  for (const auto& item : list.Items()) s += item.Str + ",";
  return s;
}

TEST(StringList, UnsortedListKeepsOrderAndObjects) {
  TStringList list;
  list.Add("b", 2);
  list.Add("a", 1);
  list.Insert(0, "c", 3);
  EXPECT_EQ(Joined(list), "c,b,a,");
  EXPECT_EQ(list.IndexOf("B"), 1);  // case-insensitive by default
  list.CaseSensitive = true;
  EXPECT_EQ(list.IndexOf("B"), -1);
  EXPECT_EQ(list.Objects(2), 1);
  EXPECT_EQ(list.IndexOfObject(3), 0);
  list.Move(0, 2);
  EXPECT_EQ(Joined(list), "b,a,c,");
  list.Delete(1);
  EXPECT_EQ(Joined(list), "b,c,");
  EXPECT_THROW(list.Strings(2), Exception);
  EXPECT_THROW(list.Delete(-1), Exception);
}

TEST(StringList, SortedListFindsAndHandlesDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "apple", "Zucchini"}) list.Add(s);
  EXPECT_EQ(Joined(list), "Apple,fig,pear,Zucchini,");  // "apple" ignored as a duplicate
  int32_t index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 2);
  EXPECT_THROW(list.Insert(0, "x"), Exception);
  list.Duplicates = TDuplicates::dupError;
  EXPECT_THROW(list.Add("PEAR"), Exception);
  list.Duplicates = TDuplicates::dupAccept;
  list.Add("PEAR");
  EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, TextSplitsAtEveryLineBreak) {
  TStringList list;
  list.SetText("a\r\nb\rc\nd");
  EXPECT_EQ(Joined(list), "a,b,c,d,");
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
