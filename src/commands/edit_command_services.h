#pragma once
// What the edit, insert and browse commands ask of the subsystems above them or not built into
// the document: the clipboard manager and the Vadure Vavi, pasting, the find and replace window,
// the Control Board's tools, the clip library, the document window's scrolling and redrawing,
// the proofing tools and the shell's small dialogs. The stand-in does the least the commands need
// on their own: it shows nothing, copies nothing, and pastes a single character by typing it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TField;
class TMemory;
struct TCharFormat;

// A paste: where the data comes from (0 the clipboard, 1 a file, 2 memory, 3 one character),
// the paste mode (a paste command id), the format (0 the best one), and the source's data.
struct TPasteRequest {
  uint8_t Source = 0;
  int32_t Mode = 3360;
  int32_t Format = 0;
  char16_t Character = 0;     // source 3
  uint8_t Spacing = 1;        // source 3: 2 for the three spaces, 1 otherwise
  const TMemory* Data = nullptr;  // source 2
  std::string File;           // source 1
};

class TEditCommandServices {
 public:
  virtual ~TEditCommandServices() = default;

  // ---- Pasting (the editing engine's paste)
  // Pastes as one undoable edit; the stand-in types a single character and pastes nothing else.
  virtual void Paste(TDoc& doc, const TPasteRequest& request);
  // The Paste Special dialog: the chosen clipboard format; false on Cancel.
  virtual bool ExecutePasteSpecialDialog(int32_t& /*format*/) { return false; }

  // ---- The clipboard manager and the Vadure Vavi
  virtual bool OpenClipboard(uint32_t /*waitMs*/) { return false; }
  // Copies the selection (a cell selection with its table kind, else 255); false on failure.
  virtual bool CopySelection(TDoc& /*doc*/, uint8_t /*tableKind*/) { return false; }
  virtual void CloseClipboard() {}
  // Tells the clipboard manager which fields the next copy is of (hyperlinks, TOCs ...).
  virtual void SetCopyFieldList(const std::vector<TField*>& /*fields*/) {}
  // The Vadure Vavi document, made when missing; null when it cannot be had.
  virtual TDoc* GetVadureVavi() { return nullptr; }
  // Copies the source's selection into the Vadure Vavi at its caret as one undoable edit.
  virtual void AddSelectionToVadureVavi(TDoc& /*source*/) {}
  virtual void ClearVadureVavi() {}
  // Repaints the Vadure Vavi's document-bar button.
  virtual void RefreshVadureVaviButton() {}

  // ---- The find and replace window
  // Shows the window on a page (0 Find, 1 Replace, -1 its current page).
  virtual void ShowFindReplaceDialog(int32_t /*page*/) {}
  // Runs a search command by its index (0 find next ... 3 replace all next).
  virtual void RunSearchCommand(int32_t /*index*/) {}
  // Toggles the window's whole-words (3670), exact-match (3671) or wildcards (3672) box.
  virtual void ToggleFindOption(int32_t /*id*/) {}
  // Whether the window holds a search to repeat, and searching once (backwards or forwards).
  virtual bool HasValidSearch() { return false; }
  virtual void SearchOnce(bool /*backward*/) {}
  // The character format of the find (or replace) pattern, and storing it back after its dialog
  // (the window keeps whatever else it holds with the pattern); false when there is no window.
  virtual bool GetFindPatternFormat(bool /*replace*/, TCharFormat& /*format*/) { return false; }
  virtual void SetFindPatternFormat(bool /*replace*/, const TCharFormat& /*format*/) {}
  // Every document refreshes its find highlights; the window refreshes its pattern description.
  virtual void RefreshFindHighlights() {}
  virtual void RefreshFindPatternDescription() {}

  // ---- The Control Board's tools
  // The bookmarks tool's Go To, Rename, Delete and Link for 4530, 4532, 4533 and 4536; the
  // index tool's Edit, Delete and Go To for 5305, 5310 and 5320.
  virtual void RunToolCommand(int32_t /*id*/) {}
  // The tools' current bookmark and index entry after a new one was made.
  virtual void SetCurrentBookmark(TField* /*bookmark*/) {}
  virtual void SetCurrentIndexEntry(TField* /*entry*/) {}
  // Marks the tools' lists of the document for rebuilding (bookmarks, index entries, clips).
  virtual void MarkToolListsStale(TDoc* /*doc*/) {}
  // The locked fragments highlighted in the selection tool.
  virtual std::vector<TField*> HighlightedLockedFragments(TDoc& /*doc*/) { return {}; }
  // Shows the Control Board on a tool (10 the clip library) and, for the clip library, a folder.
  virtual void ShowControlBoardTool(int32_t /*tool*/, const std::string& /*folder*/) {}
  // The overused-words tool on its repetitions (10) or overlong sentences (11) page, pressing
  // its previous or next button.
  virtual void StepOverusedWords(int32_t /*browseObject*/, bool /*previous*/) {}

  // ---- The clip library
  // The folder of the clip library (with a trailing separator).
  virtual std::string ClipLibraryFolder() { return {}; }
  // The path of the current clip; empty when none is chosen.
  virtual std::string CurrentClip() { return {}; }
  virtual void SetCurrentClip(const std::string& /*path*/) {}
  // The clips of the current clip's folder, in the tool's order.
  virtual std::vector<std::string> ClipsOfFolder() { return {}; }
  // Inserts a clip that is no picture into the document at its caret.
  virtual bool InsertClipFile(TDoc& /*doc*/, const std::string& /*path*/, bool /*symbols*/) { return false; }
  // Opens a clip for editing (activating an open document of it first); false when nothing could
  // be opened.
  virtual bool EditClip(const std::string& /*path*/) { return false; }
  // The clip library's options dialog.
  virtual void ExecuteClipLibraryOptionsDialog() {}
  // Saves the selection as a file, or as a clip of the library (in the folder; empty: the
  // current one); the pictures of the selection as files.
  virtual void SaveSelectionAs(TDoc& /*doc*/) {}
  virtual void AddSelectionToClipLibrary(TDoc& /*doc*/, const std::string& /*folder*/) {}
  virtual void SavePicturesAs(TDoc& /*doc*/) {}
  // Inserts a picture or document file at the caret (format 7 detects).
  virtual bool InsertPictureFile(TDoc& /*doc*/, const std::string& /*file*/, int32_t /*format*/) { return false; }

  // ---- The document window and the main window
  // Scrolls the caret into view in a mode (1 centred, 2 plain, 5 going back, 6 going on).
  virtual void ScrollCaretIntoView(TDoc& /*doc*/, int32_t /*mode*/) {}
  // Scrolls the selected graphic into view.
  virtual void ScrollSelectedShapeIntoView(TDoc& /*doc*/) {}
  // Brings the view up to date after the program changed the selection, and redraws it.
  virtual void SelectionSet(TDoc& /*doc*/) {}
  virtual void Redraw(TDoc& /*doc*/) {}
  // Whether the caret is fully visible in its window.
  virtual bool CaretVisible(TDoc& /*doc*/) { return true; }
  // The width of the window's page area in pixels (0 without a window).
  virtual int32_t PageAreaWidth(TDoc& /*doc*/) { return 0; }
  // Follows a link into the other pane of a split window before going to a note.
  virtual void SwitchPaneToFollowLink(TDoc& /*doc*/) {}
  // The main window's overwrite byte; Shift held down now.
  virtual void ToggleOverwrite() {}
  virtual bool ShiftHeld() { return false; }
  // The floating browse-object toolbar; the command bars' drop-down menu of a button.
  virtual void ShowBrowseToolbar() {}
  virtual void HideBrowseToolbar() {}
  virtual void DropButtonMenu(int32_t /*commandId*/) {}
  // The Go To dialog; a list of strings to choose from (the index chosen, -1 none).
  virtual void ShowGoToDialog() {}
  virtual int32_t ShowBrowseStringList(const std::vector<std::u16string>& /*items*/) { return -1; }
  // Follows a hyperlink of the document.
  virtual void FollowHyperlink(TDoc& /*doc*/, TField& /*link*/) {}
  // Evaluates the selected expression (Calculate).
  virtual void CalculateExpression(TDoc& /*doc*/) {}

  // ---- Proofing
  // Whether keystroke sounds are on.
  virtual bool KeystrokeSoundsEnabled() { return false; }
  // Checks the spelling around the caret again after a separator was deleted.
  virtual void RescheduleSpellcheck(TDoc& /*doc*/) {}
  // Forgets the highlighted instances of the selected text of the document (of every document
  // when null).
  virtual void InvalidateSelectionInstances(TDoc* /*doc*/) {}
  // Whether a collapsible heading has a body to collapse.
  virtual bool HeadingHasBody(TDoc& /*doc*/, int32_t /*par*/) { return false; }
};

void RegisterEditCommandServices(std::unique_ptr<TEditCommandServices> services);
TEditCommandServices& EditCommandServices();

}  // namespace qv
