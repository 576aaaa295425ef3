#include "foundation/graphics/colour_manager.h"

#include <gtest/gtest.h>

#include "foundation/settings/options_holder.h"
#include "platform/controls/control_look.h"

using namespace qv;

namespace {

TEST(ColourManager, ColourNames) {
  struct Case { uint32_t colour; const char* name; } cases[] = {
      {0x0000FF, "Red"}, {0xFF0000, "Blue"}, {0x000000, "Black"}, {0xFFFFFF, "White"},
      {0x00008B, "Dark Red"}, {0x00A5FF, "Orange"}, {0x993366, "Rebecca Purple"},
      {0xFFFF00, "Aqua"}, {0xFF00FF, "Magenta"}, {0x808080, "Gray"},
      {0xD2FAFA, "Light Golden Rod Yellow"}, {0x010203, "RGB(3,2,1)"}, {0xFF000000, "Auto"},
  };
  for (const Case& c : cases) {
    std::string name;
    TColorManager::GetColorName(c.colour, name);
    EXPECT_EQ(name, c.name) << std::hex << c.colour;
  }
}

TEST(ColourManager, SchemeHexRoundTrip) {
  TColorScheme s;
  s.LoadFromHex("00112233AABBCCDD");
  EXPECT_EQ(s.Colors[0], 0x00112233);
  EXPECT_EQ(uint32_t(s.Colors[1]), 0xAABBCCDDu);
  for (int i = 2; i < kSchemeColorCount; ++i) EXPECT_EQ(s.Colors[size_t(i)], -1);
  std::string hex;
  s.SaveToHex(hex);
  EXPECT_EQ(hex, "00112233AABBCCDD");

  TColorScheme only2;
  only2.Colors[2] = 0x123456;
  only2.SaveToHex(hex);
  EXPECT_EQ(hex, "FFFFFFFFFFFFFFFF00123456");

  struct Case { const char* text; int32_t set; } loads[] = {
      {"", 0}, {"1234567", 0}, {"000000010000000", 1}, {"00000001XYZ00002", 0},
  };
  for (const Case& c : loads) {
    TColorScheme t;
    t.Colors[5] = 7;  // loading starts from a clean scheme
    t.LoadFromHex(c.text);
    int32_t set = 0;
    for (int32_t v : t.Colors) set += v != -1;
    EXPECT_EQ(set, c.set) << c.text;
  }
  TColorScheme empty;
  empty.SaveToHex(hex);
  EXPECT_EQ(hex, "");
}

TEST(ColourManager, UnsetColoursFollowDefaultsAndSystemColours) {
  TColorScheme s;
  s.Colors[3] = 0x202020;
  EXPECT_EQ(s.GetColor(14), 0x202020u);
  EXPECT_EQ(s.GetColor(0), plat::SysColor(plat::syscolor::WindowText));
  EXPECT_EQ(s.GetColor(1), 0xF7DFC8u);
  EXPECT_EQ(s.GetColor(13), 0x0000FFu);
  s.Colors[14] = 0x111111;
  EXPECT_EQ(s.GetColor(14), 0x111111u);
  TColorScheme unset;
  EXPECT_EQ(unset.GetColor(14), plat::SysColor(plat::syscolor::Window));
}

TEST(ColourManager, PalettesAndBackground) {
  TColorManager m;
  GetOptions().Colors.Scheme = "000000FF0000FF00";
  m.SchemeChanged();
  EXPECT_EQ(m.ActivePalette().Entries[0].Color, 0xFFu);
  EXPECT_EQ(m.ActivePalette().Entries[1].GetBrush().Colour, 0xFF00u);
  m.UseDefaultPalette();
  EXPECT_EQ(m.ActivePalette().Entries[3].Color, 0xFFFFFFu);
  EXPECT_EQ(m.ActivePalette().Entries[1].Color, 0xFFF1CDA8u);  // kept with its marker byte
  EXPECT_EQ(m.ActivePalette().Entries[1].GetBrush().Colour, 0xF1CDA8u);
  EXPECT_EQ(m.ActivePalette().Entries[7].Color, 0xF0F0F0u);  // unset: the scheme default
  // On the white built-in background every colour stays as it is.
  EXPECT_EQ(m.AdjustToBackground(0x0000FF), 0x0000FFu);
  TPaletteColor& c = m.ActivePalette().Entries[4];
  c.GetBrush();
  c.SetColor(0x123456);
  EXPECT_FALSE(c.HasBrush());
  EXPECT_EQ(c.GetBrush().Colour, 0x123456u);
  m.UseSchemePalette();
  EXPECT_EQ(&m.ActivePalette(), &m.SchemePalette());
  GetOptions().Colors.Scheme.clear();
}

}  // namespace
