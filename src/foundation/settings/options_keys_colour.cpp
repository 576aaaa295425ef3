// Keys of "ColorScheme", "ColorScheme\UsrSchemes2", "Spellcheck", "Autocorrect", "SaveAsWeb",
// "ClipLib", "DateTime" and "OverusedWords".
#include <algorithm>
#include <cctype>

#include "foundation/settings/option_blobs.h"
#include "foundation/settings/options_sections.h"

namespace qv {

namespace {

using K = TKeyKind;

// The palette offered by the colour pickers after the automatic colour, as 0xBBGGRR.
const std::vector<uint32_t> kDefaultPalette = {
    0x000000, 0x4F4F2F, 0x908070, 0x696969, 0x808080, 0xA9A9A9, 0xC0C0C0, 0xD3D3D3, 0x006400,
    0x008000, 0x808000, 0x008080, 0xAAB220, 0xAACD66, 0x32CD9A, 0x00FF00, 0x800000, 0xFF0000,
    0xEE687B, 0xFFBF00, 0xE6D8AD, 0xFFFF00, 0xD4FF7F, 0xFFFFE0, 0x82004B, 0x800080, 0xCC3299,
    0xD355BA, 0xFF00FF, 0xEE82EE, 0xDDA0DD, 0xFAE6E6, 0x8515C7, 0x9314FF, 0xB469FF, 0xCBC0FF,
    0x507FFF, 0x4763FF, 0x008CFF, 0x00A5FF, 0x00008B, 0x2222B2, 0x3C14DC, 0x0000FF, 0x7A96E9,
    0x7280FA, 0x8080F0, 0x7AA0FF, 0x000080, 0x8F8FBC, 0x2A2AA5, 0x1E69D2, 0x60A4F4, 0xB3DEF5,
    0xC4E4FF, 0xDCF8FF, 0x6BB7BD, 0x00D7FF, 0x00FFFF, 0x8CE6F0, 0xB9DAFF, 0xB5E4FF, 0xD2FAFA,
    0xE0FFFF, 0xE1E4FF, 0xF5F0FF, 0xE6F0FA, 0xF0FFFF, 0xDCF5F5, 0xFFF8F0, 0xFFFFF0, 0xFFFFFF,
};

constexpr const char* kDefaultFileExts =
    "avi\rbmp\rcab\rcfg\rcod\rcom\rcss\rdat\rdll\rdoc\rdocx\rdot\remf\rexe\rgif\rhtm\rhtml\rini\r"
    "jpeg\rjpg\rjs\rlnk\rlog\rmp3\rmpeg\rmpg\rpdf\rphp\rpl\rpng\rrar\rrtf\rtmp\rttf\rtxt\rwav\r"
    "wmf\rwmv\rwri\rxls\rxml\rzip";
constexpr const char* kWebDomains = "au\rcom\rde\redu\rfr\rgov\rnet\rnz\rorg\rtv\ruk";

const std::vector<TKeyDesc<TSaveAsWebOptions>>& SaveAsWebKeys() {
  using W = TSaveAsWebOptions;
  static const std::vector<TKeyDesc<W>> keys = {
      {"KWrds", K::Text, &W::KWrds},
      {"Author", K::Text, &W::Author},
      {"SepFldr", K::Bool, &W::SepFldr},
      {"BkClr", K::Int, &W::BkClr},
      {"BkImg", K::Path, &W::BkImg},
  };
  return keys;
}

const std::vector<TKeyDesc<TClipLibraryOptions>>& ClipLibKeys() {
  using L = TClipLibraryOptions;
  static const std::vector<TKeyDesc<L>> keys = {
      {"Flags", K::Flags, &L::Flags},
      {"RecentClip", K::Path, &L::RecentClip},
      {"AddTextClip_RecentFolder", K::Text, &L::AddTextClip_RecentFolder},
      {"AddGraphicClip_RecentFolder", K::Text, &L::AddGraphicClip_RecentFolder},
  };
  return keys;
}

const std::vector<TKeyDesc<TLangDateTimeFormatInfo>>& LangDateKeys() {
  using D = TLangDateTimeFormatInfo;
  static const std::vector<TKeyDesc<D>> keys = {
      {"Lang", K::Int, &D::Lang, 0, INT32_MAX},
      // -1 ("none") is written as such and must read back as none, not as format 0.
      {"DefDateFmt", K::Int, &D::DefDateFmt, -1, INT32_MAX},
      {"DefTimeFmt", K::Int, &D::DefTimeFmt, -1, INT32_MAX},
      {"LastDateFmt", K::Int, &D::LastDateFmt, -1, INT32_MAX},
      {"Overrides", K::Lines, &D::Overrides},
  };
  return keys;
}

std::vector<uint32_t> WithAuto(const std::vector<uint32_t>& colours) {
  std::vector<uint32_t> palette{kAutoColor};
  palette.insert(palette.end(), colours.begin(), colours.end());
  return palette;
}

std::string LowerHex32(const std::vector<uint32_t>& colours) {
  std::string bytes;
  for (uint32_t c : colours) {
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>(c >> (8 * k));
  }
  return BytesToHex(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool ParseHex32(const std::string& hex, std::vector<uint32_t>& colours) {
  std::string bytes;
  if (!HexToBytes(hex, bytes)) return false;
  colours.clear();
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<uint8_t>(bytes[i + k]);
    colours.push_back(v);
  }
  return true;
}

std::vector<uint32_t> ReadPalette(TSettingsStorage& s) {
  std::string text = s.ReadStr("ColPal");
  if (text.size() == 1) return {kAutoColor};
  std::vector<uint32_t> colours;
  if (text.empty() || text.size() % 8 != 0 || !ParseHex32(text, colours))
    return WithAuto(kDefaultPalette);
  return WithAuto(colours);
}

std::string PaletteText(const std::vector<uint32_t>& palette) {
  if (palette.size() <= 1) return "?";
  if (palette == WithAuto(kDefaultPalette)) return {};
  return LowerHex32(std::vector<uint32_t>(palette.begin() + 1, palette.end()));
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  std::stable_sort(lines.begin(), lines.end(), LessNoCase);
  return lines;
}

void LoadColorScheme(TSettingsStorage& s, TColorOptions& col) {
  s.OpenKey("ColorScheme");
  col.Scheme = s.ReadStr("Colors2");
  col.Palette = ReadPalette(s);
  col.MoreCols = s.ReadInteger("MoreCols", 0, 16777215, 0);
  std::array<uint8_t, 64> unset;
  unset.fill(0xFF);
  std::array<uint8_t, 64> bytes;
  ReadBinarySetting(s, "ColDlg_CustCols", bytes.data(), unset.data(), 64);
  for (int i = 0; i < 16; ++i) {
    col.CustomColors[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
                          static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
  }
  s.OpenKey("ColorScheme\\UsrSchemes2");
  int32_t count = s.ReadInteger("Count", 0, INT32_MAX, 0);
  col.UserSchemes.clear();
  // Schemes are written numbered without gaps, so reading stops at the first missing one: a
  // damaged "Count" then costs nothing.
  const std::string missing(1, '\0');
  for (int32_t i = 0; i < count; ++i) {
    TUserColorScheme scheme{s.ReadStr("Name" + std::to_string(i), missing),
                            s.ReadStr("Data" + std::to_string(i))};
    if (scheme.Name == missing) break;
    if (!scheme.Name.empty()) col.UserSchemes.push_back(scheme);
  }
}

void SaveColorScheme(TSettingsStorage& s, const TColorOptions& col) {
  s.OpenKey("ColorScheme");
  s.WriteString("Colors2", col.Scheme);
  s.WriteString("ColPal", PaletteText(col.Palette));
  s.WriteInteger("MoreCols", col.MoreCols);
  s.WriteString("ColDlg_CustCols",
                LowerHex32(std::vector<uint32_t>(col.CustomColors.begin(), col.CustomColors.end())));
  s.OpenKey("ColorScheme\\UsrSchemes2");
  s.WriteInteger("Count", static_cast<int32_t>(col.UserSchemes.size()));
  for (size_t i = 0; i < col.UserSchemes.size(); ++i) {
    s.WriteString("Name" + std::to_string(i), col.UserSchemes[i].Name);
    s.WriteString("Data" + std::to_string(i), col.UserSchemes[i].Data);
  }
}

void LoadSpellcheck(TSettingsStorage& s, TOptions& o) {
  s.OpenKey("Spellcheck");
  uint16_t flags = static_cast<uint16_t>(s.ReadInteger("Flags2", 0, 65535, o.Spellcheck.Flags2));
  flags |= 0x20;
  // Settings of builds before bit 0x80 kept this choice in Edit bit 0x1000.
  if (!(flags & 0x80) && (o.Edit.Flags & 0x1000)) {
    o.Edit.Flags |= 0x2000;
    o.Edit.Flags &= ~0x1000u;
  }
  o.Spellcheck.Flags2 = flags;
}

void LoadAutocorrect(TSettingsStorage& s, TAutocorrectOptions& a) {
  s.OpenKey("Autocorrect");
  a.Flags = static_cast<uint16_t>(ReadFlags(s, "Flags", a.Flags));
  const std::string missing(1, '\0');
  std::string text = s.ReadStr("FileExts", missing);
  a.FileExts = SortedLines(text == missing ? kDefaultFileExts : BarsToLineBreaks(text));
}

void LoadDateTime(TSettingsStorage& s, const TOptionsContext& c, TDateTimeFormatInfo& d) {
  s.OpenKey("DateTime");
  d.LastUsedDateTimeCaseFormat =
      static_cast<uint8_t>(s.ReadInteger("LastUsedDateTimeCaseFormat", 0, 4, 0));
  d.UpdDtTm = s.ReadBool("UpdDtTm", false);
  int32_t count = s.ReadInteger("Count", 0, 65535, 0);
  d.Langs.clear();
  // Opening a missing key would create it: reading stops at the first missing language.
  for (int32_t i = 0; i < count && s.KeyExists("DateTime\\" + std::to_string(i)); ++i) {
    s.OpenKey("DateTime\\" + std::to_string(i));
    TLangDateTimeFormatInfo lang;
    LoadKeys(s, c, lang, LangDateKeys());
    lang.Changed = true;
    d.Langs.push_back(lang);
  }
}

void SaveDateTime(TSettingsStorage& s, const TOptionsContext& c, const TDateTimeFormatInfo& d) {
  s.OpenKey("DateTime");
  s.WriteInteger("LastUsedDateTimeCaseFormat", d.LastUsedDateTimeCaseFormat);
  s.WriteBool("UpdDtTm", d.UpdDtTm);
  int32_t count = static_cast<int32_t>(
      std::count_if(d.Langs.begin(), d.Langs.end(), [](const auto& l) { return l.Changed; }));
  s.WriteInteger("Count", count);
  int32_t index = 0;
  for (const auto& lang : d.Langs) {
    if (!lang.Changed) continue;
    s.OpenKey("DateTime\\" + std::to_string(index++));
    SaveKeys(s, c, lang, LangDateKeys());
  }
}

void LoadOverusedWords(TSettingsStorage& s, TOverusedWordsOptions& w) {
  s.OpenKey("OverusedWords");
  w.Flags = static_cast<uint8_t>(ReadFlags(s, "Flags", w.Flags));
  w.X = s.ReadInteger("x", 0, INT32_MAX, kOptNotSet);
  w.Y = s.ReadInteger("y", 0, INT32_MAX, kOptNotSet);
  w.MinDistance = s.ReadInteger("MinDistance", 1, 500, w.MinDistance);
  w.SentSize = s.ReadInteger("SentSize", 2, 500, w.SentSize);
  LoadLangCustomData(s, w);
}

}  // namespace

void LoadColourSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o) {
  LoadColorScheme(s, o.Colors);
  LoadSpellcheck(s, o);
  LoadAutocorrect(s, o.Autocorrect);
  s.OpenKey("SaveAsWeb");
  LoadKeys(s, c, o.SaveAsWeb, SaveAsWebKeys());
  s.OpenKey("ClipLib");
  LoadKeys(s, c, o.ClipLib, ClipLibKeys());
  LoadDateTime(s, c, o.DateTime);
  LoadOverusedWords(s, o.OverusedWords);
}

void SaveColourSections(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  SaveColorScheme(s, o.Colors);
  s.OpenKey("Spellcheck");
  s.WriteInteger("Flags2", o.Spellcheck.Flags2);
  s.OpenKey("Autocorrect");
  s.WriteInteger("Flags", o.Autocorrect.Flags);
  s.WriteString("FileExts", LineBreaksToBars(JoinLines(o.Autocorrect.FileExts)));
  OptionsServices().WriteAutocorrectSettings(s);
}

void SaveWebClipDate(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  s.OpenKey("SaveAsWeb");
  SaveKeys(s, c, o.SaveAsWeb, SaveAsWebKeys());
  s.OpenKey("ClipLib");
  SaveKeys(s, c, o.ClipLib, ClipLibKeys());
  SaveDateTime(s, c, o.DateTime);
}

void SaveOverusedWords(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  const TOverusedWordsOptions& w = o.OverusedWords;
  s.OpenKey("OverusedWords");
  s.WriteInteger("Flags", w.Flags);
  if (w.X != kOptNotSet) s.WriteInteger("x", w.X);
  if (w.Y != kOptNotSet) s.WriteInteger("y", w.Y);
  s.WriteInteger("MinDistance", w.MinDistance);
  s.WriteInteger("SentSize", w.SentSize);
  SaveLangCustomData(s, w);
}

void ApplyColourDefaults(TOptions& o) {
  o.Colors.Palette = WithAuto(kDefaultPalette);
  o.Autocorrect.FileExts = SortedLines(kDefaultFileExts);
  o.Autocorrect.WebDomains = SortedLines(kWebDomains);
}

}  // namespace qv
