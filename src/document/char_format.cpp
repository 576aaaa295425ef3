#include "document/char_format.h"

#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

using Member = int32_t TCharFormat::*;

constexpr std::array<Member, TCharFormat::Count> kMembers = {
    &TCharFormat::Font,       &TCharFormat::Size,           &TCharFormat::Bold,
    &TCharFormat::Italic,     &TCharFormat::Strike,         &TCharFormat::DoubleStrike,
    &TCharFormat::Underline,  &TCharFormat::UnderlineColor, &TCharFormat::CharStyle,
    &TCharFormat::SmallCaps,  &TCharFormat::AllCaps,        &TCharFormat::Shadow,
    &TCharFormat::Outline,    &TCharFormat::Emboss,         &TCharFormat::Engrave,
    &TCharFormat::Color,      &TCharFormat::Highlight,      &TCharFormat::Script,
    &TCharFormat::Scale,      &TCharFormat::Spacing,        &TCharFormat::VertOffset,
    &TCharFormat::Kerning,    &TCharFormat::Language};

constexpr int32_t kEnglishUs = 0x0409;

constexpr TCharFormat MakeDefault() {
  TCharFormat f;
  f.Font = 0;
  f.Size = 24;
  f.Bold = f.Italic = f.Strike = f.DoubleStrike = f.Underline = 0;
  f.UnderlineColor = AutoColor;
  f.CharStyle = -1;
  f.SmallCaps = f.AllCaps = f.Shadow = f.Outline = f.Emboss = f.Engrave = 0;
  f.Color = AutoColor;
  f.Highlight = AutoColor;
  f.Script = 0;
  f.Scale = 100;
  f.Spacing = f.VertOffset = f.Kerning = 0;
  f.Language = kEnglishUs;
  return f;
}

constexpr TCharFormat MakePlain() {
  TCharFormat f = MakeDefault();
  f.Font = CharUnset;
  f.Size = CharUnset;
  f.Language = 0;
  return f;
}

constexpr TCharFormat MakeUiBold() {
  TCharFormat f = MakeDefault();
  f.Bold = 1;
  return f;
}

class TFontManagerFaceSource : public TFontFaceSource {
 public:
  bool SameFace(int32_t font1, int32_t font2) const override {
    const TFontManager* manager = FontManager();
    if (manager == nullptr || !manager->IsValidFont(font1) || !manager->IsValidFont(font2))
      return font1 == font2;
    return manager->RegFonts[static_cast<size_t>(font1)].FontId ==
           manager->RegFonts[static_cast<size_t>(font2)].FontId;
  }
};

}  // namespace

int32_t& TCharFormat::operator[](int index) { return this->*kMembers.at(index); }
int32_t TCharFormat::operator[](int index) const { return this->*kMembers.at(index); }

// Constant-initialised, so code that runs during static start-up already sees them.
constinit TCharFormat DefaultCharFormat = MakeDefault();
constinit const TCharFormat UnsetCharFormat{};
constinit const TCharFormat PlainCharFormat = MakePlain();
constinit TCharFormat UiCharFormat = MakeDefault();
constinit TCharFormat UiBoldCharFormat = MakeUiBold();

void RegisterFontFaceSource(std::unique_ptr<TFontFaceSource> source) {
  RegisterService(std::move(source));
}

const TFontFaceSource& FontFaceSource() { return Service<TFontFaceSource>(); }

std::unique_ptr<TFontFaceSource> MakeFontManagerFaceSource() {
  return std::make_unique<TFontManagerFaceSource>();
}

void ClearCharFormat(TCharFormat& f) { f = TCharFormat{}; }

bool IsCharFormatEmpty(const TCharFormat& f) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    if (f[i] != CharUnset) return false;
  }
  return true;
}

bool HasUnsetCharProperty(const TCharFormat& f) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    if (f[i] == CharUnset) return true;
  }
  return false;
}

bool CharFormatsEqual(const TCharFormat& a, const TCharFormat& b) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

void FillUnsetCharFormat(TCharFormat& f, const TCharFormat& defaults) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    if (f[i] == CharUnset) f[i] = defaults[i];
  }
}

void ApplyCharFormat(TCharFormat& target, const TCharFormat& source) {
  for (int i = 0; i < TCharFormat::Count; ++i) {
    if (source[i] != CharUnset) target[i] = source[i];
  }
}

void IntersectCharFormat(TCharFormat& f, const TCharFormat& other) {
  for (int i = TCharFormat::Count - 1; i >= 0; --i) {
    if (f[i] == other[i]) continue;
    bool eitherUnset = f[i] == CharUnset || other[i] == CharUnset;
    if (i == cpFont && !eitherUnset && FontFaceSource().SameFace(f.Font, other.Font)) continue;
    f[i] = CharUnset;
  }
}

void SubtractCharFormat(TCharFormat& f, const TCharFormat& base) {
  if (f.Font != CharUnset && base.Font != CharUnset &&
      (f.Font == base.Font || FontFaceSource().SameFace(f.Font, base.Font))) {
    f.Font = CharUnset;
  }
  for (int i = 1; i < TCharFormat::Count; ++i) {
    if (f[i] == base[i]) f[i] = CharUnset;
  }
}

}  // namespace qv
