#pragma once
// The interface colours: the user's colour scheme (TColorScheme, 15 colours, unset ones follow
// the defaults and the system colours), the palettes the windows paint with (TColorPalette of
// TPaletteColor, each with its brush made on first use), the built-in palette used for printing
// and print preview, colour names for the interface, and the adjustment of colours meant for a
// white background to the active background (entry 3).
//
// Colours are 0x00BBGGRR; 0xFF000000 is the automatic colour; -1 is "not set" in a scheme.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/gfx/canvas.h"

namespace qv {

constexpr int32_t kSchemeColorCount = 15;
constexpr int32_t kSchemeBackground = 3;  // the interface background, against which others adjust
constexpr uint32_t kAutomaticColor = 0xFF000000u;

class TColorScheme {
 public:
  TColorScheme() { Colors.fill(-1); }
  std::array<int32_t, kSchemeColorCount> Colors;

  void Assign(const TColorScheme& other) { Colors = other.Colors; }
  // The colour of an index 0..14: the set colour, else its default (a plain colour or the
  // system's current colour). Colour 14 falls back on colour 3 when it is not set.
  uint32_t GetColor(int32_t index) const;
  // Reads 8 hexadecimal digits a colour, most significant first; at most 15 colours, an
  // incomplete last group ignored. Unparsable text leaves all colours unset.
  void LoadFromHex(const std::string& text);
  // Empty when all colours are unset; else the colours up to the last set one (unset ones in
  // between as FFFFFFFF), 8 upper-case digits each.
  void SaveToHex(std::string& out) const;
};

class TPaletteColor {
 public:
  uint32_t Color = 0;
  // The solid brush of Color, made on first use and kept until the colour changes.
  const plat::Brush& GetBrush();
  void SetColor(uint32_t color);
  bool HasBrush() const { return brush_.has_value(); }

 private:
  std::optional<plat::Brush> brush_;
};

class TColorPalette {
 public:
  std::array<TPaletteColor, kSchemeColorCount> Entries;
  void LoadScheme(const TColorScheme& scheme);
};

class TColorManager {
 public:
  // Makes the scheme palette and makes it active (SchemeChanged loads it).
  TColorManager();
  TColorManager(const TColorManager&) = delete;
  TColorManager& operator=(const TColorManager&) = delete;

  TColorPalette& SchemePalette() { return *schemePalette_; }
  TColorPalette& ActivePalette() { return *active_; }
  // The built-in palette, made on first use.
  TColorPalette& GetDefaultPalette();
  bool HasDefaultPalette() const { return defaultPalette_ != nullptr; }
  void UseSchemePalette() { active_ = schemePalette_.get(); }
  void UseDefaultPalette() { active_ = &GetDefaultPalette(); }
  // Loads the options' current scheme ("Colors2") into the scheme palette, makes the built-in
  // palette again when it exists, and has every document window re-arranged and repainted.
  void SchemeChanged();

  static bool SchemesEqual(const TColorScheme& a, const TColorScheme& b) {
    return a.Colors == b.Colors;
  }
  // "Auto" for the automatic colour, a colour's name, or "RGB(r,g,b)".
  static void GetColorName(uint32_t color, std::string& out);
  // The colour adjusted to entry 3 of the active palette.
  uint32_t AdjustToBackground(uint32_t color);
  // The colour adjusted to a background (the automatic colour: entry 3 of the active palette).
  uint32_t AdjustColor(uint32_t color, uint32_t background);

 private:
  std::unique_ptr<TColorPalette> schemePalette_;
  std::unique_ptr<TColorPalette> defaultPalette_;
  TColorPalette* active_ = nullptr;
};

// The user's current scheme, as the options hold it.
TColorScheme CurrentColorScheme();

// The program-wide manager (made on first use) and its release at shutdown.
TColorManager& GetColorManager();
void FreeColorManager();

}  // namespace qv
