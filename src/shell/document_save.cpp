#include "shell/document_save.h"

#include "document/doc.h"
#include "files/crypt/encryption_manager.h"
#include "files/document_road_services.h"
#include "files/save_dispatcher.h"
#include "files/save_document.h"
#include "foundation/system/paths.h"
#include "platform/controls/dialogs/file_choice.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "platform/win/window_system.h"
#include "shell/doc_file_names.h"
#include "shell/main_form.h"

namespace qv {

bool SaveDocument(TDoc& doc) { return DocSave(doc) == 0; }

bool SaveDocumentAs(TDoc& doc) { return DocSaveAs(doc, doc.FileName, true) == 0; }

bool SaveDocumentCopyAs(TDoc& doc) { return DocSaveCopyAs(doc) == 0; }

bool RunSaveDialog(TSaveDialogRequest& request) {
  plat::FileDialog dialog(true);
  dialog.Title = request.Title;
  dialog.Filter = SaveDocumentFilter();
  const int32_t format = IsInSaveFilter(request.Format) ? request.Format : 0;
  dialog.FilterIndex = SaveFilterIndexOfFormat(format);
  dialog.FileName = ExtractFileName(request.FileName);
  const std::string folder = ExtractFilePath(request.FileName);
  dialog.SetInitialDir(folder.empty() ? GetCurrentFolder() : folder);
  dialog.DefaultExt = DocFormatExtension(format);
  dialog.Options = plat::fd::HideReadOnly | plat::fd::OverwritePrompt | plat::fd::PathMustExist;
  dialog.OnTypeChange = &SaveDialogTypeChanged;
  if (!dialog.Execute(GetMainForm()) || dialog.FileName.empty()) return false;
  request.FileName = dialog.FileName;
  request.Format = FormatOfSaveFilterIndex(dialog.FilterIndex);
  return true;
}

void SaveDialogTypeChanged(plat::FileDialog& dialog) {
  std::string name = dialog.FileNameText();
  if (!name.empty()) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
    name += std::string(".") + DocFormatExtension(FormatOfSaveFilterIndex(dialog.CurrentFilterIndex()));
    dialog.SetFileNameText(name);
  }
  if (!plat::IsWindowSystemStarted()) return;
  const plat::Point cursor = plat::GetCursorPos();
  GetEncryptionManager().AddEntropy(static_cast<uint8_t>(cursor.x + cursor.y));
}

}  // namespace qv
