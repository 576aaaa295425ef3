#pragma once
// The form of the open and save dialogs (made and run by FileDialog::Execute).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/form.h"

namespace plat {

class Button;
class CheckBox;
class ComboBox;
class Edit;
class FileDialog;
class Label;
class RowList;

class FileDialogForm : public Form {
 public:
  FileDialogForm(FileDialog& dialog, Form* owner);

  // Brings the controls up to date with the dialog's state.
  void Sync();
  void Layout();

  // "Look in": the folders above the current one, the current one, then the home and documents
  // folders.
  ComboBox& FolderBox() { return *folder_; }
  RowList& FileList() { return *files_; }
  Edit& NameBox() { return *name_; }
  ComboBox& TypeBox() { return *types_; }
  CheckBox& ReadOnlyBox() { return *readOnly_; }
  Button& OkButton() { return *ok_; }
  Button& CancelButton() { return *cancel_; }
  Button& UpButton() { return *up_; }
  Control& ExtraArea() { return *extra_; }
  Control& PreviewArea() { return *preview_; }

 protected:
  void Resize() override;

 private:
  void Build();
  void FillFolderBox();
  FileDialog& dialog_;
  ComboBox* folder_ = nullptr;
  std::vector<std::string> folderChoices_;
  Label* nameLabel_ = nullptr;
  Label* typeLabel_ = nullptr;
  Label* lookIn_ = nullptr;
  RowList* files_ = nullptr;
  Edit* name_ = nullptr;
  ComboBox* types_ = nullptr;
  CheckBox* readOnly_ = nullptr;
  Button* ok_ = nullptr;
  Button* cancel_ = nullptr;
  Button* up_ = nullptr;
  Button* home_ = nullptr;
  Control* extra_ = nullptr;
  Control* preview_ = nullptr;
  uint32_t shownGeneration_ = UINT32_MAX;
  bool syncing_ = false;
};

}  // namespace plat
