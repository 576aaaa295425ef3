#include "platform/controls/dialogs/file_dialog_form.h"

#include <algorithm>
#include <ctime>

#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_execute.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/file_dialog.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/row_list.h"
#include "platform/controls/edit.h"
#include "platform/controls/label.h"
#include "platform/system/folders.h"

namespace plat {
namespace {

constexpr int32_t kMargin = 12;
constexpr int32_t kButtonWidth = 88;
constexpr int32_t kRow = 26;

std::u16string SizeText(const FileEntry& e) {
  if (e.isFolder) return {};
  if (e.size < 1024) return Utf8To16(std::to_string(e.size) + " bytes");
  uint64_t kb = (e.size + 1023) / 1024;
  if (kb < 10240) return Utf8To16(std::to_string(kb) + " KB");
  return Utf8To16(std::to_string((kb + 1023) / 1024) + " MB");
}

std::u16string DateText(int64_t seconds) {
  if (seconds <= 0) return {};
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
  return Utf8To16(buf);
}

}  // namespace

FileDialogForm::FileDialogForm(FileDialog& dialog, Form* owner) : Form(owner), dialog_(dialog) {
  Build();
}

void FileDialogForm::Build() {
  bool save = dialog_.IsSave();
  SetCaption(Utf8To16(!dialog_.Title.empty() ? dialog_.Title : save ? "Save As" : "Open"));
  SetBorderStyle(BorderStyle::Sizeable);
  SetPosition(Owner() ? FormPosition::OwnerCenter : FormPosition::ScreenCenter);

  lookIn_ = &Add<Label>();
  lookIn_->SetCaption(u"Look &in:");
  folder_ = &Add<ComboBox>();
  folder_->SetName("Folder");
  folder_->SetStyle(ComboStyle::DropDownList);
  folder_->SetTabStop(true);
  folder_->SetDropDownCount(16);
  lookIn_->SetFocusControl(folder_);
  folder_->OnSelect = [this](ComboBox& c) {
    int32_t i = c.ItemIndex();
    if (!syncing_ && i >= 0 && i < static_cast<int32_t>(folderChoices_.size())) {
      dialog_.GoToFolder(folderChoices_[static_cast<size_t>(i)]);
    }
  };
  up_ = &Add<Button>();
  up_->SetCaption(u"&Up");
  up_->SetTabStop(true);
  up_->OnClick = [this](Control&) { dialog_.GoUp(); };
  home_ = &Add<Button>();
  home_->SetCaption(u"&Home");
  home_->SetTabStop(true);
  home_->OnClick = [this](Control&) { dialog_.GoToFolder(HomeFolder()); };

  files_ = &Add<RowList>();
  files_->SetName("Files");
  files_->SetMultiSelect(!save && (dialog_.Options & fd::AllowMultiSelect));
  files_->OnSelect = [this](RowList& l) {
    if (!syncing_) dialog_.SelectEntries(l.SelectedRows());
  };
  files_->OnActivate = [this](RowList&, int32_t row) {
    if (dialog_.OpenEntry(row)) SetModalResult(mrOk);
  };
  preview_ = &Add<Control>();
  preview_->SetName("Preview");
  preview_->SetVisible(dialog_.PreviewWidth > 0);

  nameLabel_ = &Add<Label>();
  nameLabel_->SetCaption(u"File &name:");
  name_ = &Add<Edit>();
  name_->SetName("FileName");
  name_->SetTabStop(true);
  nameLabel_->SetFocusControl(name_);
  name_->OnChange = [this](Control&) {
    if (!syncing_) dialog_.nameText_ = Utf16To8(name_->Text());
  };
  typeLabel_ = &Add<Label>();
  typeLabel_->SetCaption(save ? u"Save as &type:" : u"Files of &type:");
  types_ = &Add<ComboBox>();
  types_->SetName("Types");
  types_->SetStyle(ComboStyle::DropDownList);
  types_->SetTabStop(true);
  typeLabel_->SetFocusControl(types_);
  types_->OnSelect = [this](ComboBox& c) {
    if (!syncing_ && c.ItemIndex() >= 0) dialog_.ChooseFilter(c.ItemIndex() + 1);
  };
  readOnly_ = &Add<CheckBox>();
  readOnly_->SetCaption(u"Open as &read-only");
  readOnly_->SetTabStop(true);
  readOnly_->SetVisible(!(dialog_.Options & fd::HideReadOnly));
  readOnly_->OnClick = [this](Control&) {
    if (!syncing_) dialog_.readOnly_ = readOnly_->Checked();
  };

  ok_ = &Add<Button>();
  ok_->SetName("OK");
  ok_->SetCaption(save ? u"&Save" : u"&Open");
  ok_->SetDefault(true);
  ok_->SetTabStop(true);
  ok_->OnClick = [this](Control&) {
    if (dialog_.Confirm()) SetModalResult(mrOk);
  };
  cancel_ = &Add<Button>();
  cancel_->SetName("Cancel");
  cancel_->SetCaption(u"Cancel");
  cancel_->SetCancel(true);
  cancel_->SetModalResult(mrCancel);
  cancel_->SetTabStop(true);

  extra_ = &Add<Control>();
  extra_->SetName("Extra");
  extra_->SetVisible(dialog_.ExtraHeight > 0);

  // Tab order: list, name, type, read-only, OK, Cancel, then the folder buttons.
  int32_t order = 0;
  for (Control* c : std::initializer_list<Control*>{files_, name_, types_, readOnly_, ok_, cancel_, folder_, up_, home_}) {
    c->SetTabOrder(order++);
  }
  SetClientSize(620 + std::max(0, dialog_.PreviewWidth), 400 + std::max(0, dialog_.ExtraHeight));
  SetActiveControl(name_);
  Layout();
}

void FileDialogForm::Layout() {
  Rect c = ClientRect();
  int32_t extraH = dialog_.ExtraHeight > 0 ? dialog_.ExtraHeight : 0;
  int32_t previewW = dialog_.PreviewWidth > 0 ? dialog_.PreviewWidth : 0;
  int32_t right = c.right - kMargin - (previewW > 0 ? previewW + kMargin : 0);
  int32_t typeH = kRow - 2;
  int32_t bottomBlock = kRow + 8 + kRow + 8 + (readOnly_->Visible() ? kRow : 0);
  int32_t standardBottom = c.bottom - kMargin - (extraH > 0 ? extraH + 8 : 0);

  lookIn_->SetBounds(kMargin, kMargin + 4, 60, 18);
  up_->SetBounds(right - 2 * 70 - 6, kMargin, 70, kRow);
  home_->SetBounds(right - 70, kMargin, 70, kRow);
  folder_->SetBounds(kMargin + 64, kMargin, std::max(10, up_->Left() - kMargin - 72), kRow - 2);

  int32_t listTop = kMargin + kRow + 8;
  int32_t listBottom = standardBottom - bottomBlock - 8;
  files_->SetBounds(kMargin, listTop, right - kMargin, std::max(40, listBottom - listTop));
  files_->SetColumnWidths({std::max(120, right - kMargin - 20 - 230), 90, 140});

  int32_t labelW = 100;
  int32_t boxLeft = kMargin + labelW;
  int32_t boxW = std::max(60, right - boxLeft - kButtonWidth - 8);
  int32_t y = files_->BoundsRect().bottom + 8;
  nameLabel_->SetBounds(kMargin, y + 4, labelW, 18);
  name_->SetBounds(boxLeft, y, boxW, kRow - 2);
  ok_->SetBounds(right - kButtonWidth, y, kButtonWidth, kRow);
  y += kRow + 8;
  typeLabel_->SetBounds(kMargin, y + 4, labelW, 18);
  types_->SetBounds(boxLeft, y, boxW, typeH);
  cancel_->SetBounds(right - kButtonWidth, y, kButtonWidth, kRow);
  y += kRow + 8;
  readOnly_->SetBounds(boxLeft, y, boxW, kRow - 4);

  preview_->SetBounds(right + kMargin, listTop, previewW, std::max(0, standardBottom - listTop));
  extra_->SetBounds(kMargin, standardBottom + 8, c.right - 2 * kMargin, extraH);
}

void FileDialogForm::Resize() {
  Form::Resize();
  Layout();
  if (dialog_.OnResize) dialog_.OnResize(dialog_);
}

void FileDialogForm::FillFolderBox() {
  std::vector<std::string> choices;
  const std::string& cur = dialog_.Folder();
  for (size_t at = 0; at != std::string::npos; at = cur.find('/', at + 1)) {
    choices.push_back(at == 0 ? "/" : cur.substr(0, at));
  }
  if (cur != "/") choices.push_back(cur);
  int32_t current = static_cast<int32_t>(choices.size()) - 1;
  for (const std::string& place : {HomeFolder(), GetXdgFolder(XdgFolder::Documents)}) {
    std::string p = place.empty() ? place : NormalizePath(place);
    if (!p.empty() && FolderExists(p) && std::find(choices.begin(), choices.end(), p) == choices.end()) {
      choices.push_back(p);
    }
  }
  if (choices != folderChoices_) {
    folderChoices_ = choices;
    std::vector<std::u16string> texts;
    for (const std::string& c : choices) texts.push_back(Utf8To16(c));
    folder_->SetItems(texts);
  }
  folder_->SetItemIndex(current);
}

void FileDialogForm::Sync() {
  syncing_ = true;
  FillFolderBox();
  if (shownGeneration_ != dialog_.listGeneration_) {
    shownGeneration_ = dialog_.listGeneration_;
    std::vector<ListRow> rows;
    for (const FileEntry& e : dialog_.Entries()) {
      rows.push_back({{Utf8To16(e.name), SizeText(e), DateText(e.modified)}, e.isFolder});
    }
    files_->SetRows(std::move(rows));
  }
  if (types_->Count() != static_cast<int32_t>(dialog_.Filters().size())) {
    types_->Clear();
    for (const FilterEntry& f : dialog_.Filters()) types_->AddItem(Utf8To16(f.description));
  }
  if (files_->SelectedRows() != dialog_.Selection()) files_->SetSelectedRows(dialog_.Selection());
  if (!dialog_.Filters().empty()) types_->SetItemIndex(dialog_.CurrentFilterIndex() - 1);
  std::u16string name = Utf8To16(dialog_.FileNameText());
  if (name_->Text() != name) {
    name_->SetText(name);
    name_->SelectAll();
  }
  readOnly_->SetChecked(dialog_.ReadOnlyTicked());
  syncing_ = false;
}

// ---- The FileDialog members that need the form ----

bool FileDialog::Execute(Form* owner) {
  return ExecuteDialogForm(*this, form_, owner, [this](int32_t result) {
    if (OnClose) OnClose(*this);  // the form is still up and readable
    return result == mrOk && !chosen_.empty();
  });
}

void FileDialog::SyncForm() {
  if (form_) form_->Sync();
}

bool FileDialog::AskByForm(const std::string& q) {
  return AskYesNo(q, form_ ? Utf16To8(form_->Caption()) : "Confirm", form_);
}

void FileDialog::TellByForm(const std::string& m) {
  ShowNotice(m, form_ ? Utf16To8(form_->Caption()) : "Notice", form_);
}

Form* FileDialog::DialogForm() const { return form_; }
Control* FileDialog::ExtraArea() const { return form_ ? &form_->ExtraArea() : nullptr; }
Control* FileDialog::PreviewArea() const { return form_ ? &form_->PreviewArea() : nullptr; }

}  // namespace plat
