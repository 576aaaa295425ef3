#include "foundation/ui/menu_resources.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/menu_resource_services.h"

using namespace qv;

namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += char(b);
  return s;
}

// An item's bytes: length, caption, id little-endian.
std::string Item(const std::string& caption, int32_t id) {
  std::string s(1, char(caption.size()));
  s += caption;
  for (int shift = 0; shift < 32; shift += 8) s += char((uint32_t(id) >> shift) & 0xFF);
  return s;
}
const std::string kOpen(1, char(kMenuSubLevelStart)), kClose(1, char(kMenuSubLevelEnd));

// The menu resources of a test, by name; the built-in submenus as the program carries them
// unless a test replaces them.
class FakeResources : public TMenuResourceService {
 public:
  std::map<std::string, std::string> data;
  std::string MenuResource(const std::string& name) override {
    auto it = data.find(name);
    return it != data.end() ? it->second : TMenuResourceService::MenuResource(name);
  }
};

// The command bar band's menu: "&Show" 6071, "&Hide" 6070, "&Autohide" 6072, "-" 0, "St&yle" 0
// with "Tool &Bands" 6078 and "&Classic Toolbars" 6079, "&Position" 151200 with "&Top" 6075,
// "&Left" 6076, "&Right" 6077, "-" 151201, "&Customize..." 645.
std::string ToolbarMenu() {
  return Item("&Show", 6071) + Item("&Hide", 6070) + Item("&Autohide", 6072) + Item("-", 0) +
         Item("St&yle", 0) + kOpen + Item("Tool &Bands", 6078) + Item("&Classic Toolbars", 6079) +
         kClose + Item("&Position", 151200) + kOpen + Item("&Top", 6075) + Item("&Left", 6076) +
         Item("&Right", 6077) + kClose + Item("-", 151201) + Item("&Customize...", 645);
}

TEST(MenuResourceFormat, ReadsAndWritesTheBytes) {
  // One item "&Hide" with the command 6080.
  const std::string hscrlbar = Bytes({5, '&', 'H', 'i', 'd', 'e', 0xC0, 0x17, 0, 0});
  const std::vector<TMenuResourceItem> hide{{"&Hide", 6080, {}}};
  EXPECT_EQ(ParseMenuResource(hscrlbar), hide);
  EXPECT_EQ(EncodeMenuResource(hide), hscrlbar);

  // Nested levels, a negative id, an empty caption, and a sub-level that two 254s fill.
  const std::string nested = Item("A", 1) + kOpen + Item("B", 2) + kOpen + Item("C", -3) + kClose +
                             kClose + Item("", 4) + kOpen + Item("E", 5) + kClose + kOpen +
                             Item("F", 6) + kClose;
  const std::vector<TMenuResourceItem> tree{{"A", 1, {{"B", 2, {{"C", -3, {}}}}}},
                                            {"", 4, {{"E", 5, {}}, {"F", 6, {}}}}};
  EXPECT_EQ(ParseMenuResource(nested), tree);
  EXPECT_EQ(ParseMenuResource(EncodeMenuResource(tree)), tree);

  // A last submenu without its closing 255 ends with the data; a 255 on the top level ends the
  // menu.
  EXPECT_EQ(ParseMenuResource(Item("A", 1) + kOpen + Item("B", 2)),
            (std::vector<TMenuResourceItem>{{"A", 1, {{"B", 2, {}}}}}));
  EXPECT_EQ(ParseMenuResource(Item("A", 1) + kClose + Item("B", 2)),
            (std::vector<TMenuResourceItem>{{"A", 1, {}}}));
  EXPECT_TRUE(ParseMenuResource("").empty());
  // Captions up to 253 bytes.
  EXPECT_EQ(ParseMenuResource(Item(std::string(253, 'x'), 9)).at(0).Caption.size(), 253u);
  EXPECT_THROW(EncodeMenuResource({{std::string(254, 'x'), 9, {}}}), EConvertError);
}

TEST(MenuResourceFormat, DamagedDataIsRefused) {
  std::string deep = Item("A", 1);
  for (int i = 0; i < 40; ++i) deep += kOpen + Item("A", 1);
  const std::string cases[] = {
      Bytes({5, '&', 'H'}),                        // caption past the end
      Bytes({5, '&', 'H', 'i', 'd', 'e', 0xC0}),   // id past the end
      Item("A", 1) + Bytes({3, 'B'}),              // a later item cut off
      kOpen + Item("A", 1),                        // a submenu before any item
      Item("A", 1) + kOpen + kOpen + Item("B", 2), // a submenu opened before its level has items
      deep,                                        // nesting without end
  };
  for (const std::string& data : cases) {
    EXPECT_THROW(ParseMenuResource(data), EConvertError) << data.size() << " bytes";
  }
  // Arbitrary bytes are read or refused, never read beyond.
  uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    std::string data(size_t(seed % 40), '\0');
    for (char& c : data) {
      seed = seed * 1664525u + 1013904223u;
      c = char(seed >> 24);
    }
    try {
      ParseMenuResource(data);
    } catch (const EConvertError&) {
    }
  }
}

TEST(MenuBuilding, ItemsFromTheResource) {
  ScopedService<TMenuResourceService, FakeResources> resources;
  resources->data["TBAR"] = ToolbarMenu();
  plat::PopupMenu menu;
  EXPECT_FALSE(LoadMenuResource(menu, "TBAR"));
  const plat::MenuItem& items = menu.Items();
  ASSERT_EQ(items.Count(), 8);
  struct Row {
    const char16_t* caption;
    int32_t id;
    int32_t subItems;
  } rows[] = {{u"&Show", 6071, 0},      {u"&Hide", 6070, 0},     {u"&Autohide", 6072, 0},
              {u"-", 0, 0},             {u"St&yle", 0, 2},       {u"&Position", 151200, 3},
              {u"-", 151201, 0},        {u"&Customize...", 645, 0}};
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(items[i].Caption, rows[i].caption) << i;
    EXPECT_EQ(items[i].Tag, rows[i].id) << i;
    EXPECT_EQ(items[i].Command, uint32_t(rows[i].id)) << i;
    EXPECT_EQ(items[i].Count(), rows[i].subItems) << i;
    EXPECT_FALSE(items[i].Checked()) << i;
    EXPECT_TRUE(items[i].Enabled && items[i].Visible) << i;
  }
  EXPECT_TRUE(items[3].IsSeparator());
  EXPECT_TRUE(items[6].IsSeparator());
  EXPECT_EQ(items[4][1].Caption, u"&Classic Toolbars");
  EXPECT_EQ(items[4][1].Tag, 6079);
  EXPECT_EQ(items[5][2].Caption, u"&Right");
  EXPECT_EQ(items[5][2].Tag, 6077);
  EXPECT_EQ(items[5][2].Parent(), &items[5]);

  // Loading again appends; a resource that does not exist adds nothing and is no error.
  EXPECT_FALSE(LoadMenuResource(menu, "NOSUCHMENU"));
  EXPECT_EQ(menu.Items().Count(), 8);
  resources->data["HSCRLBAR"] = Item("&Hide", 6080);
  LoadMenuResource(menu, "HSCRLBAR");
  EXPECT_EQ(menu.Items().Count(), 9);
  // Captions in the Western code page when they are not UTF-8.
  resources->data["LATIN"] = Item("Caf\xE9", 1);
  plat::PopupMenu latin;
  LoadMenuResource(latin, "LATIN");
  EXPECT_EQ(latin.Items()[0].Caption, u"Caf\u00E9");
}

TEST(MenuBuilding, BuiltInSubmenusWin) {
  ScopedService<TMenuResourceService, FakeResources> resources;
  resources->data["EDIT"] = Item("&Paste", 3360) + Item("Paste Options", 3370) + kOpen +
                            Item("Stray", 1) + kClose + Item("Cells", 16119);
  plat::PopupMenu menu;
  EXPECT_TRUE(LoadMenuResource(menu, "EDIT"));  // the stray sub-item was dropped
  plat::MenuItem& paste = menu.Items()[1];
  EXPECT_EQ(paste.Caption, u"Pa&ste Options");
  EXPECT_EQ(paste.Tag, 3370);
  ASSERT_EQ(paste.Count(), 6);
  const char16_t* captions[] = {u"Paste As &Environment", u"Paste As New &Rows",
                                u"Paste As New Colu&mns", u"Paste &Cells",
                                u"Paste As Cell Co&ntents", u"Paste &Special..."};
  const int32_t ids[] = {3380, 3381, 3382, 3383, 3384, 3400};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(paste[i].Caption, captions[i]);
    EXPECT_EQ(paste[i].Tag, ids[i]);
  }
  plat::MenuItem& cells = menu.Items()[2];
  EXPECT_EQ(cells.Caption, u"Cell Alignment");
  ASSERT_EQ(cells.Count(), 9);
  const int32_t cellIds[] = {16120, 16123, 16126, 16121, 16124, 16127, 16122, 16125, 16128};
  for (int32_t i = 0; i < 9; ++i) {
    EXPECT_EQ(cells[i].Caption, u"?");
    EXPECT_EQ(cells[i].Tag, cellIds[i]);
  }
  // Without sub-items of its own nothing is dropped.
  resources->data["SHORT"] = Item("x", 3370);
  plat::PopupMenu other;
  EXPECT_FALSE(LoadMenuResource(other, "SHORT"));
  EXPECT_EQ(other.Items()[0].Count(), 6);

  // A built-in submenu that names itself is built once, not without end.
  resources->data["PASTEOPTIONS"] = Item("Again", 3370) + Item("Plain", 3380);
  plat::PopupMenu looped;
  LoadMenuResource(looped, "SHORT");
  ASSERT_EQ(looped.Items()[0].Count(), 2);
  EXPECT_EQ(looped.Items()[0][0].Caption, u"Again");
  EXPECT_EQ(looped.Items()[0][0].Count(), 0);
}

TEST(MenuBuilding, DamagedResourcesLeaveTheMenuAsItWas) {
  ScopedService<TMenuResourceService, FakeResources> resources;
  resources->data["CUT"] = Item("&One", 1) + Item("&Two", 2).substr(0, 5);
  resources->data["PASTEMENU"] = Item("&One", 1) + Item("Paste Options", 3370);
  resources->data["PASTEOPTIONS"] = Bytes({7, 'x'});
  plat::PopupMenu menu;
  menu.Items().Add(u"&Existing", 9);
  for (const char* name : {"CUT", "PASTEMENU"}) {
    try {
      LoadMenuResource(menu, name);
      ADD_FAILURE() << name << " was accepted";
    } catch (const EConvertError& e) {
      EXPECT_NE(e.Message().find("is damaged"), std::string::npos) << e.Message();
    }
    ASSERT_EQ(menu.Items().Count(), 1) << name;
    EXPECT_EQ(menu.Items()[0].Caption, u"&Existing");
  }
}

TEST(MenuBuilding, FindMenuItemSearchesTheLastSubTreeFirst) {
  ScopedService<TMenuResourceService, FakeResources> resources;
  // P 5 { Q 7 }, R 7 { S 7 { T 8 } }, U 8
  resources->data["DUP"] = Item("P", 5) + kOpen + Item("Q", 7) + kClose + Item("R", 7) + kOpen +
                           Item("S", 7) + kOpen + Item("T", 8) + kClose + kClose + Item("U", 8);
  plat::PopupMenu menu;
  LoadMenuResource(menu, "DUP");
  struct Case {
    int32_t id;
    const char16_t* found;
  } cases[] = {{7, u"S"}, {8, u"U"}, {5, u"P"}, {99, nullptr}};
  for (const Case& c : cases) {
    plat::MenuItem* item = FindMenuItem(menu, c.id);
    if (!c.found) {
      EXPECT_EQ(item, nullptr) << c.id;
    } else {
      ASSERT_NE(item, nullptr) << c.id;
      EXPECT_EQ(item->Caption, c.found) << c.id;
    }
  }
}

}  // namespace
