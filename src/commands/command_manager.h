#pragma once
// The command manager: the one object through which every menu item, command-bar button, hot key
// and many dialogs act. It runs a command by its id through the handler of the id's range, asks
// first whether the command can run (and keeps the reason when not), and knows each command's
// name and hints (command_names.cpp).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "foundation/base/memory.h"
#include "foundation/base/string_list.h"
#include "platform/controls/menu.h"

namespace plat {
class Control;
}  // namespace plat

namespace qv {

class TCommandManager;
class TDoc;

// The argument of the parameterised commands whose value is a text (a style or font name) or a
// 32-bit value (a size in half points, a colour).
struct TVarCommand_Param {
  std::string Text;
  int32_t Value = 0;
};

// The caption of a parameterised command by its kind: 0 "Font (%s)" with the text, 1 "Font size
// (%s pt)" with the value in half points, 2 "Font color (%s)" and 3 "Highlight color (%s)" with
// the colour's name ("Auto" and "(None)" for the automatic colour).
std::string GetVarCommandCaption(int32_t kind, const TVarCommand_Param& param);

// Removes needless separators among the item's children: one with only markers above it or only
// invisible markers below it, or one whose nearest non-marker item above is a separator.
void TidyMenuSeparators(plat::MenuItem& item);
// The accelerator letter of a caption: the upper-case character after its first single "&"; 0
// when there is none.
char16_t AccelCharOf(const std::u16string& caption);
// Gives the item a letter none of its siblings uses when its own clashes with one of theirs.
void AssignMenuAccelerator(plat::MenuItem& item);

// The handler of one range of command ids, with the enable rules of that range. The handlers of
// the ranges register themselves with the manager; a range without one runs nothing and needs
// only a document.
class TCommandHandler {
 public:
  virtual ~TCommandHandler() = default;
  // Runs a plain command of the range.
  virtual void Execute(TCommandManager& /*manager*/, int32_t /*id*/) {}
  // Runs a parameterised command of the sub-range; the argument belongs to the caller and is
  // only read during the call (its type depends on the id).
  virtual void ExecuteWithParam(TCommandManager& /*manager*/, int32_t /*id*/,
                                const void* /*argument*/) {}
  // Whether the command can run now; a refusal stores its disabled-reason code in `reason`
  // (left 0: "there is no active document"). The default asks for a target document.
  virtual bool IsEnabled(TCommandManager& manager, int32_t id, uint8_t& reason);
};

class TCommandManager {
 public:
  // Manager flags.
  static constexpr uint32_t cmClipboardChanged = 0x01;    // the clipboard is to be examined
  static constexpr uint32_t cmPasteFromDrop = 0x02;
  static constexpr uint32_t cmBrowsing = 0x04;            // browse commands 4225 and 4226
  static constexpr uint32_t cmCopyingClip = 0x08;
  static constexpr uint32_t cmSpellcheckFromPopup = 0x10;
  static constexpr uint32_t cmFavouritesStale = 0x20;
  static constexpr uint32_t cmRecentStale = 0x40;
  static constexpr uint32_t cmWindowsStale = 0x80;
  static constexpr uint32_t cmFromPopupMenu = 0x100;
  static constexpr uint32_t cmGalleryFromToolbar = 0x200;
  static constexpr uint32_t cmWritingClipboard = 0x1000;
  static constexpr uint32_t cmSavingClip = 0x2000;
  static constexpr uint32_t cmCancellableJob = 0x4000;
  static constexpr uint32_t cmCancelRequested = 0x8000;
  static constexpr uint32_t cmBrushFromPalette = 0x10000;
  static constexpr uint32_t cmStyleToolStale = 0x80000;
  static constexpr uint32_t kInitialFlags =
      cmClipboardChanged | cmFavouritesStale | cmRecentStale | cmWindowsStale;

  // The clipboard's table selection kind when its data is no table selection.
  static constexpr uint8_t kNoTableSelection = 255;
  // Depths 0 to 10 of nested IsEnabled questions keep their own reason.
  static constexpr int32_t kReasonDepths = 11;

  TCommandManager();
  TCommandManager(const TCommandManager&) = delete;
  TCommandManager& operator=(const TCommandManager&) = delete;

  // ---- Running commands
  // Runs a command: hides the typing popups, ends the target's hover preview, asks IsEnabled and,
  // when allowed, runs the handler of the id's range. A refused command or an id outside every
  // range does nothing, without a message. Re-entrant: a handler may run other commands.
  void Execute(int32_t id);
  // The same for a parameterised command (200000-217999) with its argument.
  void ExecuteWithParam(int32_t id, const void* argument);
  // Whether a command can run now; when not, the reason code is kept for its depth of nesting
  // (GetDisabledReasonText reads the outermost).
  bool IsEnabled(int32_t id);
  // WM_CUT, WM_COPY, WM_PASTE and WM_CLEAR run Cut, Copy, Paste and Delete and set the result to
  // 1; true when the message was one of them, other messages are left alone.
  bool HandleClipboardMessage(uint32_t msg, intptr_t& result);

  // Registers the handler of a range of plain commands (null removes it).
  void SetHandler(CommandRange range, std::unique_ptr<TCommandHandler> handler);
  // Registers the handler of a sub-range (0 to 5) of the parameterised commands.
  void SetParamHandler(size_t subRange, std::unique_ptr<TCommandHandler> handler);

  // The state a menu check mark or a pressed button shows for a command: 0 off, 1 on, 2 mixed
  // (the selection holds both). Any id is accepted; ids without a state, and rows that need a
  // document when there is none, answer 0 (check_state.cpp).
  uint8_t GetCheckState(int32_t id);

  // ---- Menus (menus.cpp)
  // Once after a menu is loaded: the click handler, the caption cut at its tab and followed by
  // the command's shortcut (not for the window items 90105-90113), the owner-drawn images.
  void UpdateMenuCaptions(plat::Menu& menu);
  // On every interface update and before a popup opens: each item's enabled, checked, default
  // and visible state and its computed caption; then accelerator letters that do not clash
  // among the top-level items.
  void UpdateMenuState(plat::Menu& menu);
  // The click of a command item: runs its command, with the popup flag set for an item of a
  // popup menu.
  void MenuItemClick(plat::MenuItem& sender);
  // The click of a command-bar or document-bar button (its Tag the command); while toolbars are
  // customised, a bar being customised is noted first.
  void MenuItemClick(plat::Control& sender);
  // While toolbars are customised: remembers the Tag of the command bar that holds the control
  // (the control itself when it is a bar) for the customising dialog.
  void NoteCustomizedBar(plat::Control& control);
  // The run-time lists of the main menu, each rebuilt only when its stale bit is set.
  void RebuildFavoritesMenu(plat::Menu& menu);
  void RebuildRecentDocsMenu(plat::Menu& menu);
  void RebuildWindowListMenu(plat::Menu& menu);
  // Handlers of the run-time items: a favourite (Tag minus its index) and a recent document.
  void OpenFavoriteClick(plat::MenuItem& sender);
  void OpenRecentDocClick(plat::MenuItem& sender);
  // The spelling popup menus of the document window: the Tag numbers the user dictionary, or is
  // minus the suggestion's index plus one.
  void AddWordToDictionaryClick(plat::MenuItem& sender);
  void EditDictionaryClick(plat::MenuItem& sender);
  void ReplaceWithSuggestionClick(plat::MenuItem& sender);
  void AddToAutoCorrectClick(plat::MenuItem& sender);
  // A language menu item (Tag minus the language id) formats the selection in that language.
  void SetLanguageClick(plat::MenuItem& sender);
  // Goes to the bookmark at the index of the active document's bookmark list.
  void GoToBookmarkByIndex(int32_t index);

  // The reason code recorded at a depth (0 the outermost question).
  uint8_t DisabledReason(int32_t depth = 0) const;

  // ---- Names and hints (command_names.cpp)
  // Loads the name and hint resources on first use; later calls do nothing.
  void LoadHintResources();
  // A command's name; with `withShortcut` followed by its key as "%s (%s)", with `withCategory`
  // by "(Category: ...)" of the first category listing it; "Unknown command" for an id without a
  // name unless `noFallback` is set (then empty).
  std::string GetCommandName(int32_t id, bool withShortcut = false, bool withCategory = false,
                             bool noFallback = false);
  // The text of the first key bound to the id (after the shortcut twins); empty when none.
  std::string GetShortcutText(int32_t id);
  // The long hint in the rich hint viewer's markup, and the help id of its topic (0 when none).
  std::string GetExtHint(int32_t id, int32_t& helpId);
  // The text of the reason recorded by the last outermost IsEnabled.
  std::string GetDisabledReasonText();
  // Appends to the list, for every category whose bit is set in the mask, every id of its list
  // that the list does not hold yet, as (name, id).
  void FillCategoryList(TStringList& list, uint32_t categoryMask);
  // The caption of a clipboard command: "&Delete", "&Copy", "C&ut", the paste variants.
  static std::string GetClipboardCommandCaption(int32_t id);
  // Which paste command the Paste item stands for now (3360, 3381, 3382 or 3383).
  int32_t GetPasteVariant();

  // ---- State
  uint32_t Flags = kInitialFlags;
  uint8_t ClipboardHasData = 0;
  uint8_t ClipboardTableKind = kNoTableSelection;
  TStringList FavouriteShortcuts;
  // The Tag of the command bar last clicked while toolbars are customised.
  int32_t CustomizedBarTag = 0;
  // Set by the delete road when deleting the selection joins two tables; the Delete handler
  // reads it for the command run under way.
  bool TableJoin = false;

 private:
  TCommandHandler* HandlerOf(int32_t id);
  bool AskRules(int32_t id, uint8_t& reason);
  std::string NameOf(int32_t id);

  TMemory hints_;     // the image of the command names
  TMemory extHints_;  // the image of the long hints
  bool hintsLoaded_ = false;
  std::array<uint8_t, kReasonDepths> reasons_{};
  std::array<std::unique_ptr<TCommandHandler>, kCommandRangeCount> handlers_;
  std::array<std::unique_ptr<TCommandHandler>, kParamRangeCount> paramHandlers_;
};

// The names of a document's bookmarks as its bookmark lists show them (by name or by location,
// as the option says).
std::vector<std::u16string> BookmarkListNames(TDoc& doc);

// The program's command manager, made on first use (before any window exists at start-up).
TCommandManager& GetCommandManager();
// Frees it at shutdown (a later GetCommandManager makes a new one).
void FreeCommandManager();

// ---- The command target document
// The explicit target when one is set, else the active document; null when there is none.
TDoc* GetCommandTargetDoc();
// Pushes the current explicit target and makes the document (or none) the explicit target.
void SetCommandTargetDoc(TDoc* doc);
// Pops the previous explicit target. Calls pair with SetCommandTargetDoc and nest.
void RestoreCommandTargetDoc();

// Sets the command target for a scope and restores it on every road out, also an exception.
class TCommandTargetScope {
 public:
  explicit TCommandTargetScope(TDoc* doc) { SetCommandTargetDoc(doc); }
  ~TCommandTargetScope() { RestoreCommandTargetDoc(); }
  TCommandTargetScope(const TCommandTargetScope&) = delete;
  TCommandTargetScope& operator=(const TCommandTargetScope&) = delete;
};

// The system tick (milliseconds, top bit cleared) when the last command run ended; background
// pagination waits until enough time has passed since it.
uint32_t LastCommandTick();

// The depth of the IsEnabled question running now: -1 at rest, 0 for the outermost.
int32_t EnabledDepth();

// Makes the command manager and registers it as the interface toolkit's command service (at
// start-up); the undoing puts the toolkit's stand-in back and frees the manager (at shutdown).
void RegisterCommandServices();
void UnregisterCommandServices();

}  // namespace qv
