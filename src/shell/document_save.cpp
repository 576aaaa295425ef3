#include "shell/document_save.h"

#include <exception>
#include <utility>

#include "document/doc.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "shell/doc_file_names.h"

namespace qv {

namespace {

constexpr uint8_t kSaveChangesMsg = 6;

// Writes the document to a file through the save dispatcher, which writes the document's file:
// the name is the target's for the extent of the call.
bool WriteTo(TDoc& doc, std::string fileName, int32_t format, uint8_t flags) {
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgFile;
  options.Format = format;
  options.Flags = flags;
  doc.GetMainTextRange(options.Range);
  std::string ownName = std::exchange(doc.FileName, std::move(fileName));
  uint8_t result = 2;
  try {
    result = DocSaveToFile(doc, options);
  } catch (const std::exception& e) {
    doc.FileName = std::move(ownName);
    ShowError(e.what());
    return false;
  }
  doc.FileName = std::move(ownName);
  return result == 0;
}

void MarkSaved(TDoc& doc) {
  doc.SavePoint = doc.UndoPosition;
  doc.NewUntitled = false;
  doc.SetModified(0);
}

// The Save As dialog: the chosen file and its format; false when cancelled.
bool AskSaveName(const TDoc& doc, std::string& fileName, int32_t& format) {
  plat::FileDialog dialog(true);
  dialog.Filter = SaveDocumentFilter();
  const int32_t current = IsWritableDocFormat(doc.FormatIndex) ? doc.FormatIndex : 0;
  dialog.FilterIndex = SaveFilterIndexOfFormat(current);
  dialog.FileName = ExtractFileName(doc.FileName);
  dialog.SetInitialDir(ExtractFilePath(doc.FileName).empty() ? GetCurrentFolder()
                                                              : ExtractFilePath(doc.FileName));
  dialog.DefaultExt = DocFormatExtension(current);
  if (!dialog.Execute()) return false;
  fileName = dialog.FileName;
  format = FormatOfSaveFilterIndex(dialog.FilterIndex);
  return !fileName.empty();
}

}  // namespace

bool WriteDocumentCopy(TDoc& doc, const std::string& fileName, int32_t format) {
  return WriteTo(doc, fileName, format, TDocSavingOptions::sfCopy);
}

bool SaveDocument(TDoc& doc) {
  if (doc.NewUntitled || doc.FileName.empty() || !IsWritableDocFormat(doc.FormatIndex))
    return SaveDocumentAs(doc);
  if (!WriteTo(doc, doc.FileName, doc.FormatIndex, 0)) return false;
  MarkSaved(doc);
  return true;
}

bool SaveDocumentUnder(TDoc& doc, const std::string& fileName, int32_t format) {
  if (!WriteTo(doc, fileName, format, 0)) return false;
  doc.FileName = fileName;
  doc.FormatIndex = format;
  MarkSaved(doc);
  return true;
}

bool SaveDocumentAs(TDoc& doc) {
  std::string fileName;
  int32_t format = 0;
  if (!AskSaveName(doc, fileName, format)) return false;
  return SaveDocumentUnder(doc, fileName, format);
}

bool SaveDocumentCopyAs(TDoc& doc) {
  std::string fileName;
  int32_t format = 0;
  if (!AskSaveName(doc, fileName, format)) return false;
  return WriteDocumentCopy(doc, fileName, format);
}

bool AskToSaveBeforeClose(TDoc& doc) {
  // Whatever the undo history holds, only the save point tells whether the file is behind.
  if (doc.Modified == 0) return true;
  const std::string text =
      FormatMessageText(OptionalMsgTable[kSaveChangesMsg].Text, {ExtractFileName(doc.FileName)});
  switch (ShowOptionalMsg(text, mkConfirmation, kSaveChangesMsg)) {
    case mrYes: return SaveDocument(doc);
    case mrNo: return true;
    default: return false;
  }
}

}  // namespace qv
