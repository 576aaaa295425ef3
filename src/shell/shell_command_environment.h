#pragma once
// The command environment of the shell: what the command manager asks of the documents, the
// main window, the file dialogs and the save roads (commands/command_environment_services.h).
#include "commands/command_environment_services.h"

namespace qv {

class TShellCommandEnvironment : public TCommandEnvironment {
 public:
  TDoc* ActiveDoc() override;
  bool IsVadureVavi(const TDoc& doc) override;
  bool HasSelection(const TDoc& doc) override;
  void UpdateSelectedFieldLists(TDoc& doc) override;
  void SetOperationNameOverride(TDoc& doc, uint8_t nameCode) override;
  bool CaretInRowEndPar(const TDoc& doc) override;
  bool SelectionHasNoteEndMark(const TDoc& doc) override;
  bool SelectionIsWholeMainText(const TDoc& doc) override;
  bool SelectionIsWholeCurrentStory(const TDoc& doc) override;
  bool MainWindowEnabled() override;
  int32_t OpenDocumentCount() override;
  bool AnyDocumentModified() override;
  bool ProjectOpen() override;
  bool FullScreen() override;
  bool NewDocument(int32_t format) override;
  bool CanOpenMore() override;
  bool RunOpenDialog(std::vector<std::string>& files, int32_t& format, bool& readOnly) override;
  bool OpenDocument(const std::string& file, int32_t format, bool readOnly) override;
  std::vector<TDoc*> OpenDocuments() override;
  bool CloseQuery(TDoc& doc) override;
  void CloseDocument(TDoc& doc) override;
  bool SaveDocument(TDoc& doc) override;
  bool SaveDocumentAs(TDoc& doc) override;
  bool SaveDocumentCopyAs(TDoc& doc) override;
  void TrimRecentDocuments(bool missingOnly) override;
  bool CtrlHeld() override;
  void PlayEventSound(int32_t sound) override;
  void RequestInterfaceUpdate() override;
  std::vector<std::string> RecentDocumentCaptions() override;
  bool OpenRecentDocument(int32_t index) override;
  std::vector<std::string> WindowCaptions() override;
  int32_t ActiveWindowIndex() override;
};

}  // namespace qv
