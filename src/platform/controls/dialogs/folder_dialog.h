#pragma once
// plat::FolderDialog: chooses a folder. The list shows the sub-folders of the current folder;
// a double click (or Enter with the name box empty) goes into one, Up and Home move around, and
// a folder path may be typed (relative to the current folder, absolute, or "~/...").
//
// Calling order: set Folder (where to start; an empty or missing folder starts in the user's
// documents folder, else the home folder), Title and Prompt, Execute(), read Folder. OK takes
// the typed folder, else the selected sub-folder, else the current folder. A cancelled dialog
// changes nothing.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/dialogs/file_choice.h"

namespace plat {

class Form;
class FolderDialogForm;

class FolderDialog {
 public:
  FolderDialog();
  ~FolderDialog();
  FolderDialog(const FolderDialog&) = delete;
  FolderDialog& operator=(const FolderDialog&) = delete;

  std::string Folder;
  std::string Title;   // empty: "Choose Folder"
  std::string Prompt;  // a line above the list; empty for none
  std::function<void(FolderDialog&)> OnShow;
  std::function<void(FolderDialog&)> OnFolderChange;
  std::function<void(const std::string& message)> OnMessage;  // default: a notice box

  bool Execute(Form* owner = nullptr);

  // ---- While open (and without a form between Begin and End) ----
  const std::string& Current() const { return current_; }
  const std::vector<FileEntry>& Entries() const { return entries_; }
  int32_t Selected() const { return selected_; }
  const std::string& PathText() const { return pathText_; }
  Form* DialogForm() const;

  bool GoToFolder(const std::string& folder);
  void GoUp();
  void Select(int32_t index);
  void Open(int32_t index);
  void SetPathText(const std::string& text);
  bool Confirm();
  void Begin();
  void End(bool accepted);

 private:
  friend class FolderDialogForm;
  void SyncForm();
  void Tell(const std::string& m);
  std::string current_;
  std::vector<FileEntry> entries_;
  int32_t selected_ = -1;
  std::string pathText_;
  std::string chosen_;
  uint32_t generation_ = 0;
  FolderDialogForm* form_ = nullptr;
};

}  // namespace plat
