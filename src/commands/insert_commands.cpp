// The insert commands of the edit range: special characters and breaks, section breaks, the date
// and time, fields, page numbers, symbols, horizontal lines, drop caps, pictures, files and
// addresses.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <string>
#include <vector>

#include "commands/command_options.h"
#include "commands/edit_command_parts.h"
#include "commands/edit_commands.h"
#include "commands/file_dialog_services.h"
#include "commands/format_dialog_services.h"
#include "document/compound_fragment.h"
#include "document/doc_flags.h"
#include "document/page_params.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape_props_table.h"
#include "editing/edit_codes.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/typing.h"
#include "foundation/base/memory.h"
#include "foundation/system/paths.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/date_format.h"

namespace qv {

namespace {

constexpr int32_t kSplitTable = 16112;
constexpr int32_t kParagraphMark = 3000, kLineBreak = 3001, kPageBreak = 3002, kColumnBreak = 3022;
constexpr uint8_t kFieldDate = 31, kFieldTime = 32, kFieldPage = 33, kFieldNumPages = 26;

bool InTableParagraph(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() && doc.Par(par)->Format.InTable == 1;
}

// Enter at the very start of a table makes a paragraph before the table instead.
bool AtTableStart(TDoc& doc) {
  if (doc.HasSelection() || !InTableParagraph(doc, doc.Caret.Par)) return false;
  TDocRange table;
  doc.GetTableRange(doc.Caret.Par, table);
  return ComparePositions(doc.Caret, table.Start) == 0;
}

// A selection that takes the paragraph mark before a table keeps that mark.
void TrimSelectionBeforeTable(TDoc& doc) {
  if (!doc.HasSelection()) return;
  TDocRange& last = *doc.Selection->LastRange;
  const int32_t par = last.End.Offset == 0 ? last.End.Par - 1 : last.End.Par;
  if (par < 0 || par + 1 >= doc.ParCount() || last.End.Offset != 0) return;
  const int32_t story = doc.StoryOfParagraph(par);
  if (InTableParagraph(doc, par) || !InTableParagraph(doc, par + 1) || par == doc.LastParagraphOfStory(story))
    return;
  MakePosition(par, doc.ParLength(par) - 1, last.End);
}

// The position AutoCorrect works at after typing: the single range's start, the caret, or none
// for several ranges.
bool AutoCorrectPoint(const TDoc& doc, TDocPosition& at) {
  if (doc.HasSelection() && doc.Selection->Count() > 1) return false;
  at = doc.HasSelection() ? doc.Selection->GetRange(0)->Start : doc.Caret;
  return true;
}

void RunAutoCorrect(TDoc& doc, char16_t typed, const TDocPosition& at) {
  if (!AutocorrectOption(opt::AutocorrectAsYouType)) return;
  const uint32_t before = LastSerial(doc);
  char16_t ch = typed;
  TDocPosition place = at;
  void* args[] = {&ch, &place};
  doc.ExecuteEdit(ecAutoCorrectAfterKey, args, 1);
  if (LastSerial(doc) != before) PlaySound(sndAutoCorrect);
}

// Runs the table split for breaks typed inside a table; answers whether it made an operation.
bool SplitTableFirst(TEditRun& run) {
  const uint32_t before = LastSerial(*run.Doc);
  run.Manager.Execute(kSplitTable);
  return LastSerial(*run.Doc) != before;
}

// Paragraph marks and breaks are typed.
void TypeBreak(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const int32_t id = run.Id;
  TrimSelectionBeforeTable(doc);
  bool split = false;
  if ((id == kPageBreak || id == kColumnBreak) && InTableParagraph(doc, FirstRangeOrCaret(doc).Start.Par))
    split = SplitTableFirst(run);
  TDocPosition autoCorrectAt;
  const bool autoCorrect = AutoCorrectPoint(doc, autoCorrectAt);
  const char16_t ch = SpecialCharacterOf(id);
  TMemory bytes;
  const bool pageOrColumn = id == kPageBreak || id == kColumnBreak;
  if (pageOrColumn && FirstRangeOrCaret(doc).Start.Offset > 0) bytes.AppendByte(0x0D);
  bytes.AppendByte(static_cast<uint8_t>(ch));
  if (id == kPageBreak) bytes.AppendByte(0x0D);
  // Several ranges: the first takes the text.
  if (doc.HasSelection() && doc.Selection->Count() > 1) {
    const TDocRange first = *doc.Selection->GetRange(0);
    doc.SetSelection(first.Start.Par, first.Start.Offset, first.End.Par, first.End.Offset);
  }
  // A new list item keeps the character format of the text where Enter was pressed.
  const bool listItem = id == kParagraphMark && doc.CurParFormat.List != ParUnset32 && doc.CurParFormat.List > 0;
  TCharFormat kept = doc.HasSelection() ? TCharFormat{} : doc.TypingFormat;
  if (listItem && doc.HasSelection()) doc.GetCharFormatAtPos(doc.Selection->GetRange(0)->Start, kept);
  const int16_t style = doc.CurParFormat.Style;
  const uint32_t typedFrom = LastSerial(doc);
  TypeBytes(doc, bytes);
  if (listItem && doc.CurParFormat.Style == style) {
    const uint32_t saved = GetOptions().Edit.Flags;
    GetOptions().Edit.Flags &= ~opt::EditFormatWithoutSelection;
    uint8_t flags = 0;
    void* args[] = {nullptr, nullptr, &kept, &flags};
    doc.ExecuteEdit(ecFormatFont, args, 3);
    GetOptions().Edit.Flags = saved;
  }
  if (EditCmd().KeystrokeSoundsEnabled()) PlaySound(sndTypeBreak);
  if (autoCorrect) RunAutoCorrect(doc, ch, autoCorrectAt);
  if (split && LastSerial(doc) != typedFrom) NameLastOperation(doc, 0, true);
}

// The other special characters are pasted as one character.
void PasteCharacter(TEditRun& run, char16_t ch) {
  TDoc& doc = *run.Doc;
  const int32_t index = run.Id - 3000;
  TPasteRequest request;
  request.Source = 3;
  request.Character = ch;
  request.Spacing = index >= 25 && index <= 27 ? 2 : 1;
  const bool oneRange = !(doc.HasSelection() && doc.Selection->Count() > 1);
  EditCmd().Paste(doc, request);
  if (oneRange) RunAutoCorrect(doc, ch, doc.Caret);
}

// A section break of a kind (0 continuous, 1 next page, 2 even page, 3 odd page).
void InsertSectionBreak(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TrimSelectionBeforeTable(doc);
  bool split = false;
  if (InTableParagraph(doc, FirstRangeOrCaret(doc).Start.Par)) split = SplitTableFirst(run);
  TMemory bytes;
  bytes.AppendByte(12);
  bytes.AppendByte(0);
  bytes.AppendByte(static_cast<uint8_t>(run.Id - 3080));
  const uint32_t before = LastSerial(doc);
  TypeBytes(doc, bytes);
  if (split && LastSerial(doc) != before) NameLastOperation(doc, 0, true);
  if (EditCmd().KeystrokeSoundsEnabled()) PlaySound(sndTypeBreak);
}

// ---- Date and time

const TLangDateTimeFormatInfo* LanguageFormats(int32_t language) {
  for (const TLangDateTimeFormatInfo& info : GetOptions().DateTime.Langs)
    if (info.Lang == language) return &info;
  return nullptr;
}

// Days since 30 December 1899 with the time of day as a fraction, now (local time).
double Now() {
  using namespace std::chrono;
  const std::time_t t = system_clock::to_time_t(system_clock::now());
  std::tm local{};
  localtime_r(&t, &local);
  const year_month_day day{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                           std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  const double days = static_cast<double>(sys_days(day).time_since_epoch().count()) + 25569.0;
  return days + (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
}

// A field argument: a backslash before every double quote and backslash.
// A field argument: a backslash before every double quote and backslash.
std::u16string EscapeForField(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') out += u'\\';
    out += c;
  }
  return out;
}

std::u16string Capitalised(std::u16string text, uint8_t caseMode) {
  auto upper = [](char16_t c) { return c < 0x80 ? static_cast<char16_t>(std::toupper(c)) : c; };
  auto lower = [](char16_t c) { return c < 0x80 ? static_cast<char16_t>(std::tolower(c)) : c; };
  bool wordStart = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F;
    switch (caseMode) {
      case 1: text[i] = upper(c); break;
      case 2: text[i] = lower(c); break;
      case 3: if (i == 0) text[i] = upper(c); break;
      case 4: if (wordStart && letter) text[i] = upper(c); break;
      default: break;
    }
    wordStart = !letter && !(c >= u'0' && c <= u'9');
  }
  return text;
}

void InsertDateTime(TEditRun& run) {
  TDoc& doc = *run.Doc;
  int32_t language = GetCaretLanguage(doc);
  if (run.Id == 3520 && !FormatDialogServices().ExecuteDateTimeDialog(language)) return;
  int32_t dateCount = 0;
  const std::vector<std::u16string> formats = FormatDialogServices().DateTimeFormats(language, dateCount);
  if (formats.empty()) return;
  const TLangDateTimeFormatInfo* info = LanguageFormats(language);
  int32_t index = 0;
  if (run.Id == 3520) index = info != nullptr && info->LastDateFmt >= 0 ? info->LastDateFmt : 0;
  else if (run.Id == 3540) index = info != nullptr && info->DefDateFmt >= 0 ? info->DefDateFmt : 0;
  else if (run.Id == 3560) index = info != nullptr && info->DefTimeFmt >= 0 ? info->DefTimeFmt : dateCount;
  else index = run.Id - 4260;
  index = std::clamp<int32_t>(index, 0, static_cast<int32_t>(formats.size()) - 1);
  const std::u16string& format = formats[static_cast<size_t>(index)];
  const TDateTimeFormatInfo& settings = GetOptions().DateTime;
  const int32_t savedLanguage = doc.TypingLayout;
  doc.TypingLayout = language;
  {
    TScopedDocFlag callerLanguage(doc, dfCallerLanguage);
    if (settings.UpdDtTm) {
      static const char16_t* kCaseSwitches[] = {u"", u"Upper", u"Lower", u"FirstCap", u"Caps"};
      uint8_t type = index < dateCount ? kFieldDate : kFieldTime;
      std::u16string instruction = u"\\@ \"" + EscapeForField(ExpandDateTimeFormat(format)) + u"\"";
      const uint8_t mode = settings.LastUsedDateTimeCaseFormat;
      if (mode >= 1 && mode <= 4) instruction += u" \\* " + std::u16string(kCaseSwitches[mode]);
      void* args[] = {&type, &instruction};
      doc.ExecuteEdit(ecInsertField, args, 1);
    } else {
      std::u16string text = Capitalised(FormatDateTimeLocale(format, language, Now()),
                                        settings.LastUsedDateTimeCaseFormat);
      TMemory bytes;
      bytes.AppendWideString(text);
      const uint32_t flags = idfUtf16 | (EditOption(opt::EditSmartCutPaste) ? uint32_t{idfSmartSpacing} : 0u);
      int32_t word = static_cast<int32_t>(flags);
      void* args[] = {&bytes, &word};
      doc.ExecuteEdit(ecTypeText, args, 1);
    }
  }
  doc.TypingLayout = savedLanguage;
  PlaySound(sndDateTime);
}

// ---- Fields, symbols, lines, drop caps, pictures, files and addresses

void InsertFieldOfType(TDoc& doc, uint8_t type, std::u16string instruction) {
  const uint32_t before = LastSerial(doc);
  void* args[] = {&type, &instruction};
  doc.ExecuteEdit(ecInsertField, args, 1);
  if (LastSerial(doc) != before) NameLastOperation(doc, onInsertField, false);
}

void InsertFieldByDialog(TDoc& doc) {
  uint8_t type = 255;
  std::vector<std::u16string> instructions;
  if (!FormatDialogServices().ExecuteFieldDialog(type, instructions) || type == 255) return;
  InsertFieldOfType(doc, type, instructions.empty() ? std::u16string() : instructions.front());
}

void InsertFiles(TDoc& doc) {
  TFileDialogRequest dialog;
  dialog.Title = "Insert File";
  dialog.Filter = DocumentFilter();
  dialog.FilterIndex = 8;
  dialog.MultiSelect = !(doc.HasSelection() && doc.Selection->Count() > 1);
  if (!FileDialogServices().RunFileDialog(dialog)) return;
  for (const std::string& file : dialog.Files)
    EditCmd().InsertPictureFile(doc, file, dialog.FilterIndex - 1);
  CommandEnvironment().UpdateDocumentCaptions();
}

// Each address followed by a line break and a paragraph mark, the later ones after another pair.
void InsertAddresses(TDoc& doc) {
  std::vector<std::string> addresses;
  if (!FormatDialogServices().ChooseAddresses(addresses) || addresses.empty()) return;
  TMemory bytes;
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) bytes.AppendString("\x0A\x0D");
    bytes.AppendString(addresses[i]);
    bytes.AppendString("\x0A\x0D");
  }
  TypeBytes(doc, bytes);
}

// A horizontal line: the stored line properties, made a rule, pasted as a picture of RTF.
void InsertHorizontalLine(TDoc& doc) {
  TShapeProps props;
  props.ParseRtfText(GetOptions().Internal.HRProps + "{\\sp{\\sn fHorizRule}{\\sv 1}}");
  FormatDialogServices().SetHorizontalLineDefaults(props);
  int32_t width = 0;
  if (doc.HasSelection()) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i)
      for (const TSection* s : doc.SectionsOfRange(*doc.Selection->GetRange(i)))
        width = std::max(width, s->PageParams.TextWidth);
  } else {
    TPageParams caret;
    doc.GetCaretPageParams(caret);
    width = caret.TextWidth;
  }
  if (!InternalOption(opt::InternalLinesWithoutDialog) &&
      !FormatDialogServices().ExecuteHorizontalLineDialog(props, width))
    return;
  const bool selection = doc.HasSelection();
  const std::string before = !selection && doc.Caret.Offset > 0 ? "\\par " : "";
  const std::string after =
      !selection && doc.Caret.Offset < doc.ParLength(doc.Caret.Par) - 1 ? "\\par \\par " : "";
  TMemory rtf;
  rtf.AppendString("{\\rtf1\\ansi" + before + "{\\pict{\\*\\picprop" + props.FormatRtfText() + "}}" + after + "}");
  TPasteRequest request;
  request.Source = 2;
  request.Data = &rtf;
  const uint32_t serial = LastSerial(doc);
  CommandEnvironment().SetProgramPaste(true);
  EditCmd().Paste(doc, request);
  CommandEnvironment().SetProgramPaste(false);
  if (LastSerial(doc) != serial) NameLastOperation(doc, onHorizontalLine, false);
}

void InsertDropCap(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TDropCapChoice choice;
  const int32_t first = std::max(0, doc.GetFirstSelectedPar());
  choice.Sample = doc.GetParagraphDisplayText(first);
  if (!FormatDialogServices().ExecuteDropCapDialog(choice)) return;
  if (choice.Kind == 0) {
    run.Manager.Execute(15132);  // remove the drop cap
    return;
  }
  uint8_t kind = choice.Kind;
  void* args[] = {&kind, &choice};
  doc.ExecuteEdit(ecFormatDropCaps, args, 1);
}

}  // namespace

bool RunInsertCommand(TEditRun& run) {
  const int32_t id = run.Id;
  const bool character = id >= 3000 && id <= 3027;
  const bool dateTime = id == 3520 || id == 3540 || id == 3560 || (id >= 4260 && id <= 4300);
  const bool ours = character || (id >= 3080 && id <= 3083) || dateTime ||
                    id == 3570 || id == 3571 || id == 3580 || id == 3590 || id == 3595 || id == 3600 || id == 3605 || id == 3620 ||
                    id == 3630 || id == 5100 || id == 5105;
  if (!ours) return false;
  if (id == 3580) {
    FormatDialogServices().ShowInsertSymbol();
    return true;
  }
  if (id == 5105) {
    FormatDialogServices().ExecuteManageAddrBooksDialog();
    return true;
  }
  if (run.Doc == nullptr) return true;
  TDoc& doc = *run.Doc;
  if (character) {
    if (id == kParagraphMark && AtTableStart(doc)) {
      run.Manager.Execute(kSplitTable);
      return true;
    }
    if (id == kParagraphMark || id == kLineBreak || id == kPageBreak || id == kColumnBreak) TypeBreak(run);
    else PasteCharacter(run, SpecialCharacterOf(id));
    return true;
  }
  if (id >= 3080 && id <= 3083) InsertSectionBreak(run);
  else if (dateTime) InsertDateTime(run);
  else if (id == 3570) InsertFieldOfType(doc, kFieldPage, u"");
  else if (id == 3571) InsertFieldOfType(doc, kFieldNumPages, u"");
  else if (id == 3600) run.Manager.ExecuteWithParam(204500, nullptr);
  else if (id == 3605) {
    // The clip-art gallery: the pictures folder of the clip library.
    std::string folder = EditCmd().ClipLibraryFolder() + "Images";
    CreateFolderPath(folder);
    run.Manager.ExecuteWithParam(204500, &folder);
  } else if (id == 3590) InsertHorizontalLine(doc);
  else if (id == 3595) InsertDropCap(run);
  else if (id == 3620) InsertFiles(doc);
  else if (id == 3630) InsertFieldByDialog(doc);
  else if (id == 5100) InsertAddresses(doc);
  return true;
}

}  // namespace qv
