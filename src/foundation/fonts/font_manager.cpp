#include "foundation/fonts/font_manager.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/fonts/char_coverage.h"
#include "foundation/text/code_pages.h"
#include "foundation/base/exceptions.h"
#include "foundation/fonts/font_services.h"
#include "foundation/fonts/font_substitution.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/string_utils.h"
#include "foundation/base/units.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr int32_t kNotSet = static_cast<int32_t>(0x80000000u);

bool IsSet(int32_t v) { return v != kNotSet && v != 0; }

std::unique_ptr<TFontManager>& ManagerSlot() {
  static std::unique_ptr<TFontManager> manager;
  return manager;
}

// The platform raises its own error when a face's file cannot be read or no font at all can
// stand in for a face. A face that fails is replaced by the fallback face; when that fails too,
// the error is passed on as the program's exception so that the top level reports it.
plat::Font MakeFont(plat::LogFont& lf, const std::string& fallback) {
  plat::Font font;
  try {
    font = plat::Font(lf);
  } catch (const plat::GfxError& e) {
    if (SameFaceName(lf.FaceName, fallback)) throw Exception(e.what());
    lf.FaceName = fallback;
    try {
      font = plat::Font(lf);
    } catch (const plat::GfxError& again) {
      throw Exception(again.what());
    }
  }
  // The low bits of the font object's address, as the creation of a system font handle would.
  FontServices().AddEntropy(static_cast<uint8_t>(reinterpret_cast<uintptr_t>(&font.impl())));
  return font;
}

}  // namespace

TFontServices& FontServices() { return Service<TFontServices>(); }

void RegisterFontServices(std::unique_ptr<TFontServices> services) {
  RegisterService(std::move(services));
}

// ---------------------------------------------------------------------------------------------

std::string TRegFont::GetFaceName(const TFontManager& manager) const {
  if (Installed && FamilyIndex >= 0 && FamilyIndex < static_cast<int32_t>(manager.Families.size()))
    return manager.Families[FamilyIndex].Name;
  return FaceName;
}

int32_t TSharedFont::TextWidth(std::string_view bytes) const {
  int32_t width = 0;
  for (char c : bytes) width += Widths[static_cast<uint8_t>(c)];
  return width;
}

// ---------------------------------------------------------------------------------------------
// Creation, families and registered fonts

TFontManager::TFontManager(const TFontManagerSetup& setup) {
  defaultCharset_ = setup.DefaultCharset >= 0 ? setup.DefaultCharset : qv::DefaultCharset;
  // The default set stands for the user's language; a symbol set there would make the symbol
  // rules of FontIndex send a face back and forth.
  if (defaultCharset_ == SYMBOL_CHARSET) defaultCharset_ = ANSI_CHARSET;
  if (!setup.PortableFolder.empty()) LoadPortableFonts(setup.PortableFolder);
  EnumFamilies();
  if (FindFamily("Arial Unicode MS") >= 0) FallbackFaceName = "Arial Unicode MS";
  LinkRegisteredFonts();
  RegisterEnumeratedFonts();
  ArialFont = FontIndex("Arial", defaultCharset_, false);
  TimesFont = FontIndex("Times New Roman", defaultCharset_, false);
  SymbolFont = FontIndex("Symbol", DEFAULT_CHARSET, false);
  WingdingsFont = FontIndex("Wingdings", DEFAULT_CHARSET, false);
  SetFavoriteFontsText("Arial\r\nTimes New Roman\r\nVerdana");
}

TFontManager::~TFontManager() {
  ClearCaches();
  for (const std::string& file : PortableFontFiles) plat::RemoveFontFile(file);
}

void TFontManager::LoadPortableFonts(const std::string& folder) {
  namespace fs = std::filesystem;
  for (const char* ext : {".otf", ".ttc", ".ttf"}) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      std::string e = it->path().extension().string();
      std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
      if (e != ext) continue;
      const std::string path = it->path().string();
      if (plat::AddFontFile(path)) PortableFontFiles.push_back(path);
    }
  }
}

void TFontManager::EnumFamilies() {
  Families.clear();
  std::string previous;
  for (const plat::FontFamilyInfo& info : plat::EnumFontFamilies()) {
    const bool skip = !info.Outline || info.Name == previous || info.CharSet == OEM_CHARSET;
    if (!skip && !info.Name.empty() && info.Name[0] != '@')
      Families.push_back({info.Name, info.CharSet, info.PitchAndFamily, false});
    if (info.Outline) previous = info.Name;
  }
  // The common document faces that the platform draws with metric-compatible faces of its own
  // count as installed under their own names, so documents keep their faces and line breaks.
  for (const TMetricAlias& alias : MetricAliases()) {
    const bool listed = std::any_of(Families.begin(), Families.end(), [&](const TFontFamily& f) {
      return SameFaceName(f.Name, alias.Face);
    });
    if (listed) continue;
    plat::LogFont lf;
    lf.FaceName = alias.Face;
    plat::Font font;
    try {
      font = plat::Font(lf);
    } catch (const plat::GfxError&) {
      continue;
    }
    if (!IsMetricStandIn(alias.Face, font.FaceName())) continue;
    int32_t charset = font.IsSymbolFace() ? SYMBOL_CHARSET : ANSI_CHARSET;
    int32_t pitch = 0;
    for (const TFontFamily& f : Families)
      if (SameFaceName(f.Name, font.FaceName())) {
        charset = f.Charset;
        pitch = f.PitchAndFamily;
      }
    Families.push_back({alias.Face, charset, pitch, false});
  }
  std::stable_sort(Families.begin(), Families.end(), [](const TFontFamily& a, const TFontFamily& b) {
    return CompareFaceNames(a.Name, b.Name) < 0;
  });
}

void TFontManager::LinkRegisteredFonts() {
  std::vector<bool> linked(RegFonts.size(), false);
  for (size_t fi = 0; fi < Families.size(); ++fi) {
    for (size_t i = 0; i < RegFonts.size(); ++i) {
      if (!SameFaceName(RegFonts[i].FaceName, Families[fi].Name)) continue;
      RegFonts[i].Installed = true;
      RegFonts[i].FamilyIndex = static_cast<int32_t>(fi);
      Families[fi].Registered = true;
      linked[i] = true;
    }
  }
  // Entries registered through the retry rule ("Arial Narrow" on Arial) keep their family: every
  // entry left whose face less its last word names a family is linked to it.
  for (size_t i = RegFonts.size(); i-- > 0;) {
    if (linked[i]) continue;
    const int32_t fi = FindFamily(RemoveLastWord(RegFonts[i].FaceName));
    if (fi < 0) continue;
    RegFonts[i].Installed = true;
    RegFonts[i].FamilyIndex = fi;
    Families[fi].Registered = true;
    linked[i] = true;
  }
  for (size_t fi = 0; fi < Families.size(); ++fi) {
    if (Families[fi].Registered) continue;
    Families[fi].Registered = true;
    AppendEntry(static_cast<int32_t>(fi), NextFontId++, Families[fi].Name, Families[fi].Charset);
  }
  for (size_t i = 0; i < linked.size(); ++i) {
    if (linked[i]) continue;
    RegFonts[i].Installed = false;
    RegFonts[i].FamilyIndex = -1;
  }
}

void TFontManager::RegisterEnumeratedFonts() {
  for (const plat::FontFamilyInfo& info : plat::EnumFontFamilies())
    if (info.Outline && info.CharSet != OEM_CHARSET) FontIndex(info.Name, info.CharSet, true);
}

int32_t TFontManager::AppendEntry(int32_t familyIndex, int32_t fontId, std::string_view face,
                                  int32_t charset) {
  TRegFont entry;
  entry.Installed = familyIndex >= 0;
  entry.FamilyIndex = familyIndex;
  entry.FontId = fontId;
  entry.FaceName = std::string(face);
  entry.Charset = charset;
  entry.CreateCharset = charset;
  RegFonts.push_back(std::move(entry));
  return static_cast<int32_t>(RegFonts.size()) - 1;
}

// ---------------------------------------------------------------------------------------------
// Look-ups

int32_t TFontManager::LookupFamily(std::string_view face) const {
  auto it = std::lower_bound(Families.begin(), Families.end(), face,
                             [](const TFontFamily& f, std::string_view n) {
                               return CompareFaceNames(f.Name, n) < 0;
                             });
  if (it == Families.end() || !SameFaceName(it->Name, face)) return -1;
  return static_cast<int32_t>(it - Families.begin());
}

int32_t TFontManager::FindFamily(std::string_view name) const {
  for (size_t i = Families.size(); i-- > 0;)
    if (SameFaceName(Families[i].Name, name)) return static_cast<int32_t>(i);
  return -1;
}

int32_t TFontManager::FindFont(std::string_view name) const {
  for (size_t i = 0; i < RegFonts.size(); ++i)
    if (SameFaceName(RegFonts[i].FaceName, name)) return static_cast<int32_t>(i);
  return -1;
}

std::string TFontManager::GetFaceName(int32_t fontNumber) const {
  if (!IsValidFont(fontNumber)) return {};
  return RegFonts[fontNumber].GetFaceName(*this);
}

bool TFontManager::IsSymbolFamily(int32_t familyIndex) const {
  return familyIndex >= 0 && familyIndex < static_cast<int32_t>(Families.size()) &&
         Families[familyIndex].Charset == SYMBOL_CHARSET;
}

int32_t TFontManager::FontIndex(std::string_view face, int32_t charset, bool retry) {
  int32_t family = LookupFamily(face);
  if (family < 0 && retry) family = LookupFamily(RemoveLastWord(face));
  int32_t lentId = -1;
  if (family >= 0) {
    if (charset == kAnyCharset) {
      for (size_t i = 0; i < RegFonts.size(); ++i)
        if (RegFonts[i].FamilyIndex == family && SameFaceName(RegFonts[i].FaceName, face))
          return static_cast<int32_t>(i);
      charset = defaultCharset_;
    }
    // A symbol family only has entries of the symbol set, and other families never have one.
    // (The caller's retry flag goes along, so that a face found through it stays installed.)
    const bool symbolFamily = IsSymbolFamily(family);
    if (symbolFamily && charset != SYMBOL_CHARSET) return FontIndex(face, SYMBOL_CHARSET, retry);
    if (!symbolFamily && charset == SYMBOL_CHARSET) return FontIndex(face, defaultCharset_, retry);
    for (size_t i = RegFonts.size(); i-- > 0;) {
      if (RegFonts[i].FamilyIndex != family) continue;
      if (RegFonts[i].Charset == charset) return static_cast<int32_t>(i);
      lentId = RegFonts[i].FontId;
    }
  } else {
    for (size_t i = 0; i < RegFonts.size(); ++i) {
      const TRegFont& e = RegFonts[i];
      if (e.FamilyIndex != -1 || !SameFaceName(e.FaceName, face)) continue;
      if (e.Charset == charset) return static_cast<int32_t>(i);
      lentId = e.FontId;
    }
  }
  if (lentId < 0) lentId = NextFontId++;
  return AppendEntry(family, lentId, face, charset);
}

int32_t TFontManager::FontWithCharset(int32_t fontId, int32_t charset) {
  size_t first = 0;
  while (first < RegFonts.size() && RegFonts[first].FontId != fontId) ++first;
  // An id that no entry has is a caller's mistake; the Arial entry keeps text drawable.
  if (first == RegFonts.size()) return ArialFont;
  const TRegFont& entry = RegFonts[first];
  if (entry.Installed) {
    const bool symbolFamily = IsSymbolFamily(entry.FamilyIndex);
    if (symbolFamily != (charset == SYMBOL_CHARSET))
      charset = Families[entry.FamilyIndex].Charset;
  }
  for (size_t i = first; i < RegFonts.size(); ++i)
    if (RegFonts[i].FontId == fontId && RegFonts[i].Charset == charset)
      return static_cast<int32_t>(i);
  TRegFont copy = entry;
  copy.Charset = charset;
  copy.CreateCharset = charset;
  RegFonts.push_back(std::move(copy));
  return static_cast<int32_t>(RegFonts.size()) - 1;
}

std::string TFontManager::GetSubstituteFont(std::string_view face, bool strict) const {
  std::string result = FollowSubstitutes(face, [this](std::string_view name) {
    return LookupFamily(name) >= 0;
  });
  if (!result.empty() || strict) return result;
  for (size_t i = 0; i < ReplacedFaces.size(); ++i)
    if (SameFaceName(ReplacedFaces[i], face)) return ReplacementFaces[i];
  return std::string(face);
}

// ---------------------------------------------------------------------------------------------
// Font boxes, favourites and typed names

std::vector<TFontName> TFontManager::GetFontNames() const {
  std::vector<TFontName> names;
  std::vector<bool> listed(Families.size(), false);
  for (const std::string& favorite : FavoriteFonts) {
    const int32_t fi = FindFamily(favorite);
    if (fi < 0 || listed[fi]) continue;
    listed[fi] = true;
    names.push_back({Families[fi].Name, fi});
  }
  if (FontServices().ShowOnlyFavoriteFonts()) return names;
  for (size_t fi = 0; fi < Families.size(); ++fi)
    if (!listed[fi]) names.push_back({Families[fi].Name, static_cast<int32_t>(fi)});
  return names;
}

void TFontManager::SetFavoriteFontsText(std::string_view lines) {
  FavoriteFonts.clear();
  size_t start = 0;
  while (start <= lines.size()) {
    size_t end = lines.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = lines.size();
    if (end > start) FavoriteFonts.emplace_back(lines.substr(start, end - start));
    start = end + 1;
  }
}

std::string TFontManager::FavoriteFontsText() const {
  std::string text;
  for (size_t i = 0; i < FavoriteFonts.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += FavoriteFonts[i];
  }
  return text;
}

bool TFontManager::ValidateFontName(int32_t& fontNumber, const std::string& face,
                                    const std::function<void()>& focus) {
  if (face.empty()) {
    if (fontNumber == kNotSet) return true;
    if (focus) focus();
    FontServices().ShowInfo("Font name cannot be blank.");
    return false;
  }
  if (FindFont(face) < 0) {
    if (focus) focus();
    if (!FontServices().ConfirmUnavailableFont(face)) return false;
  }
  const int32_t charset = IsValidFont(fontNumber) ? RegFonts[fontNumber].Charset : ANSI_CHARSET;
  fontNumber = FontIndex(face, charset, true);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Shared fonts

void TFontManager::CharFormatToLogFont(const TFontKey& format, plat::LogFont& lf) const {
  lf = plat::LogFont{};
  lf.Weight = format.Bold > 0 ? 700 : 400;
  lf.Height = format.Size;
  lf.Italic = IsSet(format.Italic);
  lf.Underline = IsSet(format.Underline);
  lf.StrikeOut = IsSet(format.Strike);
  if (!IsValidFont(format.Font)) {
    lf.FaceName = FallbackFaceName;
    lf.CharSet = DEFAULT_CHARSET;
    return;
  }
  const TRegFont& entry = RegFonts[format.Font];
  lf.CharSet = entry.CreateCharset == kNotSet ? DEFAULT_CHARSET : entry.CreateCharset;
  lf.FaceName = entry.Installed ? entry.GetFaceName(*this) : GetSubstituteFont(entry.FaceName, false);
  if (lf.FaceName.size() > 31) lf.FaceName.resize(31);
}

void TFontManager::RecordReplacement(const std::string& asked, const std::string& given) {
  for (const std::string& face : ReplacedFaces)
    if (SameFaceName(face, asked)) return;  // the first record is the one that is used
  ReplacedFaces.push_back(asked);
  ReplacementFaces.push_back(given);
}

std::unique_ptr<TSharedFont> TFontManager::CreateSharedFont(const TFontKey& format,
                                                            bool noReplaceRecording, int32_t size) {
  auto shared = std::make_unique<TSharedFont>();
  shared->Key = format;
  shared->Key.Size = size;
  // The face asked for, and whether it is installed or reachable through the substitutes.
  const bool valid = IsValidFont(format.Font);
  const TRegFont* entry = valid ? &RegFonts[format.Font] : nullptr;
  std::string face = valid ? entry->GetFaceName(*this) : FallbackFaceName;
  const bool installed = valid && entry->Installed;
  const bool found = !valid || installed || !GetSubstituteFont(face, true).empty();
  const bool symbolFamily = installed && IsSymbolFamily(entry->FamilyIndex);

  plat::LogFont lf;
  CharFormatToLogFont(shared->Key, lf);
  if (installed) {
    const int32_t cs = Families[entry->FamilyIndex].Charset;
    if (cs == SHIFTJIS_CHARSET || cs == GB2312_CHARSET || cs == CHINESEBIG5_CHARSET)
      lf.CharSet = DEFAULT_CHARSET;
  }
  lf.Underline = false;  // the layout draws these lines itself
  lf.StrikeOut = false;
  plat::Font font = MakeFont(lf, FallbackFaceName);
  if (format.Scale != 100 && format.Scale > 0) {
    lf.Width = std::max<int32_t>(1, PercentOf(font.Metrics().AveCharWidth, format.Scale));
    font = MakeFont(lf, FallbackFaceName);
  }
  // The platform reports the face it really selected; a metric-compatible stand-in of a common
  // document face counts as that face.
  auto drawnAsAsked = [](const std::string& asked, const std::string& drawn) {
    return SameFaceName(drawn, asked) || IsMetricStandIn(asked, drawn);
  };
  if (drawnAsAsked(face, font.FaceName())) {
    if (!found) {
      lf.FaceName = FallbackFaceName;
      font = MakeFont(lf, FallbackFaceName);
    }
  } else {
    const bool recreate = (lf.CharSet != ANSI_CHARSET && lf.CharSet != DEFAULT_CHARSET && !found) ||
                          (lf.CharSet == ANSI_CHARSET && installed && !symbolFamily);
    if (recreate) {
      lf.CharSet = DEFAULT_CHARSET;
      font = MakeFont(lf, FallbackFaceName);
    }
    if (!noReplaceRecording && !drawnAsAsked(lf.FaceName, font.FaceName()))
      RecordReplacement(lf.FaceName, font.FaceName());
  }
  shared->Font = font;
  shared->Metrics = font.Metrics();
  shared->DescentLeading = shared->Metrics.Descent + shared->Metrics.ExternalLeading;
  shared->LineHeight = shared->DescentLeading + shared->Metrics.Ascent;
  shared->Widths = font.ByteWidths();
  return shared;
}

namespace {

// Selects a font into a canvas unless it is there already. The canvas's own font is compared,
// not the canvas last used: a canvas made later may reuse the address of one that has gone.
void SelectInto(plat::Canvas* canvas, const plat::Font& font) {
  if (canvas && !(canvas->GetFont() == font)) canvas->SetFont(font);
}

}  // namespace

TSharedFont& TFontManager::SelectFont(const TFontKey& format, int32_t size, bool noReplaceRecording,
                                      bool select, plat::Canvas* canvas) {
  TFontKey key = format;
  key.Size = size;
  if (currentSharedFont_ && currentSharedFont_->Key == key) {
    if (select && canvas) {
      SelectInto(canvas, currentSharedFont_->Font);
      currentFontDC_ = canvas;
    }
    ++currentSharedFont_->UseCount;
    return *currentSharedFont_;
  }
  auto it = sharedIndex_.find(key);
  if (it != sharedIndex_.end()) {
    currentSharedFont_ = it->second;
    if (select && canvas) SelectInto(canvas, currentSharedFont_->Font);
    currentFontDC_ = select ? canvas : nullptr;
    ++currentSharedFont_->UseCount;
    return *currentSharedFont_;
  }
  std::unique_ptr<TSharedFont> created = CreateSharedFont(format, noReplaceRecording, size);
  TSharedFont* shared = created.get();
  sharedFonts_.insert(sharedFonts_.begin(), std::move(created));
  sharedIndex_[key] = shared;
  SelectInto(canvas, shared->Font);
  currentSharedFont_ = shared;
  currentFontDC_ = canvas;
  ++shared->UseCount;
  return *shared;
}

void TFontManager::SortSharedFontsByUse() {
  std::stable_sort(sharedFonts_.begin(), sharedFonts_.end(),
                   [](const std::unique_ptr<TSharedFont>& a, const std::unique_ptr<TSharedFont>& b) {
                     return a->UseCount > b->UseCount;
                   });
}

const TKerningPairs& TFontManager::SelectKerningPairs(const TFontKey& format, int32_t size) {
  TFontKey key = format;
  key.Size = size;
  if (currentKerningPairs_ && currentKerningPairs_->Key == key) return *currentKerningPairs_;
  for (size_t i = kerningCache_.size(); i-- > 0;) {
    currentKerningPairs_ = kerningCache_[i].get();
    if (currentKerningPairs_->Key == key) return *currentKerningPairs_;
  }
  // Made from the same shared font that draws the text, without disturbing the current one.
  TSharedFont* previous = currentSharedFont_;
  plat::Canvas* previousDC = currentFontDC_;
  const plat::Font font = SelectFont(format, size, false, false, nullptr).Font;
  currentSharedFont_ = previous;
  currentFontDC_ = previousDC;
  kerningCache_.push_back(std::make_unique<TKerningPairs>(font, key));
  currentKerningPairs_ = kerningCache_.back().get();
  return *currentKerningPairs_;
}

// ---------------------------------------------------------------------------------------------
// Coverage and changes

int32_t TFontManager::FontCoversChar(const std::string& face, uint32_t code) {
  const std::string key = AsciiLowerCase(face);
  auto it = coverage_.find(key);
  if (it == coverage_.end()) {
    plat::LogFont lf;
    lf.FaceName = face;
    lf.Weight = 400;
    lf.CharSet = DEFAULT_CHARSET;
    const plat::Font font = MakeFont(lf, FallbackFaceName);
    const std::string resolved = font.FilePath() + '\n' + font.FaceName();
    auto known = coverageByFace_.find(resolved);
    if (known == coverageByFace_.end())
      known = coverageByFace_.emplace(resolved, TCharCoverage::FromCmap(font.TableData("cmap"))).first;
    it = coverage_.emplace(key, &known->second).first;
  }
  return it->second->IndexOf(code);
}

void TFontManager::ClearCaches() {
  currentSharedFont_ = nullptr;
  currentFontDC_ = nullptr;
  currentKerningPairs_ = nullptr;
  sharedIndex_.clear();
  sharedFonts_.clear();
  kerningCache_.clear();
  coverage_.clear();
  coverageByFace_.clear();
  missingChars_.clear();
}

void TFontManager::FontsChanged() {
  plat::FontsChanged();
  EnumFamilies();
  LinkRegisteredFonts();
  ClearCaches();
  ReplacedFaces.clear();
  ReplacementFaces.clear();
  FontServices().RelayoutAll();
  FontServices().ReloadSymbolDialogFonts();
}

// ---------------------------------------------------------------------------------------------

TFontManager* FontManager() { return ManagerSlot().get(); }

TFontManager& CreateFontManager(const TFontManagerSetup& setup) {
  ManagerSlot() = std::make_unique<TFontManager>(setup);
  return *ManagerSlot();
}

void FreeFontManager() { ManagerSlot().reset(); }

}  // namespace qv
