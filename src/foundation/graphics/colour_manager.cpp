#include "foundation/graphics/colour_manager.h"

#include <algorithm>
#include <cstdio>

#include "foundation/base/geometry.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/controls/control_look.h"

namespace qv {

namespace {

// The value of an unset scheme colour: a plain colour (high byte not 0, the low 24 bits) or a
// system colour index (high byte 0).
constexpr uint32_t kPlain = 0xFF000000u;
constexpr uint32_t kDefaultSchemeColors[kSchemeColorCount] = {
    8,                  kPlain | 0xF7DFC8, 8, 5, kPlain | 0xB0B0B0, kPlain | 0xF8F8F8,
    kPlain | 0xA0A0A0, kPlain | 0xF0F0F0, kPlain | 0xC0C0C0, 5, 8, 8, kPlain | 0xA0A0A0,
    kPlain | 0x0000FF, 0};

// The colours of the built-in palette; -1 takes the scheme default.
constexpr int32_t kDefaultPaletteColors[kSchemeColorCount] = {
    0x000000, int32_t(0xFFF1CDA8u), 0x000000, 0xFFFFFF, 0xB0B0B0, 0x808080, 0x000000, -1, -1, -1,
    -1, -1, -1, -1, 0x000000};

struct NamedColor {
  uint32_t value;
  const char* name;
};
// Sorted by value for binary search.
constexpr NamedColor kNamedColors[] = {
    {0x000000, "Black"},
    {0x000080, "Maroon"},
    {0x00008B, "Dark Red"},
    {0x0000FF, "Red"},
    {0x0045FF, "Orange Red"},
    {0x006400, "Dark Green"},
    {0x008000, "Green"},
    {0x008080, "Olive"},
    {0x008CFF, "Dark Orange"},
    {0x00A5FF, "Orange"},
    {0x00D7FF, "Gold"},
    {0x00FC7C, "Lawn Green"},
    {0x00FF00, "Lime"},
    {0x00FF7F, "Chartreuse"},
    {0x00FFFF, "Yellow"},
    {0x0B86B8, "Dark Golden Rod"},
    {0x13458B, "Saddle Brown"},
    {0x1E69D2, "Chocolate"},
    {0x20A5DA, "Golden Rod"},
    {0x2222B2, "Fire Brick"},
    {0x228B22, "Forest Green"},
    {0x238E6B, "Olive Drab"},
    {0x2A2AA5, "Brown"},
    {0x2D52A0, "Sienna"},
    {0x2F6B55, "Dark Olive Green"},
    {0x2FFFAD, "Green Yellow"},
    {0x32CD32, "Lime Green"},
    {0x32CD9A, "Yellow Green"},
    {0x3C14DC, "Crimson"},
    {0x3F85CD, "Peru"},
    {0x4763FF, "Tomato"},
    {0x4F4F2F, "Dark Slate Gray"},
    {0x507FFF, "Coral"},
    {0x578B2E, "Sea Green"},
    {0x5C5CCD, "Indian Red"},
    {0x60A4F4, "Sandy Brown"},
    {0x696969, "Dim Gray"},
    {0x6BB7BD, "Dark Khaki"},
    {0x701919, "Midnight Blue"},
    {0x71B33C, "Medium Sea Green"},
    {0x7280FA, "Salmon"},
    {0x7A96E9, "Dark Salmon"},
    {0x7AA0FF, "Light Salmon"},
    {0x7FFF00, "Spring Green"},
    {0x800000, "Navy"},
    {0x800080, "Purple"},
    {0x808000, "Teal"},
    {0x808080, "Gray"},
    {0x8080F0, "Light Coral"},
    {0x82004B, "Indigo"},
    {0x8515C7, "Medium Violet Red"},
    {0x87B8DE, "Burly Wood"},
    {0x8B0000, "Dark Blue"},
    {0x8B008B, "Dark Magenta"},
    {0x8B3D48, "Dark Slate Blue"},
    {0x8B8B00, "Dark Cyan"},
    {0x8CB4D2, "Tan"},
    {0x8CE6F0, "Khaki"},
    {0x8F8FBC, "Rosy Brown"},
    {0x8FBC8F, "Dark Sea Green"},
    {0x908070, "Slate Gray"},
    {0x90EE90, "Light Green"},
    {0x9314FF, "Deep Pink"},
    {0x9370DB, "Pale Violet Red"},
    {0x98FB98, "Pale Green"},
    {0x993366, "Rebecca Purple"},
    {0x998877, "Light Slate Gray"},
    {0x9AFA00, "Medium Spring Green"},
    {0xA09E5F, "Cadet Blue"},
    {0xA9A9A9, "Dark Gray"},
    {0xAAB220, "Light Sea Green"},
    {0xAACD66, "Medium Aqua Marine"},
    {0xAAE8EE, "Pale Golden Rod"},
    {0xADDEFF, "Navajo White"},
    {0xB3DEF5, "Wheat"},
    {0xB469FF, "Hot Pink"},
    {0xB48246, "Steel Blue"},
    {0xB5E4FF, "Moccasin"},
    {0xB9DAFF, "Peach Puff"},
    {0xC0C0C0, "Silver"},
    {0xC1B6FF, "Light Pink"},
    {0xC4E4FF, "Bisque"},
    {0xCBC0FF, "Pink"},
    {0xCC3299, "Dark Orchid"},
    {0xCCD148, "Medium Turquoise"},
    {0xCD0000, "Medium Blue"},
    {0xCD5A6A, "Slate Blue"},
    {0xCDEBFF, "Blanched Almond"},
    {0xCDFAFF, "Lemon Chiffon"},
    {0xD0E040, "Turquoise"},
    {0xD1CE00, "Dark Turquoise"},
    {0xD2FAFA, "Light Golden Rod Yellow"},
    {0xD30094, "Dark Violet"},
    {0xD355BA, "Medium Orchid"},
    {0xD3D3D3, "Light Gray"},
    {0xD4FF7F, "Aquamarine"},
    {0xD5EFFF, "Papaya Whip"},
    {0xD670DA, "Orchid"},
    {0xD7EBFA, "Antique White"},
    {0xD8BFD8, "Thistle"},
    {0xDB7093, "Medium Purple"},
    {0xDCDCDC, "Gainsboro"},
    {0xDCF5F5, "Beige"},
    {0xDCF8FF, "Cornsilk"},
    {0xDDA0DD, "Plum"},
    {0xDEC4B0, "Light Steel Blue"},
    {0xE0FFFF, "Light Yellow"},
    {0xE16941, "Royal Blue"},
    {0xE1E4FF, "Misty Rose"},
    {0xE22B8A, "Blue Violet"},
    {0xE6D8AD, "Light Blue"},
    {0xE6E0B0, "Powder Blue"},
    {0xE6F0FA, "Linen"},
    {0xE6F5FD, "Old Lace"},
    {0xEBCE87, "Sky Blue"},
    {0xED9564, "Cornflower Blue"},
    {0xEE687B, "Medium Slate Blue"},
    {0xEE82EE, "Violet"},
    {0xEEEEAF, "Pale Turquoise"},
    {0xEEF5FF, "Sea Shell"},
    {0xF0FAFF, "Floral White"},
    {0xF0FFF0, "Honey Dew"},
    {0xF0FFFF, "Ivory"},
    {0xF5F0FF, "Lavender Blush"},
    {0xF5F5F5, "White Smoke"},
    {0xFACE87, "Light Sky Blue"},
    {0xFAE6E6, "Lavender"},
    {0xFAFAFF, "Snow"},
    {0xFAFFF5, "Mint Cream"},
    {0xFF0000, "Blue"},
    {0xFF00FF, "Magenta"},
    {0xFF901E, "Dodger Blue"},
    {0xFFBF00, "Deep Sky Blue"},
    {0xFFF8F0, "Alice Blue"},
    {0xFFF8F8, "Ghost White"},
    {0xFFFF00, "Aqua"},
    {0xFFFFE0, "Light Cyan"},
    {0xFFFFF0, "Azure"},
    {0xFFFFFF, "White"}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::unique_ptr<TColorManager>& ManagerSlot() {
  static std::unique_ptr<TColorManager> manager;
  return manager;
}

}  // namespace

// ---- TColorScheme ----

uint32_t TColorScheme::GetColor(int32_t index) const {
  if (index < 0 || index >= kSchemeColorCount) return 0;
  if (index == 14 && Colors[14] == -1) index = kSchemeBackground;
  if (Colors[size_t(index)] != -1) return uint32_t(Colors[size_t(index)]);
  uint32_t d = kDefaultSchemeColors[index];
  if ((d & 0xFF000000u) != 0) return d & 0x00FFFFFFu;
  return plat::SysColor(int32_t(d));
}

void TColorScheme::LoadFromHex(const std::string& text) {
  Colors.fill(-1);
  int32_t n = std::min<int32_t>(int32_t(text.size() / 8) - 1, kSchemeColorCount - 1);
  std::array<int32_t, kSchemeColorCount> read;
  read.fill(-1);
  for (int32_t i = n; i >= 0; --i) {
    uint32_t v = 0;
    for (int32_t k = 0; k < 8; ++k) {
      int d = HexDigit(text[size_t(i * 8 + k)]);
      if (d < 0) return;  // damaged text: nothing is taken from it
      v = (v << 4) | uint32_t(d);
    }
    read[size_t(i)] = int32_t(v);
  }
  Colors = read;
}

void TColorScheme::SaveToHex(std::string& out) const {
  out.clear();
  int32_t last = -1;
  for (int32_t i = 0; i < kSchemeColorCount; ++i)
    if (Colors[size_t(i)] != -1) last = i;
  char buf[16];
  for (int32_t i = 0; i <= last; ++i) {
    std::snprintf(buf, sizeof buf, "%08X", uint32_t(Colors[size_t(i)]));
    out += buf;
  }
}

// ---- TPaletteColor and TColorPalette ----

const plat::Brush& TPaletteColor::GetBrush() {
  if (!brush_) brush_ = plat::Brush{plat::BrushStyle::Solid, Color & 0x00FFFFFFu};
  return *brush_;
}

void TPaletteColor::SetColor(uint32_t color) {
  brush_.reset();
  Color = color;
}

void TColorPalette::LoadScheme(const TColorScheme& scheme) {
  for (int32_t i = 0; i < kSchemeColorCount; ++i) Entries[size_t(i)].SetColor(scheme.GetColor(i));
}

// ---- TColorManager ----

TColorManager::TColorManager() : schemePalette_(std::make_unique<TColorPalette>()) {
  active_ = schemePalette_.get();
}

TColorPalette& TColorManager::GetDefaultPalette() {
  if (!defaultPalette_) {
    TColorScheme scheme;
    for (int32_t i = 0; i < kSchemeColorCount; ++i) scheme.Colors[size_t(i)] = kDefaultPaletteColors[i];
    defaultPalette_ = std::make_unique<TColorPalette>();
    defaultPalette_->LoadScheme(scheme);
  }
  return *defaultPalette_;
}

void TColorManager::SchemeChanged() {
  schemePalette_->LoadScheme(CurrentColorScheme());
  if (defaultPalette_) {
    bool wasActive = active_ == defaultPalette_.get();
    defaultPalette_.reset();
    GetDefaultPalette();
    if (wasActive) active_ = defaultPalette_.get();
  }
  ToolkitServices().RearrangeAllViews();
}

void TColorManager::GetColorName(uint32_t color, std::string& out) {
  if (color == kAutomaticColor) {
    out = "Auto";
    return;
  }
  auto it = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), color,
                             [](const NamedColor& n, uint32_t v) { return n.value < v; });
  if (it != std::end(kNamedColors) && it->value == color) {
    out = it->name;
    return;
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "RGB(%u,%u,%u)", color & 0xFF, (color >> 8) & 0xFF,
                (color >> 16) & 0xFF);
  out = buf;
}

uint32_t TColorManager::AdjustToBackground(uint32_t color) {
  return AdjustColorForBackground(color, active_->Entries[kSchemeBackground].Color);
}

uint32_t TColorManager::AdjustColor(uint32_t color, uint32_t background) {
  if (background == kAutomaticColor) background = active_->Entries[kSchemeBackground].Color;
  return AdjustColorForBackground(color, background);
}

TColorScheme CurrentColorScheme() {
  TColorScheme scheme;
  scheme.LoadFromHex(GetOptions().Colors.Scheme);
  return scheme;
}

TColorManager& GetColorManager() {
  auto& m = ManagerSlot();
  if (!m) m = std::make_unique<TColorManager>();
  return *m;
}

void FreeColorManager() { ManagerSlot().reset(); }

}  // namespace qv
