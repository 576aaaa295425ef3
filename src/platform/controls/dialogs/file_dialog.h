#pragma once
// plat::FileDialog: the open and save dialogs.
//
// Calling order: set the properties, Execute(), read FileName, Files, FilterIndex and Options.
// Execute() shows a modal form with a folder list, a file-name box, a type box, the read-only box
// (unless fd::HideReadOnly) and OK and Cancel; a cancelled dialog changes none of the results
// but clears Files.
//
// While the dialog is open (from OnShow until OnClose) callers may read and steer it: the current
// folder, filter index and selected file, the text of the file-name box, and two areas of their
// own: ExtraArea() below the standard controls and PreviewArea() to the right of them, sized by
// ExtraHeight and PreviewWidth before Execute(). OnResize tells when they moved.
//
// The same steps the form's controls take are public (ChooseFilter, SelectEntries, OpenEntry,
// GoToFolder, Confirm), so the dialog's logic also runs without a form (Begin / End).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/dialogs/file_choice.h"
#include "platform/controls/dialogs/file_filter.h"

namespace plat {

class Control;
class Form;
class FileDialogForm;

class FileDialog {
 public:
  explicit FileDialog(bool save = false);
  virtual ~FileDialog();
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  // ---- Properties ----
  bool IsSave() const { return save_; }
  std::string Filter;           // "Description|*.ext|..."
  int32_t FilterIndex = 1;      // 1-based; after OK the one chosen
  std::string InitialDir;       // see SetInitialDir
  std::string Title;            // empty: "Open" or "Save As"
  std::string DefaultExt;       // without the dot
  std::string FileName;         // in: the proposed name; out: the (first) chosen file
  std::vector<std::string> Files;  // out: every chosen file as a full path
  uint32_t Options = fd::HideReadOnly;
  int32_t ExtraHeight = 0;      // pixels of the caller's area below the standard controls
  int32_t PreviewWidth = 0;     // pixels of the caller's area to the right

  // Stores the folder without a trailing "/" (the root "/" stays).
  void SetInitialDir(const std::string& dir);

  // ---- Events (the dialog as argument) ----
  std::function<void(FileDialog&)> OnShow;             // the form is shown
  std::function<void(FileDialog&)> OnResize;           // the form changed its size
  std::function<void(FileDialog&)> OnSelectionChange;  // another file or files selected
  std::function<void(FileDialog&)> OnFolderChange;     // another folder shown
  std::function<void(FileDialog&)> OnTypeChange;       // another filter chosen
  std::function<void(FileDialog&)> OnClose;            // the form closes (still readable)
  // Questions and messages of the checks; the defaults show a small modal box.
  std::function<bool(const std::string& question)> OnAsk;
  std::function<void(const std::string& message)> OnMessage;

  // Runs the dialog modally; true when the user chose a file.
  bool Execute(Form* owner = nullptr);

  // ---- While open ----
  bool Active() const { return active_; }
  const std::string& Folder() const { return folder_; }
  int32_t CurrentFilterIndex() const { return filterIndex_; }
  const std::vector<FilterEntry>& Filters() const { return filters_; }
  const std::vector<FileEntry>& Entries() const { return entries_; }
  const std::vector<int32_t>& Selection() const { return selection_; }
  // The full path of the file selected or typed now (the first of several); empty for none.
  std::string CurrentFilePath() const;
  const std::string& FileNameText() const { return nameText_; }
  void SetFileNameText(const std::string& text);
  bool ReadOnlyTicked() const { return readOnly_; }
  void SetReadOnlyTicked(bool v);
  // The form and the caller's areas (nullptr without a form).
  Form* DialogForm() const;
  Control* ExtraArea() const;
  Control* PreviewArea() const;

  // ---- Steps of the user ----
  // Shows the folder (false, and nothing changes, when it cannot be read).
  bool GoToFolder(const std::string& folder);
  void GoUp();
  void ChooseFilter(int32_t index);  // 1-based
  // Selects entries of Entries(): the file names go into the file-name box.
  void SelectEntries(const std::vector<int32_t>& indexes);
  // Opens an entry (a double click): a folder is shown, a file is confirmed.
  bool OpenEntry(int32_t index);
  // The OK button: true when the dialog ends with the chosen files.
  bool Confirm();

  // Starts and ends a run without a form (Execute does both around the form).
  void Begin();
  void End(bool accepted);
  const std::vector<std::string>& ChosenFiles() const { return chosen_; }

 private:
  friend class FileDialogForm;
  void Refresh();
  std::vector<std::string> CurrentPatterns() const;
  std::string StartFolder() const;
  bool Ask(const std::string& q);
  void Tell(const std::string& m);
  // Form side (file_dialog_form.cpp): brings the controls up to date; the default question and
  // message boxes.
  void SyncForm();
  bool AskByForm(const std::string& q);
  void TellByForm(const std::string& m);
  void Notify(const std::function<void(FileDialog&)>& ev);

  bool save_;
  bool active_ = false;
  std::string folder_;
  int32_t filterIndex_ = 1;
  std::vector<FilterEntry> filters_;
  std::string typedPattern_;  // a wildcard typed into the name box, until the type changes
  std::vector<FileEntry> entries_;
  std::vector<int32_t> selection_;
  std::string nameText_;
  bool readOnly_ = false;
  std::vector<std::string> chosen_;
  FileDialogForm* form_ = nullptr;
  uint32_t listGeneration_ = 0;  // counts new listings, so the form refills its list only then
};

}  // namespace plat
