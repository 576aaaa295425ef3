#pragma once
// Logical fonts resolved to installed faces, with their metrics.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {

// Character sets as the system's font records number them.
namespace charset {
constexpr int32_t Ansi = 0, Default = 1, Symbol = 2, Mac = 77, ShiftJis = 128, Hangul = 129,
                  Johab = 130, Gb2312 = 134, ChineseBig5 = 136, Greek = 161, Turkish = 162,
                  Vietnamese = 163, Hebrew = 177, Arabic = 178, Baltic = 186, Russian = 204,
                  Thai = 222, EastEurope = 238, Oem = 255;
}

// The Windows code page of a character set (1252 for ANSI and default, 0 for symbol: bytes are
// the symbol font's own codes).
int32_t CharsetToCodePage(int32_t charset);

// Decodes a byte string of a Windows code page to UTF-16. The drawing layer knows 1252 and
// Latin-1 (28591) itself; the system services register the full conversion here at start-up.
// Until then other code pages are read as 1252.
using CodePageDecoder = std::u16string (*)(int32_t codePage, std::string_view bytes);
void SetCodePageDecoder(CodePageDecoder decoder);

// What a caller asks for.
struct LogFont {
  std::string FaceName;        // family name as documents store it ("Times New Roman")
  int32_t Height = 0;          // pixels: < 0 character (em) height, > 0 cell height, 0 default
  int32_t Width = 0;           // average character width in pixels; 0 = natural
  int32_t Escapement = 0;      // angle of the baseline in tenths of a degree, anticlockwise
  int32_t Weight = 400;        // 100..900; 400 normal, 700 bold; 0 = normal
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  int32_t CharSet = charset::Default;
  friend bool operator==(const LogFont&, const LogFont&) = default;
};

// Whole-pixel metrics of a font at its size.
struct TextMetrics {
  int32_t Height = 0;           // Ascent + Descent
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;  // Height - em size
  int32_t ExternalLeading = 0;  // extra space the face asks for between lines
  int32_t AveCharWidth = 0;
  int32_t MaxCharWidth = 0;
  int32_t Weight = 400;
  bool Italic = false;
  bool Underlined = false;
  bool StruckOut = false;
  int32_t CharSet = 0;
  bool FixedPitch = false;
  bool Outline = true;          // a scalable face
};

// Per-character extents: A is the space before the ink, B the ink's width, C the space after;
// the advance is A + B + C.
struct AbcWidth {
  int32_t A = 0;
  int32_t B = 0;
  int32_t C = 0;
  friend bool operator==(const AbcWidth&, const AbcWidth&) = default;
};

struct KerningPair {
  char16_t First = 0;
  char16_t Second = 0;
  int32_t Amount = 0;  // pixels to add to the first character's advance
};

// The ink box of one glyph relative to its origin on the baseline (y up).
struct GlyphMetrics {
  int32_t BlackBoxX = 0;
  int32_t BlackBoxY = 0;
  Point GlyphOrigin;  // top-left of the ink box: x right of the pen, y above the baseline
  int32_t CellIncX = 0;
  int32_t CellIncY = 0;
};

// A glyph outline in pixels (y up): closed contours of on-curve points and quadratic or cubic
// control points.
struct GlyphOutline {
  enum class Kind : uint8_t { Move, Line, Conic, Cubic };
  struct Segment {
    Kind kind;
    double x[3];
    double y[3];
  };
  std::vector<Segment> Segments;
};

// A range of covered code points, both ends inclusive.
struct CodeRange {
  char32_t First = 0;
  char32_t Last = 0;
};

// A font resolved for drawing and measuring. A cheap handle: copies share one cached face;
// fonts with equal LogFonts share one too. All widths are whole pixels, taken from the unhinted
// outlines and rounded once per character, so that they are the same on every machine with the
// same font files and the width of a string is exactly the sum of its characters' advances.
class Font {
 public:
  Font();  // the default font (a sans face at 16 pixels)
  explicit Font(const LogFont& lf);

  const LogFont& Log() const;
  // The family really selected ("Liberation Serif" for "Times New Roman").
  const std::string& FaceName() const;
  // Whether the family asked for is missing and another stands in (an alias that names a
  // metric-compatible face, such as Liberation Serif for Times New Roman, is not a substitution).
  bool Substituted() const;
  // The file of the selected face.
  const std::string& FilePath() const;
  int32_t CodePage() const;  // of the LogFont's character set
  bool IsSymbolFace() const;  // a face whose byte codes are its own symbol codes

  const TextMetrics& Metrics() const;
  // The advance widths of the 256 bytes in the font's code page: the advance of the glyph that
  // is drawn for the byte (the face's missing-glyph box for a character it lacks), 0 for a
  // byte that is no character on its own (a lead byte).
  const std::array<int32_t, 256>& ByteWidths() const;
  int32_t ByteWidth(uint8_t b) const { return ByteWidths()[b]; }
  // Advance of one UTF-16 code unit, or of a code point; 0 for a lone surrogate.
  int32_t CharAdvance(char32_t c) const;
  AbcWidth CharAbc(char32_t c) const;
  int32_t TextWidth(std::string_view bytes) const;
  int32_t TextWidth(std::u16string_view text) const;
  // Byte string decoded to UTF-16 through the font's code page (for symbol faces through its
  // symbol codes).
  std::u16string DecodeBytes(std::string_view bytes) const;

  // The face's kerning pairs (from its 'kern' table, or its GPOS pair adjustments), sorted by
  // first then second character, amounts in pixels at this size; pairs that round to 0 left out.
  const std::vector<KerningPair>& KerningPairs() const;
  // The same pairs between characters of the font's code page, as bytes (First and Second hold
  // byte values 0..255), sorted the same way.
  const std::vector<KerningPair>& ByteKerningPairs() const;
  // Which code points the face covers.
  const std::vector<CodeRange>& CharacterRanges() const;
  bool Covers(char32_t c) const;
  // A raw table of the face's font file ('cmap', 'name', ...); empty when it has none.
  std::string TableData(std::string_view tag) const;

  GlyphMetrics GetGlyphMetrics(char32_t c) const;
  GlyphOutline GetGlyphOutline(char32_t c) const;

  friend bool operator==(const Font& a, const Font& b) { return a.impl_ == b.impl_; }

  struct Impl;
  const Impl& impl() const { return *impl_; }

 private:
  std::shared_ptr<const Impl> impl_;
};

// One installed family, as the font manager lists them.
struct FontFamilyInfo {
  std::string Name;
  int32_t CharSet = 0;          // 0 ANSI, 2 symbol, or the set of the face's main script
  int32_t PitchAndFamily = 0;   // bit 0 fixed pitch; family in bits 4..7 (1 roman, 2 swiss, 3 modern, 4 script, 5 decorative)
  bool Outline = true;
};

// The installed families, sorted by name without regard to case, each once.
std::vector<FontFamilyInfo> EnumFontFamilies();

// One installed font file with its family and style (bit 0 bold, bit 1 italic).
struct FontFileInfo {
  std::string Family;
  int32_t Style = 0;
  std::string Path;
  int32_t Index = 0;  // face index within a collection
};
std::vector<FontFileInfo> EnumFontFiles();

// Adds font files for this process (a portable copy's own fonts) or removes them again; both
// drop every cached font so that the next lookups see the change. False when the file is not a
// font.
bool AddFontFile(const std::string& path);
bool RemoveFontFile(const std::string& path);
// Drops every cached font (after the system's fonts changed).
void FontsChanged();

}  // namespace plat
