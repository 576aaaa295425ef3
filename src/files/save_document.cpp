#include "files/save_document.h"

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_properties.h"
#include "document/doc_services.h"
#include "document/par.h"
#include "files/backups.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "files/file_services.h"
#include "files/output/save_progress_services.h"
#include "files/output/saving_options.h"
#include "files/safe_copies.h"
#include "files/save_dispatcher.h"
#include "files/text/text_conv_services.h"
#include "foundation/base/date_time.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

constexpr uint16_t kExtractNameOption = 2;      // Load/Save flags bit 1
constexpr uint16_t kOfferPropertiesOption = 4;  // bit 2
constexpr uint16_t kSuggestFolderOption = 0x80; // bit 7
constexpr int32_t kMaxPreviewChars = 131072;

namespace fs = std::filesystem;

uint16_t LoadSaveFlags() { return GetOptions().LoadSave.Flags; }

double NowDateTime() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

std::string WithExtension(const std::string& name, int32_t format) {
  fs::path path(name);
  path.replace_extension(DocFormatExtension(format));
  return path.string();
}

int32_t WritableFormatOf(const std::string& name) {
  const int32_t format = DocFormatFromName(name);
  return format >= 0 && IsWritableDocFormat(format) ? format : dfRtf;
}

int32_t DefaultDocFormat() { return WritableFormatOf(GetOptions().General.DefDocTemplates.DefDocFmt); }
int32_t SelectionDocFormat() { return WritableFormatOf(GetOptions().Internal.SaveSelAs_DefDocFmt); }

std::string FolderOf(const std::string& name) { return fs::path(name).parent_path().string(); }

bool SameFile(const std::string& a, const std::string& b) {
  return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

std::string OverwriteOpenText(const std::string& name) {
  return FormatMessageText(
      "You cannot overwrite open documents. A document with same name (\"%s\") is already open "
      "from the same folder. You can either save the present document to a different name, or "
      "retain the same name for this second document by saving it to a different folder.",
      {name});
}

bool OtherDocumentOpen(TDoc& doc, const std::string& name) {
  TDoc* open = DocServices().FindOpenDocument(name);
  return open != nullptr && open != &doc;
}

TDocSavingOptions FileOptions(TDoc& doc, int32_t format, uint8_t flags) {
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgFile;
  doc.GetMainTextRange(options.Range);
  options.Format = format;
  options.CodePage = doc.TxtEncoding;
  options.LineEnd = doc.TxtLineEnd;
  options.Flags = flags;
  options.Name = doc.FileName;
  return options;
}

// Runs the save dialog with the request until a usable name comes back; false when cancelled.
bool AskSaveName(TDoc& doc, TSaveDialogRequest& request, bool guardOwnFile) {
  TDocumentRoadServices& road = DocumentRoadServices();
  for (;;) {
    if (!road.RunSaveDialog(request)) return false;
    const std::string& name = request.FileName;
    if (OtherDocumentOpen(doc, name)) {
      ShowWarning(OverwriteOpenText(name));
      continue;
    }
    if (guardOwnFile && SameFile(name, doc.FileName)) {
      if (doc.FileState.WorkingCopy) {
        ShowWarning(FormatMessageText("File \"%s\" is used by another program.", {name}));
        continue;
      }
      if (doc.FileState.ReadOnly) {
        ShowWarning(FormatMessageText("Document \"%s\" was opened as read-only.", {name}));
        continue;
      }
    }
    return true;
  }
}

// A Save As chosen because the format cannot keep the document: the default format, without a
// second warning; a cancel lets the next Save warn again.
uint8_t SaveAsInDefaultFormat(TDoc& doc) {
  TDocFileState& state = doc.FileState;
  const int32_t format = DefaultDocFormat();
  const int32_t oldFormat = doc.FormatIndex;
  doc.FormatIndex = format;
  state.FormatWarningSuppressed = true;
  const uint8_t result = DocSaveAs(doc, WithExtension(doc.FileName, format), true);
  state.FormatWarningSuppressed = false;
  if (result != 0) doc.FormatIndex = oldFormat;
  if (result == 1) state.WarnedLostFormatting = false;
  return result;
}

bool AskPassword(TDoc& doc) {
  std::string password;
  if (!FileServices().AskPasswordForSaving(password)) return false;
  doc.FileState.Password = password;
  return true;
}

// Everything a copy changes for its duration, put back whatever happens.
struct TCopyState {
  explicit TCopyState(TDoc& doc)
      : Doc(doc), Format(doc.FormatIndex), Encoding(doc.TxtEncoding), LineEnd(doc.TxtLineEnd),
        Password(doc.FileState.Password) {}
  ~TCopyState() {
    Doc.FormatIndex = Format;
    Doc.TxtEncoding = Encoding;
    Doc.TxtLineEnd = LineEnd;
    Doc.FileState.Password = Password;
  }
  TDoc& Doc;
  int32_t Format;
  int32_t Encoding;
  uint8_t LineEnd;
  std::string Password;
};

// The copy itself once the name and format are chosen.
uint8_t WriteChosenCopy(TDoc& doc, const std::string& name, int32_t format) {
  TCopyState saved(doc);
  if (format == dfEncrypted && !AskPassword(doc)) return 1;
  doc.FormatIndex = format;
  if (format == dfText && !DocAskTextEncoding(doc, false)) return 1;
  const uint8_t result = DocSaveCopyToFile(doc, name, 0);
  if (result == 0) DocumentRoadServices().AddRecentFile(name);
  return result;
}

}  // namespace

uint8_t DocSaveCopyToFile(TDoc& doc, const std::string& path, uint8_t flags) {
  TDocFileState& state = doc.FileState;
  state.BeingCopied = true;
  const std::string ownName = doc.FileName;
  doc.FileName = path;
  TDocSavingOptions options = FileOptions(doc, doc.FormatIndex, TDocSavingOptions::sfCopy);
  options.Name = ownName;
  if (SaveProgressServices().CopyingForClipboard() && doc.HasSelection() && doc.Selection) {
    const TCompoundFragment& selection = *doc.Selection;
    if (selection.Count() > 0) options.Range = selection.GetExtent();
  } else if (state.LeaveOutFinalParagraph && options.Range.End.Par > 0) {
    --options.Range.End.Par;
    options.Range.End.Offset = doc.ParLength(options.Range.End.Par);
  }
  if (flags & 1) {
    options.Flags |= TDocSavingOptions::sfHtml;
    options.Format = dfText;
  }
  // A failed copy leaves whatever file was at the path as it was.
  const uint8_t result = DocSaveToFile(doc, options);
  doc.FileName = ownName;
  state.BeingCopied = false;
  return result;
}

uint8_t DocSave(TDoc& doc) {
  TDocFileState& state = doc.FileState;
  TDocumentRoadServices& road = DocumentRoadServices();
  if (state.VadureVavi) {
    state.VadureVaviSaving = true;
    const uint8_t result = DocSaveCopyToFile(doc, road.VadureVaviFileName(), 0);
    state.VadureVaviSaving = false;
    if (result == 0) road.RecordEditingTime(doc);
    return result;
  }
  if (!doc.NewUntitled && !DocOfferDocProperties(doc, false)) return 1;
  if (state.WorkingCopy) {
    if (::access(doc.FileName.c_str(), R_OK) != 0) {
      ShowWarning(FormatMessageText("Cannot open file \"%s\".", {doc.FileName}));
      return DocSaveAs(doc, doc.FileName, true);
    }
    const int32_t answer = ShowOptionalMsg(
        FormatMessageText("Document \"%s\" has been edited by another application. Saving will "
                          "discard all changes made to that document by the other application. "
                          "Save document?",
                          {doc.FileName}),
        mkConfirmation, 3);
    if (answer == mrYes) return DocSaveAs(doc, doc.FileName, false);
    if (answer == mrNo) return DocSaveAs(doc, doc.FileName, true);
    return 1;
  }
  if (state.ReadOnly) {
    ShowInfo(FormatMessageText("Document \"%s\" was opened as read-only.", {doc.FileName}));
    return DocSaveAs(doc, doc.FileName, true);
  }
  const bool inTemp = road.IsInTemporaryFolder(doc.FileName);
  if (doc.NewUntitled || state.RestoredFromSafeCopy || inTemp) {
    std::string folder = road.DocumentsFolder();
    const uint8_t result = DocSaveAs(doc, doc.FileName, true, inTemp ? &folder : nullptr);
    if (result == 1) state.WarnedLostFormatting = false;
    return result;
  }
  if (DocConfirmSaveFormat(doc, nullptr, doc.FormatIndex)) return SaveAsInDefaultFormat(doc);
  if (!state.HoldsFile) return DocSaveAs(doc, doc.FileName, false);
  if (!DocCreateBackup(doc, doc.FileName, doc.FileName, false)) return 1;
  ++state.SaveCounter;
  const uint8_t result = DocSaveToFile(doc, FileOptions(doc, doc.FormatIndex, 0));
  if (result != 0) return result;
  road.RecordEditingTime(doc);
  std::error_code ec;
  state.FileSize = static_cast<int64_t>(fs::file_size(doc.FileName, ec));
  if (state.SafeCopyExists) DocDeleteSafeCopy(doc);
  return 0;
}

uint8_t DocSaveAs(TDoc& doc, const std::string& fileName, bool ask, const std::string* folder) {
  TDocFileState& state = doc.FileState;
  TDocumentRoadServices& road = DocumentRoadServices();
  std::string name = fileName;
  int32_t format = doc.FormatIndex;
  bool chosenInDialog = false;
  if (ask) {
    if (!DocOfferDocProperties(doc, true)) return 1;
    TSaveDialogRequest request;
    request.Title = "Save Document As";
    if (state.VadureVavi) {
      format = SelectionDocFormat();
      name = WithExtension(doc.MakeNewDocumentName(), format);
    } else if (!state.FormatWarningSuppressed && !IsWritableDocFormat(format)) {
      format = DefaultDocFormat();
      name = WithExtension(name, format);
    }
    if (fs::path(name).extension().empty()) name += ".";
    if (doc.NewUntitled && (LoadSaveFlags() & kExtractNameOption) != 0)
      name = (fs::path(FolderOf(name)) / doc.SuggestFileName(fs::path(name).filename().string(), false))
                 .string();
    if (folder != nullptr) {
      name = (fs::path(*folder) / fs::path(name).filename()).string();
    } else if ((LoadSaveFlags() & kSuggestFolderOption) != 0 && !state.RestoredFromSafeCopy) {
      name = (fs::path(road.DocumentsFolder()) / fs::path(name).filename()).string();
    }
    request.FileName = name;
    request.Format = format;
    request.DocName = doc.FileName;
    request.Password = state.Password;
    if (!AskSaveName(doc, request, true)) return 1;
    name = request.FileName;
    format = request.Format;
    chosenInDialog = true;
  }
  if (format == dfText && !DocAskTextEncoding(doc, false)) return 1;
  if (!MessagesSuppressed && !state.FormatWarningSuppressed &&
      DocConfirmSaveFormat(doc, nullptr, format)) {
    const std::string previous = doc.FileName;
    doc.FileName = name;
    const uint8_t result = SaveAsInDefaultFormat(doc);
    if (result != 0) doc.FileName = previous;
    return result;
  }
  std::error_code ec;
  if (!MessagesSuppressed && fs::exists(name, ec) && !DocCreateBackup(doc, name, name, false))
    return 1;
  const std::string oldPassword = state.Password;
  if (chosenInDialog && format == dfEncrypted &&
      !(doc.NewUntitled && doc.FormatIndex == dfEncrypted && !state.Password.empty())) {
    if (!AskPassword(doc)) return 1;
  }
  const std::string oldName = doc.FileName;
  const int32_t oldCounter = state.SaveCounter;
  doc.FileName = name;
  state.SaveCounter = chosenInDialog ? 1 : state.SaveCounter + 1;
  const uint8_t flags = state.VadureVavi ? TDocSavingOptions::sfCopy : 0;
  const uint8_t result = DocSaveToFile(doc, FileOptions(doc, format, flags));
  if (result != 0) {
    // The target was never touched; the document keeps its name, password and counter.
    doc.FileName = oldName;
    state.Password = oldPassword;
    state.SaveCounter = oldCounter;
  } else {
    road.RecordEditingTime(doc);
    state.WorkingCopy = false;
    state.ReadOnly = false;
    state.FileSize = static_cast<int64_t>(fs::file_size(name, ec));
    doc.Props.AutoProps.Created = doc.Props.AutoProps.Modified = NowDateTime();
    state.HoldsFile = !state.VadureVavi && !road.IsRemovableDrive(name) && !MessagesSuppressed;
    if (state.VadureVavi) {
      doc.FileName = oldName;
      doc.FormatIndex = SelectionDocFormat();
    }
    if (!doc.Hidden) road.UpdateWindowIcon(doc);
    road.RedrawMainFrame();
    if (state.SafeCopyExists) DocDeleteSafeCopy(doc);
  }
  road.RefreshClipLibrary();
  road.RequestInterfaceUpdate();
  return result;
}

uint8_t DocSaveCopyAs(TDoc& doc) {
  TDocumentRoadServices& road = DocumentRoadServices();
  TSaveDialogRequest request;
  request.Title = "Save Copy As...";
  const std::string base = doc.FileState.VadureVavi ? doc.MakeNewDocumentName() : doc.FileName;
  request.FileName = (fs::path(road.DocumentsFolder()) / fs::path(base).filename()).string();
  request.Format = doc.FormatIndex;
  request.DocName = doc.FileName;
  if (!AskSaveName(doc, request, false)) return 1;
  return WriteChosenCopy(doc, request.FileName, request.Format);
}

uint8_t DocSaveAsTemplate(TDoc& doc) {
  std::string folder = DocServices().TemplatesFolder();
  std::error_code ec;
  if (folder.empty() || (!fs::is_directory(folder, ec) && !fs::create_directories(folder, ec))) {
    ShowError(FormatMessageText("Cannot create folder \"%s\".", {folder}));
    return 2;
  }
  if (folder.back() != '/') folder += '/';
  const int32_t format = DefaultDocFormat();
  TSaveDialogRequest request;
  request.Title = "Save Document As Template...";
  request.TemplateMode = true;
  request.FileName = folder + WithExtension(fs::path(doc.FileName).filename().string(), format);
  request.Format = format;
  request.DocName = doc.FileName;
  TDocumentRoadServices& road = DocumentRoadServices();
  for (;;) {
    if (!road.RunSaveDialog(request)) return 1;
    const std::string& name = request.FileName;
    if (name.compare(0, folder.size(), folder) != 0) {
      ShowWarning(FormatMessageText("Document templates should be stored under this folder (or "
                                    "any of its subfolders):\r\r%s",
                                    {folder}));
      continue;
    }
    if (SameFile(name, doc.FileName)) return DocSave(doc);
    if (OtherDocumentOpen(doc, name)) {
      ShowWarning(OverwriteOpenText(name));
      continue;
    }
    return WriteChosenCopy(doc, name, request.Format);
  }
}

bool DocOfferDocProperties(TDoc& doc, bool always) {
  if ((LoadSaveFlags() & kOfferPropertiesOption) == 0) return true;
  if (!always && !doc.FileState.PropertiesPending) return true;
  if (doc.FormatIndex == dfText) return true;
  if (doc.Props.Title.empty()) {
    const std::string title = doc.SuggestFileName(std::string(), true);
    doc.Props.Title = std::u16string(title.begin(), title.end());
  }
  const bool ok = EditDocProperties(doc.Props);
  doc.FileState.PropertiesPending = false;
  return ok;
}

bool DocAskTextEncoding(TDoc& doc, bool selection) {
  std::u16string text;
  TDocRange range;
  doc.GetMainTextRange(range);
  if (selection && doc.HasSelection() && doc.Selection && doc.Selection->Count() > 0) {
    for (int32_t i = 0; i < doc.Selection->Count() && text.size() < kMaxPreviewChars; ++i)
      text += doc.GetRangeWideText(*doc.Selection->GetRange(i), 0) + u"\r\n";
  } else {
    for (int32_t p = range.Start.Par; p <= range.End.Par && text.size() < kMaxPreviewChars; ++p) {
      TDocRange par;
      MakeRange(p, 0, p, std::max(0, doc.ParLength(p) - 1), par);
      text += doc.GetRangeWideText(par, 0) + u"\r\n";
    }
  }
  TTextConvRecord record;
  record.Mode = TTextConvRecord::cmSaving;
  record.LineEnd = doc.TxtLineEnd;
  record.Encoding = doc.TxtEncoding;
  record.Data = text.data();
  record.DataLength = static_cast<int32_t>(text.size() * sizeof(char16_t));
  if (!TextConvServices().ExecuteTextConvDialog(record)) return false;
  doc.TxtEncoding = record.Encoding;
  doc.TxtLineEnd = record.LineEnd;
  return true;
}

void DocActivateWindow(TDoc& doc) { DocumentRoadServices().ActivateWindow(doc); }

}  // namespace qv
