#pragma once
// TOptionsHolder: owner of the settings store and of the program-wide options record.
//
// At start-up the shell asks GetStorage for the store (chosen once, by command-line switch and
// portable mode), later LoadOptions reads every option from it; at exit Save writes them to a fresh
// store of the chosen kind (an ini file is rewritten whole). Dialogs edit a copy of Options and hand
// it back, then call ApplyOptions.
//
// What the holder needs from the rest of the program (the command line, folders, the message box,
// the windows it refreshes) comes through TOptionsHolderSite; the default site does the least the
// holder needs, and the shell registers the real one at start-up.
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/system/command_line.h"
#include "foundation/settings/options.h"
#include "foundation/settings/options_io.h"
#include "foundation/settings/settings_storage.h"

namespace qv {

// The name of the portable settings file.
inline constexpr const char* kPortableIniName = "Quorvane.ini";

class TOptionsHolderSite {
 public:
  virtual ~TOptionsHolderSite() = default;
  // The program's command line by switch index (command_line.h; default: the recorded command line).
  virtual bool IsSwitchPresent(int32_t index);
  virtual std::string GetSwitchValue(int32_t index, const std::string& defaultValue);
  // Portable mode and the documents folder (with a trailing "/").
  virtual bool PortableMode();
  virtual std::string DocumentsFolder();
  // The file of the user's settings hive (the registry stand-in).
  virtual std::string RegistryHivePath();
  // The facts the option tables depend on (screen, user, today ...).
  virtual TOptionsContext OptionsContext();
  // Shows an error in the message box (default: standard error).
  virtual void ShowError(const std::string& message);
  // The active document's split orientation: -1 when there is no split document window, else
  // 0 (one orientation) or 1 (the other; stored as View flag 0x1000).
  virtual int32_t ActiveSplitOrientation() { return -1; }
  // Copies a view-settings record into the current view state and switches the mouse mode.
  virtual void ApplyViewSettings(const TViewSettings& view) {}
  // After the options dialog: repaint windows, trim the clipboard and find histories, refresh
  // the interface, control boards, command bars and spellchecking.
  virtual void OptionsApplied(const TOptions& options) {}
};

class TOptionsHolder {
 public:
  static constexpr uint8_t flSaving = 1;
  static constexpr uint8_t flWritingIni = 2;

  // `site` null: the default site. The holder does not own the site.
  explicit TOptionsHolder(TOptionsHolderSite* site = nullptr);
  ~TOptionsHolder();
  TOptionsHolder(const TOptionsHolder&) = delete;
  TOptionsHolder& operator=(const TOptionsHolder&) = delete;

  uint8_t Flags = 0;
  TOptions Options;
  // "BackupFolder", the print-preview zoom and the two view-settings records.
  THolderSettings Settings;

  // The store, chosen on the first call; its key prefix is reset to the root on every call.
  TSettingsStorage& GetStorage();
  // The kind chosen: 0 none yet, 1 nothing is loaded (defaults), 2 ini file, 3 user hive.
  int32_t StorageKind() const { return storageKind_; }

  // Reads every option from the store.
  void LoadOptions();
  // Saves at exit to the target the switches (or portable mode) name. False when nothing could be
  // written; the error has then been shown.
  bool Save();
  // Writes all options through a fresh user-hive store; raises EFCreateError when it cannot.
  void SaveToRegistry(TOptions& options);
  // Writes all options to a fresh ini file (the whole file); raises EFCreateError when it cannot.
  void SaveToIniFile(TOptions& options, const std::string& fileName);
  // Writes all options to a store.
  void SaveOptions(TOptions& options, TSettingsStorage& storage);

  // Keeps the active document's split orientation in View flag 0x1000.
  void RememberSplitOrientation();
  void ApplyViewFlags(const TViewSettings& view);
  // Takes an edited copy of the options (or the current ones when null) and applies it.
  void ApplyOptions(const TOptions* edited = nullptr);

  // A name without a folder part is taken in the documents folder.
  std::string ResolveSettingsFileName(const std::string& name);
  // The settings file named by "SettingsFileName" or "Quorvane.ini", resolved.
  std::string SettingsFileName();
  std::string GetFileDialogFolder();
  std::string GetDefaultTableFileName();
  // 0 top, 1 left, 2 right; always 0 for toolbar style 1.
  int32_t GetToolbarAlign() const;
  void NormalizeControlBoardTabs();
  bool IsControlBoardTabShown(int32_t tab) const;

  TOptionsHolderSite& Site() { return *site_; }
  // null: the default site.
  void SetSite(TOptionsHolderSite* site);

 private:
  std::unique_ptr<TSettingsStorage> storage_;
  int32_t storageKind_ = 0;
  TOptionsHolderSite* site_;
  void ChooseStorage();
};

// The program-wide holder (made on first use) and its options record.
TOptionsHolder& GetOptionsHolder();
TOptions& GetOptions();
// The site of the program-wide holder: registered by the start-up (null restores the default
// site); the registered one, never null.
void RegisterOptionsHolderSite(std::unique_ptr<TOptionsHolderSite> site);
TOptionsHolderSite& OptionsHolderSite();
// Frees the program-wide holder with its store (at shutdown).
void FreeOptionsHolder();

// Control-board tabs 0..10 and the stable ids they are stored by; an unknown id gives tab 0.
int32_t ControlBoardTabToId(int32_t tab);
int32_t ControlBoardIdToTab(int32_t id);
// Normalises the control-board tab state of a view-options group (see NormalizeControlBoardTabs).
void NormalizeControlBoardTabs(TViewOptions& view);
bool IsControlBoardTabShown(const TViewOptions& view, int32_t tab);

// The suffix of the main window's placement keys: "_<width>x<height>" of the screen.
std::string WindowPlacementSuffix(int32_t screenWidth, int32_t screenHeight);

}  // namespace qv
