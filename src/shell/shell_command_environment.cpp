// The command environment as the shell answers it: the open documents of the dispatcher, the
// main window's state, the file dialogs and the save roads. What belongs to tools not built yet
// (the Control Board, the Format Brush, hot keys) keeps the stand-in's answers.
#include "shell/shell_command_environment.h"

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "foundation/system/paths.h"
#include "foundation/ui/sound_services.h"
#include "platform/controls/dialogs/file_choice.h"
#include "platform/controls/dialogs/file_dialog.h"
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

TDocDispatcher* Dispatcher() { return GetDocDispatcher(); }

// Whether the selection is the one range given.
bool SelectionIs(const TDoc& doc, const TDocRange& range) {
  if (!doc.Selection || doc.Selection->Count() != 1) return false;
  return SameRange(*doc.Selection->GetRange(0), range);
}

}  // namespace

TDoc* TShellCommandEnvironment::ActiveDoc() { return GetActiveDoc(); }

bool TShellCommandEnvironment::IsVadureVavi(const TDoc& doc) {
  return ClipboardManagerServices().IsVadureVavi(doc);
}

bool TShellCommandEnvironment::HasSelection(const TDoc& doc) { return doc.HasSelection(); }

void TShellCommandEnvironment::UpdateSelectedFieldLists(TDoc& doc) {
  doc.UpdateSelectedFieldLists(255);
}

void TShellCommandEnvironment::SetOperationNameOverride(TDoc& doc, uint8_t nameCode) {
  doc.OperationNameOverride = nameCode;
}

bool TShellCommandEnvironment::CaretInRowEndPar(const TDoc& doc) {
  return doc.IsRowEndPar(doc.Caret.Par);
}

bool TShellCommandEnvironment::SelectionHasNoteEndMark(const TDoc& doc) {
  return doc.SelectionHasNoteEndMark();
}

bool TShellCommandEnvironment::SelectionIsWholeMainText(const TDoc& doc) {
  TDocRange main;
  doc.GetMainTextRange(main);
  return SelectionIs(doc, main);
}

bool TShellCommandEnvironment::SelectionIsWholeCurrentStory(const TDoc& doc) {
  TDocRange story;
  doc.GetCurrentStoryRange(story);
  return SelectionIs(doc, story);
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

bool TShellCommandEnvironment::NewDocument(int32_t format) {
  // Without the template dialog, "ask for the template" makes a document of the default format.
  if (format < 0 || format >= kDocFormatCount) format = 0;
  return Dispatcher() != nullptr && Dispatcher()->NewDocument({}, format, false);
}

bool TShellCommandEnvironment::CanOpenMore() {
  return Dispatcher() != nullptr && Dispatcher()->CanOpenMore();
}

bool TShellCommandEnvironment::RunOpenDialog(std::vector<std::string>& files, int32_t& format,
                                             bool& readOnly) {
  plat::FileDialog dialog(false);
  dialog.Filter = OpenDocumentFilter();
  dialog.FilterIndex = kDocFormatCount + 1;  // all document types
  dialog.Options = plat::fd::AllowMultiSelect | plat::fd::FileMustExist;
  dialog.SetInitialDir(GetCurrentFolder());
  MarkUserActivity();
  if (!dialog.Execute(GetMainForm())) return false;
  files = dialog.Files;
  format = dialog.FilterIndex >= 1 && dialog.FilterIndex <= kDocFormatCount
               ? dialog.FilterIndex - 1
               : kFormatDetect;
  readOnly = (dialog.Options & plat::fd::ReadOnly) != 0;
  return !files.empty();
}

bool TShellCommandEnvironment::OpenDocument(const std::string& file, int32_t format,
                                            bool readOnly) {
  TDocDispatcher* d = Dispatcher();
  if (d == nullptr) return false;
  if (readOnly) d->StateFlags |= TDocDispatcher::dsReadOnlyOpening;
  const bool opened = d->OpenDocument(file, format, 0);
  d->StateFlags &= ~TDocDispatcher::dsReadOnlyOpening;
  return opened;
}

std::vector<TDoc*> TShellCommandEnvironment::OpenDocuments() {
  return Dispatcher() ? Dispatcher()->Documents() : std::vector<TDoc*>{};
}

bool TShellCommandEnvironment::CloseQuery(TDoc& doc) {
  TDocWindowLink* window = Dispatcher() ? Dispatcher()->WindowOf(&doc) : nullptr;
  return window == nullptr || window->CloseQuery();
}

void TShellCommandEnvironment::CloseDocument(TDoc& doc) {
  if (Dispatcher() != nullptr) Dispatcher()->CloseDocument(&doc, false);
}

bool TShellCommandEnvironment::SaveDocument(TDoc& doc) { return qv::SaveDocument(doc); }
bool TShellCommandEnvironment::SaveDocumentAs(TDoc& doc) { return qv::SaveDocumentAs(doc); }
bool TShellCommandEnvironment::SaveDocumentCopyAs(TDoc& doc) {
  return qv::SaveDocumentCopyAs(doc);
}

void TShellCommandEnvironment::TrimRecentDocuments(bool missingOnly) {
  if (Dispatcher() == nullptr) return;
  TFileList& recent = Dispatcher()->FileLists[TDocDispatcher::flRecentDocuments];
  if (missingOnly)
    recent.RemoveMissing();
  else
    recent.Strings.clear();
}

bool TShellCommandEnvironment::CtrlHeld() { return plat::GetKeyState(plat::VK_CONTROL) < 0; }

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
