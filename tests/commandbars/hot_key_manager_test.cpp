// The hot-key manager's bindings: the default table, the user's changes to a command's keys, the
// keyed lists and symbol keys, reserved keys and key texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commandbars/hot_key_manager.h"
#include "commandbars/hot_key_table.h"

using namespace qv;

namespace {

constexpr uint32_t CtrlKey(uint8_t key) { return MakeHotKey(hkCtrl, key); }

TEST(HotKeyTable, HoldsDistinctKeysForItsCommandsInAscendingOrder) {
  const auto table = DefaultHotKeyTable();
  ASSERT_EQ(table.size(), 168u);
  std::set<uint32_t> keys;
  std::set<int32_t> commands;
  for (size_t i = 0; i < table.size(); ++i) {
    keys.insert(table[i].Key);
    commands.insert(table[i].Command);
    if (i > 0) EXPECT_LE(table[i - 1].Command, table[i].Command) << i;
  }
  EXPECT_EQ(keys.size(), 168u);
  EXPECT_EQ(commands.size(), 151u);
  EXPECT_EQ(table[0].Key, 0x4B04u);  // Ctrl+K, the first chord prefix
}

TEST(HotKeyManager, FindsCommandsByTheirDefaultKeysAndChords) {
  THotKeyManager m;
  const struct {
    uint32_t key;
    int32_t command;
  } cases[] = {
      {MakeHotKey(0, 0x0D), 3000},          // Enter
      {MakeHotKey(0, 0x08), 3220},          // Backspace
      {CtrlKey('Z'), 3840},                 {MakeHotKey(hkAlt, 0x08), 3840},
      {CtrlKey('Y'), 3860},                 {CtrlKey('B'), 12120},
      {MakeHotKey(hkCtrl, 'K', 'Y'), 3280},  // Ctrl+K, Y
      {CtrlKey('K'), 0},                    {MakeHotKey(hkAlt, '9'), 90113},
      {MakeHotKey(0, 'A'), -1},             {0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(m.FindCommand(c.key), c.command) << std::hex << c.key;
  EXPECT_EQ(m.GetDefaultKeys(3860), (std::vector<uint32_t>{CtrlKey('Y'), MakeHotKey(hkCtrl | hkShift, 'Z'),
                                                          MakeHotKey(hkShift | hkAlt, 0x08)}));
  EXPECT_TRUE(m.IsChordPrefix(MakeHotKey(hkShift | hkAlt, 'K')));
  EXPECT_FALSE(m.IsChordPrefix(0));
  EXPECT_FALSE(m.IsChordPrefix(CtrlKey('B')));
}

TEST(HotKeyManager, TheUsersKeysOverrideTheDefaults) {
  THotKeyManager m;
  // Ctrl+Ins still copies once Ctrl+C is taken away; Ctrl+C is then unbound.
  m.RemoveCommandKey(3340, CtrlKey('C'));
  EXPECT_EQ(m.FindCommand(CtrlKey('C')), -1);
  EXPECT_EQ(m.FindCommand(CtrlKey(0x2D)), 3340);
  // An empty record hides every default key.
  m.SetCommandKeys(3000, {});
  EXPECT_TRUE(m.GetCommandKeys(3000).empty());
  EXPECT_EQ(m.FindCommand(MakeHotKey(0, 0x0D)), -1);
  // A key added to a command; the newest record comes first, the block ends with four zeros.
  m.AddCommandKey(100, MakeHotKey(0, 0x7A));
  EXPECT_EQ(m.FindCommand(MakeHotKey(0, 0x7A)), 100);
  EXPECT_EQ(m.GetCommandKeys(100), (std::vector<uint32_t>{CtrlKey('N'), MakeHotKey(0, 0x7A)}));
  ASSERT_GE(m.Overrides.size(), 12u);
  EXPECT_EQ(m.Overrides[0], 100);
  EXPECT_EQ(std::vector<uint8_t>(m.Overrides.end() - 4, m.Overrides.end()), std::vector<uint8_t>(4, 0));
  // Back to the defaults.
  m.DeleteOverride(3000);
  EXPECT_EQ(m.FindCommand(MakeHotKey(0, 0x0D)), 3000);
  // A block whose count runs past its end is not read past it.
  THotKeyManager broken;
  broken.Overrides = {0xB8, 0x0B, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(broken.FindCommand(MakeHotKey(0, 0x0D)), 3000);
  EXPECT_EQ(broken.GetCommandKeys(3000).size(), 1u);
}

TEST(HotKeyManager, KeyedListsAndSymbolKeysAreSearchedFromTheLastEntry) {
  THotKeyManager m;
  const uint32_t key = MakeHotKey(hkCtrl | hkAlt, 'Q');
  m.KeyedLists[0] = {"Arial\t" + std::to_string(key), "Courier New\t" + std::to_string(key)};
  m.KeyedLists[1] = {"24\t" + std::to_string(MakeHotKey(hkCtrl | hkAlt, 'W'))};
  int32_t list = -1, value = 0;
  std::string text;
  EXPECT_EQ(m.FindListEntryByKey(key, list, text, value), 1);
  EXPECT_EQ(list, 0);
  EXPECT_EQ(text, "Courier New");
  EXPECT_EQ(m.FindListEntryByKey(MakeHotKey(hkCtrl | hkAlt, 'W'), list, text, value), 0);
  EXPECT_EQ(list, 1);
  EXPECT_EQ(value, 24);
  EXPECT_EQ(m.FindListEntryByKey(MakeHotKey(hkCtrl | hkAlt, 'E'), list, text, value), -1);
  // Symbols: an entry that does not parse goes on the way.
  m.SymbolKeys = {"Symbol\t937\t" + std::to_string(key), "Bad\t20\t1", "Wingdings\tx\t5"};
  int32_t code = 0;
  EXPECT_EQ(m.FindSymbolByKey(key, code, text), 0);
  EXPECT_EQ(code, 937);
  EXPECT_EQ(text, "Symbol");
  EXPECT_EQ(m.SymbolKeys.size(), 1u);
}

TEST(HotKeyManager, ReservedKeysAndKeyTexts) {
  const struct {
    uint32_t key;
    bool reserved;
  } cases[] = {
      {CtrlKey(0x28), true},                      // Ctrl+Down
      {MakeHotKey(hkShift, 0x1B), true},          // Shift+Esc
      {MakeHotKey(hkCtrl, 'K', 0x73), true},      // Ctrl+K, F4 reads as Ctrl+F4
      {MakeHotKey(hkAlt, 0x28), false},           // Alt+Down
      {MakeHotKey(hkCtrl, 'K', 0x28), false},     // Ctrl+K, Down
      {MakeHotKey(hkCtrl | hkShift, 0x79), false},  // Ctrl+Shift+F10
      {MakeHotKey(hkShift, 0x79), true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsReservedHotKey(c.key), c.reserved) << std::hex << c.key;
  EXPECT_EQ(HotKeyToText(CtrlKey('B')), "Ctrl+B");
  EXPECT_EQ(HotKeyToText(MakeHotKey(hkCtrl, 'K', 'Y')), "Ctrl+K, Y");
}

}  // namespace
