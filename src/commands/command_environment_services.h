#pragma once
// What the command manager asks of the subsystems above it (the shell's document dispatcher and
// main window, the document window, the command bars' hot keys, the Control Board). The stand-in
// knows no active document, binds no key and reports no state of its own, so that commands
// needing a document are refused with "there is no active document"; the questions about a
// document it is given it answers from the document model. The shell registers the real
// environment at start-up.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {
class Control;
}  // namespace plat

namespace qv {

class TCommandManager;
class TDoc;
class TMemory;
struct TCharFormat;
struct TDocProps;
struct TParFormat;

class TCommandEnvironment {
 public:
  virtual ~TCommandEnvironment() = default;

  // ---- Documents (the document dispatcher and the document window)
  // The active document; null when none is open.
  virtual TDoc* ActiveDoc() { return nullptr; }
  // Hides the clip-name and word-completion popups.
  virtual void HideTypingPopups() {}
  // Ends the document's hover preview, so that a command never acts on a previewed view.
  virtual void EndHoverPreview(TDoc& /*doc*/) {}
  // Whether the document is the Vadure Vavi.
  virtual bool IsVadureVavi(const TDoc& /*doc*/) { return false; }
  // Brings the document's lists of the fields, hyperlinks, notes and bookmarks that the selection
  // touches up to date, before the enable rules read them.
  virtual void UpdateSelectedFieldLists(TDoc& doc);
  // Whether the document has a non-empty selection.
  virtual bool HasSelection(const TDoc& doc);
  // Names the next undoable operation of the document by an operation-name code (11 "highlight",
  // 12 "font color") in place of its own name.
  virtual void SetOperationNameOverride(TDoc& /*doc*/, uint8_t /*nameCode*/) {}
  // Whether the caret stands in a table row-end paragraph.
  virtual bool CaretInRowEndPar(const TDoc& doc);

  // ---- Deleting the selection (the document model and the edit dispatcher)
  // Whether the selection includes the last paragraph mark of a footnote or endnote.
  virtual bool SelectionHasNoteEndMark(const TDoc& doc);
  // Whether the selection is a single range equal to the main-text range.
  virtual bool SelectionIsWholeMainText(const TDoc& doc);
  // Whether the selection is a single range equal to the range of the story holding the caret.
  virtual bool SelectionIsWholeCurrentStory(const TDoc& doc);
  // Drops from the selection what cannot be deleted.
  virtual void NormalizeSelection(TDoc& doc);
  // Whether deleting the single-range selection joins two tables: it runs from the start of a
  // paragraph other than the first to the end of one that is not the last of its story, between
  // paragraphs of two different tables.
  virtual bool SelectionJoinsTables(const TDoc& doc);
  // Whether the selection consists only of whole words.
  virtual bool SelectionIsWholeWordsOnly(const TDoc& doc);
  // Deletes the selection with the edit dispatcher's delete-text action and the deletion flags;
  // `wholeStory` marks the deletion of a whole story for the extent of the edit.
  virtual void DeleteSelection(TDoc& doc, uint32_t flags, bool wholeStory);
  // Silences the event sounds around work that must stay silent, and lets them sound again.
  virtual void MuteSounds() { ++muted_; }
  virtual void UnmuteSounds() { --muted_; }

  // ---- What the enable rules ask of the shell and of the tools not built into the model
  // Whether the main window takes input (no modal window above it).
  virtual bool MainWindowEnabled() { return true; }
  // The open documents: how many, whether one (or the Vadure Vavi) is modified, how many are
  // selected on the document bar, and whether a document project is open.
  virtual int32_t OpenDocumentCount() { return 0; }
  virtual bool AnyDocumentModified() { return false; }
  virtual int32_t DocBarSelectedCount() { return static_cast<int32_t>(DocBarSelection().size()); }
  // The main window's Full Screen mode, and the option bits of what it keeps there.
  virtual bool FullScreen() { return false; }
  // The clipboard: examined again when the manager's clipboard-changed flag is set (storing
  // whether it holds pasteable data and the table selection kind in the manager).
  virtual void ExamineClipboard(TCommandManager& /*manager*/) {}
  // Whether a font (or paragraph) format was copied for pasting formats. The stand-in knows the
  // font-format clipboard of the font commands and the paragraph-format clipboard.
  virtual bool FormatCopied(bool paragraph);
  // Whether the Vadure Vavi exists and holds text.
  virtual bool VadureVaviHasText() { return false; }
  // A rule that a tool not part of the documents answers (the Control Board's tools, the
  // document map, the Format Palette, split windows, window states): true when it decided, with
  // `enabled` and `reason` filled. The stand-in decides nothing, so such commands need only a
  // document.
  virtual bool ToolRule(int32_t /*id*/, bool& /*enabled*/, uint8_t& /*reason*/) { return false; }
  // The document's writing time in milliseconds, and whether any writing data is kept (of an
  // open document, the Vadure Vavi or the dispatcher's list of closed documents).
  virtual int64_t WritingTime(const TDoc& /*doc*/) { return 0; }
  virtual bool HasWritingData() { return false; }
  // The option bits of the find and replace window (8: wildcards).
  virtual uint32_t FindOptions() { return 0; }
  // The table selection kind of the document's selection: 0 cells (or no table selection),
  // 1 whole columns, 2 whole rows, 3 the whole table.
  virtual int32_t TableSelectionKind(TDoc& /*doc*/) { return 0; }

  // ---- The file commands (the document dispatcher, its dialogs and the event sounds)
  // The remembered file lists that the file commands trim.
  enum : int32_t { flRecent = 0, flInsertedFiles = 1, flFolders = 2, flOpenFolders = 3 };
  // A new document of the format (a format index; 7 detects the template's), from the template
  // file when one is given; true when made.
  virtual bool NewDocument(int32_t /*format*/, const std::string& /*templateFile*/ = {},
                           bool /*fromTemplate*/ = false) {
    return false;
  }
  // The template chooser with its title and the remembered template name; the chosen file.
  virtual bool ChooseTemplateFile(const std::string& /*title*/, std::string& /*chosen*/) { return false; }
  // Forgets the text the template dialog remembered.
  virtual void ClearTemplateDialogText() {}
  // The folder of the templates (with a trailing separator).
  virtual std::string TemplatesFolder() { return {}; }
  // Whether another document may be opened (fewer than 100 are).
  virtual bool CanOpenMore() { return false; }
  // Opens a document (format: a format index, 7 to detect; mode: 0 normal, 4 a template for
  // editing); true when opened. The read-only opening holds for the opens that follow.
  virtual bool OpenDocument(const std::string& /*file*/, int32_t /*format*/, int32_t /*mode*/) {
    return false;
  }
  virtual void SetReadOnlyOpening(bool /*on*/) {}
  // The main window's captions of the document windows and of itself.
  virtual void UpdateDocumentCaptions() {}
  virtual void UpdateMainCaption() {}
  // The open documents in window order, and those selected on the document bar.
  virtual std::vector<TDoc*> OpenDocuments() { return {}; }
  virtual std::vector<TDoc*> DocBarSelection() { return {}; }
  // Selects every open document on the document bar, or none, and repaints the bar.
  virtual void SetDocBarSelection(bool /*all*/) {}
  // The Vadure Vavi document when it exists.
  virtual TDoc* VadureVavi() { return nullptr; }
  // The document window's close query (which may offer to save), and closing the document
  // (mode 0 one document, 1 one of several).
  virtual bool CloseQuery(TDoc& /*doc*/) { return true; }
  virtual void CloseDocument(TDoc& /*doc*/, int32_t /*mode*/ = 0) {}
  // The document's save roads: Save, Save As (with its dialog), Save Copy As, Save As Template;
  // true when saved.
  virtual bool SaveDocument(TDoc& /*doc*/) { return false; }
  virtual bool SaveDocumentAs(TDoc& /*doc*/) { return false; }
  virtual bool SaveDocumentCopyAs(TDoc& /*doc*/) { return false; }
  virtual bool SaveDocumentAsTemplate(TDoc& /*doc*/) { return false; }
  // Writes the document (its whole content, unchanged) to a file; true when written.
  virtual bool SaveCopyToFile(TDoc& /*doc*/, const std::string& /*file*/) { return false; }
  // Stores the written file as a backup of the document under the name.
  virtual bool CreateBackup(TDoc& /*doc*/, const std::string& /*name*/, const std::string& /*file*/) {
    return false;
  }
  // The backup options dialog.
  virtual void RunBackupOptionsDialog() {}
  // Packs the documents into a zip archive at the path; true when written.
  virtual bool SaveDocumentsAsZip(const std::vector<TDoc*>& /*docs*/, const std::string& /*path*/) {
    return false;
  }
  // Hands the documents, or files, to the e-mail program.
  virtual void SendDocumentsByMail(const std::vector<TDoc*>& /*docs*/) {}
  virtual void MailFilesAsAttachments(const std::string& /*displayName*/, const std::string& /*path*/) {}
  // Prints the document with the print dialog.
  virtual void PrintDocument(TDoc& /*doc*/) {}
  // The Document Properties dialog on a copy of the properties; true on OK.
  virtual bool EditDocProperties(TDoc& /*doc*/, TDocProps& /*props*/) { return false; }
  // Empties a remembered file list, or only of the files that no longer exist.
  virtual void TrimFileList(int32_t /*list*/, bool /*missingOnly*/) {}
  // Empties the clipboard history.
  virtual void ClearClipboardHistory() {}
  // Favourites: the sub-folders of the favourites folder, the choice of one, the organiser.
  virtual std::vector<std::string> ListFavoritesSubfolders() { return {}; }
  virtual bool ChooseFavoritesSubfolder(const std::vector<std::string>& /*folders*/, std::string& /*chosen*/) {
    return false;
  }
  virtual void ExecuteOrganizeFavoritesDialog() {}
  // The document project: open or not, its path; a new empty one; saving and freeing it.
  virtual bool ProjectOpen() { return false; }
  virtual std::string ProjectPath() { return {}; }
  virtual void SetProjectPath(const std::string& /*path*/) {}
  virtual void CreateProject(const std::string& /*path*/) {}
  virtual bool SaveProject(const std::string& /*path*/) { return false; }
  virtual void FreeProject() {}
  // Writing data: zeroes the document's (dropping what the dispatcher keeps under its name), or
  // every document's with the kept list.
  virtual void ClearWritingData(TDoc* /*doc*/) {}
  // The size of the document's file as the statistics count it (0 for new documents).
  virtual int64_t DocumentFileSize(TDoc& /*doc*/) { return 0; }
  // Marks the pastes that follow as the program's own (merged into the target's formats) or not.
  virtual void SetProgramPaste(bool /*on*/) {}
  // Adds the time since the last command to the document's writing time.
  virtual void AddEditingTime(TDoc& /*doc*/) {}
  // Pastes RTF data into the document at its caret as one undoable edit.
  virtual void PasteRtfData(TDoc& /*doc*/, const TMemory& /*rtf*/) {}
  // Whether a key is held down now (Ctrl for Close All), outside a hot key being dispatched.
  virtual bool CtrlHeld() { return false; }
  virtual void PlayEventSound(int32_t sound);
  virtual void RequestInterfaceUpdate();
  virtual void UpdateInterfaceState() { RequestInterfaceUpdate(); }

  // ---- Menus
  // The recent documents, most recent first, as paths shortened to the menu's width; and
  // opening one of them (detecting its format).
  virtual std::vector<std::string> RecentDocumentCaptions() { return {}; }
  virtual bool OpenRecentDocument(int32_t /*index*/) { return false; }
  // The open documents' window captions in the window list's order, and which is active.
  virtual std::vector<std::string> WindowCaptions() { return {}; }
  virtual int32_t ActiveWindowIndex() { return -1; }
  // Whether the document window types in insert mode (not overwrite).
  virtual bool InsertMode() { return true; }
  // The default document format of New (a format index).
  virtual int32_t DefaultDocumentFormat() { return 0; }
  // Whether the picture format dialog is open.
  virtual bool PictureDialogOpen() { return false; }
  // Whether the folder history of the file dialogs holds folders.
  virtual bool HasFolderHistory() { return false; }
  // The spellcheck manager's current language (a language id), and whether it ignores words.
  virtual int32_t SpellcheckLanguage() { return 0; }
  virtual bool HasIgnoredWords() { return false; }
  // Whether the Vadure Vavi's window is shown.
  virtual bool VadureVaviShown() { return false; }
  // Whether the open documents are shown side by side.
  virtual bool SideBySide() { return false; }
  // The toolbar image the owner-drawn menu item of a command shows; -1 none.
  virtual int32_t CommandImageIndex(int32_t /*id*/) { return -1; }

  // ---- The spelling popup menus (the proofing tools)
  // Adds the misspelt word under the popup to the user dictionary of that number, or opens that
  // dictionary in the dictionary editor with the word shown.
  virtual void AddWordToDictionary(int32_t /*dictionary*/) {}
  virtual void EditDictionary(int32_t /*dictionary*/) {}
  // Selects the misspelt word the popup menu was shown for; false when there is none.
  virtual bool SelectMisspeltWord(TDoc& /*doc*/) { return false; }
  // Runs the spellcheck loop in a mode (5 replaces the word with the suggestion of the index).
  virtual void RunSpellcheck(TDoc& /*doc*/, int32_t /*mode*/, int32_t /*suggestion*/) {}
  // Adds an AutoCorrect rule from the misspelt word to the suggestion of the index.
  virtual void AddSuggestionToAutoCorrect(int32_t /*suggestion*/) {}
  // The folder of the favourites (with its sub-folders of shortcuts); empty for none.
  virtual std::string FavoritesFolder() { return {}; }
  // Opens a file by the document dispatcher (documents, projects, pictures).
  virtual bool OpenFile(const std::string& /*path*/) { return false; }

  // ---- Command bars
  // Whether the control is a command bar, and whether it is being customised now.
  virtual bool IsCommandBar(const plat::Control& /*control*/) { return false; }
  virtual bool IsCustomizingBar(const plat::Control& /*control*/) { return false; }

  // ---- Hot keys (the command bars)
  // The text of the first key bound to the id ("Ctrl+B"); empty when none is bound.
  virtual std::string FirstKeyText(int32_t /*id*/) { return {}; }

  // ---- Control Board
  // The name of the style highlighted in the styles tool.
  virtual std::string HighlightedStyleName() { return {}; }

  // ---- Formatting state for the hints' notes
  // The main window's mouse mode: 0 normal, 2 Format Brush, 4 Highlight, 5 Font Color ...
  virtual uint8_t MouseMode() { return 0; }
  // Whether the Format Brush's paragraph (or character) format leaves the property unset.
  virtual bool BrushPropertyUnset(bool paragraph, int32_t property);
  // Whether the document's current paragraph (or character) format leaves the property unset,
  // which it does when the selection mixes values.
  virtual bool CurrentPropertyUnset(const TDoc& doc, bool paragraph, int32_t property);
  // The option "Format without selection".
  virtual bool FormatWithoutSelection();
  // The check state of a command whose state the window, the command bars, the Control Board or
  // the shell keep (rulers, scroll bars, status bar, split view, full screen, find options ...):
  // 0 off, 1 on, 2 mixed.
  virtual uint8_t CheckState(int32_t /*id*/) { return 0; }
  // ---- The Format Brush and the command bars' font boxes (the font commands)
  // Refreshes the views of the Format Brush, and checks the brush's Format Palette name, after
  // the brush's formats changed.
  virtual void RefreshFormatBrushViews() {}
  virtual void CheckFormatBrushName() {}
  // Tells the main window that the copied font or paragraph format changed.
  virtual void FormatClipboardChanged() {}
  // Drops the list of a combo box of the command bar band (212100 the font, 212200 the font
  // size) when the band is shown or the toolbars hide themselves.
  virtual void DropCommandBarCombo(int32_t /*buttonId*/) {}
  // The Format Brush's character and paragraph formats; false when the brush holds none.
  virtual bool GetBrushFormats(TCharFormat& /*c*/, TParFormat& /*p*/) { return false; }

 protected:
  // Whether the event sounds are silenced now (the stand-in's own count of MuteSounds).
  bool SoundsMuted() const { return muted_ > 0; }

 private:
  int32_t muted_ = 0;
};

// Registers the environment (null puts the stand-in back); the registered one, never null.
void RegisterCommandEnvironment(std::unique_ptr<TCommandEnvironment> environment);
TCommandEnvironment& CommandEnvironment();

}  // namespace qv
