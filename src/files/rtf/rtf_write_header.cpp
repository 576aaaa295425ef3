#include "files/rtf/rtf_write_header.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/number_formats.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/styles.h"
#include "files/doc_formats.h"
#include "files/output/save_progress_services.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_write_format.h"
#include "files/rtf/rtf_write_sections.h"
#include "files/rtf/rtf_write_state.h"
#include "foundation/base/date_time.h"
#include "foundation/base/string_utils.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/settings/options_holder.h"

namespace qv {
namespace {

constexpr const char* kGenerator = "Quorvane Word Processor 4.1.1.0;";
constexpr const char* kFormatNames[] = {"RTF", "DOC", "DOCX", "ODT", "COD", "WRI", "TXT"};

// Runs a part of the header with supercompact mode off.
template <typename F>
void Escaped(TRtfWriteState& w, F&& write) {
  const bool raw = w.RawText;
  w.RawText = false;
  write();
  w.RawText = raw;
}

void WriteFontEntry(TRtfWriteState& w, const TFontManager& manager, int32_t index) {
  const TRegFont& font = manager.RegFonts[static_cast<size_t>(index)];
  int32_t charset = font.Charset;
  if (charset == 1 && font.Installed && font.FamilyIndex >= 0 &&
      static_cast<size_t>(font.FamilyIndex) < manager.Families.size())
    charset = manager.Families[static_cast<size_t>(font.FamilyIndex)].Charset;
  OpenRtfGroup(w);
  WriteRtfWordValue(w, RtfWord("f"), index);
  WriteRtfWordValue(w, RtfWord("fcharset"), charset);
  w.Byte(' ');
  w.DelimiterPending = false;
  WriteRtfString(w, font.GetFaceName(manager));
  w.Byte(';');
  CloseRtfGroup(w);
}

// The style's composed formatting less the program's defaults, as the style sheet keeps it.
void WriteStyleFormatting(TRtfWriteState& w, const TStyle& style, TCharFormat chars,
                          TParFormat pars) {
  if (pars.OutlineLevel == 9 || style.IsHeading()) pars.OutlineLevel = ParUnset8;
  WriteSetCharProperties(w, chars);
  WriteParDifferences(w, pars, UnsetParFormat, true);
}

bool ListHasPictureBullet(const TAutoList& list) {
  for (int32_t l = 0; l < list.UsedLevelCount(); ++l)
    if (list.ListLevels[static_cast<size_t>(l)].PictureBullet != nullptr) return true;
  return false;
}

bool ListUsed(const TRtfWriteState& w, size_t index) {
  return index < w.Context.ListUsed.size() && w.Context.ListUsed[index] != 0;
}

void WriteLevel(TRtfWriteState& w, const TListLevel& level,
                const std::vector<TShape*>& pictures) {
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("listlevel"));
  WriteRtfWordValue(w, RtfWord("levelstartat"), level.StartAt);
  WriteRtfWordValue(w, RtfWord("levelnfc"), level.NumberFormat);
  if (level.PictureBullet != nullptr) {
    const auto at = std::find(pictures.begin(), pictures.end(), level.PictureBullet);
    WriteRtfWordValue(w, RtfWord("levelpicture"), at - pictures.begin());
  }
  WriteRtfWordValue(w, RtfWord("leveljc"), level.NumberAlign);
  Escaped(w, [&] {
    OpenRtfGroup(w);
    WriteRtfWord(w, RtfWord("leveltext"));
    w.Byte(' ');
    const std::u16string& text = level.LevelText;
    WriteRtfHexByte(w, static_cast<uint8_t>(std::min<size_t>(text.size(), 255)));
    for (char16_t c : text) {
      if (c < 32) {
        WriteRtfHexByte(w, static_cast<uint8_t>(c));
      } else if (c < 128) {
        WriteRtfString(w, std::u16string(1, c));
      } else {
        WriteRtfWordValue(w, RtfWord("u"), static_cast<int16_t>(c));
        w.Text(" ?");
      }
    }
    w.Text(";}");
    w.DelimiterPending = false;
    OpenRtfGroup(w);
    WriteRtfWord(w, RtfWord("levelnumbers"));
    w.Byte(' ');
    for (char b : LevelNumberPositions(level.LevelText))
      WriteRtfHexByte(w, static_cast<uint8_t>(b));
    w.Text(";}");
    w.DelimiterPending = false;
  });
  WriteRtfWordValue(w, RtfWord("levelfollow"), level.Follow);
  if (level.NoRestart) WriteRtfWord(w, RtfWord("levelnorestart"));
  if (level.Legal) WriteRtfWord(w, RtfWord("levellegal"));
  WriteSetCharProperties(w, level.CharFormat);
  TParFormat format = level.ParFormat;
  FillUnsetParFormat(format, DefaultParFormat);
  WriteParDifferences(w, format, DefaultParFormat);
  CloseRtfGroup(w);
}

void WriteDateGroup(TRtfWriteState& w, int32_t word, double time) {
  if (time == 0) return;
  const TDateTimeParts parts = DecodeDateTime(time);
  OpenRtfGroup(w);
  WriteRtfWord(w, word);
  WriteRtfWordValue(w, RtfWord("yr"), parts.Year);
  WriteRtfWordValue(w, RtfWord("mo"), parts.Month);
  WriteRtfWordValue(w, RtfWord("dy"), parts.Day);
  WriteRtfWordValue(w, RtfWord("hr"), parts.Hour);
  WriteRtfWordValue(w, RtfWord("min"), parts.Minute);
  WriteRtfWordValue(w, RtfWord("sec"), parts.Second);
  CloseRtfGroup(w);
}

void WriteTextItem(TRtfWriteState& w, int32_t word, const std::u16string& text) {
  if (!text.empty()) WriteRtfTextGroup(w, word, text);
}

}  // namespace

void WriteRtfFontTable(TRtfWriteState& w) {
  Escaped(w, [&] {
    OpenRtfGroup(w);
    WriteRtfWord(w, RtfWord("fonttbl"));
    if (const TFontManager* manager = FontManager()) {
      const size_t count = std::min(manager->RegFonts.size(), w.Context.FontUsed.size());
      for (size_t i = 0; i < count; ++i)
        if (w.Context.FontUsed[i] != 0) WriteFontEntry(w, *manager, static_cast<int32_t>(i));
    }
    CloseRtfGroup(w);
  });
}

void WriteRtfColorTable(TRtfWriteState& w) {
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("colortbl"));
  w.Byte(';');
  w.DelimiterPending = false;
  for (size_t i = 1; i < w.Context.ColorTable.size(); ++i) {
    const uint32_t color = w.Context.ColorTable[i];
    WriteRtfWordValue(w, RtfWord("red"), color & 0xFF);
    WriteRtfWordValue(w, RtfWord("green"), (color >> 8) & 0xFF);
    WriteRtfWordValue(w, RtfWord("blue"), (color >> 16) & 0xFF);
    w.Byte(';');
    w.DelimiterPending = false;
  }
  CloseRtfGroup(w);
}

void WriteRtfKeyCode(TRtfWriteState& w, unsigned keyCode) {
  if (keyCode == 0) return;
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("keycode"));
  w.Byte(' ');
  const unsigned shift = (keyCode >> 8) & 0xFF;
  if (shift & 1) WriteRtfWord(w, RtfWord("shift"));
  if (shift & 4) WriteRtfWord(w, RtfWord("ctrl"));
  if (shift & 2) WriteRtfWord(w, RtfWord("alt"));
  w.Byte(' ');
  w.DelimiterPending = false;
  const unsigned key = keyCode & 0xFF;
  if (key >= 112 && key <= 135) {
    WriteRtfWordValue(w, RtfWord("fn"), key - 111);
  } else {
    WriteRtfString(w, std::string(1, static_cast<char>(key)));
  }
  CloseRtfGroup(w);
}

void WriteRtfStyle(TRtfWriteState& w, TStyle& style, int index) {
  OpenRtfGroup(w);
  if (index != 0) WriteRtfWordValue(w, RtfWord("s"), index);
  WriteRtfKeyCode(w, style.HotKeyCode);
  if (style.BasedOn != -1) WriteRtfWordValue(w, RtfWord("sbasedon"), style.BasedOn);
  if (style.Next >= 0) WriteRtfWordValue(w, RtfWord("snext"), style.Next);
  TCharFormat chars;
  TParFormat pars;
  GetStyleFormat(style, &chars, &pars, 0);
  SubtractCharFormat(chars, DefaultCharFormat);
  SubtractParFormat(pars, DefaultParFormat);
  WriteStyleFormatting(w, style, chars, pars);
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("stloverrides"));
  WriteStyleFormatting(w, style, style.CharFmt, style.ParFmt);
  w.Text("} ");
  w.DelimiterPending = false;
  const std::string name =
      style.UsesLowerCaseName() ? AsciiLowerCase(style.Name) : style.Name;
  WriteRtfString(w, name);
  w.Byte(';');
  CloseRtfGroup(w);
  style.WorkValue = index;
}

void WriteRtfStyleSheet(TRtfWriteState& w) {
  w.InStyleSheet = true;
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("stylesheet"));
  const int32_t n = w.StyleCount;
  if (w.Doc.Styles != nullptr)
    for (int32_t i = 0; i < w.Doc.Styles->Count(); ++i) WriteRtfStyle(w, (*w.Doc.Styles)[i], i);
  w.Text("{\\*\\cs" + std::to_string(n) + "\\additive Default Paragraph Font;}");
  const TCharFormat* marks[2] = {&w.Doc.FootnoteMarkFormat, &w.Doc.EndnoteMarkFormat};
  const char* names[2] = {"Footnote Reference", "Endnote Reference"};
  for (int k = 0; k < 2; ++k) {
    w.Text("{\\*\\cs" + std::to_string(n + 1 + k) + "\\additive\\sbasedon" + std::to_string(n));
    w.DelimiterPending = true;
    WriteSetCharProperties(w, *marks[k]);
    w.Byte(' ');
    w.Text(names[k]);
    w.Text(";}");
    w.DelimiterPending = false;
  }
  CloseRtfGroup(w);
  w.InStyleSheet = false;
}

void WriteRtfListTables(TRtfWriteState& w) {
  TDoc& doc = w.Doc;
  w.InListTable = true;
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("listtable"));
  std::vector<TShape*> pictures;
  for (size_t i = 0; i < doc.Lists.size(); ++i) {
    if (!ListUsed(w, i)) continue;
    const TAutoList& list = *doc.Lists[i];
    for (int32_t l = 0; l < list.UsedLevelCount(); ++l) {
      TShape* bullet = list.ListLevels[static_cast<size_t>(l)].PictureBullet;
      if (bullet != nullptr && std::find(pictures.begin(), pictures.end(), bullet) == pictures.end())
        pictures.push_back(bullet);
    }
  }
  if (!pictures.empty()) {
    w.Text("{\\*");
    WriteRtfWord(w, RtfWord("listpicture"));
    const bool native = w.NativePictures;
    w.NativePictures = true;
    for (TShape* picture : pictures) {
      w.Text("{\\*");
      WriteRtfWord(w, RtfWord("shppict"));
      WriteRtfPicture(w, *picture);
      CloseRtfGroup(w);
    }
    w.NativePictures = native;
    CloseRtfGroup(w);
  }
  for (size_t i = 0; i < doc.Lists.size(); ++i) {
    if (!ListUsed(w, i)) continue;
    const TAutoList& list = *doc.Lists[i];
    OpenRtfGroup(w);
    WriteRtfWord(w, RtfWord("list"));
    if (list.SingleLevel) WriteRtfWord(w, RtfWord("listsimple"));
    for (int32_t l = 0; l < list.UsedLevelCount(); ++l)
      WriteLevel(w, list.ListLevels[static_cast<size_t>(l)], pictures);
    WriteRtfWordValue(w, RtfWord("listid"), int64_t{w.Context.ListOutputNumber[i]} + 65535);
    CloseRtfGroup(w);
  }
  CloseRtfGroup(w);
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("listoverridetable"));
  for (size_t i = 0; i < doc.Lists.size(); ++i) {
    if (!ListUsed(w, i)) continue;
    OpenRtfGroup(w);
    WriteRtfWord(w, RtfWord("listoverride"));
    WriteRtfWordValue(w, RtfWord("listid"), int64_t{w.Context.ListOutputNumber[i]} + 65535);
    WriteRtfWordValue(w, RtfWord("listoverridecount"), 0);
    WriteRtfWordValue(w, RtfWord("ls"), w.Context.ListOutputNumber[i]);
    CloseRtfGroup(w);
  }
  CloseRtfGroup(w);
  w.InListTable = false;
}

void WriteRtfInfo(TRtfWriteState& w) {
  TDoc& doc = w.Doc;
  const TDocFileState& state = doc.FileState;
  const TDocProps& props = doc.Props;
  const bool copy = w.Context.Options.HasFlag(TDocSavingOptions::sfCopy);
  TSaveProgressServices& commands = SaveProgressServices();
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("generator"));
  w.Byte(' ');
  w.DelimiterPending = false;
  WriteRtfString(w, std::string(kGenerator));
  CloseRtfGroup(w);
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("info"));
  if (state.WritingSafeCopy) {
    WriteRtfStarGroup(w, RtfWord("autosavedorigname"), w.Context.Options.Name);
    const int32_t format = doc.FormatIndex;
    if (format >= 0 && format <= dfText)
      WriteRtfStarGroup(w, RtfWord("autosavedorigfmt"), std::string(kFormatNames[format]));
  }
  WriteTextItem(w, RtfWord("operator"),
                props.AutoProps.LastSavedBy.empty() ? props.Author : props.AutoProps.LastSavedBy);
  WriteDateGroup(w, RtfWord("creatim"), props.AutoProps.Created);
  if (props.AutoProps.Modified != props.AutoProps.Created)
    WriteDateGroup(w, RtfWord("revtim"), props.AutoProps.Modified);
  WriteDateGroup(w, RtfWord("printim"), props.AutoProps.Printed);
  WriteTextItem(w, RtfWord("title"), props.Title);
  WriteTextItem(w, RtfWord("subject"), props.Subject);
  WriteTextItem(w, RtfWord("author"), props.Author);
  WriteRtfStarGroup(w, RtfWord("manager"), props.Manager);
  WriteRtfStarGroup(w, RtfWord("company"), props.Company);
  WriteRtfStarGroup(w, RtfWord("category"), props.Category);
  WriteTextItem(w, RtfWord("keywords"), props.Keywords);
  WriteTextItem(w, RtfWord("doccomm"), props.Comments);
  const std::pair<int32_t, int32_t> stats[] = {
      {RtfWord("nofcharsws"), state.StatCharsWithSpaces},
      {RtfWord("nofchars"), state.StatChars},
      {RtfWord("nofwords"), state.StatWords},
      {RtfWord("nofpages"), state.StatPages}};
  for (const auto& [word, value] : stats)
    if (value > 0) WriteRtfValueGroup(w, word, value);
  if (!commands.SavingSelection()) WriteRtfValueGroup(w, RtfWord("version"), state.SaveCounter);
  if (state.VadureVavi && state.WritingSafeCopy) WriteRtfWord(w, RtfWord("vadurevavi"));
  const bool ownState = state.WritingSafeCopy || state.WritingBackup || state.VadureVavi;
  const bool cursor = (GetOptions().LoadSave.Flags & 8) != 0 && !copy;
  if (state.WritingSafeCopy || state.VadureVaviSaving || cursor) {
    const TDocPosition caret =
        doc.HeaderFooterInPlace != nullptr ? doc.HeaderFooterSavedCaret : doc.Caret;
    if (caret.Par > 0) WriteRtfWordValue(w, RtfWord("dskparnr"), caret.Par);
    if (caret.Offset > 0) WriteRtfWordValue(w, RtfWord("dskcharnr"), caret.Offset);
  }
  if (state.WritingTarget != 0 && state.WritingTargetCounter != 2147483647 && (!copy || ownState)) {
    WriteRtfWordValue(w, RtfWord("wrttargtype"), state.WritingTargetType);
    WriteRtfWordValue(w, RtfWord("wrttarg"), state.WritingTarget);
    WriteRtfWordValue(w, RtfWord("wrttargrelto"), state.WritingTargetRelTo);
  }
  if (commands.CopyingForClipboard() || commands.SavingSelection())
    WriteRtfWordValue(w, RtfWord("tblseltype"), commands.TableSelectionKind());
  CloseRtfGroup(w);
}

void WriteRtfDocSettings(TRtfWriteState& w) {
  TDoc& doc = w.Doc;
  int32_t zoom = doc.ZoomPercent;
  uint8_t mode = doc.View.ZoomMode;
  if (doc.PrintPreview) {
    zoom = doc.View.NormalZoomPercent;
    mode = doc.View.NormalZoomMode;
  }
  if (zoom != 100) WriteRtfWordValue(w, RtfWord("viewscale"), zoom);
  if (mode == 1) WriteRtfWordValue(w, RtfWord("viewzk"), 2);
  else if (mode == 2) WriteRtfWordValue(w, RtfWord("viewzk"), 3);
  else if (mode == 3 || mode == 4) WriteRtfWordValue(w, RtfWord("viewzk"), 1);
  if (doc.DefaultTabStop != 720) WriteRtfWordValue(w, RtfWord("deftab"), doc.DefaultTabStop);
  WriteRtfWord(w, RtfWord("htmautsp"));
  WriteRtfWord(w, RtfWord("useltbaln"));
  WriteRtfWord(w, RtfWord("alntblind"));
  const TSection* first = doc.Sections.empty() ? nullptr : doc.Sections.front().get();
  if (first != nullptr) {
    const TNoteSettings& fn = first->Footnotes;
    if (fn.Position == 1) WriteRtfWord(w, RtfWord("ftnbj"));
    else if (fn.Position == 2) WriteRtfWord(w, RtfWord("ftntj"));
    const int32_t fnWords[] = {RtfWord("ftnnar"), RtfWord("ftnnruc"), RtfWord("ftnnrlc"),
                               RtfWord("ftnnauc"), RtfWord("ftnnalc")};
    if (fn.NumberFormat >= 0 && fn.NumberFormat <= 4) WriteRtfWord(w, fnWords[fn.NumberFormat]);
    else if (fn.NumberFormat == 9) WriteRtfWord(w, RtfWord("ftnnchi"));
    if (fn.StartAt != 1) WriteRtfWordValue(w, RtfWord("ftnstart"), fn.StartAt);
    if (fn.Restart == 1) WriteRtfWord(w, RtfWord("ftnrestart"));
    else if (fn.Restart == 2) WriteRtfWord(w, RtfWord("ftnrstpg"));
  }
  if (doc.AutoHyphenation) WriteRtfWordValue(w, RtfWord("hyphauto"), 1);
  if (!doc.HyphenateCaps) WriteRtfWordValue(w, RtfWord("hyphcaps"), 0);
  if (doc.HyphenationZone != 360) WriteRtfWordValue(w, RtfWord("hyphhotz"), doc.HyphenationZone);
  if (doc.HyphenationLimit != 0) WriteRtfWordValue(w, RtfWord("hyphconsec"), doc.HyphenationLimit);
  if (first != nullptr) {
    const TNoteSettings& en = first->Endnotes;
    if (en.Position == 0) WriteRtfWord(w, RtfWord("aendnotes"));
    else if (en.Position == 3) WriteRtfWord(w, RtfWord("aenddoc"));
    const int32_t enWords[] = {RtfWord("aftnnar"), RtfWord("aftnnruc"), RtfWord("aftnnrlc"),
                               RtfWord("aftnnauc"), RtfWord("aftnnalc")};
    if (en.NumberFormat >= 0 && en.NumberFormat <= 4) WriteRtfWord(w, enWords[en.NumberFormat]);
    else if (en.NumberFormat == 9) WriteRtfWord(w, RtfWord("aftnnchi"));
    if (en.StartAt != 1) WriteRtfWordValue(w, RtfWord("aftnstart"), en.StartAt);
    if (en.Restart == 1) WriteRtfWord(w, RtfWord("aftnrestart"));
  }
}

}  // namespace qv
