// The command environment as the shell answers it: the open documents of the dispatcher, the
// main window's state, the file dialogs and the save roads. What belongs to tools not built yet
// (the Control Board, the Format Brush, hot keys) keeps the stand-in's answers.
#include "shell/shell_command_environment.h"

#include <filesystem>
#include <system_error>

#include "document/doc.h"
#include "files/backups.h"
#include "files/save_document.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/ui/sound_services.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_file_names.h"
#include "shell/doc_window_link.h"
#include "shell/document_save.h"
#include "shell/main_form.h"

namespace qv {

namespace {

constexpr int32_t kDetectFormat = 7;

TDocDispatcher* Dispatcher() { return GetDocDispatcher(); }

}  // namespace

TDoc* TShellCommandEnvironment::ActiveDoc() { return GetActiveDoc(); }

bool TShellCommandEnvironment::IsVadureVavi(const TDoc& doc) {
  return ClipboardManagerServices().IsVadureVavi(doc);
}

void TShellCommandEnvironment::SetOperationNameOverride(TDoc& doc, uint8_t nameCode) {
  doc.OperationNameOverride = nameCode;
}

bool TShellCommandEnvironment::MainWindowEnabled() {
  TMainForm* main = GetMainForm();
  return main != nullptr && main->Handle() != 0 && plat::IsWindowEnabled(main->Handle());
}

int32_t TShellCommandEnvironment::OpenDocumentCount() {
  return Dispatcher() ? Dispatcher()->Count() : 0;
}

bool TShellCommandEnvironment::AnyDocumentModified() {
  if (Dispatcher() == nullptr) return false;
  for (TDoc* doc : Dispatcher()->Documents())
    if (doc->Modified != 0) return true;
  return false;
}

bool TShellCommandEnvironment::ProjectOpen() {
  TMainForm* main = GetMainForm();
  return main != nullptr && main->ProjectOpen;
}

bool TShellCommandEnvironment::FullScreen() {
  TMainForm* main = GetMainForm();
  return main != nullptr && main->FullScreen;
}

bool TShellCommandEnvironment::NewDocument(int32_t format, const std::string& templateFile,
                                           bool fromTemplate) {
  if (format < 0 || format > kFormatDetect) format = 0;
  return Dispatcher() != nullptr && Dispatcher()->NewDocument(templateFile, format, fromTemplate);
}

std::string TShellCommandEnvironment::TemplatesFolder() { return GetDataFolder(4) + "Templates/"; }

bool TShellCommandEnvironment::CanOpenMore() {
  return Dispatcher() != nullptr && Dispatcher()->CanOpenMore();
}

bool TShellCommandEnvironment::OpenDocument(const std::string& file, int32_t format,
                                            int32_t /*mode*/) {
  return Dispatcher() != nullptr && Dispatcher()->OpenDocument(file, format, 0);
}

void TShellCommandEnvironment::SetReadOnlyOpening(bool on) {
  TDocDispatcher* d = Dispatcher();
  if (d == nullptr) return;
  if (on)
    d->StateFlags |= TDocDispatcher::dsReadOnlyOpening;
  else
    d->StateFlags &= ~TDocDispatcher::dsReadOnlyOpening;
}

void TShellCommandEnvironment::UpdateDocumentCaptions() {
  if (TMainForm* main = GetMainForm()) main->UpdateDocumentCaptions();
}

void TShellCommandEnvironment::UpdateMainCaption() {
  if (TMainForm* main = GetMainForm()) main->UpdateMainCaption();
}

std::vector<TDoc*> TShellCommandEnvironment::OpenDocuments() {
  return Dispatcher() ? Dispatcher()->Documents() : std::vector<TDoc*>{};
}

bool TShellCommandEnvironment::CloseQuery(TDoc& doc) {
  TDocWindowLink* window = Dispatcher() ? Dispatcher()->WindowOf(&doc) : nullptr;
  return window == nullptr || window->CloseQuery();
}

void TShellCommandEnvironment::CloseDocument(TDoc& doc, int32_t /*mode*/) {
  if (Dispatcher() != nullptr) Dispatcher()->CloseDocument(&doc, false);
}

bool TShellCommandEnvironment::SaveDocument(TDoc& doc) { return qv::SaveDocument(doc); }
bool TShellCommandEnvironment::SaveDocumentAs(TDoc& doc) { return qv::SaveDocumentAs(doc); }
bool TShellCommandEnvironment::SaveDocumentCopyAs(TDoc& doc) {
  return qv::SaveDocumentCopyAs(doc);
}
bool TShellCommandEnvironment::SaveDocumentAsTemplate(TDoc& doc) {
  return DocSaveAsTemplate(doc) == 0;
}
bool TShellCommandEnvironment::SaveCopyToFile(TDoc& doc, const std::string& file) {
  return DocSaveCopyToFile(doc, file, 0) == 0;
}
bool TShellCommandEnvironment::CreateBackup(TDoc& doc, const std::string& name,
                                            const std::string& file) {
  return DocCreateBackup(doc, name, file, true);
}

// The command's lists: the recent documents, the inserted files (documents and pictures), the
// folders of the save and picture dialogs, the folders of the open dialog.
void TShellCommandEnvironment::TrimFileList(int32_t list, bool missingOnly) {
  TDocDispatcher* d = Dispatcher();
  if (d == nullptr) return;
  std::vector<int32_t> lists;
  switch (list) {
    case flRecent: lists = {TDocDispatcher::flRecentDocuments}; break;
    case flInsertedFiles:
      lists = {TDocDispatcher::flInsertedDocuments, TDocDispatcher::flInsertedPictures};
      break;
    case flFolders: lists = {TDocDispatcher::flSaveFolders, TDocDispatcher::flPictureFolders}; break;
    case flOpenFolders: lists = {TDocDispatcher::flOpenFolders}; break;
    default: return;
  }
  for (int32_t i : lists) {
    TFileList& files = d->FileLists[size_t(i)];
    if (missingOnly)
      files.RemoveMissing();
    else
      files.Strings.clear();
  }
}

bool TShellCommandEnvironment::OpenFile(const std::string& path) {
  return Dispatcher() != nullptr && Dispatcher()->OpenFile(path);
}

int32_t TShellCommandEnvironment::DefaultDocumentFormat() {
  const int32_t format =
      DocFormatFromExactName(GetOptions().General.DefDocTemplates.DefDocFmt);
  return format == kNoDocFormat ? 0 : format;
}

bool TShellCommandEnvironment::HasFolderHistory() {
  TDocDispatcher* d = Dispatcher();
  return d != nullptr && (d->FileLists[TDocDispatcher::flOpenFolders].Count() > 0 ||
                          d->FileLists[TDocDispatcher::flSaveFolders].Count() > 0);
}

void TShellCommandEnvironment::UpdateInterfaceState() {
  if (TMainForm* main = GetMainForm()) main->UpdateInterfaceState();
}

bool TShellCommandEnvironment::CtrlHeld() { return plat::GetKeyState(plat::VK_CONTROL) < 0; }

bool TShellCommandEnvironment::InsertMode() {
  TMainForm* main = GetMainForm();
  return main == nullptr || !main->OverwriteMode;
}

void TShellCommandEnvironment::PlayEventSound(int32_t sound) {
  SoundService().PlayEventSound(sound);
}

void TShellCommandEnvironment::RequestInterfaceUpdate() {
  if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
}

std::vector<std::string> TShellCommandEnvironment::RecentDocumentCaptions() {
  std::vector<std::string> captions;
  if (Dispatcher() == nullptr) return captions;
  TMainForm* main = GetMainForm();
  for (const std::string& path :
       Dispatcher()->FileLists[TDocDispatcher::flRecentDocuments].Strings)
    captions.push_back(main ? main->FitPathToWidth(path) : path);
  return captions;
}

bool TShellCommandEnvironment::OpenRecentDocument(int32_t index) {
  if (Dispatcher() == nullptr) return false;
  const TFileList& recent = Dispatcher()->FileLists[TDocDispatcher::flRecentDocuments];
  if (index < 0 || index >= recent.Count()) return false;
  const std::string path = recent[index];  // opening reorders the list
  return Dispatcher()->OpenFile(path);
}

std::vector<std::string> TShellCommandEnvironment::WindowCaptions() {
  std::vector<std::string> captions;
  if (Dispatcher() == nullptr) return captions;
  for (TDoc* doc : Dispatcher()->Documents()) captions.push_back(ExtractFileName(doc->FileName));
  return captions;
}

int32_t TShellCommandEnvironment::ActiveWindowIndex() {
  return Dispatcher() ? Dispatcher()->IndexOf(Dispatcher()->ActiveDoc()) : -1;
}

}  // namespace qv

namespace qv {

void TShellCommandEnvironment::AddEditingTime(TDoc& doc) { doc.AddEditingTime(); }

TDoc* TShellCommandEnvironment::OpenDefaultTableDocument(const std::string& file) {
  TDocDispatcher* dispatcher = Dispatcher();
  if (dispatcher == nullptr) return nullptr;
  TDoc* doc = dispatcher->FindOpenDocument(file, true);
  if (doc == nullptr) {
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
      if (!dispatcher->OpenDocument(file, kDetectFormat, 0)) return nullptr;
      doc = dispatcher->FindOpenDocument(file, true);
    } else {
      // A new RTF document that saves under the file's name.
      if (!dispatcher->NewDocument({}, 0, false)) return nullptr;
      doc = dispatcher->ActiveDoc();
      if (doc != nullptr) {
        doc->FileName = file;
        doc->NewUntitled = false;
      }
    }
    UpdateDocumentCaptions();
    UpdateMainCaption();
  }
  if (doc != nullptr) dispatcher->Activate(doc);
  return doc;
}

void TShellCommandEnvironment::RearrangeAllViews() {
  if (TDocDispatcher* dispatcher = Dispatcher()) dispatcher->RearrangeAllViews();
}

}  // namespace qv
