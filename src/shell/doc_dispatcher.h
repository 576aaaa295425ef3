#pragma once
// TDocDispatcher: the one object that knows which documents are open. Every road that creates,
// opens, shows or closes a document window goes through it (the New and Open commands, the
// recent-file menu, dropped files, the single-instance hand-over, the command line at start-up).
// It owns the open documents with their windows, in the order they were added, keeps the
// program-wide remembered file lists of the file dialogs and a word of state flags that other
// subsystems also set around their own work. It runs on the interface thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/settings/file_list.h"

namespace qv {

class TDoc;
class TDocWindowLink;

// What the shell keeps of each open document beside the document itself.
struct TShellDocState {
  bool PaginationStopped = false;  // background pagination reached its page limit
  bool DiscardPages = false;     // the pages are to be laid out again from the start
  uint32_t LastBackupTick = 0;   // when the last automatic backup was written (or failed)
  bool WindowMaximized = false;  // the window's state, kept for the next new window
};

class TDocDispatcher {
 public:
  static constexpr int32_t kMaxOpenDocuments = 100;

  // State flags, set and cleared in pairs around the work named.
  static constexpr uint16_t dsStartupOpening = 0x0001;
  static constexpr uint16_t dsReadingFile = 0x0002;
  static constexpr uint16_t dsQuietReopening = 0x0004;
  static constexpr uint16_t dsReadOnlyOpening = 0x0008;
  static constexpr uint16_t dsRepainting = 0x0010;
  static constexpr uint16_t dsLoadingTemplate = 0x0020;
  static constexpr uint16_t dsOpeningProject = 0x0400;
  static constexpr uint16_t dsSideBySide = 0x0800;

  // Open flags.
  static constexpr uint8_t ofRestore = 0x02;  // a crash-recovery copy: no limit, lists untouched
  static constexpr uint8_t ofQuiet = 0x04;    // lists untouched, the status message kept

  // The remembered lists, by their index.
  enum : int32_t {
    flRecentDocuments = 0,
    flOpenFolders,
    flSaveFolders,
    flInsertedDocuments,
    flPictureFolders,
    flInsertedPictures,
    RememberedListCount
  };

  TDocDispatcher();
  // Closes every open document, last first.
  ~TDocDispatcher();
  TDocDispatcher(const TDocDispatcher&) = delete;
  TDocDispatcher& operator=(const TDocDispatcher&) = delete;

  // ---- Opening and creating
  // Opens any file by its type (a picture becomes a new document; every other file is read with
  // its format detected). The entry of the recent-file menu, the hand-over, the start-up files.
  bool OpenFile(const std::string& path);
  // True only when a document was newly opened: a file already open is activated (and, when it
  // was changed, the user may revert it) and answers false.
  bool OpenDocument(const std::string& path, int32_t format, uint8_t openFlags);
  // A new document from a template (the format's default template without fromTemplate).
  bool NewDocument(const std::string& templatePath, int32_t format, bool fromTemplate);

  // ---- Closing
  // Removes and frees one document with its window (no question asked).
  void CloseDocument(TDoc* doc, bool destroying);
  // The window's close query, then CloseDocument; false when the document stays.
  bool QueryCloseDocument(TDoc* doc);

  // ---- Finding
  TDoc* FindOpenDocument(const std::string& path, bool expand) const;
  bool IsDocumentOpen(const std::string& path) const { return FindOpenDocument(path, true); }
  // False, after telling the user, when 100 documents are open.
  bool CanOpenMore() const;
  // The document bar's order: names compared without case, equal names by object identity.
  int32_t CompareDocuments(int32_t a, int32_t b) const;

  // ---- The open documents
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  TDoc* Document(int32_t index) const;
  std::vector<TDoc*> Documents() const;
  int32_t IndexOf(const TDoc* doc) const;
  TDocWindowLink* WindowOf(const TDoc* doc) const;
  TShellDocState* StateOf(const TDoc* doc) const;
  TDoc* ActiveDoc() const { return active_; }
  // Brings the document's window to the front and makes it the active document.
  void Activate(TDoc* doc);
  // The document window that became active tells it (null: none is active).
  void SetActive(TDoc* doc);
  // A document is being destroyed: it is no longer the active one.
  void Forget(const TDoc* doc);

  // ---- Program-wide refreshes
  void RearrangeAllViews();
  void RebuildAllLayouts();
  void RefreshFindHighlights();
  // The colours of the print preview while the document shows it, else the scheme's.
  void ApplyPreviewColors(const TDoc* doc);

  // The documents' window captions ("%s (copy)", "%s (read-only)", "%s (restored)").
  std::u16string DocumentCaption(const TDoc& doc) const;

  // ---- State
  int32_t OpenCount = 0;  // documents created or opened in this run
  uint16_t StateFlags = 0;
  std::vector<TDoc*> TabOrder;
  std::array<TDoc*, 2> SideBySide = {nullptr, nullptr};
  std::array<TFileList, RememberedListCount> FileLists;
  std::string DocsToReload;
  std::string DocToActivate;

 private:
  struct TEntry;
  bool ActivateIfOpen(const std::string& path, uint8_t openFlags, bool& reopen);
  void NoteOpened(const std::string& path, uint8_t openFlags);
  void AddDocument(std::unique_ptr<TEntry> entry, bool wasActive);
  void ReplaceStartupBlank(const TDoc* opened);
  void ApplyWritingData(TDoc& doc, const std::string& key);
  void DocumentsChanged();

  std::vector<std::unique_ptr<TEntry>> entries_;
  TDoc* active_ = nullptr;
};

// The program's dispatcher (made at start-up after the main window); null before and after.
TDocDispatcher* GetDocDispatcher();
void SetDocDispatcher(TDocDispatcher* dispatcher);
// The active document; null when none is open.
TDoc* GetActiveDoc();

}  // namespace qv
