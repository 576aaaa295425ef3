#include "resources/command_hint_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/menu_resources.h"
#include "layout/pictures/bitmap_utils.h"
#include "resources/menu_resource_store.h"
#include "support/test_env.h"

using namespace qv;

namespace {

uint32_t ReadLE32(std::span<const uint8_t> bytes, size_t at) {
  return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
         uint32_t(bytes[at + 3]) << 24;
}

// Bytes the Western code page leaves undefined, and the control characters a name or a hint
// never holds.
bool IsCp1252TextByte(uint8_t b) {
  if (b < 0x20 || b == 0x7F) return false;
  return b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D;
}

// The command manager reads the resources once, on first use; each test starts with a fresh
// manager and the store registered, as the program's start-up leaves them.
class CommandHintResources : public ::testing::Test {
 protected:
  CommandHintResources() { FreeCommandManager(); }
  ~CommandHintResources() override { FreeCommandManager(); }
  ScopedService<TResourceService, TCommandHintStore> store;
  ScopedService<TMenuResourceService, TMenuResourceStore> menus;
};

struct TPackedCase {
  const char* Name;
  std::span<const uint8_t> Bytes;
  std::span<const TCommandText> Table;
};

}  // namespace

TEST_F(CommandHintResources, BothResourcesFollowThePackedLayoutAndHoldTheirTablesWhole) {
  const TPackedCase cases[] = {
      {"COMMANDHINTS", CommandNamesResource(), CommandNameTable()},
      {"COMMANDEXTHINTS", CommandExtHintsResource(), CommandExtHintTable()},
  };
  for (const TPackedCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::span<const uint8_t> bytes = c.Bytes;
    ASSERT_GE(bytes.size(), 4u);
    const uint32_t n = ReadLE32(bytes, 0);
    ASSERT_EQ(n, c.Table.size());
    ASSERT_GE(bytes.size(), 4 + 8 * size_t(n));
    // The texts follow the two arrays back to back and fill the resource to its end.
    size_t expectedOffset = 4 + 8 * size_t(n);
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t id = ReadLE32(bytes, 4 + 4 * size_t(i));
      if (i > 0) {
        EXPECT_LT(ReadLE32(bytes, 4 + 4 * size_t(i - 1)), id) << "ids not ascending at " << i;
      }
      const uint32_t entry = ReadLE32(bytes, 4 + 4 * size_t(n) + 4 * size_t(i));
      const size_t offset = entry >> 10, length = entry & 0x3FF;
      EXPECT_EQ(offset, expectedOffset) << id;
      EXPECT_GT(length, 0u) << id;
      ASSERT_LE(offset + length, bytes.size()) << id;
      for (size_t at = offset; at < offset + length; ++at)
        EXPECT_TRUE(IsCp1252TextByte(bytes[at])) << id << " byte " << int(bytes[at]);
      expectedOffset = offset + length;
    }
    EXPECT_EQ(expectedOffset, bytes.size());
    // Every entry of the table reads back by its id.
    for (const TCommandText& t : c.Table)
      EXPECT_EQ(FindPackedString(bytes, uint32_t(t.Id)), t.Text) << t.Id;
  }
}

TEST_F(CommandHintResources, TheStoreAnswersTheTwoResourcesAndNothingElse) {
  struct TCase {
    const char* Name;
    const char* Type;
    std::span<const uint8_t> Expected;
  };
  const TCase cases[] = {
      {"COMMANDHINTS", "COMMANDHINTS", CommandNamesResource()},
      {"COMMANDEXTHINTS", "COMMANDHINTS", CommandExtHintsResource()},
      {"COMMANDEXTHINTS", "COMMANDEXTHINTS", {}},
      {"COMMANDHINTS", "RCDATA", {}},
      {"commandhints", "COMMANDHINTS", {}},
      {"HOTKEYTABLE", "HOTKEYTABLE", {}},
      {"MAIN", "_MENU", {}},
      {"", "", {}},
  };
  for (const TCase& c : cases) {
    const std::span<const uint8_t> found = ResourceService().Find(c.Name, c.Type);
    EXPECT_EQ(found.data(), c.Expected.data()) << c.Name << " " << c.Type;
    EXPECT_EQ(found.size(), c.Expected.size()) << c.Name << " " << c.Type;
  }
}

TEST_F(CommandHintResources, EveryCommandOfTheMenusHasAName) {
  // Markers and separators carry no command of their own.
  const std::set<int32_t> markers = {cmd::FavouritesListStart, cmd::FavouritesListEnd,
                                     cmd::RecentListStart,     cmd::RecentListEnd,
                                     cmd::WindowListStart,     cmd::WindowListEnd};
  std::vector<std::string> unnamed;
  size_t commands = 0;
  std::function<void(const std::vector<TMenuResourceItem>&, const std::string&)> walk =
      [&](const std::vector<TMenuResourceItem>& items, const std::string& path) {
        for (const TMenuResourceItem& item : items) {
          const bool command = item.Id != 0 && item.Caption != "-" && !markers.count(item.Id);
          commands += command ? 1 : 0;
          if (command && GetCommandManager().GetCommandName(item.Id, false, false, true).empty())
            unnamed.push_back(path + " > " + item.Caption + " (" + std::to_string(item.Id) + ")");
          walk(item.SubItems, path + " > " + item.Caption);
        }
      };
  for (const std::string& name : MenuResourceNames())
    walk(ParseMenuResource(MenuResourceService().MenuResource(name)), name);
  EXPECT_GT(commands, 500u);
  EXPECT_TRUE(unnamed.empty()) << ::testing::PrintToString(unnamed);
}

TEST_F(CommandHintResources, TheManagerReadsBackEveryNameAndHintOfTheTables) {
  TCommandManager& manager = GetCommandManager();
  for (const TCommandText& t : CommandNameTable())
    EXPECT_EQ(manager.GetCommandName(t.Id, false, false, true), t.Text) << t.Id;
  for (const TCommandText& t : CommandExtHintTable()) {
    // A trailing "#" and digits name the help topic; the manager cuts them and offers F1.
    std::string text(t.Text);
    int32_t expectedHelpId = 0;
    const size_t hash = text.rfind('#');
    if (hash != std::string::npos) {
      expectedHelpId = std::stoi(text.substr(hash + 1));
      text.resize(hash);
    }
    int32_t helpId = -1;
    const std::string hint = manager.GetExtHint(t.Id, helpId);
    EXPECT_NE(hint.find("^p^p" + text), std::string::npos) << t.Id << ": " << hint;
    EXPECT_EQ(helpId, expectedHelpId) << t.Id;
    EXPECT_EQ(hint.find("Press ^bF1^d for more details.") != std::string::npos, expectedHelpId != 0)
        << t.Id << ": " << hint;
    EXPECT_EQ(hint.rfind("^b" + manager.GetCommandName(t.Id, false, false, true) + "^d", 0), 0u)
        << t.Id << ": " << hint;
  }
  // Names other parts of the program show as they are (key lists, tool buttons, bar lists),
  // and the twins that share an entry.
  const std::pair<int32_t, const char*> quoted[] = {
      {120, "Open document"},
      {3080, "Insert section break (continuous)"},
      {6195, "Decrease Zoom Factor (-10%)"},
      {9081, "Centered align"},
      {12120, "Bold"},
      {15641, "Delete section break, and merge next section into previous one"},
      {90105, "Activate document #1"},
      {150239, "Format Palette"},
  };
  for (const auto& [id, name] : quoted) EXPECT_EQ(manager.GetCommandName(id), name) << id;
  EXPECT_EQ(manager.GetCommandName(4537), manager.GetCommandName(4531));
  EXPECT_EQ(manager.GetCommandName(5301), manager.GetCommandName(5300));
  EXPECT_EQ(manager.GetCommandName(99999), "Unknown command");
}
