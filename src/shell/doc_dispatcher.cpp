#include "shell/doc_dispatcher.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <utility>

#include "commands/command_manager.h"
#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "files/output/saving_options.h"
#include "files/safe_copies.h"
#include "files/save_dispatcher.h"
#include "foundation/base/memory.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/stored_path.h"
#include "foundation/system/paths.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/shared_managers.h"
#include "platform/win/window_system.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_file_names.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

TDocDispatcher* theDispatcher = nullptr;

constexpr uint8_t kRevertMsg = 1;
constexpr const char* kLimitMessage =
    "No more than %d documents can be opened at a time. Please close some of the presently "
    "opened documents before opening or creating any new document.";
// The reserved name of the Vadure Vavi document: a zero character, then "vadurevavi". It never
// names a file and, starting with a zero character, is never expanded as a path.
const std::string kVadureVaviName("\0vadurevavi", 11);
// General flag bit: a new document is made at start-up when no document opened.
constexpr uint8_t kGeneralNewDocAtStartup = 1;

std::string FolderOf(const std::string& path) { return ExtractFilePath(path); }

// Runs work whose failure must not leave the lists inconsistent: the document is out of them
// already, so an error is swallowed.
template <class F>
void Quietly(F&& work) {
  try {
    work();
  } catch (const std::exception&) {
  }
}

}  // namespace

struct TDocDispatcher::TEntry {
  std::unique_ptr<TDocWindowLink> Window;
  TShellDocState State;
};

TDocDispatcher* GetDocDispatcher() { return theDispatcher; }
void SetDocDispatcher(TDocDispatcher* dispatcher) { theDispatcher = dispatcher; }
TDoc* GetActiveDoc() { return theDispatcher ? theDispatcher->ActiveDoc() : nullptr; }

TDocDispatcher::TDocDispatcher() {
  const uint8_t kinds[RememberedListCount] = {0, 1, 1, 0, 1, 0};
  for (int32_t i = 0; i < RememberedListCount; ++i) FileLists[size_t(i)].Kind = kinds[i];
}

TDocDispatcher::~TDocDispatcher() {
  while (!entries_.empty()) CloseDocument(&entries_.back()->Window->Doc(), true);
  if (theDispatcher == this) theDispatcher = nullptr;
}

// ---- The open documents

TDoc* TDocDispatcher::Document(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &entries_[size_t(index)]->Window->Doc();
}

std::vector<TDoc*> TDocDispatcher::Documents() const {
  std::vector<TDoc*> docs;
  docs.reserve(entries_.size());
  for (const auto& e : entries_) docs.push_back(&e->Window->Doc());
  return docs;
}

int32_t TDocDispatcher::IndexOf(const TDoc* doc) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (&entries_[i]->Window->Doc() == doc) return static_cast<int32_t>(i);
  return -1;
}

TDocWindowLink* TDocDispatcher::WindowOf(const TDoc* doc) const {
  const int32_t i = IndexOf(doc);
  return i < 0 ? nullptr : entries_[size_t(i)]->Window.get();
}

TShellDocState* TDocDispatcher::StateOf(const TDoc* doc) const {
  const int32_t i = IndexOf(doc);
  return i < 0 ? nullptr : &entries_[size_t(i)]->State;
}

void TDocDispatcher::Activate(TDoc* doc) {
  TDocWindowLink* window = WindowOf(doc);
  if (window == nullptr) return;
  if (active_ != doc)
    if (TDocWindowLink* previous = WindowOf(active_)) previous->Deactivate();
  active_ = doc;
  window->Activate();
  GetCommandManager().Flags |= TCommandManager::cmWindowsStale;
  if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
}

void TDocDispatcher::SetActive(TDoc* doc) {
  if (doc == nullptr || IndexOf(doc) >= 0) active_ = doc;
}

void TDocDispatcher::Forget(const TDoc* doc) {
  if (active_ == doc) active_ = nullptr;
}

// ---- Finding

TDoc* TDocDispatcher::FindOpenDocument(const std::string& path, bool expand) const {
  std::string name = path;
  if (expand && !name.empty() && name[0] != '\0') {
    name = ExpandToLongPath(name);
    FixPortableDrive(name);
  }
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    TDoc& doc = (*it)->Window->Doc();
    if (SameFileName(doc.FileName, name)) return &doc;
  }
  return nullptr;
}

bool TDocDispatcher::CanOpenMore() const {
  if (Count() < kMaxOpenDocuments) return true;
  std::string text = kLimitMessage;
  text.replace(text.find("%d"), 2, std::to_string(kMaxOpenDocuments));
  ShowMessageDlg(text, mkInformation, ButtonBit(mbOK));
  return false;
}

int32_t TDocDispatcher::CompareDocuments(int32_t a, int32_t b) const {
  const TDoc* da = Document(a);
  const TDoc* db = Document(b);
  if (da == nullptr || db == nullptr || da == db) return 0;
  const std::string na = ExtractFileName(da->FileName), nb = ExtractFileName(db->FileName);
  if (!SameTextNoCase(na, nb)) {
    std::string la = na, lb = nb;
    for (char& c : la) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : lb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return la < lb ? -1 : 1;
  }
  return std::less<const TDoc*>()(da, db) ? -1 : 1;
}

// ---- Opening

bool TDocDispatcher::OpenFile(const std::string& path) {
  if (!IsProjectFileName(path) && !CanOpenMore()) return false;
  std::string name = path;
  FixPortableDrive(name);
  if (GetPictureFormatIndex(name) != kNoPictureFormat || IsProjectFileName(name)) {
    // Pictures become new documents through the paste road, and projects list their documents;
    // neither road exists yet.
    ShowErrorFmt("The file \"%s\" cannot be read.", name);
    return false;
  }
  return OpenDocument(name, kFormatDetect,
                      (StateFlags & dsQuietReopening) ? ofQuiet | 1 : 1);
}

void TDocDispatcher::NoteOpened(const std::string& path, uint8_t openFlags) {
  if (openFlags & (ofRestore | ofQuiet)) return;
  FileLists[flRecentDocuments].AddFile(path);
  FileLists[flOpenFolders].AddFile(FolderOf(path));
  GetCommandManager().Flags |= TCommandManager::cmRecentStale;
}

bool TDocDispatcher::ActivateIfOpen(const std::string& path, uint8_t openFlags, bool& reopen) {
  reopen = false;
  TDoc* open = FindOpenDocument(path, true);
  if (open == nullptr) return false;
  Activate(open);
  const bool unchanged =
      open->Modified == 0 && !open->NewUntitled && !open->FileState.RestoredFromSafeCopy;
  if (!(StateFlags & dsStartupOpening) && !unchanged) {
    const std::string text =
        FormatMessageText(OptionalMsgTable[kRevertMsg].Text, {path, path});
    reopen = ShowOptionalMsg(text, mkConfirmation, kRevertMsg) == mrYes;
  }
  if (reopen) {
    Quietly([&] { CloseDocument(open, true); });
    return false;
  }
  if (!(openFlags & ofQuiet)) {
    NoteOpened(path, openFlags & ~ofRestore);
    if (TMainForm* main = GetMainForm()) main->UpdateDocumentCaptions();
  }
  return true;
}

bool TDocDispatcher::OpenDocument(const std::string& givenPath, int32_t format,
                                  uint8_t openFlags) {
  std::string path = givenPath;
  if (!path.empty() && path[0] != '\0') path = ExpandToLongPath(path);
  bool reopen = false;
  if (ActivateIfOpen(path, openFlags, reopen)) return false;
  const bool vadureVavi = path == kVadureVaviName;
  if (!(openFlags & ofRestore) && !vadureVavi && !CanOpenMore()) return false;
  // The Vadure Vavi belongs to the clipboard manager, which has none to show yet.
  if (vadureVavi) return false;

  auto entry = std::make_unique<TEntry>();
  entry->Window = MakeDocWindowLink();
  TDoc& doc = entry->Window->Doc();
  const TNewDocParams& params = GetOptions().NewDocParams;
  doc.ViewMode = OpensInDocumentViewMode(path) ? params.ViewMode : params.ViewModeTXT;

  TDocOpeningOptions options;
  options.From = TDocOpeningOptions::Source::File;
  options.FormatIndex = format;
  options.FileName = path;
  std::string error;
  StateFlags |= dsReadingFile;
  bool read = false;
  try {
    read = entry->Window->Load(options, error);
  } catch (...) {
    StateFlags &= ~dsReadingFile;
    throw;
  }
  StateFlags &= ~dsReadingFile;
  if (!read) {
    if (!error.empty()) ShowError(error);
    return false;
  }
  doc.FileName = path;
  // What was read is what the file holds: undoing back to here leaves the document unmodified.
  doc.SavePoint = doc.UndoPosition;
  doc.SetModified(0);
  if (openFlags & ofRestore) doc.FileState.RestoredFromSafeCopy = true;
  NoteOpened(path, openFlags);
  const bool wasActive = active_ != nullptr;
  AddDocument(std::move(entry), wasActive);
  ReplaceStartupBlank(&doc);
  ++OpenCount;
  if (!(StateFlags & dsQuietReopening))
    if (TMainForm* main = GetMainForm()) main->SetStatusMessage({});
  return true;
}

void TDocDispatcher::AddDocument(std::unique_ptr<TEntry> entry, bool wasActive) {
  TDoc& doc = entry->Window->Doc();
  TDocWindowLink& window = *entry->Window;
  entry->State.WindowMaximized = GetOptions().NewDocParams.Maximize || wasActive;
  // The first automatic backup comes an interval after the document opened.
  entry->State.LastBackupTick = plat::IsWindowSystemStarted() ? plat::GetTickCount() : 0;
  entries_.push_back(std::move(entry));
  if (TMainForm* main = GetMainForm()) {
    doc.NoWindow = !window.Show(main->DocumentArea());
    main->UpdateDocumentCaptions();
  }
  Activate(&doc);
  DocumentsChanged();
}

void TDocDispatcher::ReplaceStartupBlank(const TDoc* opened) {
  if (OpenCount != 1 || entries_.size() < 2) return;
  if (!(GetOptions().General.Flags & kGeneralNewDocAtStartup)) return;
  TDoc* first = Document(0);
  if (first == opened || !first->NewUntitled || !first->UndoList.empty() ||
      first->Modified != 0)
    return;
  Quietly([&] { CloseDocument(first, true); });
}

// ---- A new document

namespace {

// The default template of a format: the file the options name in the templates folder.
std::string DefaultTemplateName(int32_t format) {
  const TDefDocTemplates& t = GetOptions().General.DefDocTemplates;
  const std::string* names[kDocFormatCount] = {&t.Template_RTF, &t.Template_DOC,
                                               &t.Template_DOCX, &t.Template_RTF,
                                               &t.Template_COD, &t.Template_RTF,
                                               &t.Template_TXT};
  const std::string& name = *names[std::clamp(format, 0, kDocFormatCount - 1)];
  if (name.empty() || name[0] == '/') return name;
  return GetDataFolder(4) + "Templates/" + name;
}

// Copies the main text of a template into the new document by writing it to memory as RTF and
// reading it back; false when either step fails.
bool CopyTemplateText(TDoc& from, TDocWindowLink& into) {
  TMemory memory;
  TDocSavingOptions save;
  save.Target = TDocSavingOptions::tgMemory;
  save.Output = &memory;
  save.Format = dfRtf;
  from.GetMainTextRange(save.Range);
  if (DocSaveToFile(from, save) != 0 || memory.Length == 0) return false;
  TDocOpeningOptions open;
  open.From = TDocOpeningOptions::Source::Memory;
  open.FormatIndex = dfRtf;
  open.Block = memory.Data;
  open.Length = memory.Length;
  std::string error;
  return into.Load(open, error);
}

}  // namespace

bool TDocDispatcher::NewDocument(const std::string& templatePath, int32_t format,
                                 bool fromTemplate) {
  if (!CanOpenMore()) return false;
  const bool wasActive = active_ != nullptr;
  auto entry = std::make_unique<TEntry>();
  entry->Window = MakeDocWindowLink();
  TDoc& doc = entry->Window->Doc();
  const TNewDocParams& params = GetOptions().NewDocParams;
  doc.ViewMode = format == dfText ? params.ViewModeTXT : params.ViewMode;
  const std::string templateName = fromTemplate ? templatePath : DefaultTemplateName(format);
  int32_t newFormat = format;
  // A template that exists gives its main text; without one the document starts empty.
  if (!templateName.empty() && FileExists(templateName)) {
    StateFlags |= dsLoadingTemplate;
    TDoc* open = FindOpenDocument(templateName, false);
    std::unique_ptr<TDoc> loaded;
    if (open == nullptr) {
      loaded = std::make_unique<TDoc>(true);
      TDocOpeningOptions options;
      options.FormatIndex = kFormatDetect;
      options.FileName = templateName;
      bool read = false;
      Quietly([&] { read = DocOpen(*loaded, options) != 0; });
      if (!read) loaded.reset();
    }
    TDoc* source = open ? open : loaded.get();
    bool copied = false;
    if (source != nullptr) Quietly([&] { copied = CopyTemplateText(*source, *entry->Window); });
    StateFlags &= ~dsLoadingTemplate;
    if (!copied) return false;  // a silent abort: the half-built document goes
    if (fromTemplate) {
      newFormat = IsWritableDocFormat(source->FormatIndex)
                      ? source->FormatIndex
                      : std::max<int32_t>(0, DocFormatFromExactName(
                                                 GetOptions().General.DefDocTemplates.DefDocFmt));
    }
  }
  doc.FormatIndex = std::clamp(newFormat, 0, kDocFormatCount - 1);
  doc.FileName = doc.MakeNewDocumentName();
  if (fromTemplate && SameTextNoCase(ExtractFileName(templateName), ExtractFileName(doc.FileName)))
    doc.FileName = ChangeFileExt(doc.FileName, ExtractFileExt(templateName));
  doc.InitNewDocument();
  // The first text typed takes the format of the new document's empty paragraph, like the text
  // typed after each Enter, not the program's default format.
  doc.SelectionChanged();
  doc.UpdateTypingFormat(doc.Caret, 1);
  doc.ClearUndo();
  doc.SavePoint = -1;
  doc.SetModified(0);
  AddDocument(std::move(entry), wasActive);
  ++OpenCount;
  if (TMainForm* main = GetMainForm()) main->SetStatusMessage({});
  return true;
}

// ---- Closing

bool TDocDispatcher::QueryCloseDocument(TDoc* doc) {
  TDocWindowLink* window = WindowOf(doc);
  if (window == nullptr) return false;
  if (!window->CloseQuery()) return false;
  CloseDocument(doc, false);
  return true;
}

void TDocDispatcher::CloseDocument(TDoc* doc, bool destroying) {
  const int32_t index = IndexOf(doc);
  if (index < 0) return;
  for (TDoc*& d : SideBySide)
    if (d == doc) SideBySide = {nullptr, nullptr};
  const bool terminating = AppTerminating();
  if (!terminating && Count() == 1) GetOptions().NewDocParams.Maximize =
      entries_[size_t(index)]->State.WindowMaximized;
  std::unique_ptr<TEntry> entry = std::move(entries_[size_t(index)]);
  entries_.erase(entries_.begin() + index);
  const size_t tabs = TabOrder.size();
  std::erase(TabOrder, doc);
  if (TabOrder.size() == 1) TabOrder.clear();
  GetCommandManager().Flags |= TCommandManager::cmWindowsStale;
  if (active_ == doc) active_ = nullptr;
  (void)destroying;
  // A closed document's crash-recovery copy goes with it (after an emergency it stays).
  if (!EmergencyHandling) Quietly([&] { DocDeleteSafeCopy(*doc); });
  Quietly([&] { entry.reset(); });
  if (entries_.empty()) {
    active_ = nullptr;
    if (TMainForm* main = GetMainForm(); main && !terminating) main->UpdateInterfaceState();
  } else if (active_ == nullptr && !terminating) {
    Activate(&entries_.back()->Window->Doc());
  }
  if (tabs != TabOrder.size() || !terminating) DocumentsChanged();
}

void TDocDispatcher::DocumentsChanged() {
  if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
}

// ---- Refreshes

void TDocDispatcher::RearrangeAllViews() {
  for (const auto& e : entries_) e->Window->Redraw();
  if (TMainForm* main = GetMainForm()) main->UpdateInterfaceState();
}

void TDocDispatcher::RebuildAllLayouts() {
  for (const auto& e : entries_) {
    e->Window->Doc().RebuildLayout();
    e->Window->Redraw();
  }
}

void TDocDispatcher::RefreshFindHighlights() {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) (*it)->Window->Redraw();
  if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
}

void TDocDispatcher::ApplyPreviewColors(const TDoc* doc) {
  if (doc == nullptr) return;
  TColorManager& colours = GetColorManager();
  if (doc->PrintPreview)
    colours.UseDefaultPalette();
  else
    colours.UseSchemePalette();
}

std::u16string TDocDispatcher::DocumentCaption(const TDoc& doc) const {
  std::string caption = ExtractFileName(doc.FileName);
  // Only the first of the marks that apply.
  const TDocFileState& state = doc.FileState;
  const char* format = state.WorkingCopy            ? "%s (copy)"
                       : state.ReadOnly             ? "%s (read-only)"
                       : state.RestoredFromSafeCopy ? "%s (restored)"
                                                    : nullptr;
  if (format != nullptr) caption = FormatMessageText(format, {caption});
  return InterfaceText(caption);
}

}  // namespace qv
