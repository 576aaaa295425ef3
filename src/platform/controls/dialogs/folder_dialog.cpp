#include "platform/controls/dialogs/folder_dialog.h"

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_execute.h"
#include "platform/controls/dialogs/dialog_parts.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/row_list.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"
#include "platform/system/folders.h"

namespace plat {

FolderDialog::FolderDialog() = default;
FolderDialog::~FolderDialog() = default;

void FolderDialog::Begin() {
  chosen_.clear();
  pathText_.clear();
  std::string start = Folder;
  if (start.empty() || !FolderExists(start)) start = GetXdgFolder(XdgFolder::Documents);
  if (!FolderExists(start)) start = HomeFolder();
  if (!FolderExists(start)) start = "/";
  current_ = NormalizePath(start);
  entries_ = ListFolder(current_, {}).entries;
  selected_ = -1;
  ++generation_;
  SyncForm();
}

void FolderDialog::End(bool accepted) {
  if (accepted && !chosen_.empty()) Folder = chosen_;
}

bool FolderDialog::GoToFolder(const std::string& folder) {
  std::string f = NormalizePath(folder);
  FolderListing l = ListFolder(f, {});  // no patterns: folders only
  if (!l.ok) {
    Tell(FormatOne(kMsgNoFolder, f));
    return false;
  }
  bool changed = f != current_;
  current_ = f;
  entries_ = std::move(l.entries);
  selected_ = -1;
  pathText_.clear();
  ++generation_;
  SyncForm();
  if (changed && OnFolderChange) OnFolderChange(*this);
  return true;
}

void FolderDialog::GoUp() {
  if (current_ != "/") GoToFolder(ParentFolder(current_));
}

void FolderDialog::Select(int32_t index) {
  selected_ = (index >= 0 && index < static_cast<int32_t>(entries_.size())) ? index : -1;
  SyncForm();
}

void FolderDialog::Open(int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(entries_.size())) {
    GoToFolder(current_ + "/" + entries_[static_cast<size_t>(index)].name);
  }
}

void FolderDialog::SetPathText(const std::string& text) {
  pathText_ = text;
  SyncForm();
}

bool FolderDialog::Confirm() {
  std::vector<std::string> typed = SplitNameList(pathText_);
  if (!typed.empty()) {
    std::string f = JoinPath(current_, typed.front());
    if (!FolderExists(f)) {
      Tell(FormatOne(kMsgNoFolder, f));
      return false;
    }
    chosen_ = f;
  } else if (selected_ >= 0) {
    chosen_ = current_ == "/" ? "/" + entries_[static_cast<size_t>(selected_)].name
                              : current_ + "/" + entries_[static_cast<size_t>(selected_)].name;
  } else {
    chosen_ = current_;
  }
  return true;
}

void FolderDialog::Tell(const std::string& m) {
  if (OnMessage) OnMessage(m);
  else ShowNotice(m, Title.empty() ? "Choose Folder" : Title, DialogForm());
}

// ---- The form ----

class FolderDialogForm : public Form {
 public:
  FolderDialogForm(FolderDialog& d, Form* owner);
  void Sync();

 private:
  FolderDialog& dialog_;
  bool syncing_ = false;
  uint32_t shown_ = UINT32_MAX;
  Label* current_ = nullptr;
  RowList* list_ = nullptr;
  Edit* path_ = nullptr;
};

FolderDialogForm::FolderDialogForm(FolderDialog& d, Form* owner) : Form(owner), dialog_(d) {
  SetUpDialogForm(*this, d.Title.empty() ? "Choose Folder" : d.Title, owner);
  int32_t y = 12;
  if (!d.Prompt.empty()) {
    auto& prompt = Add<Label>();
    prompt.SetCaption(Utf8To16(d.Prompt));
    prompt.SetShowAccelChar(false);
    prompt.SetBounds(Rect{12, y, 420, y + 18});
    y += 26;
  }
  current_ = &Add<Label>();
  current_->SetName("Folder");
  current_->SetAutoSize(false);
  current_->SetShowAccelChar(false);
  current_->SetBounds(Rect{12, y + 4, 272, y + 22});
  auto& up = Add<Button>();
  up.SetCaption(u"&Up");
  up.SetBounds(Rect{288, y, 358, y + 26});
  up.OnClick = [this](Control&) { dialog_.GoUp(); };
  auto& home = Add<Button>();
  home.SetCaption(u"&Home");
  home.SetBounds(Rect{362, y, 432, y + 26});
  home.OnClick = [this](Control&) { dialog_.GoToFolder(HomeFolder()); };
  y += 34;
  list_ = &Add<RowList>();
  list_->SetName("Folders");
  list_->SetBounds(Rect{12, y, 432, y + 220});
  list_->OnSelect = [this](RowList& l) {
    auto rows = l.SelectedRows();
    if (!syncing_) dialog_.Select(rows.empty() ? -1 : rows.front());
  };
  list_->OnActivate = [this](RowList&, int32_t row) { dialog_.Open(row); };
  y += 228;
  auto& pathLabel = Add<Label>();
  pathLabel.SetCaption(u"F&older:");
  pathLabel.SetBounds(Rect{12, y + 4, 70, y + 22});
  path_ = &Add<Edit>();
  path_->SetName("Path");
  path_->SetTabStop(true);
  path_->SetBounds(Rect{74, y, 432, y + 24});
  pathLabel.SetFocusControl(path_);
  path_->OnChange = [this](Control&) {
    if (!syncing_) dialog_.pathText_ = Utf16To8(path_->Text());
  };
  y += 34;
  auto& ok = AddDialogButton(*this, "OK", u"OK", Rect{256, y, 340, y + 28});
  ok.SetDefault(true);
  ok.OnClick = [this](Control&) {
    // Enter on a selected folder with nothing typed goes into it; OK by itself chooses.
    if (list_->Focused() && dialog_.PathText().empty() && dialog_.Selected() >= 0) {
      dialog_.Open(dialog_.Selected());
      return;
    }
    if (dialog_.Confirm()) SetModalResult(mrOk);
  };
  auto& cancel = AddCancelButton(*this, Rect{348, y, 432, y + 28});
  int32_t order = 0;
  for (Control* c : std::initializer_list<Control*>{list_, path_, &ok, &cancel, &up, &home}) {
    c->SetTabStop(true);
    c->SetTabOrder(order++);
  }
  SetClientSize(444, y + 40);
  SetActiveControl(list_);
}

void FolderDialogForm::Sync() {
  syncing_ = true;
  current_->SetCaption(Utf8To16(dialog_.Current()));
  if (shown_ != dialog_.generation_) {
    shown_ = dialog_.generation_;
    std::vector<ListRow> rows;
    for (const FileEntry& e : dialog_.Entries()) rows.push_back({{Utf8To16(e.name)}, true});
    list_->SetRows(std::move(rows));
  }
  std::vector<int32_t> sel;
  if (dialog_.Selected() >= 0) sel.push_back(dialog_.Selected());
  if (list_->SelectedRows() != sel) list_->SetSelectedRows(sel);
  std::u16string text = Utf8To16(dialog_.PathText());
  if (path_->Text() != text) path_->SetText(text);
  syncing_ = false;
}

bool FolderDialog::Execute(Form* owner) {
  return ExecuteDialogForm(*this, form_, owner,
                           [this](int32_t result) { return result == mrOk && !chosen_.empty(); });
}

void FolderDialog::SyncForm() {
  if (form_) form_->Sync();
}

Form* FolderDialog::DialogForm() const { return form_; }

}  // namespace plat
