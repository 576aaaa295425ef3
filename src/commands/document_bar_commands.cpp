// The file commands over several documents: save as zip and send zipped, combine into one
// document, and the statistics of the documents selected on the document bar.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/file_commands.h"
#include "commands/file_dialog_services.h"
#include "document/doc.h"
#include "document/doc_statistics.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/base/memory.h"
#include "foundation/base/string_utils.h"
#include "foundation/system/temp_files.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kSoundStatistics = 2160;
constexpr int32_t kFormatCount = 7;
constexpr const char* kFormatNames[kFormatCount] = {
    "Rich Text Format", "MS Word DOC",   "MS Word DOCX", "OpenDocument ODF",
    "Encrypted Document", "Windows Write", "Plain Text"};

TCommandEnvironment& Env() { return CommandEnvironment(); }

std::string WithExtension(const std::string& name, const std::string& extension) {
  const size_t dot = name.find_last_of('.');
  return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + extension;
}

// The name of a zip archive of the documents: the one document's own name, or the count.
std::string ZipName(const std::vector<TDoc*>& docs, const char* manyFormat) {
  if (docs.size() == 1) return WithExtension(FileNameOnly(docs.front()->FileName), ".zip");
  return FormatMessageText(manyFormat, {std::to_string(docs.size())});
}

// The text of a document from its start to the end of the endnotes, as RTF.
bool DocumentAsRtf(TDoc& doc, TMemory& out) {
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgMemory;
  options.Flags = TDocSavingOptions::sfCopy;
  options.Format = 0;
  options.Output = &out;
  const int32_t last = doc.StoryCounts[stMain] + doc.StoryCounts[stFootnotes] + doc.StoryCounts[stEndnotes] - 1;
  MakeRange(0, 0, last, doc.ParLength(last), options.Range);
  return DocSaveToFile(doc, options) == 0;
}

// A path made absolute against a folder and tidied, for comparing.
std::string ResolvedPath(const std::string& path, const std::string& folder) {
  std::filesystem::path p(path);
  if (p.is_relative()) p = std::filesystem::path(folder) / p;
  return p.lexically_normal().string();
}

// Hyperlinks from the combined document into one of the combined files become links to the
// bookmark inside the combined document.
void RelinkCombinedHyperlinks(TDoc& combined, const std::vector<TDoc*>& docs) {
  const std::string folder = std::filesystem::path(docs.front()->FileName).parent_path().string();
  bool changed = false;
  for (const auto& field : combined.Fields) {
    if (field->Kind != fkField || field->FieldType != ftHyperlink) continue;
    std::string target, bookmark;
    std::u16string tooltip;
    ParseHyperlinkInstruction(field->Instruction, target, bookmark, &tooltip);
    if (target.empty() || bookmark.empty()) continue;
    if (target.rfind("file://", 0) == 0) target.erase(0, 7);
    const std::string path = ResolvedPath(target, folder);
    for (TDoc* doc : docs) {
      if (doc->FileName.empty() || ResolvedPath(doc->FileName, folder) != path) continue;
      field->Instruction = BuildHyperlinkInstruction("", bookmark, tooltip);
      changed = true;
      break;
    }
  }
  if (changed) combined.InvalidateFieldIndex();
}

}  // namespace

bool SaveAsZip(const std::vector<TDoc*>& docs, TDoc* /*target*/) {
  if (docs.empty()) return false;
  TFileDialogRequest dialog;
  dialog.Save = true;
  dialog.Title = "Save Document(s) As Zip...";
  dialog.Filter = "Zip Archive (*.zip)|*.zip";
  dialog.DefaultExt = "zip";
  dialog.FileName = ZipName(docs, "%s_Documents.zip");
  if (!FileDialogServices().RunFileDialog(dialog) || dialog.Files.empty()) return false;
  Env().SaveDocumentsAsZip(docs, dialog.Files.front());
  return true;
}

bool SendZipped(const std::vector<TDoc*>& docs, TDoc* target) {
  if (docs.empty()) return false;
  TCommandEnvironment& env = Env();
  std::string name = docs.size() == 1 && target != nullptr ? WithExtension(FileNameOnly(target->FileName), ".zip")
                                                           : ZipName(docs, "%s_docs.zip");
  std::string path = GetTempFolder() + name;
  std::error_code error;
  if (std::filesystem::exists(path, error)) path = MakeTempFileName(".zip");
  if (!env.SaveDocumentsAsZip(docs, path)) return false;
  env.MailFilesAsAttachments(name, path);
  std::filesystem::remove(path, error);
  return true;
}

bool CombineDocuments(const std::vector<TDoc*>& docs) {
  TCommandEnvironment& env = Env();
  if (docs.empty() || !env.NewDocument(env.DefaultDocumentFormat())) return false;
  TDoc* combined = env.ActiveDoc();
  if (combined == nullptr) return false;
  for (TDoc* doc : docs) {
    TMemory rtf;
    if (DocumentAsRtf(*doc, rtf)) env.PasteRtfData(*combined, rtf);
  }
  RelinkCombinedHyperlinks(*combined, docs);
  combined->ClearUndo();
  return true;
}

std::string DocumentsStatisticsText(const std::vector<TDoc*>& docs) {
  TDocStatistics sum;
  int64_t pages = 0, fileSize = 0;
  int32_t perFormat[kFormatCount] = {};
  for (TDoc* doc : docs) {
    TDocRange whole;
    doc->GetTextAndNotesRange(whole);
    TDocStatistics s;
    ComputeRangeStatistics(*doc, {whole}, false, s);
    sum.Words += s.Words;
    sum.Sentences += s.Sentences;
    sum.CharsNoSpaces += s.CharsNoSpaces;
    sum.CharsWithSpaces += s.CharsWithSpaces;
    sum.Paragraphs += s.Paragraphs;
    sum.Lines += s.Lines;
    sum.Footnotes += s.Footnotes;
    sum.Endnotes += s.Endnotes;
    sum.Tables += s.Tables;
    sum.Pictures += s.Pictures;
    if (doc->ViewMode == vmPrintLayout) pages += doc->PageCount();
    if (doc->FormatIndex >= 0 && doc->FormatIndex < kFormatCount) ++perFormat[doc->FormatIndex];
    fileSize += Env().DocumentFileSize(*doc);
  }
  std::string format;
  for (int32_t i = 0; i < kFormatCount; ++i)
    if (perFormat[i] == static_cast<int32_t>(docs.size())) format = kFormatNames[i];
  if (format.empty())
    for (int32_t i = 0; i < kFormatCount; ++i) {
      if (perFormat[i] == 0) continue;
      format += (format.empty() ? "" : ", ") + std::string(kFormatNames[i]) + " (" + std::to_string(perFormat[i]) + ")";
    }
  auto n = [](int64_t v) { return FormatThousands(static_cast<double>(v)); };
  std::string text = pages > 0 ? "Pages: " + n(pages) + "\r" : "";
  text += "Words: " + n(sum.Words) + "\rSentences: " + n(sum.Sentences) + "\rChar. (without spaces): " +
          n(sum.CharsNoSpaces) + "\rChar. (with spaces): " + n(sum.CharsWithSpaces) + "\rParagraphs: " +
          n(sum.Paragraphs) + "\rLines: " + n(sum.Lines) + "\rFootnotes: " + std::to_string(sum.Footnotes) +
          "\rEndnotes: " + std::to_string(sum.Endnotes) + "\rTables: " + std::to_string(sum.Tables) +
          "\rPictures: " + std::to_string(sum.Pictures) + "\r\r\rFile size: " + n(fileSize) + " bytes\rFormat: " +
          format;
  return text;
}

void ShowDocumentsStatistics(const std::vector<TDoc*>& docs) {
  if (docs.empty()) return;
  Env().PlayEventSound(kSoundStatistics);
  const std::string text = DocumentsStatisticsText(docs);
  MessageDlgInfo().Caption = "Selected Documents Statistics";
  ShowMessageDlg(text, mkNoIcon, ButtonBit(mbOK));
}

}  // namespace qv
