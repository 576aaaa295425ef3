// The X server's keyboard groups mapped onto the layout handles: from the XKB symbols name and
// from the groups' own names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend/x11_keyboard_layouts.h"

namespace {

constexpr uint32_t kUK = 0x08090809u, kSwissGerman = 0x08070807u;

TEST(KeyboardLayoutNames, SymbolsGiveTheLayoutOfEachGroup) {
  using plat::kLayoutFrench, plat::kLayoutGerman, plat::kLayoutRussian, plat::kLayoutUS;
  struct Case {
    const char* symbols;
    std::vector<uint32_t> groups;
  };
  const Case cases[] = {
      {"pc+us+inet(evdev)", {kLayoutUS}},
      {"pc+us+de:2+ru:3+inet(evdev)+group(alt_shift_toggle)", {kLayoutUS, kLayoutGerman, kLayoutRussian}},
      {"pc+de(nodeadkeys)+fr(oss):2", {kLayoutGerman, kLayoutFrench}},
      {"pc+latam+gb:2", {0, kUK}},  // an unknown layout keeps its group's place
      {"pc+us+ru:3", {kLayoutUS, 0, kLayoutRussian}},
      {"pc+us+de:9", {kLayoutUS}},  // no fifth group
      {"", {}},
      {"+++:", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::GroupsFromXkbSymbols(c.symbols), c.groups) << c.symbols;
}

TEST(KeyboardLayoutNames, GroupNamesMatchTheLongestKnownStart) {
  struct Case {
    const char* name;
    uint32_t layout;
  };
  const Case cases[] = {
      {"English (US)", plat::kLayoutUS},
      {"English (UK)", kUK},
      {"German", plat::kLayoutGerman},
      {"German (no dead keys)", plat::kLayoutGerman},
      {"German (Switzerland)", kSwissGerman},
      {"Russian (phonetic)", plat::kLayoutRussian},
      {"Klingon", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::LayoutFromGroupName(c.name), c.layout) << c.name;
}

}  // namespace
