#pragma once
// The command environment of the shell: what the command manager asks of the documents, the
// main window, the file dialogs and the save roads (commands/command_environment_services.h).
#include "commands/command_environment_services.h"

namespace qv {

class TShellCommandEnvironment : public TCommandEnvironment {
 public:
  TDoc* ActiveDoc() override;
  bool IsVadureVavi(const TDoc& doc) override;
  void SetOperationNameOverride(TDoc& doc, uint8_t nameCode) override;
  bool MainWindowEnabled() override;
  int32_t OpenDocumentCount() override;
  bool AnyDocumentModified() override;
  bool ProjectOpen() override;
  bool FullScreen() override;
  bool NewDocument(int32_t format, const std::string& templateFile, bool fromTemplate) override;
  std::string TemplatesFolder() override;
  bool CanOpenMore() override;
  bool OpenDocument(const std::string& file, int32_t format, int32_t mode) override;
  void SetReadOnlyOpening(bool on) override;
  void UpdateDocumentCaptions() override;
  void UpdateMainCaption() override;
  std::vector<TDoc*> OpenDocuments() override;
  bool CloseQuery(TDoc& doc) override;
  void CloseDocument(TDoc& doc, int32_t mode) override;
  bool SaveDocument(TDoc& doc) override;
  bool SaveDocumentAs(TDoc& doc) override;
  bool SaveDocumentCopyAs(TDoc& doc) override;
  bool SaveDocumentAsTemplate(TDoc& doc) override;
  bool SaveCopyToFile(TDoc& doc, const std::string& file) override;
  bool CreateBackup(TDoc& doc, const std::string& name, const std::string& file) override;
  void TrimFileList(int32_t list, bool missingOnly) override;
  bool OpenFile(const std::string& path) override;
  int32_t DefaultDocumentFormat() override;
  bool HasFolderHistory() override;
  void UpdateInterfaceState() override;
  bool CtrlHeld() override;
  bool InsertMode() override;
  void AddEditingTime(TDoc& doc) override;
  void PlayEventSound(int32_t sound) override;
  void RequestInterfaceUpdate() override;
  std::vector<std::string> RecentDocumentCaptions() override;
  bool OpenRecentDocument(int32_t index) override;
  std::vector<std::string> WindowCaptions() override;
  int32_t ActiveWindowIndex() override;
  TDoc* OpenDefaultTableDocument(const std::string& file) override;
  void RearrangeAllViews() override;
};

}  // namespace qv
