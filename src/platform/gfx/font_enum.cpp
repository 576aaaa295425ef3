// The installed font families and font files, and fonts added for this process only.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <fstream>
#include <iterator>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/gfx/font_face.h"
#include "platform/gfx/font_file_check.h"

namespace plat {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(uint8_t(c)));
  return s;
}

bool IsAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return uint8_t(c) < 0x80; });
}

// What the face's own tables say about it: whether it is a symbol face, and its family kind
// from its PANOSE classification (as the system's pitch-and-family byte numbers it).
struct FaceKind {
  bool symbol = false;
  int32_t family = 0;
};

FaceKind ProbeFace(const std::string& path, int32_t index, bool mono) {
  FaceKind k;
  std::lock_guard lock(gfx_detail::FreeTypeMutex());
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  FT_Face face = nullptr;
  if (!lib || FT_New_Face(lib, path.c_str(), index, &face) != 0) return k;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  bool adobe = false;
  for (int i = 0; i < face->num_charmaps; ++i) {
    if (face->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) k.symbol = true;
    if (face->charmaps[i]->encoding == FT_ENCODING_ADOBE_CUSTOM) adobe = true;
  }
  if (os2 && os2->version != 0xFFFF && (os2->ulCodePageRange1 & 0x80000000u)) k.symbol = true;
  if (adobe && face->family_name && Lower(face->family_name).find("symbol") != std::string::npos)
    k.symbol = true;
  const uint8_t* panose = os2 && os2->version != 0xFFFF ? os2->panose : nullptr;
  if (k.symbol || (panose && (panose[0] == 4 || panose[0] == 5)))
    k.family = 0x50;  // decorative
  else if (mono)
    k.family = 0x30;  // modern
  else if (panose && panose[0] == 3)
    k.family = 0x40;  // script
  else if (panose && panose[0] == 2 && panose[1] >= 11 && panose[1] <= 13)
    k.family = 0x20;  // swiss (sans serif)
  else if (panose && panose[0] == 2)
    k.family = 0x10;  // roman
  FT_Done_Face(face);
  return k;
}

int32_t CharsetOf(FcCharSet* cs) {
  if (!cs || FcCharSetHasChar(cs, 'A')) return charset::Ansi;
  const std::pair<FcChar32, int32_t> scripts[] = {
      {0x3042, charset::ShiftJis}, {0xAC00, charset::Hangul}, {0x4E00, charset::Gb2312},
      {0x05D0, charset::Hebrew},   {0x0627, charset::Arabic}, {0x0E01, charset::Thai},
      {0x03B1, charset::Greek},    {0x0430, charset::Russian}};
  for (const auto& [c, set] : scripts)
    if (FcCharSetHasChar(cs, c)) return set;
  return charset::Ansi;
}

struct AppFonts {
  std::mutex mutex;
  std::vector<std::string> files;
};
AppFonts& TheAppFonts() {
  static AppFonts* a = new AppFonts;
  return *a;
}

template <typename F>
void ForEachFont(FcObjectSet* os, F&& each) {
  gfx_detail::InitFontconfig();
  FcPattern* pat = FcPatternCreate();
  FcFontSet* fs = FcFontList(nullptr, pat, os);
  if (fs) {
    for (int i = 0; i < fs->nfont; ++i) each(fs->fonts[i]);
    FcFontSetDestroy(fs);
  }
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);
}

std::string GetString(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, n, &s) == FcResultMatch ? reinterpret_cast<char*>(s) : "";
}

}  // namespace

std::vector<FontFamilyInfo> EnumFontFamilies() {
  std::map<std::string, FontFamilyInfo> byName;  // lower-case name -> family
  ForEachFont(FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, FC_SCALABLE, FC_CHARSET,
                               nullptr),
              [&](FcPattern* p) {
                std::vector<std::string> names;
                for (int k = 0;; ++k) {
                  std::string n = GetString(p, FC_FAMILY, k);
                  if (n.empty()) break;
                  if (k == 0 || IsAscii(n)) names.push_back(n);
                }
                if (names.empty()) return;
                int spacing = FC_PROPORTIONAL;
                FcPatternGetInteger(p, FC_SPACING, 0, &spacing);
                FcBool scalable = FcTrue;
                FcPatternGetBool(p, FC_SCALABLE, 0, &scalable);
                FcCharSet* cs = nullptr;
                FcPatternGetCharSet(p, FC_CHARSET, 0, &cs);
                for (const std::string& n : names) {
                  if (byName.count(Lower(n))) continue;
                  int idx = 0;
                  FcPatternGetInteger(p, FC_INDEX, 0, &idx);
                  const bool mono = spacing == FC_MONO || spacing == FC_CHARCELL;
                  const FaceKind kind = ProbeFace(GetString(p, FC_FILE), idx & 0xFFFF, mono);
                  FontFamilyInfo info;
                  info.Name = n;
                  info.CharSet = kind.symbol ? charset::Symbol : CharsetOf(cs);
                  info.PitchAndFamily = (mono ? 1 : 2) | kind.family;
                  info.Outline = scalable == FcTrue;
                  byName.emplace(Lower(n), info);
                }
              });
  std::vector<FontFamilyInfo> out;
  out.reserve(byName.size());
  for (auto& [key, info] : byName) out.push_back(std::move(info));
  return out;  // the map kept them in case-insensitive order
}

std::vector<FontFileInfo> EnumFontFiles() {
  std::vector<FontFileInfo> out;
  ForEachFont(FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr),
              [&](FcPattern* p) {
                FontFileInfo f;
                f.Family = GetString(p, FC_FAMILY);
                f.Path = GetString(p, FC_FILE);
                if (f.Family.empty() || f.Path.empty()) return;
                int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, idx = 0;
                FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
                FcPatternGetInteger(p, FC_SLANT, 0, &slant);
                FcPatternGetInteger(p, FC_INDEX, 0, &idx);
                f.Style = (weight >= FC_WEIGHT_BOLD ? 1 : 0) | (slant != FC_SLANT_ROMAN ? 2 : 0);
                f.Index = idx & 0xFFFF;
                out.push_back(std::move(f));
              });
  std::sort(out.begin(), out.end(), [](const FontFileInfo& a, const FontFileInfo& b) {
    const std::string la = Lower(a.Family), lb = Lower(b.Family);
    if (la != lb) return la < lb;
    if (a.Style != b.Style) return a.Style < b.Style;
    return a.Path < b.Path;
  });
  return out;
}

namespace {

// Whether the file may be handed to fontconfig (see font_file_check.h). A file that cannot be
// read is left to fontconfig, which refuses it.
bool FontFileIsSane(const std::string& path) {
  constexpr std::streamoff kMaxFontFileBytes = std::streamoff{512} << 20;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return true;
  const std::streamoff size = in.tellg();
  if (size < 0) return true;
  if (size > kMaxFontFileBytes) return false;
  in.seekg(0);
  std::string data(static_cast<size_t>(size), '\0');
  if (!in.read(data.data(), size)) return true;
  return FontCharacterMapsAreSane(data);
}

}  // namespace

bool AddFontFile(const std::string& path) {
  gfx_detail::InitFontconfig();
  if (!FontFileIsSane(path)) return false;
  AppFonts& a = TheAppFonts();
  {
    std::lock_guard lock(a.mutex);
    if (std::find(a.files.begin(), a.files.end(), path) != a.files.end()) return true;
    if (FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())) != FcTrue)
      return false;
    a.files.push_back(path);
  }
  FontsChanged();
  return true;
}

bool RemoveFontFile(const std::string& path) {
  gfx_detail::InitFontconfig();
  AppFonts& a = TheAppFonts();
  {
    std::lock_guard lock(a.mutex);
    auto it = std::find(a.files.begin(), a.files.end(), path);
    if (it == a.files.end()) return false;
    a.files.erase(it);
    // fontconfig can only drop all of the process's own fonts at once: add the others again.
    FcConfigAppFontClear(nullptr);
    for (const std::string& f : a.files)
      FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(f.c_str()));
  }
  FontsChanged();
  return true;
}

}  // namespace plat
