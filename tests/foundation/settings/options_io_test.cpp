#include <filesystem>
#include <functional>

#include <map>

#include "foundation/settings/backup_folder.h"
#include "foundation/settings/option_blobs.h"
#include "foundation/settings/options_holder.h"
#include "foundation/options_test_support.h"

using namespace qv;

namespace {

constexpr int32_t kToday = 2026 * 365 + 12 * 31 + 10;

// The holder's view of the program: the test's machine context, a private hive and switches.
class TContextSite : public TOptionsHolderSite {
 public:
  TContextSite(const TOptionsContext& context, const std::string& hive)
      : Context(context), Hive(hive) {}
  bool IsSwitchPresent(int32_t index) override { return Switches.count(index) != 0; }
  std::string GetSwitchValue(int32_t index, const std::string& def) override {
    auto it = Switches.find(index);
    return it == Switches.end() || it->second.empty() ? def : it->second;
  }
  bool PortableMode() override { return false; }
  std::string DocumentsFolder() override { return Context.DataFolder; }
  std::string RegistryHivePath() override { return Hive; }
  TOptionsContext OptionsContext() override { return Context; }
  void ShowError(const std::string& message) override { ADD_FAILURE() << message; }

  TOptionsContext Context;
  std::string Hive;
  std::map<int32_t, std::string> Switches;
};

struct TSymbolDialogServices : TOptionsServices {
  bool SymbolDialogExists() override { return true; }
};

// A record in which every stored field differs from its default and obeys its key's rules.
TOptions FullRecord(const TOptionsContext& c, THolderSettings& h) {
  TOptions o;
  THolderSettings defaults;
  DefaultOptions(c, o, defaults);
  auto& in = o.Internal;
  in.RunCount = 41;
  in.LastRunVer = kProgramVersion;
  in.Flags = 0x12345678;
  in.SectMan_PropCategories = 7;
  in.RevealCategories = 9;
  in.OpenDocDlgFilter = 3;
  in.OpenPictDlgFilter = 2;
  in.SavePictDlgFilter = 4;
  in.InitDir = c.DataFolder + "work/";
  in.SavePict_Index = 17;
  in.SavePict_Digits = 5;
  in.SavePict_Template = "Pic%s.%s";
  in.InsSymbol = {"Wingdings", 0x2603};
  in.LastFntScaleFactor = 150;
  in.PasteSpec_Fmt = -7;
  in.LastUsedDocTemplate = "Letter.rtf";
  in.ImportStyles_LastUsedFile = "/tmp/styles.rtf";
  in.HiliteCol = 0x00FF00;
  in.FontCol = 0x123456;
  in.LastChkForUpd = 12345;
  in.INDEX_Instr = u"INDEX \\e \"\u2013\"";
  in.OpenDlgPreview = 3;
  in.TemplateDlgPreview = 0;
  in.OpenDlgSize = 90 << 16 | 80;
  in.LastFavSubfolder = "fav";
  in.SaveSelAs_DefDocFmt = "DOCX";
  in.DefBulList = 2;
  in.DefNumList = 3;
  in.DefOutlList = 4;
  in.LastBulPic = "/tmp/bullet.png";
  in.NoteKind = 2;
  in.Ftn_CustomMarkFont = "Symbol";
  in.Ftn_CustMarkSymb = 0x2020;
  in.Ftn_CustomMarkLang = 1031;
  in.OptMsgs.assign(60, 0);
  in.OptMsgs[0] = 1;
  in.OptMsgs[59] = 2;
  in.SideBySide_Zoom = 75;
  in.SideBySide_ZoomKind = 1;
  in.NavObjType = 12;
  in.InsTableCols = 63;
  in.InsTableRows = 16384;
  in.SplitCellsCols = 3;
  in.SplitCellsRows = 4;
  in.TableToText_CellSep = 9;
  in.WritingTarget = 2000;
  in.WritingTargetType = 1;
  in.HRProps = "{\\sp{\\sn fillColor}{\\sv 255}}";
  in.DropCapProps = {2, 4, 6, 8, 10, 12, 14, 16};
  in.DropCapFont = "Georgia";
  in.TOC.ShowPageNumbers = false;
  in.TOC.RightAlignPageNumbers = false;
  in.TOC.TabLeader = -1;
  in.TOC.Levels = 9;
  in.TOC.ShowTitle = false;
  in.TOC.Title = u"Contents \u00e9";
  in.TOC.TemplateName = "toc.rtf";
  in.Envelopes = {c.DataFolder + "Address Books/home.csv", "Ann\r\nStreet 1", "Name\r\nCity",
                  "{Name}\r\n{City}", true, "Me\r\nStreet 2", 10000, 6000, 3000, 4500, 200, 300, 2, true,
                  std::string(1300, 'f') + " tail"};
  in.MainWnd = {0, -8, 20, 800, 600};
  in.FindReplace = {120, 0, 1, 77, {u"alpha", u"\u00fcber", u"gamma"}, {u"x"}};
  in.FontHistory = "Courier New\r\nGeorgia";
  in.FavSymbols = "Symbol\t65\r\nWingdings\t74";
  o.NewDocParams = {false, 1, 0, 42};
  auto& g = o.General;
  g.Flags = 4 | 8;
  g.DocsToKeep = 25;
  g.Measurements = 3;
  g.UsrName = "Ann Example";
  g.FontSizes = {10, 20, 30};
  g.DefDocTemplates = {"DOCX", "A.rtf", "B.rtf", "C.rtf", "D.rtf", "E.rtf"};
  g.FileLists[0] = {{c.DataFolder + "a.rtf", "/tmp/b.rtf"}, false};
  g.FileLists[1] = {{"/tmp/", c.DataFolder}, true};
  g.FileLists[5] = {{"/pics/p.png"}, false};
  auto& v = o.View;
  v.Flags = 0x1234;
  v.SpecSymbTypesEx = 3;
  v.FldShading = 0;
  v.Toolbars = 0;
  v.ToolbarStyle = 1;
  v.ToolbarAlign = 2;
  v.DocBar = false;
  v.DocBarAlign = 4;
  v.DocBarWidth = 300;
  v.DocBarRows = 5;
  v.SBarPanels3 = 0x7FFF;
  v.ControlBoard = false;
  v.CBAlign = 2;
  v.CB_cx = 200 << 16 | 150;
  v.CBActiveTab = 3;
  v.CBSecondTab = 6;
  v.CBDisabledTabs = 1u << 1;
  v.CBSecondPaneTabs = 1u << 6 | 1u << 8;
  v.DocMap_Lvls = 4;
  v.DocMap_FntSize = 4;
  v.LstMan_ShowLists = 1;
  v.FS_GUI = 7;
  v.DefZoom = -3;
  v.Spotlight = 999;
  v.SpotlightH = 300;
  o.Edit = {0x0ABCDEF0, 4, 0x00FF00, 7};
  auto& l = o.LoadSave;
  l.Flags = 0x40 | 0x80 | 0x100;
  l.Backup_MaxFiles = 9;
  l.Backup_MinDiff = 16;
  l.Backup_MaxAmount = 500;
  l.DocsToReload = ";%a.rtf;/tmp/b.rtf";
  l.ReloadDoc_ToActivate = c.DataFolder + "a.rtf";
  l.AutoSave = 0;
  l.DocFolder = c.DataFolder + "mine/";
  l.ReuseEncPass = 3;
  l.EbookMargUnit = 5;
  l.EbookMargL = "1";
  l.EbookMargR = "2";
  l.EbookMargT = "3";
  l.EbookMargB = "4.25";
  l.EbookFntSave = 2;
  l.EbookFntEmbedEx = "Arial";
  l.EbookForceManualLists = true;
  l.Ebook300KB = false;
  l.kindlegen_cmdline = "kg %1";
  l.Ebook_LastSavedDoc = "/tmp/book.epub";
  l.BatConv_DestFmt = "DOCX";
  l.TxtEncoding = 11;
  l.TxtLineEnd = 3;
  o.Print = {0xA5, "printer=1", 28};
  o.Spellcheck.Flags2 = 0xFFFF;
  o.PageNum = {0, 4, false};
  auto& col = o.Colors;
  col.Scheme = "00FFFF00FFFFFFFF00000080";
  col.UserSchemes = {{"Mine", "00FF0000"}, {"Other", ""}};
  col.Palette = {kAutoColor, 0x123456, 0xFFFFFF};
  col.MoreCols = 0xABCDEF;
  for (int i = 0; i < 16; ++i) col.CustomColors[i] = 0x010101u * static_cast<uint32_t>(i);
  o.Autocorrect.Flags = 0x1234;
  o.Autocorrect.FileExts = {"abc", "xyz"};
  o.SaveAsWeb = {"keys", "Writer", false, 0x00FFEE, c.DataFolder + "bg.png"};
  o.ClipLib = {0xF0, c.DataFolder + "Clip Library/x.rtf", "Texts", "Pics"};
  o.DateTime = {3, true, {{1031, 2, 3, 4, "dd.MM.yyyy\r\nHH:mm", true}, {1033, 0, -1, 5, "", true}}};
  auto& w = o.OverusedWords;
  w.Flags = 0x5A;
  w.X = 30;
  w.Y = 40;
  w.MinDistance = 500;
  w.SentSize = 2;
  w.LangCustomDataRaw = ZlibCompress({1, 2, 3});
  o.WritingData = {{c.DataFolder + "a.rtf", {3, 4, kToday - 180}}, {"Vadure Vavi", {1, 2, kToday}}};
  o.EbookMeta = {{"book", {'T', 'T', 'L', 2, 0, 0, 0, 'A', 0}}};
  h.BackupFolder = c.DataFolder + "safe";
  h.PreviewZoom = {250, 1};
  h.NormalView = {true, true, 1, false, 0};
  h.PreviewView = {true, true, 0, false, 6};
  return o;
}

}  // namespace

TEST_F(OptionsTest, EmptyStoreGivesEveryDefault) {
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  const TOptions& o = Opt;
  struct Row {
    const char* Key;
    int64_t Actual, Expected;
  };
  const Row rows[] = {
      {"Internal.RunCount", o.Internal.RunCount, 0},
      {"Internal.Flags", o.Internal.Flags, 80368},
      {"SectMan_PropCategories", o.Internal.SectMan_PropCategories, 255},
      {"OpenDocDlgFilter", o.Internal.OpenDocDlgFilter, 8},
      {"OpenPictDlgFilter", o.Internal.OpenPictDlgFilter, 7},
      {"SavePictDlgFilter", o.Internal.SavePictDlgFilter, 1},
      {"SavePict_Digits", o.Internal.SavePict_Digits, 3},
      {"InsSymbol_Symbol", o.Internal.InsSymbol.Symbol, 32},
      {"LastFntScaleFactor", o.Internal.LastFntScaleFactor, 200},
      {"PasteSpec_Fmt", o.Internal.PasteSpec_Fmt, 49300},
      {"HiliteCol", o.Internal.HiliteCol, 65535},
      {"FontCol", o.Internal.FontCol, 255},
      {"LastChkForUpd", o.Internal.LastChkForUpd, kToday},
      {"OpenDlgPreview", o.Internal.OpenDlgPreview, 1},
      {"TemplateDlgPreview", o.Internal.TemplateDlgPreview, 2},
      {"OpenDlgSize", o.Internal.OpenDlgSize, 4915275},
      {"NoteKind", o.Internal.NoteKind, 1},
      {"Ftn_CustMarkSymb", o.Internal.Ftn_CustMarkSymb, 61569},
      {"OptMsgs count", static_cast<int64_t>(o.Internal.OptMsgs.size()), 54},
      {"SideBySide_Zoom", o.Internal.SideBySide_Zoom, 100},
      {"SideBySide_ZoomKind", o.Internal.SideBySide_ZoomKind, 2},
      {"NavObjType", o.Internal.NavObjType, 4},
      {"InsTableCols", o.Internal.InsTableCols, 5},
      {"InsTableRows", o.Internal.InsTableRows, 5},
      {"SplitCellsCols", o.Internal.SplitCellsCols, 2},
      {"SplitCellsRows", o.Internal.SplitCellsRows, 1},
      {"TableToText_CellSep", o.Internal.TableToText_CellSep, 2},
      {"WritingTarget", o.Internal.WritingTarget, 500},
      {"WritingTargetType", o.Internal.WritingTargetType, 2},
      {"DropCapProps[0]", o.Internal.DropCapProps[0], 1},
      {"DropCapProps[1]", o.Internal.DropCapProps[1], 3},
      {"TOC.TabLeader", o.Internal.TOC.TabLeader, 1},
      {"TOC.Levels", o.Internal.TOC.Levels, 3},
      {"Env.Width", o.Internal.Envelopes.Width, 9360},
      {"Env.Height", o.Internal.Envelopes.Height, 5220},
      {"Env.DA_Left", o.Internal.Envelopes.DA_Left, 4000},
      {"Env.DA_Top", o.Internal.Envelopes.DA_Top, 5000},
      {"Env.RA_Left", o.Internal.Envelopes.RA_Left, 1000},
      {"Env.RA_Top", o.Internal.Envelopes.RA_Top, 1000},
      {"Env.FeedMethod", o.Internal.Envelopes.FeedMethod, 5},
      {"MainWnd.State", o.Internal.MainWnd.State, 2},
      {"MainWnd.x", o.Internal.MainWnd.Left, 320},
      {"MainWnd.y", o.Internal.MainWnd.Top, 180},
      {"MainWnd.cx", o.Internal.MainWnd.Width, 1280},
      {"MainWnd.cy", o.Internal.MainWnd.Height, 720},
      {"Find.x", o.Internal.FindReplace.X, kOptNotSet},
      {"NewDoc.Maximize", o.NewDocParams.Maximize, 1},
      {"NewDoc.ViewModeTXT", o.NewDocParams.ViewModeTXT, 2},
      {"NewDoc_Index", o.NewDocParams.NewDoc_Index, 1},
      {"Preview.ZoomFactor", Holder.PreviewZoom.Factor, 100},
      {"Preview.ZoomKind", Holder.PreviewZoom.Kind, 4},
      {"Preview.ScrollBars", Holder.PreviewView.ScrollBars, 2},
      {"Preview.StatusBar", Holder.PreviewView.StatusBar, 1},
      {"Preview.MouseMode", Holder.PreviewView.MouseMode, 3},
      {"General.Flags", o.General.Flags, 37},
      {"DocsToKeep", o.General.DocsToKeep, 10},
      {"Measurements", o.General.Measurements, 0},
      {"FontSizes count", static_cast<int64_t>(o.General.FontSizes.size()), 16},
      {"FontSizes last", o.General.FontSizes.back(), 144},
      {"View.Flags (16:9)", o.View.Flags, 13094},
      {"SpecSymbTypesEx", o.View.SpecSymbTypesEx, 255},
      {"FldShading", o.View.FldShading, 2},
      {"Toolbars", o.View.Toolbars, 1},
      {"DocBar", o.View.DocBar, 1},
      {"DocBarAlign", o.View.DocBarAlign, 2},
      {"DocBarWidth", o.View.DocBarWidth, 170},
      {"DocBarRows", o.View.DocBarRows, 1},
      {"SBarPanels3", o.View.SBarPanels3, 508021 | 0x20A | 0x1A0A},
      {"ControlBoard", o.View.ControlBoard, 1},
      {"DocMap_Lvls", o.View.DocMap_Lvls, 8},
      {"DocMap_FntSize", o.View.DocMap_FntSize, 2},
      {"LstMan_ShowLists", o.View.LstMan_ShowLists, 3},
      {"FS_GUI", o.View.FS_GUI, 128},
      {"Spotlight", o.View.Spotlight, 201},
      {"SpotlightH", o.View.SpotlightH, 72},
      {"Normal.ScrollBars", Holder.NormalView.ScrollBars, 3},
      {"Normal.StatusBar", Holder.NormalView.StatusBar, 1},
      {"Normal.Ruler", Holder.NormalView.Ruler, 0},
      {"Edit.Flags", o.Edit.Flags, 2135487},
      {"HLinkULine", o.Edit.HLinkULine, 1},
      {"HLinkColor", o.Edit.HLinkColor, 0xFF0000},
      {"PowerType", o.Edit.PowerType_SuggAddedLength, 2},
      {"LoadSave.Flags", o.LoadSave.Flags, 6835},
      {"Backup_MaxFiles", o.LoadSave.Backup_MaxFiles, 5},
      {"Backup_MinDiff", o.LoadSave.Backup_MinDiff, 2},
      {"Backup_MaxAmount", o.LoadSave.Backup_MaxAmount, 100},
      {"AutoSave", o.LoadSave.AutoSave, 3},
      {"EbookMargUnit", o.LoadSave.EbookMargUnit, 2},
      {"EbookFntSave", o.LoadSave.EbookFntSave, 1},
      {"Ebook300KB", o.LoadSave.Ebook300KB, 1},
      {"TxtEncoding", o.LoadSave.TxtEncoding, -1},
      {"Print.Flags", o.Print.Flags, 5},
      {"BookletSize", o.Print.BookletSize, 2147483647},
      {"Spellcheck.Flags2", o.Spellcheck.Flags2, 496},
      {"PageNumPos", o.PageNum.PageNumPos, 1},
      {"PageNumAlign", o.PageNum.PageNumAlign, 2},
      {"1stPage", o.PageNum.FirstPage, 1},
      {"Palette size", static_cast<int64_t>(o.Colors.Palette.size()), 73},
      {"Palette[0]", o.Colors.Palette[0], kAutoColor},
      {"Palette[2]", o.Colors.Palette[2], 0x4F4F2F},
      {"CustomColors[5]", o.Colors.CustomColors[5], 0xFFFFFFFF},
      {"Autocorrect.Flags", o.Autocorrect.Flags, 7167},
      {"FileExts count", static_cast<int64_t>(o.Autocorrect.FileExts.size()), 42},
      {"WebDomains count", static_cast<int64_t>(o.Autocorrect.WebDomains.size()), 11},
      {"SepFldr", o.SaveAsWeb.SepFldr, 1},
      {"BkClr", o.SaveAsWeb.BkClr, kOptNotSet},
      {"ClipLib.Flags", o.ClipLib.Flags, 3},
      {"Overused.Flags", o.OverusedWords.Flags, 91},
      {"Overused.x", o.OverusedWords.X, kOptNotSet},
      {"MinDistance", o.OverusedWords.MinDistance, 15},
      {"SentSize", o.OverusedWords.SentSize, 25},
  };
  for (const Row& row : rows) EXPECT_EQ(row.Actual, row.Expected) << row.Key;

  const struct {
    const char* Key;
    std::string Actual, Expected;
  } texts[] = {
      {"SavePict_Template", o.Internal.SavePict_Template, "Picture%s.%s"},
      {"InsSymbol_Font", o.Internal.InsSymbol.Font, "Symbol"},
      {"InitDir", o.Internal.InitDir, Ctx.DataFolder + "Documents/"},
      {"SaveSelAs_DefDocFmt", o.Internal.SaveSelAs_DefDocFmt, "RTF"},
      {"Ftn_CustomMarkFont", o.Internal.Ftn_CustomMarkFont, "Wingdings"},
      {"HRProps", o.Internal.HRProps, "{\\sp{\\sn fillColor}{\\sv 8421504}}{\\sp{\\sn alignHR}{\\sv 1}}"},
      {"FontHistory", o.Internal.FontHistory, "Arial\r\nTimes New Roman\r\nVerdana"},
      {"UsrName", o.General.UsrName, "ann"},
      {"DefDocFmt", o.General.DefDocTemplates.DefDocFmt, "RTF"},
      {"Template_DOCX", o.General.DefDocTemplates.Template_DOCX, "Normal.rtf"},
      {"Template_TXT", o.General.DefDocTemplates.Template_TXT, "Plain.rtf"},
      {"DocFolder", o.LoadSave.DocFolder, Ctx.DataFolder + "Documents/"},
      {"BackupFolder", Holder.BackupFolder, Ctx.DataFolder + "Backup"},
      {"EbookMargB", o.LoadSave.EbookMargB, "0.5"},
      {"kindlegen_cmdline", o.LoadSave.kindlegen_cmdline, "\"%1\""},
      {"Author", o.SaveAsWeb.Author, "ann"},
      {"AddGraphicClip", o.ClipLib.AddGraphicClip_RecentFolder, "Images"},
      {"FileExts first", o.Autocorrect.FileExts.front(), "avi"},
      {"FileExts last", o.Autocorrect.FileExts.back(), "zip"},
  };
  for (const auto& row : texts) EXPECT_EQ(row.Actual, row.Expected) << row.Key;
  EXPECT_EQ(o.Internal.INDEX_Instr, u"INDEX");
  EXPECT_EQ(o.Internal.TOC.Title, u"Table Of Contents");
  EXPECT_TRUE(o.WritingData.empty());
  // Loading creates no folder: the backup folder is made when the first backup is written.
  EXPECT_FALSE(std::filesystem::exists(Holder.BackupFolder));
}

TEST_F(OptionsTest, NarrowScreenAndUSLocaleDefaults) {
  Ctx.ScreenWidth = 1024;
  Ctx.ScreenHeight = 768;
  Ctx.USMeasurement = true;
  Ctx.InterfaceScale = 26;
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  EXPECT_EQ(Opt.View.Flags, 8998);
  EXPECT_EQ(Opt.View.DocBarWidth, 170);
  EXPECT_EQ(Opt.View.SBarPanels3, 508021);
  EXPECT_EQ(Opt.View.SpotlightH, 144);
  EXPECT_EQ(Opt.General.Measurements, 1);
}

TEST_F(OptionsTest, EmptyStoreSavesRunCountOneAndDefaultsAsEmptyValues) {
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  std::string text = SaveIniText(Opt, Holder);
  for (const char* line : {"RunCount=1\n", "LastRunVer=40101000\n", "FontSizes=\n", "ColPal=\n",
                           "BackupFolder=\n", "DocFolder=\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find("InsSymbol_Font"), std::string::npos);  // no symbol dialog
}

TEST_F(OptionsTest, FullRecordRoundTripsThroughIniAndHive) {
  ScopedService<TOptionsServices, TSymbolDialogServices> services;
  THolderSettings holder;
  TOptions full = FullRecord(Ctx, holder);
  std::filesystem::create_directories(full.LoadSave.DocFolder);
  std::filesystem::create_directories(Ctx.DataFolder);
  qvtest::WriteFile(Ctx.DataFolder + "a.rtf", "{\\rtf1}");
  TOptions expected = full;
  expected.Internal.RunCount += 1;

  // Saved by one holder and loaded by a fresh one, through the hive and through an ini file.
  const std::string iniFile = Dir + "/settings.ini";
  const std::function<void(TOptions&)> stores[] = {
      [&](TOptions& out) {
        TContextSite site(Ctx, Dir + "/hive.ini");
        TOptionsHolder saver(&site);
        saver.Settings = holder;
        TOptions copy = full;
        saver.SaveToRegistry(copy);
        TOptionsHolder loader(&site);
        loader.LoadOptions();
        out = loader.Options;
        Holder = loader.Settings;
      },
      [&](TOptions& out) {
        TContextSite site(Ctx, Dir + "/unused-hive.ini");
        site.Switches = {{swLoadSettingsFromIni, ""}, {swSettingsFileName, iniFile}};
        TOptionsHolder saver(&site);
        saver.Settings = holder;
        TOptions copy = full;
        saver.SaveToIniFile(copy, iniFile);
        TOptionsHolder loader(&site);
        loader.LoadOptions();
        EXPECT_EQ(loader.StorageKind(), 2);
        out = loader.Options;
        Holder = loader.Settings;
      },
  };
  for (const auto& roundTrip : stores) {
    TOptions loaded;
    roundTrip(loaded);
    EXPECT_EQ(loaded.Internal, expected.Internal);
    EXPECT_EQ(loaded.NewDocParams, expected.NewDocParams);
    EXPECT_EQ(loaded.General, expected.General);
    EXPECT_EQ(loaded.View, expected.View);
    EXPECT_EQ(loaded.Edit, expected.Edit);
    EXPECT_EQ(loaded.LoadSave, expected.LoadSave);
    EXPECT_EQ(loaded.Print, expected.Print);
    EXPECT_EQ(loaded.Spellcheck, expected.Spellcheck);
    EXPECT_EQ(loaded.PageNum, expected.PageNum);
    EXPECT_EQ(loaded.Colors, expected.Colors);
    EXPECT_EQ(loaded.Autocorrect, expected.Autocorrect);
    EXPECT_EQ(loaded.SaveAsWeb, expected.SaveAsWeb);
    EXPECT_EQ(loaded.ClipLib, expected.ClipLib);
    EXPECT_EQ(loaded.DateTime, expected.DateTime);
    EXPECT_EQ(loaded.OverusedWords, expected.OverusedWords);
    EXPECT_EQ(loaded.WritingData, expected.WritingData);
    EXPECT_EQ(loaded.EbookMeta, expected.EbookMeta);
    EXPECT_EQ(Holder, holder);
  }
}

// Stored values outside their range, malformed, or subject to a key's own rule.
TEST_F(OptionsTest, StoredValuesFollowEachKeysRule) {
  const std::string custCols127(127, 'a');
  struct Case {
    const char* Name;
    std::string Ini;
    std::function<void(TOptionsContext&)> Machine;
    std::function<int64_t(const TOptions&, const THolderSettings&)> Get;
    int64_t Expected;
  };
  auto view = [](auto f) { return [f](const TOptions& o, const THolderSettings&) -> int64_t { return f(o.View); }; };
  const Case cases[] = {
      {"DefZoom 5 reads 0", Section("View") + "DefZoom=5\n", nullptr, view([](auto& v) { return v.DefZoom; }), 0},
      {"DefZoom -4 stays", Section("View") + "DefZoom=-4\n", nullptr, view([](auto& v) { return v.DefZoom; }), -4},
      {"DefZoom 600 clamps", Section("View") + "DefZoom=600\n", nullptr, view([](auto& v) { return v.DefZoom; }), 500},
      {"SpotlightH 10 reads 0", Section("View") + "SpotlightH=10\n", nullptr, view([](auto& v) { return v.SpotlightH; }), 0},
      {"SpotlightH limited to screen", Section("View") + "SpotlightH=5000\n", nullptr, view([](auto& v) { return v.SpotlightH; }), 1080},
      {"DocBarWidth clamps to a third", Section("View") + "DocBarWidth=5000\n", nullptr, view([](auto& v) { return v.DocBarWidth; }), 640},
      {"Toolbars of old version on small screen", Section("Internal") + "LastRunVer=29999999\n" + Section("View") + "Toolbars=0\n",
       [](TOptionsContext& c) { c.ScreenHeight = 700; }, view([](auto& v) { return v.Toolbars; }), 2},
      {"Toolbars of new version on small screen", Section("Internal") + "LastRunVer=30000000\n" + Section("View") + "Toolbars=0\n",
       [](TOptionsContext& c) { c.ScreenHeight = 700; }, view([](auto& v) { return v.Toolbars; }), 0},
      {"DocBarAlign of old version on wide screen", Section("Internal") + "LastRunVer=30001999\n" + Section("View") + "DocBarAlign=3\n",
       nullptr, view([](auto& v) { return v.DocBarAlign; }), 0},
      {"CBTab unknown id gives tab 0", Section("View") + "CBTab=77\n", nullptr, view([](auto& v) { return v.CBActiveTab; }), 0},
      {"CBTab id 7 is tab 2", Section("View") + "CBTab=7\n", nullptr, view([](auto& v) { return v.CBActiveTab; }), 2},
      {"all tabs off leaves tab 0 on", Section("View") + "DisCBTabs=2047\n", nullptr,
       view([](auto& v) { return v.CBDisabledTabs & 1; }), 0},
      {"BookletSize 30", Section("Print") + "BookletSize=30\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Print.BookletSize; }, 28},
      {"BookletSize 100", Section("Print") + "BookletSize=100\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Print.BookletSize; }, 64},
      {"BookletSize 2", Section("Print") + "BookletSize=2\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Print.BookletSize; }, 4},
      {"flags text unparsable", Section("Print") + "Flags=lots\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Print.Flags; }, 5},
      {"flags kept to 8 bits", Section("Print") + "Flags=511\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Print.Flags; }, 255},
      {"NewDoc_Index ignored without flag 4", Section("General") + "Flags=1\nNewDoc_Index=7\n" + Section("Internal") + "SavePict_Index=9\n",
       nullptr, [](auto& o, auto&) -> int64_t { return o.NewDocParams.NewDoc_Index * 100 + o.Internal.SavePict_Index; }, 101},
      {"NewDoc_Index kept with flag 4", Section("General") + "Flags=4\nNewDoc_Index=7\n" + Section("Internal") + "SavePict_Index=9\n",
       nullptr, [](auto& o, auto&) -> int64_t { return o.NewDocParams.NewDoc_Index * 100 + o.Internal.SavePict_Index; }, 709},
      {"int text unparsable", Section("Internal") + "InsTableCols=abc\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Internal.InsTableCols; }, 5},
      {"int above range", Section("Internal") + "InsTableCols=100\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Internal.InsTableCols; }, 63},
      {"OptMsgs of 10 digits", Section("Internal") + "OptMsgs=0102030405\n", nullptr,
       [](auto& o, auto&) -> int64_t { auto& m = o.Internal.OptMsgs; return m.size() * 1000 + m[4] * 10 + m[53]; }, 54050},
      {"OptMsgs damaged", Section("Internal") + "OptMsgs=01zz\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.OptMsgs.size() * 10 + o.Internal.OptMsgs[0]; }, 540},
      {"DropCapProps of 15 digits", Section("Internal") + "DropCapProps=020202020202020\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.DropCapProps[0] * 10 + o.Internal.DropCapProps[1]; }, 13},
      {"DropCapProps of 17 digits", Section("Internal") + "DropCapProps=02020202020202020\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.DropCapProps[0] * 10 + o.Internal.DropCapProps[1]; }, 13},
      {"DropCapProps of 16 digits", Section("Internal") + "DropCapProps=0202020202020202\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.DropCapProps[0] * 10 + o.Internal.DropCapProps[1]; }, 22},
      {"NoteKind true is kind 2", Section("Internal") + "NoteKind=1\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Internal.NoteKind; }, 2},
      {"find window x negative", Section("Internal\\FindReplace") + "x=-5\ny=-2147483648\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.FindReplace.X * 10 + (o.Internal.FindReplace.Y == kOptNotSet); }, 1},
      {"minimised window restores", Section("Internal\\MainWnd") + "State=1\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.MainWnd.State; }, 0},
      {"Maximized switch", Section("Internal\\MainWnd") + "State=0\n", [](TOptionsContext& c) { c.SwitchMaximized = true; },
       [](auto& o, auto&) -> int64_t { return o.Internal.MainWnd.State; }, 2},
      {"placement of another screen", Section("Internal\\MainWnd") + "cx_1920x1080=1000\n",
       [](TOptionsContext& c) { c.ScreenWidth = 1280; c.ScreenHeight = 1024; },
       [](auto& o, auto&) -> int64_t { return o.Internal.MainWnd.Width; }, 1280 * 4 / 6},
      {"placement width below minimum", Section("Internal\\MainWnd") + "cx_1920x1080=100\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Internal.MainWnd.Width; }, 370},
      {"FontSizes sorted, bounded, unique", Section("General") + "FontSizes=180000000c00000018000000b80b000001000000\n", nullptr,
       [](auto& o, auto&) -> int64_t { auto& f = o.General.FontSizes; return f.size() * 10000 + f[0] * 100 + f[1]; }, 21224},
      {"FontSizes damaged gives defaults", Section("General") + "FontSizes=zz000000\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.General.FontSizes.size(); }, 16},
      {"ColPal single character", Section("ColorScheme") + "ColPal=?\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Colors.Palette.size(); }, 1},
      {"ColPal odd length", Section("ColorScheme") + "ColPal=123456789\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Colors.Palette.size(); }, 73},
      {"ColPal colours low byte first", Section("ColorScheme") + "ColPal=56341200\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Colors.Palette.size() * 0x1000000 + o.Colors.Palette[1]; }, 2 * 0x1000000 + 0x123456},
      {"ColDlg_CustCols of 127 digits", Section("ColorScheme") + "ColDlg_CustCols=" + custCols127 + "\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Colors.CustomColors[0]; }, 0xFFFFFFFF},
      {"MoreCols clamps", Section("ColorScheme") + "MoreCols=-3\n", nullptr, [](auto& o, auto&) -> int64_t { return o.Colors.MoreCols; }, 0},
      {"old spellcheck flags move the edit bit", Section("Edit") + "Flags=4096\n" + Section("Spellcheck") + "Flags2=0\n", nullptr,
       [](auto& o, auto&) -> int64_t { return int64_t{o.Edit.Flags} * 100000 + o.Spellcheck.Flags2; }, int64_t{0x2000} * 100000 + 0x20},
      {"new spellcheck flags keep the edit bit", Section("Edit") + "Flags=4096\n" + Section("Spellcheck") + "Flags2=128\n", nullptr,
       [](auto& o, auto&) -> int64_t { return int64_t{o.Edit.Flags} * 100000 + o.Spellcheck.Flags2; }, int64_t{0x1000} * 100000 + 0xA0},
      {"read-only save format gives RTF", Section("DefDocTemplates") + "DefDocFmt=wri\n" + Section("Internal") + "SaveSelAs_DefDocFmt=ODT\n", nullptr,
       [](auto& o, auto&) -> int64_t { return (o.General.DefDocTemplates.DefDocFmt == "RTF") + 10 * (o.Internal.SaveSelAs_DefDocFmt == "RTF"); }, 11},
      {"known save format in any case", Section("DefDocTemplates") + "DefDocFmt=docx\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.General.DefDocTemplates.DefDocFmt == "DOCX"; }, 1},
      {"missing Brouillon template", Section("DefDocTemplates") + "Template_TXT=brouillon.RTF\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.General.DefDocTemplates.Template_TXT == "Plain.rtf"; }, 1},
      {"empty kindlegen command line", Section("LoadSave") + "kindlegen_cmdline=\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.LoadSave.kindlegen_cmdline == "\"%1\""; }, 1},
      {"docs to reload ignored without bit 0x40", Section("LoadSave") + "Flags=0\nDocsToReload=;/a.rtf\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.LoadSave.DocsToReload.empty(); }, 1},
      {"docs to reload read with bit 0x40", Section("LoadSave") + "Flags=64\nDocsToReload=;/a.rtf\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.LoadSave.DocsToReload == ";/a.rtf"; }, 1},
      {"damaged scheme count", Section("ColorScheme\\UsrSchemes2") + "Count=2000000000\nName0=A\nData0=1\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.Colors.UserSchemes.size(); }, 1},
      {"date-time count past the stored languages", Section("DateTime") + "Count=65535\n" + Section("DateTime\\0") + "Lang=1031\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.DateTime.Langs.size() * 10000 + o.DateTime.Langs[0].Lang; }, 11031},
      {"date-time count clamps", Section("DateTime") + "Count=-1\n", nullptr,
       [](auto& o, auto&) -> int64_t { return o.DateTime.Langs.size(); }, 0},
      {"overused position negative", Section("OverusedWords") + "x=-9\nMinDistance=0\nSentSize=900\n", nullptr,
       [](auto& o, auto&) -> int64_t { auto& w = o.OverusedWords; return w.X * 1000000 + w.MinDistance * 1000 + w.SentSize; }, 1500},
      {"preview zoom clamps", Section("Preview") + "ZoomFactor=5\nMouseMode=9\n", nullptr,
       [](auto&, auto& h) -> int64_t { return h.PreviewZoom.Factor * 10 + h.PreviewView.MouseMode; }, 106},
      {"view mouse mode is not read", Section("View") + "MouseMode=4\nScrollBars=7\n", nullptr,
       [](auto&, auto& h) -> int64_t { return h.NormalView.MouseMode * 10 + h.NormalView.ScrollBars; }, 3},
  };
  for (const Case& c : cases) {
    TOptionsContext saved = Ctx;
    if (c.Machine) c.Machine(Ctx);
    LoadIniText(c.Ini);
    EXPECT_EQ(c.Get(Opt, Holder), c.Expected) << c.Name;
    Ctx = saved;
  }
}

TEST_F(OptionsTest, HistoriesListsAndSchemesKeepTheirOrder) {
  std::vector<std::u16string> thirty;
  for (int i = 0; i < 30; ++i) thirty.push_back(u"find " + std::u16string(1, u'a' + i % 26));
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  Opt.Internal.FindReplace.FindHistory = thirty;
  Opt.Colors.UserSchemes = {{"First", "00000001"}, {"Second", "00000002"}};
  std::string text = SaveIniText(Opt, Holder);
  EXPECT_NE(text.find("Name0=First\nData0=00000001\nName1=Second"), std::string::npos);
  // "find a" as UTF-16 code units, low byte first, upper-case digits.
  EXPECT_NE(text.find("Find_A=660069006E00640020006100\n"), std::string::npos);
  LoadIniText(text);
  EXPECT_EQ(Opt.Internal.FindReplace.FindHistory, thirty);
  EXPECT_EQ(Opt.Colors.UserSchemes[1].Name, "Second");

  // 31 stored entries load the first 30; an unnamed scheme is skipped.
  LoadIniText(Section("Internal\\FindReplace") + "StringsToFindW=31\nFind_A=6100\nFind_B=6200\n" +
              Section("ColorScheme\\UsrSchemes2") + "Count=3\nName0=\nData0=1\nName1=B\nName2=C\n");
  EXPECT_EQ(Opt.Internal.FindReplace.FindHistory, (std::vector<std::u16string>{u"a", u"b"}));
  ASSERT_EQ(Opt.Colors.UserSchemes.size(), 2u);
  EXPECT_EQ(Opt.Colors.UserSchemes[0].Name, "B");
}

TEST_F(OptionsTest, OnlyChangedDateLanguagesAreStored) {
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  Opt.DateTime.Langs = {{1031, 1, 2, 3, "a", false}, {1033, 4, 5, 6, "b\r\nc", true}};
  LoadIniText(SaveIniText(Opt, Holder));
  ASSERT_EQ(Opt.DateTime.Langs.size(), 1u);
  EXPECT_EQ(Opt.DateTime.Langs[0], (TLangDateTimeFormatInfo{1033, 4, 5, 6, "b\r\nc", true}));
}

TEST_F(OptionsTest, FoldersFollowTheirRules) {
  const std::string kept = Ctx.DataFolder + "kept";
  std::filesystem::create_directories(kept);
  struct Case {
    const char* Name;
    std::string Stored;
    std::string DocFolder;
  };
  const Case cases[] = {
      {"missing folder", "/no/such/folder/", Ctx.DataFolder + "Documents/"},
      {"empty value", "", Ctx.DataFolder + "Documents/"},
      {"existing folder gets a separator", kept, kept + "/"},
      {"stored-path form", "%kept", kept + "/"},
  };
  for (const Case& c : cases) {
    LoadIniText(Section("LoadSave") + "DocFolder=" + c.Stored + "\n");
    EXPECT_EQ(Opt.LoadSave.DocFolder, c.DocFolder) << c.Name;
  }
  // Flag 0x80 creates the document folder; the backup folder is only named.
  LoadIniText(Section("LoadSave") + "Flags=128\nBackupFolder=" + Dir + "/bak/x\n");
  EXPECT_TRUE(std::filesystem::is_directory(Opt.LoadSave.DocFolder));
  EXPECT_EQ(Holder.BackupFolder, Dir + "/bak/x");
  EXPECT_FALSE(std::filesystem::exists(Dir + "/bak"));
  // Defaults are written empty, others in stored-path form.
  Opt.LoadSave.DocFolder = kept + "/";
  std::string text = SaveIniText(Opt, Holder);
  EXPECT_NE(text.find("DocFolder=%kept/\n"), std::string::npos);
  EXPECT_NE(text.find("BackupFolder=" + Dir + "/bak/x\n"), std::string::npos);
}

TEST_F(OptionsTest, BackupFolderIsMadeWhenABackupIsWrittenNotWhenSettingsAreRead) {
  // Run in an empty current folder, so that a folder made from a relative value would show.
  const std::string cwd = qvtest::MakeTempDir("cwd");
  const std::filesystem::path oldCwd = std::filesystem::current_path();
  std::filesystem::current_path(cwd);
  const std::string def = Ctx.DataFolder + "Backup";
  const struct {
    const char* name;
    std::string stored, folder;
  } cases[] = {
      {"absolute, with parents", Dir + "/deep/er/bak", Dir + "/deep/er/bak"},
      {"relative counts as missing", "bak/rel", def},
      {"dot form counts as missing", "./bak", def},
      {"empty", "", def},
  };
  for (const auto& c : cases) {
    LoadIniText(Section("LoadSave") + "BackupFolder=" + c.stored + "\n");
    EXPECT_EQ(Holder.BackupFolder, c.folder) << c.name;
    EXPECT_FALSE(std::filesystem::exists(c.folder)) << c.name;
    EXPECT_TRUE(std::filesystem::is_empty(cwd)) << c.name;
    std::string folder;
    ASSERT_TRUE(EnsureBackupFolder(Holder, folder)) << c.name;
    EXPECT_EQ(folder, c.folder + "/") << c.name;
    EXPECT_TRUE(std::filesystem::is_directory(c.folder)) << c.name;
    std::filesystem::remove_all(Dir + "/deep");
    std::filesystem::remove_all(def);
  }
  // A file standing where the folder belongs: no folder, and the caller learns of it.
  qvtest::WriteFile(Dir + "/taken", "x");
  LoadIniText(Section("LoadSave") + "BackupFolder=" + Dir + "/taken\n");
  std::string folder = "stale";
  EXPECT_FALSE(EnsureBackupFolder(Holder, folder));
  EXPECT_TRUE(folder.empty());
  EXPECT_EQ(qvtest::ReadFile(Dir + "/taken"), "x");
  std::filesystem::current_path(oldCwd);
}

TEST_F(OptionsTest, ReopenListIsWrittenOnlyWhenAsked) {
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  Opt.LoadSave.DocsToReload = ";/a.rtf";
  Opt.LoadSave.Flags = 0;
  EXPECT_NE(SaveIniText(Opt, Holder).find("DocsToReload=\n"), std::string::npos);
  Opt.LoadSave.Flags = 0x40;
  EXPECT_NE(SaveIniText(Opt, Holder).find("DocsToReload=;/a.rtf\n"), std::string::npos);
  Ctx.StartedToPrint = true;
  EXPECT_EQ(SaveIniText(Opt, Holder).find("DocsToReload"), std::string::npos);
}

TEST_F(OptionsTest, InitDirIsTheCurrentFolderUnlessItIsRemovable) {
  struct Case {
    const char* Name;
    std::string Current;
    bool Removable, Portable;
    std::string Expected;
  };
  const Case cases[] = {
      {"fixed drive", "/srv/work", false, false, "/srv/work/"},
      {"removable drive", "/media/stick/work", true, false, Ctx.DataFolder},
      {"removable in portable mode", "/media/stick/work", true, true, "/media/stick/work/"},
      {"unknown current folder keeps the record", "", false, false, "/kept/"},
  };
  for (const Case& c : cases) {
    TSettingsStorage empty;
    LoadAllOptions(empty, Ctx, Opt, Holder);
    Opt.Internal.InitDir = "/kept/";
    TOptionsContext saved = Ctx;
    Ctx.CurrentFolder = c.Current;
    Ctx.CurrentFolderRemovable = c.Removable;
    Ctx.Portable = c.Portable;
    std::string text = SaveIniText(Opt, Holder);
    Ctx = saved;
    LoadIniText(text);
    EXPECT_EQ(Opt.Internal.InitDir, c.Expected) << c.Name;
  }
}
