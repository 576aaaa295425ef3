#include "files/save_dispatcher.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/par.h"
#include "document/section.h"
#include "document/table_fitting.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "files/office_xml_services.h"
#include "files/output/output_layer.h"
#include "files/output/save_collection.h"
#include "files/output/save_progress_services.h"
#include "files/output/saving_options.h"
#include "files/rtf/rtf_writer.h"
#include "files/text/plain_text_writer.h"
#include "files/web_format_services.h"
#include "files/word_binary_services.h"
#include "foundation/base/date_time.h"
#include "foundation/base/string_utils.h"
#include "foundation/text/code_pages.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

// Set while a save runs.
constexpr int32_t dfSaving = 78;
constexpr uint32_t kUndoAfterSave = 4;  // editing flags bit 2

struct TFormatInfo {
  const char* Name;
  const char* Upper;
  const char* Extension;
};

constexpr TFormatInfo kFormats[] = {
    {"Rich Text Format", "RTF", "rtf"}, {"MS Word DOC", "DOC", "doc"},
    {"MS Word DOCX", "DOCX", "docx"},   {"OpenDocument ODF", "ODT", "odt"},
    {"Encrypted Document", "COD", "cod"}, {"Windows Write", "WRI", "wri"},
    {"Plain Text", "TXT", "txt"},
};

bool KnownFormat(int32_t format) { return format >= dfRtf && format <= dfText; }

double NowDateTime() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

bool IsMainTextRange(const TDoc& doc, const TDocRange& range) {
  TDocRange main;
  doc.GetMainTextRange(main);
  return SamePlace(main.Start, range.Start) && SamePlace(main.End, range.End);
}

// Which notes the written text refers to.
void DecideNotes(TDoc& doc, TSaveContext& context) {
  if (context.Options.HasFlag(TDocSavingOptions::sfSelectedShapesOnly)) return;
  context.FootnotesPresent = doc.StoryCounts[stFootnotes] > 0;
  context.EndnotesPresent = doc.StoryCounts[stEndnotes] > 0;
  if (!(context.FootnotesPresent || context.EndnotesPresent) ||
      IsMainTextRange(doc, context.Options.Range))
    return;
  context.FootnotesPresent = context.EndnotesPresent = false;
  doc.RebuildFieldIndex();
  for (TField* field : doc.FieldIndex().Fields) {
    if (field->Kind != fkNoteReference) continue;
    if (!PositionInRange(field->Range.Start, context.Options.Range)) continue;
    const bool endnote = field->LinkedField != nullptr ? field->LinkedField->NoteClass == 1
                                                       : field->NoteClass == 1;
    (endnote ? context.EndnotesPresent : context.FootnotesPresent) = true;
  }
}

bool InTable(const TParFormat& f) { return f.InTable != ParUnset8 && f.InTable != 0; }

// A range that begins inside a cell and ends before that cell's end is written as plain
// paragraphs.
bool RangeInsideOneCell(TDoc& doc, const TDocRange& range) {
  if (range.Start.Par < 0 || range.Start.Par >= doc.ParCount()) return false;
  if (!InTable(doc.Par(range.Start.Par)->Format)) return false;
  TDocRange cell;
  doc.GetCellRange(range.Start.Par, cell);
  return ComparePositions(range.End, cell.End) < 0 ||
         (range.End.Par == cell.End.Par && range.End.Offset < doc.ParLength(cell.End.Par));
}

void DecideTables(TDoc& doc, TSaveContext& context) {
  const TDocSavingOptions& o = context.Options;
  context.WriteTables = false;
  if (o.HasFlag(TDocSavingOptions::sfSelectedShapesOnly) || doc.TableRows.empty()) return;
  if (!o.HasFlag(TDocSavingOptions::sfHtml) && o.Format >= dfText) return;
  if (RangeInsideOneCell(doc, o.Range)) return;
  context.WriteTables = true;
  if (doc.Sections.empty()) return;
  std::vector<TTableRow*> rows;
  for (auto& row : doc.TableRows) rows.push_back(row.get());
  const TPageParams& page = doc.Sections.front()->PageParams;
  FitTableRowsToWidth(rows, page.PageWidth - page.LeftMargin - page.RightMargin, false);
}

uint8_t RunWriter(TDoc& doc, TSaveContext& context) {
  const TDocSavingOptions& o = context.Options;
  if (o.HasFlag(TDocSavingOptions::sfHtml)) return WebFormatServices().WriteHtml(context);
  if (o.Format < dfText) {
    CollectFontsAndColors(context);
    context.AllLists = doc.FileState.AllLists;
  }
  switch (o.Format) {
    case dfRtf:
    case dfOdt:
    case dfEncrypted:
    case dfWrite:
      return WriteRtf(context);
    case dfDoc: return WordBinaryServices().WriteDoc(context);
    case dfDocx: return OfficeXmlServices().WriteDocx(context);
    default: return WriteTxt(context);
  }
}

bool InsideFolder(const std::string& file, const std::string& folder) {
  return !folder.empty() && file.size() > folder.size() &&
         file.compare(0, folder.size(), folder) == 0;
}

void UpdateSavedState(TDoc& doc, const TSaveContext& context, const std::string& target) {
  TDocumentRoadServices& road = DocumentRoadServices();
  TSaveProgressServices& commands = SaveProgressServices();
  TDocFileState& state = doc.FileState;
  const TDocSavingOptions& o = context.Options;
  if (commands.SavingSelection()) {
    road.AddRecentFile(target);
    road.RebuildRecentFilesMenu();
    road.RequestInterfaceUpdate();
    return;
  }
  const bool vadure = state.VadureVavi && !state.WritingSafeCopy && !state.WritingBackup;
  if (o.HasFlag(TDocSavingOptions::sfCopy) && !vadure) return;
  const bool ownFile = !state.VadureVavi || target == road.VadureVaviFileName();
  if (!InsideFolder(target, road.ClipLibraryFolder())) {
    if (state.VadureVavi) {
      if (!ownFile) road.AddRecentFile(target);
    } else {
      doc.NewUntitled = false;
      state.RestoredFromSafeCopy = false;
      doc.FormatIndex = o.Format;
      road.AddRecentFile(target);
    }
  }
  if (state.VadureVavi && !ownFile) return;
  doc.SetModified(0);
  if ((GetOptions().Edit.Flags & kUndoAfterSave) == 0) doc.ClearUndo();
  doc.SavePoint = doc.UndoPosition;
}

// The restoring part of a save, done however the writer ended.
class TSaveScope {
 public:
  explicit TSaveScope(TDoc& doc) : doc_(doc), preview_(doc.PrintPreview) {
    doc_.SetScopedFlag(dfSaving);
    if (preview_) doc_.RestoreNormalZoom();
  }
  ~TSaveScope() {
    if (preview_) doc_.ApplyPreviewZoom();
    doc_.RestoreScopedFlag();
  }
  TSaveScope(const TSaveScope&) = delete;
  TSaveScope& operator=(const TSaveScope&) = delete;

 private:
  TDoc& doc_;
  bool preview_;
};

}  // namespace

uint8_t DocSaveToFile(TDoc& doc, const TDocSavingOptions& options) {
  TSaveContext context(&doc, options);
  TDocFileState& state = doc.FileState;
  if (state.WritingSafeCopy) context.Kind = TSaveContext::TSaveKind::SafeCopy;
  else if (state.WritingBackup) context.Kind = TSaveContext::TSaveKind::Backup;
  DecideNotes(doc, context);
  TSaveScope scope(doc);
  doc.Props.AutoProps.LastSavedBy = Utf8ToWide(DocServices().UserName());
  const bool toFile = !context.ToMemory();
  TSaveProgressServices& commands = SaveProgressServices();
  const bool progress = toFile && !MessagesSuppressed && !commands.CopyingForClipboard();
  const double previousRevision = doc.Props.AutoProps.Modified;
  if (toFile && !state.WritingSafeCopy && !options.HasFlag(TDocSavingOptions::sfCopy))
    doc.Props.AutoProps.Modified = NowDateTime();
  if (progress) BeginSaveProgress(context);
  DecideTables(doc, context);
  uint8_t result = 2;
  if (toFile) {
    const std::string target = doc.FileName;
    result = SaveThroughTempFile(context, target,
                                 [&doc](TSaveContext& c) { return RunWriter(doc, c); });
    if (result == 0 && !options.HasFlag(TDocSavingOptions::sfHtml))
      UpdateSavedState(doc, context, target);
    if (result != 0) doc.Props.AutoProps.Modified = previousRevision;
  } else {
    try {
      result = RunWriter(doc, context);
    } catch (const std::exception&) {
      result = 2;
    }
  }
  if (!toFile) return result;
  TDocumentRoadServices& road = DocumentRoadServices();
  if (progress) EndSaveProgress(context);
  if (result == 0 && InsideFolder(doc.FileName, road.ClipLibraryFolder())) road.RefreshClipLibrary();
  road.RequestInterfaceUpdate();
  return result;
}

bool CollectLostFormatting(TDoc& doc, const TDocRange* range, int32_t format, std::string& lost) {
  lost.clear();
  if (format == dfRtf || format == dfDoc || format == dfDocx || format == dfEncrypted) return false;
  TDocRange r;
  if (range != nullptr) {
    r.Start = {range->Start.Par, 0, 0, 0};
    r.End = {range->End.Par, doc.ParLength(range->End.Par), 0, 0};
  } else {
    doc.GetWholeDocRange(r);
  }
  TParFormat pars;
  doc.GetCommonParFormat(nullptr, r, pars);
  for (int n = 0; n < TParFormat::Count; ++n) {
    if (n == ppWidowControl || !IsParFormatPropUnset(pars, n)) continue;
    lost += "\r\n* Paragraph formatting.";
    break;
  }
  TCharFormat chars;
  doc.GetCommonCharFormat(nullptr, r, chars);
  for (int i = 0; i < TCharFormat::Count - 1; ++i) {
    if (chars[i] != CharUnset) continue;
    lost += "\r\n* Font formatting.";
    break;
  }
  for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    const uint8_t* codes = par.Codes.Data;
    if (par.CharCount() > 0 && std::find(codes, codes + par.CharCount(), scInlineShape) !=
                                   codes + par.CharCount()) {
      lost += "\r\n* Pictures.";
      break;
    }
  }
  return !lost.empty();
}

bool DocConfirmSaveFormat(TDoc& doc, const TDocRange* range, int32_t format) {
  if (!IsWritableDocFormat(format)) {
    ShowInfo(FormatMessageText("This version of Quorvane doesn't support saving documents in the "
                               "\"%s\" format. Please choose another format.",
                               {DocFormatName(format)}));
    return true;
  }
  if (range == nullptr && doc.FileState.WarnedLostFormatting) return false;
  std::string lost;
  if (!CollectLostFormatting(doc, range, format, lost)) return false;
  if (range == nullptr) doc.FileState.WarnedLostFormatting = true;
  lost = "\rThe following formatting will be lost:\r" + lost;
  const std::string name = DocFormatName(format);
  const std::string text = FormatMessageText(
      "\"%s\" contains formatting which will be lost as a result of converting to format "
      "\"%s\".%s\r\rPress \"Yes\" to save in format \"%s\".\rPress \"No\" to select another "
      "format.",
      {doc.FileName, name, lost, name});
  return ShowOptionalMsg(text, mkWarning, 2) == mrNo;
}

std::string DocFormatName(int32_t format) {
  return KnownFormat(format) ? kFormats[format].Name : std::string();
}

std::string DocFormatUpperName(int32_t format) {
  return KnownFormat(format) ? kFormats[format].Upper : std::string();
}

int32_t DocFormatFromName(const std::string& name) {
  for (int32_t f = dfRtf; f <= dfText; ++f)
    if (SameTextAscii(name, kFormats[f].Upper)) return f;
  return -1;
}

std::string DocFormatFilter(int32_t format) {
  static const char* const filters[] = {
      "Rich Text Format (*.rtf)|*.rtf", "MS Word DOC (*.doc)|*.doc",
      "MS Word DOCX (*.docx)|*.docx",   "OpenDocument ODF (*.odt)|*.odt",
      "Encrypted Documents (*.cod)|*.cod", "Windows Write (*.wri)|*.wri",
      "Text Files (*.txt)|*.txt"};
  return KnownFormat(format) ? filters[format] : std::string();
}

bool IsWritableDocFormat(int32_t format) {
  switch (format) {
    case dfRtf:
    case dfEncrypted:
    case dfText:
      return true;
    case dfDoc: return WordBinaryServices().CanWriteDoc();
    case dfDocx: return OfficeXmlServices().CanWriteDocx();
    default: return false;
  }
}

int32_t DocFormatOfFileName(const std::string& fileName) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  for (int32_t f = dfRtf; f <= dfText; ++f)
    if (SameTextAscii(ext, kFormats[f].Extension)) return f;
  return -1;
}

}  // namespace qv
