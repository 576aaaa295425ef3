#pragma once
// Private: installed faces loaded through FreeType and found through fontconfig.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <cairo.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx/font.h"
#include "platform/gfx/kern_tables.h"

namespace plat::gfx_detail {

// Every FreeType call that loads glyphs or tables takes this lock (FreeType faces are not safe
// to use from two threads at once); the data a FaceRecord holds is fixed once it is loaded.
std::recursive_mutex& FreeTypeMutex();

// Owns an FT_Face; shared by a FaceRecord and the cairo faces made over it, so that the face
// lives as long as cairo may still use it.
struct FtFaceHolder {
  FT_Face face = nullptr;
  ~FtFaceHolder();
};

// One face of one font file. Immutable after loading, except for the lazily built parts behind
// their own once-flags.
class FaceRecord : public std::enable_shared_from_this<FaceRecord> {
 public:
  static std::shared_ptr<FaceRecord> Load(const std::string& path, int32_t index);
  ~FaceRecord();

  FT_Face face = nullptr;
  std::string path;
  int32_t index = 0;
  std::string family;
  int32_t upem = 1000;
  int32_t winAscent = 0, winDescent = 0;       // positive units
  int32_t hheaAscent = 0, hheaDescent = 0;     // descent negative
  int32_t lineGap = 0, avgWidth = 0, maxAdvance = 0;
  int32_t weightClass = 400;
  // Decoration lines: distances above the baseline (negative below) and thicknesses, in units.
  int32_t underlinePos = 0, underlineThick = 0, strikePos = 0, strikeThick = 0;
  bool boldFace = false, italicFace = false, fixedPitch = false, symbol = false;
  bool scalable = true;
  std::vector<uint16_t> advances;  // font units, by glyph index
  // The character map: glyphs by code point, sorted by code, each code once, none past U+10FFFF.
  // (A hostile map can send every 32-bit code to one glyph; past Unicode's last code nothing is
  // text, so at most 1.1 million entries of 8 bytes are kept.)
  std::vector<std::pair<char32_t, uint32_t>> cmap;
  // The glyph of a code in `cmap`; 0 when it has none.
  uint32_t CmapGlyph(char32_t c) const;
  std::array<uint32_t, 256> symbolGlyphs{};  // glyphs of a symbol face's byte codes

  uint32_t GlyphForChar(char32_t c) const;
  int32_t AdvanceUnits(uint32_t glyph) const {
    return glyph < advances.size() ? advances[glyph] : (advances.empty() ? 0 : advances[0]);
  }
  const std::vector<CodeRange>& Ranges() const;
  // The chars (below 0x10000) of each glyph, for turning glyph pairs into character pairs.
  const std::unordered_multimap<uint32_t, char16_t>& GlyphChars() const;
  const std::vector<KernUnits>& Kerning() const;
  // The same pairs between the kerned characters (IsKernedChar), sorted by first then second
  // character; none when they would pass kMaxCharKerningPairs.
  const std::vector<CharKernUnits>& CharKerning() const;
  std::string Table(uint32_t tag) const;
  // A cairo face over this face, bold and oblique synthesised as asked; owned by the record.
  cairo_font_face_t* CairoFace(bool synthBold, bool synthOblique) const;

 private:
  FaceRecord() = default;
  mutable std::once_flag rangesOnce_, glyphCharsOnce_, kernOnce_, charKernOnce_;
  mutable std::vector<CharKernUnits> charKern_;
  mutable std::vector<CodeRange> ranges_;
  mutable std::unordered_multimap<uint32_t, char16_t> glyphChars_;
  mutable std::vector<KernUnits> kern_;
  std::shared_ptr<FtFaceHolder> holder_;
  mutable std::mutex cairoMutex_;
  mutable std::array<cairo_font_face_t*, 4> cairoFaces_{};
};

// The face chosen for a requested family, weight and slant.
struct ResolvedFace {
  std::shared_ptr<FaceRecord> face;
  std::string family;         // the family name selected
  bool substituted = false;   // the asked family is missing and another stands in
  bool synthBold = false;
  bool synthItalic = false;
};
ResolvedFace ResolveFace(const std::string& family, int32_t weight, bool italic);

// Reads the kerning of a face: the 'kern' table's horizontal pairs, else the pair adjustments of
// the 'kern' feature of its GPOS table.
std::vector<KernUnits> ReadKerning(const FaceRecord& rec);

// Forgets every resolved and loaded face (after fonts were added or removed).
void ClearFaceCaches();
void InitFontconfig();

}  // namespace plat::gfx_detail
