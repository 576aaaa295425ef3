#include "platform/gfx/font_face.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

namespace plat::gfx_detail {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(uint8_t(c)));
  return s;
}

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) throw GfxError("The font engine cannot start");
    return l;
  }();
  return lib;
}

struct FaceKey {
  std::string path;
  int32_t index;
  auto operator<=>(const FaceKey&) const = default;
};

struct Caches {
  std::recursive_mutex mutex;
  std::map<FaceKey, std::shared_ptr<FaceRecord>> faces;
  std::map<std::tuple<std::string, int32_t, bool>, ResolvedFace> resolved;
  std::set<std::string> installed;  // lower-case family names
  bool installedRead = false;
};

Caches& TheCaches() {
  static Caches* c = new Caches;  // kept to the end of the process
  return *c;
}

// Metric-compatible stand-ins for the families documents name most, tried in order when the
// family itself is not installed.
const std::map<std::string, std::vector<std::string>>& MetricAliases() {
  static const std::map<std::string, std::vector<std::string>> table = {
      {"times new roman", {"Liberation Serif", "Tinos"}},
      {"arial", {"Liberation Sans", "Arimo"}},
      {"courier new", {"Liberation Mono", "Cousine"}},
      {"arial narrow", {"Liberation Sans Narrow"}},
      {"calibri", {"Carlito"}},
      {"cambria", {"Caladea"}},
      {"symbol", {"Standard Symbols PS", "Standard Symbols L"}},
  };
  return table;
}

std::set<std::string> ReadInstalledFamilies() {
  std::set<std::string> names;
  FcPattern* pat = FcPatternCreate();
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fs = FcFontList(nullptr, pat, os);
  if (fs) {
    for (int i = 0; i < fs->nfont; ++i) {
      FcChar8* s = nullptr;
      for (int k = 0; FcPatternGetString(fs->fonts[i], FC_FAMILY, k, &s) == FcResultMatch; ++k)
        names.insert(Lower(reinterpret_cast<const char*>(s)));
    }
    FcFontSetDestroy(fs);
  }
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);
  return names;
}

bool IsInstalled(Caches& c, const std::string& family) {
  if (!c.installedRead) {
    c.installed = ReadInstalledFamilies();
    c.installedRead = true;
  }
  return c.installed.count(Lower(family)) != 0;
}

std::vector<std::string> Families(FcPattern* p) {
  std::vector<std::string> out;
  FcChar8* s = nullptr;
  for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &s) == FcResultMatch; ++k)
    out.emplace_back(reinterpret_cast<const char*>(s));
  return out;
}

struct Match {
  std::string file;
  int32_t index = 0;
  std::vector<std::string> families;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  // The families that fontconfig's rules bound strongly to the asked one (its metric
  // aliases); the weakly bound rest is the generic fallback list.
  std::vector<std::string> strong;
};

std::vector<std::string> StrongFamilies(FcPattern* p) {
  std::vector<std::string> out;
  FcValue v;
  FcValueBinding b;
  for (int k = 0; FcPatternGetWithBinding(p, FC_FAMILY, k, &v, &b) == FcResultMatch; ++k)
    if (b != FcValueBindingWeak && v.type == FcTypeString)
      out.emplace_back(reinterpret_cast<const char*>(v.u.s));
  return out;
}

bool MatchFamily(const std::string& family, int32_t weight, bool italic, Match& m) {
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, int(FcWeightFromOpenTypeDouble(double(weight))));
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  m.strong = StrongFamilies(pat);
  FcResult res = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!found) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    m.file = reinterpret_cast<const char*>(file);
    int idx = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &idx) == FcResultMatch) m.index = idx & 0xFFFF;
    FcPatternGetInteger(found, FC_WEIGHT, 0, &m.weight);
    FcPatternGetInteger(found, FC_SLANT, 0, &m.slant);
    m.families = Families(found);
  }
  FcPatternDestroy(found);
  return ok && !m.families.empty();
}

const std::string* FindFamily(const std::vector<std::string>& list, const std::string& name) {
  for (const std::string& f : list)
    if (Lower(f) == Lower(name)) return &f;
  return nullptr;
}

// fontconfig put the matched family in place of the asked one by a rule of its own (a metric
// alias) when the family is bound strongly to the asked one, not merely a generic fallback.
bool MatchedThroughAlias(const Match& m) {
  for (const std::string& f : m.strong)
    if (FindFamily(m.families, f)) return true;
  return false;
}

ResolvedFace Finish(const Match& m, std::string family, bool substituted, int32_t weight,
                    bool italic) {
  ResolvedFace r;
  r.face = FaceRecord::Load(m.file, m.index);
  r.family = std::move(family);
  r.substituted = substituted;
  r.synthBold = weight >= 600 && m.weight < FC_WEIGHT_DEMIBOLD && !r.face->boldFace;
  r.synthItalic = italic && m.slant == FC_SLANT_ROMAN && !r.face->italicFace;
  return r;
}

// The face of a match, or nothing when its file cannot be read (a damaged or vanished file
// makes the search go on with the next candidate).
std::optional<ResolvedFace> TryFinish(const Match& m, const std::string& family, bool substituted,
                                      int32_t weight, bool italic) {
  try {
    return Finish(m, family, substituted, weight, italic);
  } catch (const GfxError&) {
    return std::nullopt;
  }
}

ResolvedFace ResolveUncached(Caches& c, const std::string& asked, int32_t weight, bool italic) {
  std::vector<std::string> candidates{asked};
  if (auto it = MetricAliases().find(Lower(asked)); it != MetricAliases().end())
    candidates.insert(candidates.end(), it->second.begin(), it->second.end());
  Match m;
  for (const std::string& cand : candidates) {
    if (!IsInstalled(c, cand) || !MatchFamily(cand, weight, italic, m)) continue;
    if (const std::string* f = FindFamily(m.families, cand))
      if (auto r = TryFinish(m, *f, false, weight, italic)) return *r;
  }
  if (MatchFamily(asked, weight, italic, m))
    if (auto r = TryFinish(m, m.families.front(), !MatchedThroughAlias(m), weight, italic)) return *r;
  for (const char* fallback : {"sans-serif", "DejaVu Sans", "Liberation Sans"})
    if (MatchFamily(fallback, weight, italic, m))
      if (auto r = TryFinish(m, m.families.front(), true, weight, italic)) return *r;
  throw GfxError("No font is installed that can stand in for \"" + asked + "\"");
}

}  // namespace

FtFaceHolder::~FtFaceHolder() {
  std::lock_guard lock(FreeTypeMutex());
  if (face) FT_Done_Face(face);
}

std::recursive_mutex& FreeTypeMutex() {
  static std::recursive_mutex* m = new std::recursive_mutex;
  return *m;
}

void InitFontconfig() {
  static const bool ok = FcInit() == FcTrue;
  if (!ok) throw GfxError("The font configuration cannot be read");
}

ResolvedFace ResolveFace(const std::string& family, int32_t weight, bool italic) {
  InitFontconfig();
  Caches& c = TheCaches();
  std::lock_guard lock(c.mutex);
  const std::string asked = family.empty() ? std::string("Arial") : family;
  auto key = std::make_tuple(Lower(asked), weight >= 600 ? 700 : 400, italic);
  if (auto it = c.resolved.find(key); it != c.resolved.end()) return it->second;
  ResolvedFace r = ResolveUncached(c, asked, weight, italic);
  c.resolved.emplace(key, r);
  return r;
}

void ClearFaceCaches() {
  FcInitBringUptoDate();
  Caches& c = TheCaches();
  std::lock_guard lock(c.mutex);
  c.resolved.clear();
  c.faces.clear();
  c.installed.clear();
  c.installedRead = false;
}

// ---------------------------------------------------------------------------------------------

namespace {

// The last code point of Unicode: codes past it are no text.
constexpr FT_ULong kLastCodePoint = 0x10FFFF;

void ReadSizes(FaceRecord& r) {
  FT_Face f = r.face;
  r.upem = f->units_per_EM > 0 ? f->units_per_EM : 1000;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  r.hheaAscent = hhea ? hhea->Ascender : f->ascender;
  r.hheaDescent = hhea ? hhea->Descender : f->descender;
  r.lineGap = hhea ? hhea->Line_Gap : std::max(0, f->height - f->ascender + f->descender);
  r.maxAdvance = hhea ? hhea->advance_Width_Max : f->max_advance_width;
  if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
    r.winAscent = os2->usWinAscent;
    r.winDescent = os2->usWinDescent;
  } else {
    r.winAscent = std::max<int32_t>(f->ascender, f->bbox.yMax);
    r.winDescent = std::max<int32_t>(-f->descender, -f->bbox.yMin);
  }
  if (r.winAscent + r.winDescent <= 0) {
    r.winAscent = r.upem * 8 / 10;
    r.winDescent = r.upem - r.winAscent;
  }
  r.avgWidth = os2 && os2->version != 0xFFFF ? os2->xAvgCharWidth : 0;
  r.weightClass = os2 && os2->version != 0xFFFF ? os2->usWeightClass
                  : (f->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
  r.boldFace = (f->style_flags & FT_STYLE_FLAG_BOLD) != 0 || r.weightClass >= 600;
  r.italicFace = (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  r.fixedPitch = FT_IS_FIXED_WIDTH(f);
  r.underlinePos = f->underline_position ? f->underline_position : -r.upem / 10;
  r.underlineThick = f->underline_thickness > 0 ? f->underline_thickness : r.upem / 20;
  const bool strike = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0;
  r.strikePos = strike ? os2->yStrikeoutPosition : r.upem * 3 / 10;
  r.strikeThick = strike ? os2->yStrikeoutSize : r.underlineThick;
  r.scalable = FT_IS_SCALABLE(f);
  r.symbol = os2 && os2->version != 0xFFFF && (os2->ulCodePageRange1 & 0x80000000u) != 0;
}

// A Unicode map that reaches past the basic plane (Windows full Unicode, or the Unicode
// platform's full repertoire). A face usually has a basic-plane map before it, which knows
// nothing of the characters beyond U+FFFF that the full one adds.
bool IsFullUnicodeMap(FT_CharMap cm) {
  return (cm->platform_id == TT_PLATFORM_MICROSOFT && cm->encoding_id == TT_MS_ID_UCS_4) ||
         (cm->platform_id == TT_PLATFORM_APPLE_UNICODE &&
          (cm->encoding_id == TT_APPLE_ID_UNICODE_32 || cm->encoding_id == 6));
}

void ReadCharMaps(FaceRecord& r) {
  FT_Face f = r.face;
  FT_CharMap unicode = nullptr, msSymbol = nullptr, adobe = nullptr;
  for (int i = 0; i < f->num_charmaps; ++i) {
    FT_CharMap cm = f->charmaps[i];
    if (cm->encoding == FT_ENCODING_UNICODE &&
        (!unicode || (IsFullUnicodeMap(cm) && !IsFullUnicodeMap(unicode))))
      unicode = cm;
    if (cm->encoding == FT_ENCODING_MS_SYMBOL) msSymbol = cm;
    if (cm->encoding == FT_ENCODING_ADOBE_CUSTOM) adobe = cm;
  }
  if (msSymbol) r.symbol = true;
  // A Type 1 or CFF symbol face with its codes in the Unicode map (as the URW symbol faces have).
  if (!r.symbol && adobe && Lower(r.family).find("symbol") != std::string::npos) r.symbol = true;
  if (FT_CharMap primary = unicode ? unicode : msSymbol) {
    FT_Set_Charmap(f, primary);
    FT_UInt gi = 0;
    for (FT_ULong c = FT_Get_First_Char(f, &gi); gi != 0 && c <= kLastCodePoint;
         c = FT_Get_Next_Char(f, c, &gi))
      r.cmap.emplace_back(char32_t(c), gi);
  }
  if (msSymbol) {
    FT_Set_Charmap(f, msSymbol);
    for (int b = 0; b < 256; ++b) {
      FT_UInt g = FT_Get_Char_Index(f, 0xF000 + b);
      r.symbolGlyphs[size_t(b)] = g ? g : FT_Get_Char_Index(f, b);
      if (r.symbolGlyphs[size_t(b)] && !unicode) r.cmap.emplace_back(char32_t(b), r.symbolGlyphs[size_t(b)]);
    }
  }
  // Sorted by code; of a code given twice the first entry counts.
  std::stable_sort(r.cmap.begin(), r.cmap.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  r.cmap.erase(std::unique(r.cmap.begin(), r.cmap.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }),
               r.cmap.end());
  if (!msSymbol && r.symbol) {
    for (int b = 0; b < 256; ++b) r.symbolGlyphs[size_t(b)] = r.CmapGlyph(char32_t(b));
  }
  if (unicode) FT_Set_Charmap(f, unicode);
}

}  // namespace

std::shared_ptr<FaceRecord> FaceRecord::Load(const std::string& path, int32_t index) {
  Caches& c = TheCaches();
  std::lock_guard cacheLock(c.mutex);
  if (auto it = c.faces.find({path, index}); it != c.faces.end()) return it->second;
  std::lock_guard lock(FreeTypeMutex());
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), path.c_str(), index, &face) != 0 || !face)
    throw GfxError("Cannot read the font file \"" + path + "\"");
  std::shared_ptr<FaceRecord> r(new FaceRecord);
  r->holder_ = std::make_shared<FtFaceHolder>();
  r->holder_->face = face;
  r->face = face;
  r->path = path;
  r->index = index;
  r->family = face->family_name ? face->family_name : "";
  ReadSizes(*r);
  ReadCharMaps(*r);
  r->advances.assign(size_t(std::max<FT_Long>(face->num_glyphs, 1)), 0);
  std::vector<FT_Fixed> adv(r->advances.size(), 0);
  if (FT_Get_Advances(face, 0, FT_UInt(face->num_glyphs), FT_LOAD_NO_SCALE, adv.data()) == 0)
    for (size_t i = 0; i < adv.size(); ++i) r->advances[i] = uint16_t(std::clamp<FT_Fixed>(adv[i], 0, 0xFFFF));
  c.faces.emplace(FaceKey{path, index}, r);
  return r;
}

FaceRecord::~FaceRecord() {
  // A cairo face that cairo still holds keeps its own reference to the FT_Face (see CairoFace).
  for (cairo_font_face_t* cf : cairoFaces_)
    if (cf) cairo_font_face_destroy(cf);
}

uint32_t FaceRecord::CmapGlyph(char32_t c) const {
  auto it = std::lower_bound(cmap.begin(), cmap.end(), c,
                             [](const std::pair<char32_t, uint32_t>& e, char32_t v) { return e.first < v; });
  return it != cmap.end() && it->first == c ? it->second : 0;
}

uint32_t FaceRecord::GlyphForChar(char32_t c) const {
  if (uint32_t g = CmapGlyph(c)) return g;
  if (symbol && c >= 0xF000 && c <= 0xF0FF) return symbolGlyphs[c - 0xF000];
  if (c >= 0xF020 && c <= 0xF0FF) return CmapGlyph(c - 0xF000);
  return 0;
}

const std::vector<CodeRange>& FaceRecord::Ranges() const {
  std::call_once(rangesOnce_, [this] {
    std::vector<char32_t> codes;
    codes.reserve(cmap.size() + 256);
    for (const auto& [c, g] : cmap) codes.push_back(c);
    if (symbol)
      for (int b = 0; b < 256; ++b)
        if (symbolGlyphs[size_t(b)]) codes.push_back(char32_t(0xF000 + b));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (char32_t c : codes) {
      if (!ranges_.empty() && ranges_.back().Last + 1 == c)
        ranges_.back().Last = c;
      else
        ranges_.push_back({c, c});
    }
  });
  return ranges_;
}

const std::unordered_multimap<uint32_t, char16_t>& FaceRecord::GlyphChars() const {
  std::call_once(glyphCharsOnce_, [this] {
    for (const auto& [c, g] : cmap)
      if (c < 0x10000 && !(c >= 0xD800 && c < 0xE000)) glyphChars_.emplace(g, char16_t(c));
  });
  return glyphChars_;
}

const std::vector<KernUnits>& FaceRecord::Kerning() const {
  std::call_once(kernOnce_, [this] { kern_ = ReadKerning(*this); });
  return kern_;
}

const std::vector<CharKernUnits>& FaceRecord::CharKerning() const {
  std::call_once(charKernOnce_, [this] { charKern_ = CharKerningPairs(Kerning(), GlyphChars()); });
  return charKern_;
}

std::string FaceRecord::Table(uint32_t tag) const {
  std::lock_guard lock(FreeTypeMutex());
  FT_ULong len = 0;
  if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &len) != 0 || len == 0) return {};
  std::string data(len, '\0');
  if (FT_Load_Sfnt_Table(face, tag, 0, reinterpret_cast<FT_Byte*>(data.data()), &len) != 0)
    return {};
  return data;
}

cairo_font_face_t* FaceRecord::CairoFace(bool synthBold, bool synthOblique) const {
  std::lock_guard lock(cairoMutex_);
  cairo_font_face_t*& slot = cairoFaces_[size_t((synthBold ? 1 : 0) | (synthOblique ? 2 : 0))];
  if (slot) return slot;
  slot = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
  static cairo_user_data_key_t key;
  auto* keep = new std::shared_ptr<FtFaceHolder>(holder_);
  cairo_font_face_set_user_data(slot, &key, keep,
                                [](void* p) { delete static_cast<std::shared_ptr<FtFaceHolder>*>(p); });
  unsigned flags = 0;
  if (synthBold) flags |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (synthOblique) flags |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (flags) cairo_ft_font_face_set_synthesize(slot, flags);
  return slot;
}

}  // namespace plat::gfx_detail
