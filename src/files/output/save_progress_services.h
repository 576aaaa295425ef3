#pragma once
// What a save asks of the application shell: the status bar's progress display and whether a
// selection is being written for the clipboard. The stand-in shows nothing.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TSaveProgressServices {
 public:
  virtual ~TSaveProgressServices() = default;
  // TMainForm.BeginProgress, TStatusBar.SetProgressPos and TMainForm.EndProgress.
  virtual void BeginProgress(int32_t maximum, const std::string& text) {}
  virtual void SetProgressPos(int32_t position) {}
  virtual void EndProgress() {}
  // The path shortened to fit the status bar (TMainForm.FitPathToWidth).
  virtual std::string FitPathToWidth(const std::string& path) { return path; }
  // The command manager's copy flag: a selection is being written for the clipboard.
  virtual bool CopyingForClipboard() { return false; }
  // The command manager's selection-saving flag: Save Selection As or Add To Clip Library runs.
  virtual bool SavingSelection() { return false; }
  // The command manager's table-selection kind (0 block, 1 columns, 2 rows, 3 table, 255 none).
  virtual int32_t TableSelectionKind() { return 255; }
};

void RegisterSaveProgressServices(std::unique_ptr<TSaveProgressServices> service);
TSaveProgressServices& SaveProgressServices();

}  // namespace qv
