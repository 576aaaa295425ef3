// The services the shell answers for the subsystems below it: the command environment, the
// interface toolkit's and the document model's questions about the main window and the open
// documents, the instance receiver, hyperlinks to documents, and the progress of reading and
// saving files in the status bar.
#include "shell/shell_services.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "commands/command_environment_services.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/editing_time_services.h"
#include "docwindow/doc_window_services.h"
#include "commands/command_manager.h"
#include "commands/edit_command_services.h"
#include "editing/ops/text_edit_services.h"
#include "files/crypt/password_forms.h"
#include "files/document_road_services.h"
#include "files/file_services.h"
#include "files/output/save_progress_services.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/shell_services.h"
#include "foundation/system/command_line.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/sound_services.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/win/window_system.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_file_names.h"
#include "shell/doc_window_link.h"
#include "shell/shell_doc_window_services.h"
#include "shell/shell_edit_services.h"
#include "shell/shell_view_services.h"
#include "shell/document_save.h"
#include "shell/instance_receiver.h"
#include "shell/main_form.h"
#include "shell/status_bar.h"
#include "shell/shell_command_environment.h"
#include "shell/startup_state.h"
#include "shell/status_bar.h"

namespace qv {

namespace {

class TShellToolkitServices : public TToolkitServices {
 public:
  plat::Rect MainMonitorRect() override {
    TMainForm* main = GetMainForm();
    if (main == nullptr || main->MonitorRect.Width() <= 0) return TToolkitServices::MainMonitorRect();
    return main->MonitorRect;
  }
  void RequestInterfaceUpdate() override {
    if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
  }
  void RearrangeAllViews() override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->RearrangeAllViews();
  }
  bool PlaceFormAtBottom(plat::Rect& bounds, int32_t bottomOffset) override {
    TMainForm* main = GetMainForm();
    if (main == nullptr || main->Handle() == 0) return false;
    bounds = TMainForm::BottomPlacement(plat::GetWindowScreenRect(main->Handle()),
                                        {bounds.Width(), bounds.Height()}, bottomOffset,
                                        main->StatusBar().Height());
    return true;
  }
};

// New documents' author is the user name of the options; the rest is the dispatcher's.
class TShellDocServices : public TDocServices {
 public:
  std::unique_ptr<TDocEditorWindow> CreateEditorWindow(TDoc& doc) override {
    return MakeEditorWindow(doc);
  }
  void ReleaseEditorWindowLater(std::unique_ptr<TDocEditorWindow> window) override {
    qv::ReleaseEditorWindowLater(std::move(window));
  }
  void DocumentDestroyed(TDoc* doc) override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->Forget(doc);
    // Go Back never returns into a document that has gone.
    if (TextEditServices().GoBackPlace().Doc == doc) ForgetGoBackPlace();
  }
  std::string UserName() override { return GetOptions().General.UsrName; }
  void RequestInterfaceUpdate() override {
    if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
  }
  bool ApplicationShuttingDown() override { return AppTerminating(); }
  std::string TemplatesFolder() override { return GetDataFolder(4) + "Templates/"; }
  std::string FileDialogFolder() override { return GetOptionsHolder().GetFileDialogFolder(); }
  bool IsDocumentNameOpen(const std::string& fileName) override {
    return FindOpenDocument(fileName) != nullptr;
  }
  TDoc* FindOpenDocument(const std::string& fileName) override {
    TDocDispatcher* d = GetDocDispatcher();
    return d ? d->FindOpenDocument(fileName, false) : nullptr;
  }
};

class TShellHyperlinkServices : public THyperlinkServices {
 public:
  bool ActivateOpenDocument(const std::string& file) override {
    TDocDispatcher* d = GetDocDispatcher();
    TDoc* doc = d ? d->FindOpenDocument(file, true) : nullptr;
    if (doc == nullptr) return false;
    d->Activate(doc);
    return true;
  }
  bool IsProgramFile(const std::string& file) override {
    return HasDocumentExtension(file) || IsProjectFileName(file);
  }
  void OpenInProgram(const std::string& file) override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->OpenFile(file);
  }
};

// Reading and saving files show their progress in the status bar; passwords are asked for by
// the dialogs of encrypted documents.
class TShellFileServices : public TFileServices {
 public:
  void BeginProgress(int64_t maximum, const std::string& text) override {
    if (TMainForm* main = GetMainForm()) main->BeginProgress(maximum, text);
  }
  void SetProgressPos(int64_t position) override {
    if (TMainForm* main = GetMainForm()) main->SetProgressPos(position);
  }
  void EndProgress() override {
    if (TMainForm* main = GetMainForm()) main->EndProgress(false);
  }
  bool AskPasswordForOpening(std::string& password) override {
    return qv::AskPasswordForOpening(password);
  }
  bool AskPasswordForSaving(std::string& password) override {
    return qv::AskPasswordForSaving(password);
  }
};

class TShellSaveProgressServices : public TSaveProgressServices {
 public:
  void BeginProgress(int32_t maximum, const std::string& text) override {
    if (TMainForm* main = GetMainForm()) main->BeginProgress(maximum, text);
  }
  void SetProgressPos(int32_t position) override {
    if (TMainForm* main = GetMainForm()) main->SetProgressPos(position);
  }
  void EndProgress() override {
    if (TMainForm* main = GetMainForm()) main->EndProgress(false);
  }
  std::string FitPathToWidth(const std::string& path) override {
    TMainForm* main = GetMainForm();
    return main ? main->FitPathToWidth(path) : path;
  }
};

// What the open and save roads ask of the shell: the save dialog, the dispatcher's requests and
// lists, the windows.
class TShellDocumentRoadServices : public TDocumentRoadServices {
 public:
  bool RunSaveDialog(TSaveDialogRequest& request) override { return qv::RunSaveDialog(request); }
  void RedrawMainFrame() override {
    if (TMainForm* main = GetMainForm(); main && main->Handle() != 0)
      plat::RedrawFrame(main->Handle());
  }
  void ActivateWindow(TDoc& doc) override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->Activate(&doc);
  }
  void AddRecentFile(const std::string& fileName) override {
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr) return;
    d->FileLists[TDocDispatcher::flRecentDocuments].AddFile(fileName);
    GetCommandManager().Flags |= TCommandManager::cmRecentStale;
  }
  void RebuildRecentFilesMenu() override {
    GetCommandManager().Flags |= TCommandManager::cmRecentStale;
  }
  void RequestInterfaceUpdate() override {
    if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
  }
  void ShowBackupOptions() override { GetCommandManager().Execute(123); }
  void PlaySound(int32_t event) override { SoundService().PlayEventSound(event); }
  bool OpenReadOnlyRequested() override {
    TDocDispatcher* d = GetDocDispatcher();
    return d != nullptr && (d->StateFlags & TDocDispatcher::dsReadOnlyOpening) != 0;
  }
  bool ShutDownSwitch() override { return IsSwitchPresent(swShutDown); }
  int32_t DefaultZoom() override { return GetOptions().View.DefZoom; }
  bool IsRemovableDrive(const std::string& fileName) override {
    return qv::IsRemovableDrive(fileName);
  }
};

// The entry of the path in the settings' sorted list, or where it belongs.
template <class List>
auto WritingDataAt(List& list, const std::string& path) {
  return std::lower_bound(list.begin(), list.end(), path,
                          [](const TWritingDataEntry& e, const std::string& p) { return e.Name < p; });
}

// The editing-time records kept with the settings ("WritingData", sorted by the file's path).
class TOptionsEditingTimeList : public TEditingTimeList {
 public:
  bool Find(const std::string& path, TEditingTimeRecord& out) override {
    const std::vector<TWritingDataEntry>& list = GetOptions().WritingData;
    const auto it = WritingDataAt(list, path);
    if (it == list.end() || it->Name != path) return false;
    out.Seconds = it->Data.Value1;
    out.TypedChars = it->Data.Value2;
    out.LastSaveDay = it->Data.DayIndex;
    return true;
  }
  void Store(const std::string& path, const TEditingTimeRecord& record) override {
    std::vector<TWritingDataEntry>& list = GetOptions().WritingData;
    auto it = WritingDataAt(list, path);
    if (it == list.end() || it->Name != path) it = list.insert(it, TWritingDataEntry{path, {}});
    it->Data = {record.Seconds, record.TypedChars, record.LastSaveDay};
  }
};

}  // namespace

void RegisterShellServices() {
  RegisterCommandEnvironment(std::make_unique<TShellCommandEnvironment>());
  RegisterToolkitServices(std::make_unique<TShellToolkitServices>());
  RegisterDocServices(std::make_unique<TShellDocServices>());
  RegisterHyperlinkServices(std::make_unique<TShellHyperlinkServices>());
  RegisterInstanceReceiver(std::make_unique<TMainFormInstanceReceiver>());
  RegisterFileServices(std::make_unique<TShellFileServices>());
  RegisterSaveProgressServices(std::make_unique<TShellSaveProgressServices>());
  RegisterDocumentRoadServices(std::make_unique<TShellDocumentRoadServices>());
  RegisterDocWindowServices(MakeShellDocWindowServices());
  RegisterEditingTimeList(std::make_unique<TOptionsEditingTimeList>());
  RegisterTextEditServices(MakeShellTextEditServices());
  RegisterEditCommandServices(MakeShellEditCommandServices());
  RegisterViewCommandServices(MakeShellViewCommandServices());
}

void UnregisterShellServices() {
  RegisterViewCommandServices(nullptr);
  RegisterEditCommandServices(nullptr);
  RegisterTextEditServices(nullptr);
  RegisterEditingTimeList(nullptr);
  RegisterDocWindowServices(nullptr);
  RegisterDocumentRoadServices(nullptr);
  RegisterSaveProgressServices(nullptr);
  RegisterFileServices(nullptr);
  RegisterInstanceReceiver(nullptr);
  RegisterHyperlinkServices(nullptr);
  RegisterDocServices(nullptr);
  RegisterToolkitServices(nullptr);
  RegisterCommandEnvironment(nullptr);
}

}  // namespace qv
