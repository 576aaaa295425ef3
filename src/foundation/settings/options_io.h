#pragma once
// Loading every option from a settings store into the options record, and writing them back.
// The options holder calls LoadAllOptions from its LoadOptions and SaveAllOptions from its
// SaveOptions. Nothing here raises on a missing or malformed stored value: each key falls back
// to its default by its own rule.
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/settings/options.h"

namespace qv {

class TSettingsStorage;

// The root key of every section.
inline constexpr const char* kOptionsKeyPrefix = "\\Software\\Quorvane Word Processor\\";

// The version number written as "LastRunVer".
inline constexpr int32_t kProgramVersion = 40101000;

// Facts about the running program and machine that option defaults and rules depend on. The
// holder fills it at start-up; tests set it freely.
struct TOptionsContext {
  std::string DataFolder;        // the documents folder, with a trailing separator
  std::string TemplatesFolder;   // folder of document templates, with a trailing separator
  std::string CurrentFolder;     // the current directory at exit, written as "InitDir"
  bool CurrentFolderRemovable = false;  // it lies on a removable drive
  int32_t ScreenWidth = 1920;
  int32_t ScreenHeight = 1080;
  int32_t VertDpi = 96;
  int32_t InterfaceScale = 13;   // pixel height of the interface font
  std::string UserName;
  bool USMeasurement = false;    // the user locale measures in U.S. units
  int32_t TodayDayIndex = 0;     // year * 365 + month * 31 + day
  int32_t RtfClipboardFormat = 0;
  bool Portable = false;
  std::string ProgramDrive;      // path prefix of the program's drive (portable copies)
  // Command-line switches that change loading or saving.
  bool SwitchRestored = false;
  bool SwitchMaximized = false;
  bool StartedToPrint = false;   // "PrintTo" / "Print": the main window is never shown
  bool SwitchShutDown = false;
  // Set while writing to an ini file (holder flag bit 2).
  bool ToIniFile = false;
};

// A context for this machine: the documents folder and drive facts of the stored paths, today's
// date, the login name, the locale's measurement system, the command-line switches, and the
// screen size once the window system runs (until then 1920 by 1080 at 96 dots per inch).
TOptionsContext MakeDefaultOptionsContext();

// Today's day index: year * 365 + month * 31 + day.
int32_t TodayDayIndex();

// Settings that other subsystems keep for themselves in the same store, and live state that is
// copied into the record just before saving. The default does nothing; higher subsystems
// register the real one with RegisterOptionsServices.
class TOptionsServices {
 public:
  virtual ~TOptionsServices() = default;
  // Copies live state (window placement, histories, dialog values, the dispatcher's lists and
  // documents to reopen) into the record before it is written.
  virtual void CollectLiveState(TOptions& options) {}
  // Whether the insert-symbol dialog exists (its keys are written only then).
  virtual bool SymbolDialogExists() { return false; }
  // Toolbar layouts ("Toolbars", "ToolbarsClassic"), read during the "Internal" step.
  virtual void ReadToolbarLayouts(TSettingsStorage& storage) {}
  virtual void WriteToolbarLayouts(TSettingsStorage& storage) {}
  // Hot keys and the language manager's settings, written after "FavSymbols". The default
  // writes the language manager's recent languages.
  virtual void WriteHotKeysAndLanguages(TSettingsStorage& storage);
  // The autocorrect manager's own settings, written after "Autocorrect".
  virtual void WriteAutocorrectSettings(TSettingsStorage& storage) {}
  // The list gallery document as RTF when it exists; false when there is none.
  virtual bool ListGalleryRtf(std::string& rtf) { return false; }
  // The "ListGallery" text of the program's own store (copied to an ini target).
  virtual bool OwnStoreListGallery(std::string& text) { return false; }
  // The built-in text of a language's third overused-words list.
  virtual std::string OverusedBuiltInText(int32_t lang) { return {}; }
  // Hyphenation, sound and format-palette settings, written last.
  virtual void WriteTrailingSettings(TSettingsStorage& storage) {}
};

// Registers the services (null restores the default); the registered ones, never null.
void RegisterOptionsServices(std::unique_ptr<TOptionsServices> services);
TOptionsServices& OptionsServices();

// Reads every option, in the fixed section order, into a record and the holder's own values.
// The record and holder values are reset to their defaults first.
void LoadAllOptions(TSettingsStorage& storage, const TOptionsContext& context, TOptions& options,
                    THolderSettings& holder);

// Writes every option, in the fixed section order, into the store (whose key prefix is set to
// the root). Live state is collected through the services first.
void SaveAllOptions(TSettingsStorage& storage, const TOptionsContext& context, TOptions& options,
                    const THolderSettings& holder);

// The record as it stands with an empty store (every default of the key tables).
void DefaultOptions(const TOptionsContext& context, TOptions& options, THolderSettings& holder);

}  // namespace qv
