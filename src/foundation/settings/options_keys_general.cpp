// Keys of "General", "DefDocTemplates", the remembered file lists, "View", "Edit", "LoadSave",
// "Print" and "PageNum".
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/settings/file_list.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/options_sections.h"

namespace qv {

namespace {

using K = TKeyKind;

const std::vector<int32_t> kDefaultFontSizes = {16, 18, 20, 22, 24, 28, 32, 36,
                                                40, 44, 48, 52, 56, 72, 96, 144};

struct TListSection {
  const char* Name;
  uint8_t Kind;  // 0 files, 1 folders
};
constexpr TListSection kListSections[kRememberedListCount] = {
    {"RecentDocs", 0},      {"OpenDoc_Files", 1},         {"SaveDocAs_Files", 1},
    {"InsertDoc_Files", 0}, {"InsertPicture_Folders", 1}, {"InsertPicture_Files", 0},
};

const std::vector<TKeyDesc<TViewOptions>>& ViewKeys() {
  using V = TViewOptions;
  static const std::vector<TKeyDesc<V>> keys = {
      {"Flags", K::Flags, &V::Flags},
      {"SpecSymbTypesEx", K::Int, &V::SpecSymbTypesEx, 0, 255},
      {"FldShading", K::Int, &V::FldShading, 0, 2},
      {"ToolbarStyle", K::Int, &V::ToolbarStyle, 0, 1},
      {"ToolbarAlign", K::Int, &V::ToolbarAlign, 0, 2},
      {"DocBar", K::Bool, &V::DocBar},
      {"DocBarRows", K::Int, &V::DocBarRows, 1, 5},
      {"SBarPanels3", K::Int, &V::SBarPanels3},
      {"ControlBoard", K::Bool, &V::ControlBoard},
      {"CBAlign", K::Int, &V::CBAlign, 0, 2},
      {"CB_cx", K::Int, &V::CB_cx, 0, INT32_MAX},
      {"DocMap_Lvls", K::Int, &V::DocMap_Lvls, 0, 8},
      {"DocMap_FntSize", K::Int, &V::DocMap_FntSize, 0, 4},
      {"LstMan_ShowLists", K::Int, &V::LstMan_ShowLists, 0, 3},
      {"FS_GUI", K::Int, &V::FS_GUI, 0, INT32_MAX},
      {"Spotlight", K::Int, &V::Spotlight, 0, INT32_MAX},
  };
  return keys;
}

const std::vector<TKeyDesc<TEditOptions>>& EditKeys() {
  using E = TEditOptions;
  static const std::vector<TKeyDesc<E>> keys = {
      {"Flags", K::Flags, &E::Flags},
      {"HLinkULine", K::Int, &E::HLinkULine},
      {"HLinkColor", K::Int, &E::HLinkColor},
      {"PowerType_SuggAddedLength", K::Int, &E::PowerType_SuggAddedLength, 1, 20},
  };
  return keys;
}

const std::vector<TKeyDesc<TLoadSaveOptions>>& LoadSaveKeys() {
  using L = TLoadSaveOptions;
  static const std::vector<TKeyDesc<L>> keys = {
      {"Flags", K::Flags, &L::Flags},
      {"Backup_MaxFiles", K::Int, &L::Backup_MaxFiles, 0, 9},
      {"Backup_MinDiff", K::Int, &L::Backup_MinDiff, 0, 16},
      {"Backup_MaxAmount", K::Int, &L::Backup_MaxAmount, 1, INT32_MAX},
      {"AutoSave", K::Int, &L::AutoSave, 0, 120},
      {"ReuseEncPass", K::Int, &L::ReuseEncPass, 0, 3},
      {"EbookMargUnit", K::Int, &L::EbookMargUnit, 0, 5},
      {"EbookMargL", K::Text, &L::EbookMargL},
      {"EbookMargR", K::Text, &L::EbookMargR},
      {"EbookMargT", K::Text, &L::EbookMargT},
      {"EbookMargB", K::Text, &L::EbookMargB},
      {"EbookFntSave", K::Int, &L::EbookFntSave, 0, 2},
      {"EbookFntEmbedEx", K::Text, &L::EbookFntEmbedEx},
      {"EbookForceManualLists", K::Bool, &L::EbookForceManualLists},
      {"Ebook300KB", K::Bool, &L::Ebook300KB},
      {"Ebook_LastSavedDoc", K::Text, &L::Ebook_LastSavedDoc},
      {"BatConv_DestFmt", K::Text, &L::BatConv_DestFmt},
      {"TxtEncoding", K::Int, &L::TxtEncoding, -1, 11},
      {"TxtLineEnd", K::Int, &L::TxtLineEnd, 0, 3},
  };
  return keys;
}

const std::vector<TKeyDesc<TPageNumOptions>>& PageNumKeys() {
  using P = TPageNumOptions;
  static const std::vector<TKeyDesc<P>> keys = {
      {"PageNumPos", K::Int, &P::PageNumPos, 0, 1},
      {"PageNumAlign", K::Int, &P::PageNumAlign, 0, 4},
      {"1stPage", K::Bool, &P::FirstPage},
  };
  return keys;
}

bool FolderExistsNow(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

void CreateFolderWithParents(const std::string& folder) {
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
}

std::string WithTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

std::string DefaultDocFolder(const TOptionsContext& c) { return c.DataFolder + "Documents/"; }
std::string DefaultBackupFolder(const TOptionsContext& c) { return c.DataFolder + "Backup"; }

// ----- General -------------------------------------------------------------------------------

std::vector<int32_t> DecodeFontSizes(const std::string& hex) {
  std::string bytes;
  std::vector<int32_t> sizes;
  if (!HexToBytes(hex.substr(0, hex.size() / 8 * 8), bytes)) bytes.clear();
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<uint8_t>(bytes[i + k]);
    int32_t size = static_cast<int32_t>(v);
    if (size >= 2 && size <= 2000) sizes.push_back(size);
  }
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  return sizes.empty() ? kDefaultFontSizes : sizes;
}

std::string EncodeFontSizes(const std::vector<int32_t>& sizes) {
  if (sizes == kDefaultFontSizes) return {};
  std::string bytes;
  for (int32_t size : sizes) {
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>(static_cast<uint32_t>(size) >> (8 * k));
  }
  return BytesToHex(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void LoadGeneral(TSettingsStorage& s, const TOptionsContext& c, TOptions& o) {
  TGeneralOptions& g = o.General;
  s.OpenKey("General");
  g.Flags = static_cast<uint8_t>(ReadFlags(s, "Flags", g.Flags));
  if (g.Flags & 4) {
    o.NewDocParams.NewDoc_Index = s.ReadInteger("NewDoc_Index", 1, 99, 1);
  } else {
    o.NewDocParams.NewDoc_Index = 1;
    o.Internal.SavePict_Index = 1;
  }
  g.DocsToKeep = s.ReadInteger("DocsToKeep", 0, 30, g.DocsToKeep);
  g.Measurements = static_cast<uint8_t>(s.ReadInteger("Measurements", 0, 4, g.Measurements));
  g.UsrName = s.ReadStr("UsrName", g.UsrName);
  g.FontSizes = DecodeFontSizes(s.ReadStr("FontSizes"));
}

void SaveGeneral(TSettingsStorage& s, const TOptions& o) {
  const TGeneralOptions& g = o.General;
  s.OpenKey("General");
  s.WriteInteger("Flags", g.Flags);
  s.WriteInteger("NewDoc_Index", o.NewDocParams.NewDoc_Index);
  s.WriteInteger("DocsToKeep", g.DocsToKeep);
  s.WriteInteger("Measurements", g.Measurements);
  s.WriteString("UsrName", g.UsrName);
  s.WriteString("FontSizes", EncodeFontSizes(g.FontSizes));
}

// ----- DefDocTemplates and the remembered lists ----------------------------------------------

struct TTemplateKey {
  const char* Name;
  std::string TDefDocTemplates::*Field;
};
constexpr TTemplateKey kTemplateKeys[] = {
    {"Template_RTF", &TDefDocTemplates::Template_RTF},
    {"Template_DOC", &TDefDocTemplates::Template_DOC},
    {"Template_DOCX", &TDefDocTemplates::Template_DOCX},
    {"Template_COD", &TDefDocTemplates::Template_COD},
    {"Template_TXT", &TDefDocTemplates::Template_TXT},
};

void LoadDefDocTemplates(TSettingsStorage& s, const TOptionsContext& c, TDefDocTemplates& t) {
  s.OpenKey("DefDocTemplates");
  t.DefDocFmt = NormalizeDocFormatName(s.ReadStr("DefDocFmt"));
  for (const auto& key : kTemplateKeys) {
    std::string value = s.ReadStr(key.Name, t.*key.Field);
    std::error_code ec;
    if (SameTextAscii(value, "Brouillon.rtf") &&
        !std::filesystem::exists(c.TemplatesFolder + "Brouillon.rtf", ec))
      value = "Plain.rtf";
    t.*key.Field = value;
  }
}

void LoadFileLists(TSettingsStorage& s, TGeneralOptions& g) {
  for (int i = 0; i < kRememberedListCount; ++i) {
    s.OpenKey(kListSections[i].Name);
    TFileList list;
    list.Kind = kListSections[i].Kind;
    list.Load(s);
    g.FileLists[i].Items = list.Strings;
    g.FileLists[i].Locked = list.Kind == 1 && list.Locked;
  }
}

// ----- View ----------------------------------------------------------------------------------

int32_t WidthAt96Dpi(const TOptionsContext& c) {
  return c.VertDpi > 0 ? c.ScreenWidth * 96 / c.VertDpi : c.ScreenWidth;
}

uint32_t TabBitsFromIds(uint32_t ids) {
  uint32_t tabs = 0;
  for (int32_t id = 0; id < 11; ++id) {
    if (ids & (1u << id)) tabs |= 1u << ControlBoardIdToTab(id);
  }
  return tabs;
}

uint32_t IdBitsFromTabs(uint32_t tabs) {
  uint32_t ids = 0;
  for (int32_t tab = 0; tab < 11; ++tab) {
    if (tabs & (1u << tab)) ids |= 1u << ControlBoardTabToId(tab);
  }
  return ids;
}

void LoadViewSpecials(TSettingsStorage& s, const TOptionsContext& c, TOptions& o,
                      THolderSettings& h) {
  TViewOptions& v = o.View;
  const int32_t lastRunVer = o.Internal.LastRunVer;
  if (lastRunVer > 29999999 || c.ScreenHeight > 767)
    v.Toolbars = static_cast<uint8_t>(s.ReadInteger("Toolbars", 0, 2, v.Toolbars));
  else
    v.Toolbars = 2;
  if (lastRunVer > 30001999 || WidthAt96Dpi(c) < 1301)
    v.DocBarAlign = static_cast<uint8_t>(s.ReadInteger("DocBarAlign", 0, 4, v.DocBarAlign));
  else
    v.DocBarAlign = 0;
  v.DocBarWidth = s.ReadInteger("DocBarWidth", 60, c.ScreenWidth / 3, v.DocBarWidth);
  int32_t tab = s.ReadInteger("CBTab", 0, INT32_MAX, 0);
  v.CBActiveTab = ControlBoardIdToTab(tab & 0xFFFF);
  v.CBSecondTab = ControlBoardIdToTab(tab >> 16 & 0xFFFF);
  v.CBDisabledTabs = TabBitsFromIds(static_cast<uint32_t>(s.ReadInteger("DisCBTabs", 0, INT32_MAX, 0)));
  v.CBSecondPaneTabs = TabBitsFromIds(static_cast<uint32_t>(s.ReadInteger("CBTabs2", 0, INT32_MAX, 0)));
  v.DefZoom = s.ReadInteger("DefZoom", -4, 500, v.DefZoom);
  if (v.DefZoom >= 1 && v.DefZoom <= 9) v.DefZoom = 0;
  int32_t spot = s.ReadInteger("SpotlightH", 0, INT32_MAX, v.SpotlightH);
  spot = std::min(spot, c.ScreenHeight);
  v.SpotlightH = (spot >= 1 && spot <= 15) ? 0 : spot;
  TViewSettings& n = h.NormalView;
  n.Ruler = s.ReadBool("Ruler", n.Ruler);
  n.VerRuler = s.ReadBool("VerRuler", n.VerRuler);
  n.ScrollBars = static_cast<uint8_t>(s.ReadInteger("ScrollBars", 0, 3, n.ScrollBars));
  n.StatusBar = s.ReadBool("StatusBar", n.StatusBar);
  n.MouseMode = 0;
}

void SaveView(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o,
              const THolderSettings& h) {
  const TViewOptions& v = o.View;
  s.OpenKey("View");
  SaveKeys(s, c, v, ViewKeys());
  s.WriteInteger("Toolbars", v.Toolbars);
  s.WriteInteger("DocBarAlign", v.DocBarAlign);
  s.WriteInteger("DocBarWidth", v.DocBarWidth);
  uint32_t tab = static_cast<uint32_t>(ControlBoardTabToId(v.CBActiveTab)) |
                 static_cast<uint32_t>(ControlBoardTabToId(v.CBSecondTab)) << 16;
  s.WriteInteger("CBTab", static_cast<int32_t>(tab));
  s.WriteInteger("DisCBTabs", static_cast<int32_t>(IdBitsFromTabs(v.CBDisabledTabs)));
  s.WriteInteger("CBTabs2", static_cast<int32_t>(IdBitsFromTabs(v.CBSecondPaneTabs)));
  s.WriteInteger("DefZoom", v.DefZoom);
  s.WriteInteger("SpotlightH", v.SpotlightH);
  s.WriteBool("Ruler", h.NormalView.Ruler);
  s.WriteBool("VerRuler", h.NormalView.VerRuler);
  s.WriteInteger("ScrollBars", h.NormalView.ScrollBars);
  s.WriteBool("StatusBar", h.NormalView.StatusBar);
  s.WriteInteger("MouseMode", 0);
}

// ----- LoadSave, Print -----------------------------------------------------------------------

void LoadLoadSave(TSettingsStorage& s, const TOptionsContext& c, TLoadSaveOptions& l,
                  THolderSettings& h) {
  s.OpenKey("LoadSave");
  LoadKeys(s, c, l, LoadSaveKeys());
  // Reading makes no folder: the backup writer creates it when it first writes a backup
  // (EnsureBackupFolder). A relative value would depend on the current directory, so it counts
  // as missing.
  std::string backup = s.ReadStr("BackupFolder");
  h.BackupFolder = backup.starts_with('/') ? backup : DefaultBackupFolder(c);
  if (l.Flags & 0x40) {
    l.DocsToReload = s.ReadStr("DocsToReload");
    l.ReloadDoc_ToActivate = ReadPath(s, c, "ReloadDoc_ToActivate", "");
  }
  std::string cmd = s.ReadStr("kindlegen_cmdline");
  l.kindlegen_cmdline = cmd.empty() ? "\"%1\"" : cmd;
  std::string stored = s.ReadStr("DocFolder");
  std::string folder = stored.empty() ? "" : WithTrailingSlash(DecodeOptionPath(c, stored));
  l.DocFolder = FolderExistsNow(folder) ? folder : DefaultDocFolder(c);
  if (l.Flags & 0x80) CreateFolderWithParents(l.DocFolder);
}

void SaveLoadSave(TSettingsStorage& s, const TOptionsContext& c, const TLoadSaveOptions& l,
                  const THolderSettings& h) {
  s.OpenKey("LoadSave");
  SaveKeys(s, c, l, LoadSaveKeys());
  s.WriteString("BackupFolder", SameTextAscii(h.BackupFolder, DefaultBackupFolder(c))
                                    ? std::string()
                                    : h.BackupFolder);
  if (!c.StartedToPrint) {
    const bool reopen = l.Flags & 0x40;
    s.WriteString("DocsToReload", reopen ? l.DocsToReload : std::string());
    if (reopen)
      WritePath(s, c, "ReloadDoc_ToActivate", l.ReloadDoc_ToActivate);
    else
      s.WriteString("ReloadDoc_ToActivate", "");
  }
  s.WriteString("kindlegen_cmdline", l.kindlegen_cmdline);
  s.WriteString("DocFolder", SameTextAscii(l.DocFolder, DefaultDocFolder(c))
                                 ? std::string()
                                 : EncodeOptionPath(c, l.DocFolder));
}

int32_t NormalizeBookletSize(int32_t size) {
  if (size == INT32_MAX) return size;
  if (size >= 65) return 64;
  return size / 4 * 4;
}

void LoadPrint(TSettingsStorage& s, TPrintOptions& p) {
  s.OpenKey("Print");
  p.Flags = static_cast<uint8_t>(ReadFlags(s, "Flags", p.Flags));
  p.PrnDuplexInfoEx = s.ReadStr("PrnDuplexInfoEx", p.PrnDuplexInfoEx);
  p.BookletSize = NormalizeBookletSize(s.ReadInteger("BookletSize", 4, INT32_MAX, p.BookletSize));
}

void SavePrint(TSettingsStorage& s, const TPrintOptions& p) {
  s.OpenKey("Print");
  s.WriteInteger("Flags", p.Flags);
  s.WriteString("PrnDuplexInfoEx", p.PrnDuplexInfoEx);
  s.WriteInteger("BookletSize", p.BookletSize);
}

}  // namespace

void LoadGeneralSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o,
                         THolderSettings& h) {
  LoadGeneral(s, c, o);
  LoadDefDocTemplates(s, c, o.General.DefDocTemplates);
  LoadFileLists(s, o.General);
  s.OpenKey("View");
  LoadKeys(s, c, o.View, ViewKeys());
  LoadViewSpecials(s, c, o, h);
  NormalizeControlBoardTabs(o.View);
  s.OpenKey("Edit");
  LoadKeys(s, c, o.Edit, EditKeys());
  LoadLoadSave(s, c, o.LoadSave, h);
  LoadPrint(s, o.Print);
  s.OpenKey("PageNum");
  LoadKeys(s, c, o.PageNum, PageNumKeys());
}

void SaveDefDocTemplatesAndLists(TSettingsStorage& s, const TOptionsContext& c,
                                 const TOptions& o) {
  const TDefDocTemplates& t = o.General.DefDocTemplates;
  s.OpenKey("DefDocTemplates");
  s.WriteString("DefDocFmt", t.DefDocFmt);
  for (const auto& key : kTemplateKeys) s.WriteString(key.Name, t.*key.Field);
  for (int i = 0; i < kRememberedListCount; ++i) {
    s.OpenKey(kListSections[i].Name);
    TFileList list;
    list.Kind = kListSections[i].Kind;
    list.Strings = o.General.FileLists[i].Items;
    if (list.Strings.size() > TFileList::MaxEntries) list.Strings.resize(TFileList::MaxEntries);
    list.Locked = o.General.FileLists[i].Locked;
    list.Save(s);
  }
}

void SaveGeneralSections(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o,
                         const THolderSettings& h) {
  SaveGeneral(s, o);
  SaveView(s, c, o, h);
  s.OpenKey("Edit");
  SaveKeys(s, c, o.Edit, EditKeys());
  SaveLoadSave(s, c, o.LoadSave, h);
  SavePrint(s, o.Print);
  s.OpenKey("PageNum");
  SaveKeys(s, c, o.PageNum, PageNumKeys());
}

void ApplyContextDefaults(const TOptionsContext& c, TOptions& o, THolderSettings& h) {
  o.Internal.InitDir = DefaultDocFolder(c);
  o.Internal.PasteSpec_Fmt = c.RtfClipboardFormat;
  o.Internal.LastChkForUpd = c.TodayDayIndex;
  o.General.Measurements = c.USMeasurement ? 1 : 0;
  o.General.UsrName = c.UserName;
  o.General.FontSizes = kDefaultFontSizes;
  if (c.ScreenHeight > 0 && c.ScreenWidth * 10 / c.ScreenHeight > 14) o.View.Flags = 13094;
  o.View.DocBarWidth = std::min(170, c.ScreenWidth / 4);
  const int32_t w96 = WidthAt96Dpi(c);
  o.View.SBarPanels3 = 508021 | (w96 >= 1200 ? 0x20A : 0) | (w96 >= 1400 ? 0x1A0A : 0);
  o.View.SpotlightH = c.InterfaceScale <= 13 ? 72 : 72 * c.InterfaceScale / 13;
  o.LoadSave.DocFolder = DefaultDocFolder(c);
  o.SaveAsWeb.Author = c.UserName;
  h.BackupFolder = DefaultBackupFolder(c);
}

}  // namespace qv
