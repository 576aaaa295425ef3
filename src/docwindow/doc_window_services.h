#pragma once
// What the document window asks of the parts of the program above it: the main window and the
// document dispatcher (shell), the command manager (commands), the hot-key manager and the
// command bars, the event sounds, the proofing tools, the typing popups and the side pane's
// tools. Each registers its answers at start-up (RegisterDocWindowServices); the stand-in does
// the least a window needs on its own: no main window (nothing customised, no full screen), no
// command runs, no key is bound, every sound is silent, nothing is spellchecked and no popup is
// ever shown.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {
class Menu;
class PopupMenu;
}  // namespace plat

namespace qv {

class TDoc;
struct TCharFormat;

// What the spelling check of the word at the caret found.
struct TSpellingWord {
  int32_t Par = 0;
  int32_t Start = 0;
  int32_t Length = 0;
  bool Misspelt = false;
  bool Doubled = false;
  bool NoSpellchecker = false;
  int32_t Language = 1024;  // 1024: not proofed
  // The suggestions in the lexicon's code page, and that code page.
  std::vector<std::string> Suggestions;
  int32_t CodePage = 1252;
  // The file names of the current spellchecker's user dictionaries.
  std::vector<std::string> UserDictionaries;
};

class TDocWindowServices {
 public:
  TDocWindowServices();
  virtual ~TDocWindowServices();

  // --- Main window (shell) ---
  // The main window is in full-screen mode, and the interface parts it keeps there ("FS_GUI"
  // bits: 4 rulers, 8 scroll bars).
  virtual bool FullScreen() { return false; }
  virtual uint32_t FullScreenKeepMask() { return 0xFF; }
  // Asks for the one-pass interface update at the next idle time.
  virtual void RequestInterfaceUpdate() {}
  // The interface updates wait (while keys page through the document by commands).
  virtual void SetInterfaceUpdatesSuspended(bool /*suspended*/) {}
  // The exception hook's emergency saving runs: the windows take no messages meanwhile.
  virtual bool EmergencySaving() { return false; }
  // The removable drive of a portable copy is being removed: windows close without asking.
  virtual bool PortableDriveRemoving() { return false; }
  // The size of the main window's document area and how many document windows it holds; false
  // without a main window (the window then keeps the place its host gave it).
  virtual bool DocumentArea(plat::Size& /*area*/, int32_t& /*windowCount*/) { return false; }
  // The cascade offset of the next document window, kept by the main window.
  virtual plat::Point CascadeOffset() { return cascade_; }
  virtual void SetCascadeOffset(plat::Point offset) { cascade_ = offset; }
  // The main window's mouse mode (0 normal, 1 Easy Hand, 2 Format Brush, 3 Magnifying Glass ...)
  // and its overtype mode.
  virtual uint8_t MouseMode() { return 0; }
  virtual bool OvertypeMode() { return false; }
  // The mouse cursor is to be set again at the next idle moment (Ctrl-dependent cursors).
  virtual void RefreshCursorLater() {}
  // User activity was noted: background work waits before its next slice.
  virtual void NoteUserActivity() {}
  // A document window became the active one: the document map and the style list are rebuilt
  // and the status bar's message panel is cleared unless the document is being loaded.
  virtual void DocumentWindowActivated(TDoc& /*doc*/) {}
  // Remembers the view mode (or print preview's zoom) of the active document for new documents
  // of its kind.
  virtual void RememberViewSettings(TDoc& /*doc*/) {}

  // --- Document dispatcher (shell) ---
  // The active document changed (null: none).
  virtual void SetActiveDocument(TDoc* /*doc*/) {}
  // Closes a document, which frees it and its window; false when the dispatcher does not hold
  // the document (the window's host then closes it).
  virtual bool CloseDocument(TDoc& /*doc*/) { return false; }
  // Hides the clip-name and the word-completion popups.
  virtual void HideTypingPopups() {}
  // The document is the Vadure Vavi (never asked to be saved on close).
  virtual bool IsVadureVavi(const TDoc& /*doc*/) { return false; }
  // Saves the document (asking for a name when it has none); true when it was saved.
  virtual bool SaveDocument(TDoc& doc);

  // --- Command manager (commands) ---
  virtual void ExecuteCommand(int32_t id);
  // Runs a command that carries an argument (a text and a block of bytes).
  virtual void ExecuteCommandWithParam(int32_t /*id*/, const std::u16string& /*text*/,
                                       const void* /*data*/, int32_t /*size*/) {}
  virtual bool IsCommandEnabled(int32_t /*id*/) { return false; }
  // The command's name followed by its shortcut.
  virtual std::u16string CommandNameWithShortcut(int32_t /*id*/) { return {}; }
  // A long scan (find and replace, overused words) pumps messages: keys are kept out.
  virtual bool CommandManagerBusy() { return false; }
  // The menus' window lists are out of date.
  virtual void MarkWindowListsStale() {}

  // --- Hot-key manager (command bars) ---
  // A key with the shift state (1 Shift, 2 Alt, 4 Ctrl) and the message's key data: true when
  // a bound key or chord ran.
  virtual bool HotKeyEvent(uint8_t shift, uint8_t key, intptr_t keyData);
  // The system-key handlers; true when they handled the message (result set).
  virtual bool HotKeySysKeyDown(uint8_t key, intptr_t keyData, intptr_t& result);
  virtual bool HotKeySysKeyUp(uint8_t key, intptr_t keyData, intptr_t& result);
  virtual bool HotKeySysChar(char32_t ch, intptr_t keyData, intptr_t& result);
  // An Alt+numeric-keypad code is being collected (characters are ignored meanwhile); the flag
  // is cleared after each character.
  virtual bool CollectingAltCode();
  virtual void ClearAltCodeFlag();
  // A hexadecimal character code is being entered (Alt+X).
  virtual bool EnteringHexCode();
  // While toolbars are customised: the context-help topic F1 would open.
  virtual bool ContextHelpPending() { return false; }
  // A lone Ctrl tap was released (Fast Navigation counts them).
  virtual void LoneCtrlReleased() {}
  // Forgets the time of the last lone Ctrl release (another key came).
  virtual void ForgetCtrlRelease() {}

  // --- Event sounds (shell) ---
  virtual void PlayEventSound(int32_t event);
  virtual bool HasSound(int32_t /*event*/) { return false; }
  virtual bool KeystrokeSoundsEnabled() { return false; }
  // The sound library streams sounds itself (other sounds may play over one another).
  virtual bool DirectSoundAvailable() { return false; }
  virtual void Mute() {}
  virtual void Unmute() {}
  // The repeat handling of a held key: the event is noted as the last special event.
  virtual void SetLastSpecialEvent(int32_t /*event*/) {}

  // --- Typing popups (editing engine's clip-name popup, word completion) ---
  virtual bool ClipNamePopupShown() { return false; }
  virtual bool WordCompletionPopupShown() { return false; }
  // Enter on a shown popup: its choice is taken (deleting the typed name and inserting the clip,
  // or replacing the typed prefix by the chosen word).
  virtual void AcceptClipNamePopup(TDoc& /*doc*/) {}
  virtual void AcceptWordCompletion(TDoc& /*doc*/) {}
  // The navigation keys move the popup's highlighted entry; true when a popup took the key.
  virtual bool MovePopupHighlight(uint8_t /*key*/) { return false; }
  // Escape on the clip-name popup: the typed name is deleted and the popup hidden.
  virtual void CancelClipNamePopup(TDoc& /*doc*/) {}
  virtual void HideWordCompletionPopup() {}
  // After a typed character: the clip-name popup follows the text before the caret, and word
  // completion its word (hide: the popup is to be hidden instead of shown).
  virtual void UpdateTypingPopups(TDoc& /*doc*/, bool /*hide*/) {}

  // --- Proofing tools ---
  // AutoCorrect runs after a typed separator.
  virtual bool AutoCorrectAsYouType() { return false; }
  // The character before the caret ends a word that a current spelling mark calls misspelt.
  virtual bool MisspelledBeforeCaret(TDoc& /*doc*/) { return false; }
  // Restarts the background spelling check around the caret (mode 1) or at it (mode 0).
  virtual void RescheduleSpellcheck(TDoc& /*doc*/, int32_t /*mode*/) {}
  // Checks the pending range of the last edit; true when that ended a pending re-check that
  // covered the caret's line.
  virtual bool RecheckPendingSpelling(TDoc& /*doc*/) { return false; }
  virtual bool SpellcheckRecheckPending(TDoc& /*doc*/) { return false; }
  // Leaving a word that waits until typing ends rechecks it.
  virtual void CaretLeftWord(TDoc& /*doc*/) {}
  // An edit changed the document: the background spelling check starts again from the top of
  // the current story.
  virtual void RestartSpellcheck(TDoc& /*doc*/) {}

  // --- Control board, instances of the selected text ---
  // The search for the instances of the selected text is complete (Enter may select them).
  virtual bool InstancesSearchComplete(TDoc& /*doc*/) { return false; }
  virtual void SelectInstances(TDoc& /*doc*/) {}
  // The search for instances starts again after the selection moved.
  virtual void RestartInstancesSearch(TDoc& /*doc*/) {}
  // A hover preview of the side pane ends.
  virtual void EndHoverPreview(TDoc& /*doc*/) {}
  // The find tool's scope of the document goes back to the whole document.
  virtual void ResetFindScope(TDoc& /*doc*/) {}

  // --- Mouse (shell, command bars, sounds) ---
  // The command bars close their overflow menus.
  virtual void CloseOverflowMenus() {}
  // The format pick adds the format to the format palette.
  virtual void AddFormatToPalette(const TCharFormat& /*format*/) {}
  // The sound settings switched the event off.
  virtual bool IsEventDisabled(int32_t /*event*/) { return false; }
  // The status bar's message (kind 0 and no text clears it).
  virtual void SetStatusMessage(int32_t /*kind*/, const std::u16string& /*text*/) {}
  // The status bar's progress display of a long job of the window's document (undoing or
  // redoing a large operation): its text and range, the position reached, the end.
  virtual void BeginProgress(const std::string& /*text*/, int32_t /*range*/) {}
  virtual void SetProgressPosition(int32_t /*position*/) {}
  virtual void EndProgress() {}
  // The symbol dialog, prepared with the font and the character code selected in its map.
  virtual void ShowSymbolDialog(const std::string& /*font*/, int32_t /*code*/) {}

  // --- Spelling context menu (proofing tools, menus) ---
  // Checks the word at the caret; false when nothing was checked (without the proofing tools
  // no word is ever misspelt).
  virtual bool CheckWordAtCaret(TDoc& /*doc*/, TSpellingWord& /*word*/) { return false; }
  // The items of the spelling popup: replace the word by suggestion n, add an AutoCorrect entry
  // for it, give the word a language, add it to user dictionary n, edit user dictionary n.
  virtual void ReplaceWithSuggestion(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void AddAutoCorrectEntry(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void SetWordLanguage(TDoc& /*doc*/, int32_t /*language*/) {}
  virtual void AddToUserDictionary(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void EditUserDictionary(int32_t /*index*/) {}
  // The main window's cached context popup of that resource name ("FIELD", "HLINK" ...); null
  // when there is none.
  virtual plat::PopupMenu* ContextPopup(const std::string& /*name*/) { return nullptr; }
  // The command manager sets the items' enabled and checked states.
  virtual void UpdateMenuState(plat::Menu& menu);
  // The main window takes the spelling popup (freeing the previous one), notes whether it shows
  // suggestions and shows it at the screen point, keeping clear of the band.
  virtual void ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at,
                                 const plat::Rect& exclude, bool suggestions);
  // The right edge of the screen's work area.
  virtual int32_t WorkAreaRight();

  // --- Input method ---
  // The result string of the window's input-method composition; false when the system has no
  // input-method functions (its characters then arrive as character messages).
  virtual bool ImeResultString(std::u16string& /*text*/) { return false; }

 private:
  plat::Point cascade_;
  std::unique_ptr<plat::PopupMenu> spellingPopup_;
};

void RegisterDocWindowServices(std::unique_ptr<TDocWindowServices> services);
TDocWindowServices& DocWindowServices();

}  // namespace qv
