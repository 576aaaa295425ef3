#pragma once
// TCharFormat: the one record of character formatting (the format at a place of a content
// stream, the caret's current format, the character part of styles and list levels, the common
// format of a selection, find patterns). It is 23 signed 32-bit properties in a fixed order; any
// of them may be unset (CharUnset). The content stream stores the same properties as tags of
// kinds 0 to 22 in this order.
#include <array>
#include <cstdint>
#include <memory>

namespace qv {

inline constexpr int32_t CharUnset = INT32_MIN;  // 0x80000000: the property is not set
inline constexpr int32_t AutoColor = static_cast<int32_t>(0xFF000000u);
inline constexpr int32_t AnyHighlight = static_cast<int32_t>(0xFE000000u);  // find patterns only
inline constexpr int32_t LangNoProof = 1024;

struct TCharFormat {
  static constexpr int Count = 23;

  int32_t Font = CharUnset;            // font number in the font manager's registered fonts
  int32_t Size = CharUnset;            // half-points
  int32_t Bold = CharUnset;            // 0 or 1
  int32_t Italic = CharUnset;          // 0 or 1
  int32_t Strike = CharUnset;          // 1 single strike-through
  int32_t DoubleStrike = CharUnset;    // 1 double strike-through
  int32_t Underline = CharUnset;       // underline code (0 none, 1 single, 3 double, 11 wave, ...)
  int32_t UnderlineColor = CharUnset;  // 0x00BBGGRR, AutoColor
  int32_t CharStyle = CharUnset;       // character style index, -1 none
  int32_t SmallCaps = CharUnset;
  int32_t AllCaps = CharUnset;
  int32_t Shadow = CharUnset;
  int32_t Outline = CharUnset;
  int32_t Emboss = CharUnset;
  int32_t Engrave = CharUnset;
  int32_t Color = CharUnset;      // AutoColor is automatic
  int32_t Highlight = CharUnset;  // AutoColor is none
  int32_t Script = CharUnset;     // 0 none, 1 superscript, 2 subscript
  int32_t Scale = CharUnset;      // width scale in percent
  int32_t Spacing = CharUnset;    // extra twips between characters
  int32_t VertOffset = CharUnset; // whole points, positive raises
  int32_t Kerning = CharUnset;    // kern from this size on (half-points); 0 no kerning
  int32_t Language = CharUnset;   // language id; LangNoProof marks text not proofed

  // Property by index 0..22, in the order above.
  int32_t& operator[](int index);
  int32_t operator[](int index) const;
};

// Index of each property, for code that works on them by number.
enum TCharProp : int {
  cpFont, cpSize, cpBold, cpItalic, cpStrike, cpDoubleStrike, cpUnderline, cpUnderlineColor,
  cpCharStyle, cpSmallCaps, cpAllCaps, cpShadow, cpOutline, cpEmboss, cpEngrave, cpColor,
  cpHighlight, cpScript, cpScale, cpSpacing, cpVertOffset, cpKerning, cpLanguage
};

// Tells whether two font numbers name the same face (in whatever character set). The start-up
// registers the font manager's (MakeFontManagerFaceSource); until then each font number is its
// own face.
class TFontFaceSource {
 public:
  virtual ~TFontFaceSource() = default;
  virtual bool SameFace(int32_t font1, int32_t font2) const { return font1 == font2; }
};
// Registers the face source (null restores the default); the registered one, never null.
void RegisterFontFaceSource(std::unique_ptr<TFontFaceSource> source);
const TFontFaceSource& FontFaceSource();
// The face source of the program-wide font manager: two font numbers are one face when their
// registered entries share a face id. Numbers the manager does not know (or no manager) compare
// as numbers.
std::unique_ptr<TFontFaceSource> MakeFontManagerFaceSource();

// Program-wide formats. DefaultCharFormat is in force at the start of every content stream; its
// Font is 0 until the font manager sets it, and its Language is set at start-up to the user's.
extern TCharFormat DefaultCharFormat;
extern const TCharFormat UnsetCharFormat;
extern const TCharFormat PlainCharFormat;  // the base that style descriptions in files subtract
extern TCharFormat UiCharFormat;           // the layout's own labels (font set by the font manager)
extern TCharFormat UiBoldCharFormat;

void ClearCharFormat(TCharFormat& f);
bool IsCharFormatEmpty(const TCharFormat& f);
bool HasUnsetCharProperty(const TCharFormat& f);
// All 23 values exactly equal (the font number included: another character set of the same face
// is a change here).
bool CharFormatsEqual(const TCharFormat& a, const TCharFormat& b);
// Unset properties of f take the defaults' values (which may be unset themselves).
void FillUnsetCharFormat(TCharFormat& f, const TCharFormat& defaults);
// Properties set in source are copied into target.
void ApplyCharFormat(TCharFormat& target, const TCharFormat& source);
// f keeps what it shares with other; a font of the same face keeps f's number.
void IntersectCharFormat(TCharFormat& f, const TCharFormat& other);
// f loses what equals base; a font of the same face counts as equal.
void SubtractCharFormat(TCharFormat& f, const TCharFormat& base);

}  // namespace qv
