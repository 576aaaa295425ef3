// Keys of "Internal", its sub-sections, "NewDocParams", "Preview" and the root texts
// "FontHistory" and "FavSymbols".
#include <array>

#include "foundation/settings/options_holder.h"
#include "foundation/settings/options_sections.h"

namespace qv {

namespace {

using K = TKeyKind;
using I = TInternalOptions;

const std::vector<TKeyDesc<I>>& InternalKeys() {
  static const std::vector<TKeyDesc<I>> keys = {
      {"RunCount", K::Int, &I::RunCount, 0, INT32_MAX},
      {"Flags", K::Flags, &I::Flags},
      {"SectMan_PropCategories", K::Int, &I::SectMan_PropCategories, 0, 255},
      {"RevealCategories", K::Int, &I::RevealCategories, 0, 255},
      {"OpenDocDlgFilter", K::Int, &I::OpenDocDlgFilter, 1, 9},
      {"OpenPictDlgFilter", K::Int, &I::OpenPictDlgFilter, 1, 8},
      {"SavePictDlgFilter", K::Int, &I::SavePictDlgFilter, 1, 6},
      {"InitDir", K::Path, &I::InitDir},
      {"SavePict_Index", K::Int, &I::SavePict_Index, 1, INT32_MAX},
      {"SavePict_Digits", K::Int, &I::SavePict_Digits, 1, 10},
      {"SavePict_Template", K::Text, &I::SavePict_Template},
      {"LastFntScaleFactor", K::Int, &I::LastFntScaleFactor, 1, 1000},
      {"PasteSpec_Fmt", K::Int, &I::PasteSpec_Fmt},
      {"LastUsedDocTemplate", K::Text, &I::LastUsedDocTemplate},
      {"ImportStyles_LastUsedFile", K::Text, &I::ImportStyles_LastUsedFile},
      {"HiliteCol", K::Int, &I::HiliteCol},
      {"FontCol", K::Int, &I::FontCol},
      {"LastChkForUpd", K::Int, &I::LastChkForUpd, 0, INT32_MAX},
      {"INDEX_Instr", K::Wide, &I::INDEX_Instr},
      {"OpenDlgPreview", K::Int, &I::OpenDlgPreview, 0, 3},
      {"TemplateDlgPreview", K::Int, &I::TemplateDlgPreview, 0, 3},
      {"OpenDlgSize", K::Int, &I::OpenDlgSize, 0, 6226015},
      {"LastFavSubfolder", K::Text, &I::LastFavSubfolder},
      {"SaveSelAs_DefDocFmt", K::Text, &I::SaveSelAs_DefDocFmt},
      {"DefBulList", K::Int, &I::DefBulList, 0, INT32_MAX},
      {"DefNumList", K::Int, &I::DefNumList, 0, INT32_MAX},
      {"DefOutlList", K::Int, &I::DefOutlList, 0, INT32_MAX},
      {"LastBulPic", K::Path, &I::LastBulPic},
      {"Ftn_CustomMarkFont", K::Text, &I::Ftn_CustomMarkFont},
      {"Ftn_CustMarkSymb", K::Int, &I::Ftn_CustMarkSymb, 32, 65535},
      {"Ftn_CustomMarkLang", K::Int, &I::Ftn_CustomMarkLang},
      {"SideBySide_Zoom", K::Int, &I::SideBySide_Zoom, 10, 500},
      {"SideBySide_ZoomKind", K::Int, &I::SideBySide_ZoomKind, 0, 4},
      {"NavObjType", K::Int, &I::NavObjType, 0, 12},
      {"InsTableCols", K::Int, &I::InsTableCols, 1, 63},
      {"InsTableRows", K::Int, &I::InsTableRows, 1, 16384},
      {"SplitCellsCols", K::Int, &I::SplitCellsCols, 1, 63},
      {"SplitCellsRows", K::Int, &I::SplitCellsRows, 1, 63},
      {"TableToText_CellSep", K::Int, &I::TableToText_CellSep, 0, 255},
      {"WritingTarget", K::Int, &I::WritingTarget, 10, 1000000},
      {"WritingTargetType", K::Int, &I::WritingTargetType, 0, 2},
      {"HRProps", K::Text, &I::HRProps},
      {"DropCapFont", K::Text, &I::DropCapFont},
  };
  return keys;
}

const std::vector<TKeyDesc<TGenerateTOC_Options>>& TocKeys() {
  using T = TGenerateTOC_Options;
  static const std::vector<TKeyDesc<T>> keys = {
      {"PageNum", K::Bool, &T::ShowPageNumbers},
      {"RightAlign", K::Bool, &T::RightAlignPageNumbers},
      {"TabLeader", K::Int, &T::TabLeader, -1, 3},
      {"Levels", K::Int, &T::Levels, 1, 9},
      {"ShowTitle", K::Bool, &T::ShowTitle},
      {"TitleW", K::Wide, &T::Title},
      {"Template", K::Text, &T::TemplateName},
  };
  return keys;
}

const std::vector<TKeyDesc<TEnvelopeOptions>>& EnvelopeKeys() {
  using E = TEnvelopeOptions;
  static const std::vector<TKeyDesc<E>> keys = {
      {"LastAddrBook", K::Path, &E::LastAddrBook},
      // Addresses run over several lines, which no store keeps inside a value: they are kept
      // in the "||" form like the other multi-line values.
      {"LastAddr", K::Lines, &E::LastAddr},
      {"CSVNames", K::Lines, &E::CSVNames},
      {"CSVTemplate", K::Lines, &E::CSVTemplate},
      {"OmitRetAddr", K::Bool, &E::OmitRetAddr},
      {"RetAddr", K::Lines, &E::RetAddr},
      {"Width", K::Int, &E::Width, 1440, 31680},
      {"Height", K::Int, &E::Height, 1440, 31680},
      {"DA_Left", K::Int, &E::DA_Left, 0, 8000},
      {"DA_Top", K::Int, &E::DA_Top, 4000, 8000},
      {"RA_Left", K::Int, &E::RA_Left, 0, 8000},
      {"RA_Top", K::Int, &E::RA_Top, 0, 2000},
      {"FeedMethod", K::Int, &E::FeedMethod, 0, 5},
      {"FeedFace", K::Bool, &E::FeedFace},
  };
  return keys;
}

const std::vector<TKeyDesc<TNewDocParams>>& NewDocKeys() {
  using N = TNewDocParams;
  static const std::vector<TKeyDesc<N>> keys = {
      {"Maximize", K::Bool, &N::Maximize},
      {"ViewMode", K::Int, &N::ViewMode, 0, 2},
      {"ViewModeTXT", K::Int, &N::ViewModeTXT, 0, 2},
  };
  return keys;
}

constexpr const char* kDocFormatNames[] = {"RTF", "DOC", "DOCX", "ODT", "COD", "WRI", "TXT"};

constexpr int32_t kOptMsgDigits = 108;  // 54 flags at least
constexpr std::array<uint8_t, 8> kDropCapDefault = {1, 3, 0, 0, 0, 0, 0, 0};

void LoadOptMsgs(TSettingsStorage& s, I& o) {
  std::string hex = s.ReadStr("OptMsgs");
  while (hex.size() < static_cast<size_t>(kOptMsgDigits)) hex += "00";
  std::string bytes;
  if (!HexToBytes(hex, bytes)) HexToBytes(std::string(kOptMsgDigits, '0'), bytes);
  o.OptMsgs.assign(bytes.begin(), bytes.end());
}

void LoadMainWnd(TSettingsStorage& s, const TOptionsContext& c, TMainWndPlacement& w) {
  s.OpenKey("Internal\\MainWnd");
  int32_t state = s.ReadInteger("State", 0, 2, 2);
  if (state == 1) state = 0;
  if (c.SwitchRestored) state = 0;
  if (c.SwitchMaximized) state = 2;
  w.State = static_cast<uint8_t>(state);
  const std::string suffix = WindowPlacementSuffix(c.ScreenWidth, c.ScreenHeight);
  const int32_t minSize = 370 * c.VertDpi / 96;
  w.Left = s.ReadInteger("x" + suffix, INT32_MIN, INT32_MAX, c.ScreenWidth / 6);
  w.Top = s.ReadInteger("y" + suffix, INT32_MIN, INT32_MAX, c.ScreenHeight / 6);
  w.Width = s.ReadInteger("cx" + suffix, minSize, c.ScreenWidth, c.ScreenWidth * 4 / 6);
  w.Height = s.ReadInteger("cy" + suffix, minSize, c.ScreenHeight, c.ScreenHeight * 4 / 6);
}

void LoadFindReplace(TSettingsStorage& s, TFindReplaceState& f) {
  s.OpenKey("Internal\\FindReplace");
  for (auto [name, field] : {std::pair{"x", &f.X}, std::pair{"y", &f.Y}}) {
    int32_t v = s.ReadInteger(name, INT32_MIN, INT32_MAX, kOptNotSet);
    *field = (v < 0 && v != kOptNotSet) ? 0 : v;
  }
  f.Size = static_cast<uint8_t>(s.ReadInteger("Size", 0, 1, 0));
  f.FindTextFlags = static_cast<uint8_t>(s.ReadInteger("FindTextFlags", 0, 255, 0));
  f.FindHistory = ReadWideList(s, "StringsToFindW", "Find_", 30);
  f.ReplaceHistory = ReadWideList(s, "StringsToReplaceW", "Replace_", 30);
}

}  // namespace

std::string NormalizeDocFormatName(const std::string& name) {
  for (const char* known : kDocFormatNames) {
    if (SameTextAscii(name, known) && !SameTextAscii(name, "ODT") && !SameTextAscii(name, "WRI"))
      return known;
  }
  return "RTF";
}

void LoadInternalSection(TSettingsStorage& s, const TOptionsContext& c, TOptions& o) {
  I& in = o.Internal;
  s.OpenKey("Internal");
  LoadKeys(s, c, in, InternalKeys());
  // A store without a version was not written by an old build: nothing old to ignore.
  in.LastRunVer = s.ReadInteger("LastRunVer", INT32_MIN, INT32_MAX, kProgramVersion);
  in.InsSymbol.Font = s.ReadStr("InsSymbol_Font", in.InsSymbol.Font);
  in.InsSymbol.Symbol = s.ReadInteger("InsSymbol_Symbol", 32, 65535, in.InsSymbol.Symbol);
  in.SaveSelAs_DefDocFmt = NormalizeDocFormatName(in.SaveSelAs_DefDocFmt);
  in.NoteKind = s.ReadBool("NoteKind", in.NoteKind == 2) ? 2 : 1;
  LoadOptMsgs(s, in);
  ReadBinarySetting(s, "DropCapProps", in.DropCapProps.data(), kDropCapDefault.data(), 8);
  OptionsServices().ReadToolbarLayouts(s);
}

void SaveInternalSection(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  const I& in = o.Internal;
  s.OpenKey("Internal");
  I written = in;
  // RunCount counts this run; an overflow stays at the top of the range.
  written.RunCount = in.RunCount < INT32_MAX ? in.RunCount + 1 : INT32_MAX;
  // The current directory at exit; one on a removable drive may be gone at the next start.
  if (!c.CurrentFolder.empty()) {
    written.InitDir = c.CurrentFolderRemovable && !c.Portable ? c.DataFolder : c.CurrentFolder;
    if (written.InitDir.back() != '/') written.InitDir += '/';
  }
  SaveKeys(s, c, written, InternalKeys());
  s.WriteInteger("LastRunVer", kProgramVersion);
  if (OptionsServices().SymbolDialogExists()) {
    s.WriteString("InsSymbol_Font", in.InsSymbol.Font);
    s.WriteInteger("InsSymbol_Symbol", in.InsSymbol.Symbol);
  }
  s.WriteBool("NoteKind", in.NoteKind == 2);
  s.WriteBinaryValue("OptMsgs", in.OptMsgs.data(), static_cast<int32_t>(in.OptMsgs.size()));
  s.WriteBinaryValue("DropCapProps", in.DropCapProps.data(), 8);
  OptionsServices().WriteToolbarLayouts(s);
}

void LoadInternalSubSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o) {
  s.OpenKey("Internal\\TOC");
  LoadKeys(s, c, o.Internal.TOC, TocKeys());
  s.OpenKey("Internal\\Envelopes");
  LoadKeys(s, c, o.Internal.Envelopes, EnvelopeKeys());
  o.Internal.Envelopes.AddrFont =
      ReadLongText(s, "Internal\\Envelopes\\", "AddrFont", o.Internal.Envelopes.AddrFont);
  LoadMainWnd(s, c, o.Internal.MainWnd);
  LoadFindReplace(s, o.Internal.FindReplace);
}

void SaveTocAndEnvelopes(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  s.OpenKey("Internal\\TOC");
  SaveKeys(s, c, o.Internal.TOC, TocKeys());
  s.OpenKey("Internal\\Envelopes");
  SaveKeys(s, c, o.Internal.Envelopes, EnvelopeKeys());
  WriteLongText(s, "Internal\\Envelopes\\", "AddrFont", o.Internal.Envelopes.AddrFont);
}

void SaveMainWnd(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  const TMainWndPlacement& w = o.Internal.MainWnd;
  s.OpenKey("Internal\\MainWnd");
  s.WriteInteger("State", w.State);
  const std::string suffix = WindowPlacementSuffix(c.ScreenWidth, c.ScreenHeight);
  s.WriteInteger("x" + suffix, w.Left);
  s.WriteInteger("y" + suffix, w.Top);
  s.WriteInteger("cx" + suffix, w.Width);
  s.WriteInteger("cy" + suffix, w.Height);
}

void SaveFindReplace(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  const TFindReplaceState& f = o.Internal.FindReplace;
  s.OpenKey("Internal\\FindReplace");
  s.WriteInteger("x", f.X);
  s.WriteInteger("y", f.Y);
  s.WriteInteger("Size", f.Size);
  s.WriteInteger("FindTextFlags", f.FindTextFlags);
  WriteWideList(s, "StringsToFindW", "Find_", f.FindHistory, 30);
  WriteWideList(s, "StringsToReplaceW", "Replace_", f.ReplaceHistory, 30);
}

void LoadNewDocAndPreview(TSettingsStorage& s, const TOptionsContext& c, TOptions& o,
                          THolderSettings& h) {
  s.OpenKey("NewDocParams");
  LoadKeys(s, c, o.NewDocParams, NewDocKeys());
  s.OpenKey("Preview");
  h.PreviewZoom.Factor = s.ReadInteger("ZoomFactor", 10, 500, h.PreviewZoom.Factor);
  h.PreviewZoom.Kind = static_cast<uint8_t>(s.ReadInteger("ZoomKind", 0, 4, h.PreviewZoom.Kind));
  TViewSettings& v = h.PreviewView;
  v.Ruler = s.ReadBool("Ruler", v.Ruler);
  v.VerRuler = s.ReadBool("VerRuler", v.VerRuler);
  v.ScrollBars = static_cast<uint8_t>(s.ReadInteger("ScrollBars", 0, 3, v.ScrollBars));
  v.StatusBar = s.ReadBool("StatusBar", v.StatusBar);
  v.MouseMode = static_cast<uint8_t>(s.ReadInteger("MouseMode", 0, 6, v.MouseMode));
  o.Internal.FontHistory = BarsToLineBreaks(
      ReadLongText(s, "", "FontHistory", LineBreaksToBars(o.Internal.FontHistory)));
  o.Internal.FavSymbols = BarsToLineBreaks(ReadLongText(s, "", "FavSymbols", ""));
}

void SaveNewDocParams(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  s.OpenKey("NewDocParams");
  SaveKeys(s, c, o.NewDocParams, NewDocKeys());
}

void SavePreview(TSettingsStorage& s, const THolderSettings& h) {
  s.OpenKey("Preview");
  s.WriteInteger("ZoomFactor", h.PreviewZoom.Factor);
  s.WriteInteger("ZoomKind", h.PreviewZoom.Kind);
  const TViewSettings& v = h.PreviewView;
  s.WriteBool("Ruler", v.Ruler);
  s.WriteBool("VerRuler", v.VerRuler);
  s.WriteInteger("ScrollBars", v.ScrollBars);
  s.WriteBool("StatusBar", v.StatusBar);
  s.WriteInteger("MouseMode", v.MouseMode);
}

void SaveRootTexts(TSettingsStorage& s, const TOptions& o) {
  WriteLongText(s, "", "FontHistory", LineBreaksToBars(o.Internal.FontHistory));
  WriteLongText(s, "", "FavSymbols", LineBreaksToBars(o.Internal.FavSymbols));
}

}  // namespace qv
