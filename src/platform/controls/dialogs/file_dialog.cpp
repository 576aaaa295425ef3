#include "platform/controls/dialogs/file_dialog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/controls/dialogs/dialog_text.h"

namespace plat {

FileDialog::FileDialog(bool save) : save_(save) {
  if (save) Options = fd::HideReadOnly;
}

FileDialog::~FileDialog() = default;

void FileDialog::SetInitialDir(const std::string& dir) {
  InitialDir = dir;
  while (InitialDir.size() > 1 && InitialDir.back() == '/') InitialDir.pop_back();
}

std::string FileDialog::StartFolder() const {
  if (!InitialDir.empty() && FolderExists(InitialDir)) return NormalizePath(InitialDir);
  std::string parent = ParentFolder(FileName);
  if (!parent.empty() && FolderExists(parent)) return NormalizePath(parent);
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  return ec ? std::string("/") : NormalizePath(cwd);
}

void FileDialog::Begin() {
  filters_ = ParseFilter(Filter);
  filterIndex_ = filters_.empty() ? 1 : std::clamp<int32_t>(FilterIndex, 1, static_cast<int32_t>(filters_.size()));
  typedPattern_.clear();
  selection_.clear();
  chosen_.clear();
  Files.clear();
  readOnly_ = (Options & fd::ReadOnly) != 0;
  nameText_ = ParentFolder(FileName).empty() ? FileName : BaseName(FileName);
  folder_ = StartFolder();
  active_ = true;
  Refresh();
}

void FileDialog::End(bool accepted) {
  if (accepted && !chosen_.empty()) {
    Files = chosen_;
    FileName = chosen_.front();
    FilterIndex = filterIndex_;
    Options = ResultOptions(Options, FileName, DefaultExt, readOnly_ && !(Options & fd::HideReadOnly));
  }
  active_ = false;
}

std::vector<std::string> FileDialog::CurrentPatterns() const {
  if (!typedPattern_.empty()) return {typedPattern_};
  if (filters_.empty()) return {"*"};
  return filters_[static_cast<size_t>(filterIndex_ - 1)].patterns;
}

void FileDialog::Refresh() {
  FolderListing l = ListFolder(folder_, CurrentPatterns());
  entries_ = std::move(l.entries);
  selection_.clear();
  ++listGeneration_;
  SyncForm();
}

bool FileDialog::GoToFolder(const std::string& folder) {
  std::string f = NormalizePath(folder);
  FolderListing l = ListFolder(f, CurrentPatterns());
  if (!l.ok) {
    Tell(FormatOne(kMsgNoFolder, f));
    return false;
  }
  bool changed = f != folder_;
  folder_ = f;
  entries_ = std::move(l.entries);
  selection_.clear();
  ++listGeneration_;
  SyncForm();
  if (changed) Notify(OnFolderChange);
  return true;
}

void FileDialog::GoUp() {
  if (folder_ != "/") GoToFolder(ParentFolder(folder_));
}

void FileDialog::ChooseFilter(int32_t index) {
  if (index < 1 || index > static_cast<int32_t>(filters_.size())) return;
  bool changed = index != filterIndex_ || !typedPattern_.empty();
  filterIndex_ = index;
  typedPattern_.clear();
  if (!changed) return;  // the same type chosen again changes nothing
  Refresh();
  Notify(OnTypeChange);
}

void FileDialog::SelectEntries(const std::vector<int32_t>& indexes) {
  std::vector<int32_t> sel;
  std::vector<std::string> names;
  bool multi = !save_ && (Options & fd::AllowMultiSelect);
  for (int32_t i : indexes) {
    if (i < 0 || i >= static_cast<int32_t>(entries_.size())) continue;
    if (!multi && !sel.empty()) break;
    sel.push_back(i);
    if (!entries_[static_cast<size_t>(i)].isFolder) names.push_back(entries_[static_cast<size_t>(i)].name);
  }
  if (sel == selection_) return;
  selection_ = sel;
  if (!names.empty()) nameText_ = JoinNameList(names);
  SyncForm();
  Notify(OnSelectionChange);
}

bool FileDialog::OpenEntry(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(entries_.size())) return false;
  const FileEntry& e = entries_[static_cast<size_t>(index)];
  if (e.isFolder) {
    GoToFolder(folder_ + "/" + e.name);
    return false;
  }
  SelectEntries({index});
  nameText_ = e.name;
  return Confirm();
}

void FileDialog::SetFileNameText(const std::string& text) {
  nameText_ = text;
  SyncForm();
}

void FileDialog::SetReadOnlyTicked(bool v) {
  readOnly_ = v;
  SyncForm();
}

std::string FileDialog::CurrentFilePath() const {
  std::vector<std::string> names = SplitNameList(nameText_);
  if (names.empty()) return {};
  return JoinPath(folder_, names.front());
}

bool FileDialog::Confirm() {
  // OK with an empty name box and one folder selected opens that folder.
  if (SplitNameList(nameText_).empty() && selection_.size() == 1 &&
      entries_[static_cast<size_t>(selection_[0])].isFolder) {
    OpenEntry(selection_[0]);
    return false;
  }
  NameDecision d = DecideNames({folder_, nameText_, save_, Options, DefaultExt});
  switch (d.action) {
    case NameAction::None:
      return false;
    case NameAction::GoToFolder:
      if (GoToFolder(d.folder)) SetFileNameText("");
      return false;
    case NameAction::ApplyPattern:
      typedPattern_ = d.pattern;
      if (!GoToFolder(d.folder)) typedPattern_.clear();
      else SetFileNameText(d.pattern);
      return false;
    case NameAction::Refuse:
      Tell(d.message);
      return false;
    case NameAction::AskOverwrite:
      if (!Ask(d.message)) return false;
      break;
    case NameAction::Accept:
      break;
  }
  chosen_ = d.files;
  return true;
}

bool FileDialog::Ask(const std::string& q) { return OnAsk ? OnAsk(q) : AskByForm(q); }

void FileDialog::Tell(const std::string& m) {
  if (OnMessage) OnMessage(m);
  else TellByForm(m);
}

void FileDialog::Notify(const std::function<void(FileDialog&)>& ev) {
  if (ev) ev(*this);
}

}  // namespace plat
