#pragma once
// What the shell asks of the command bars, the document bar and the hot-key manager, which live
// above it. The stand-in has no bars, binds no key and runs no wizard; the command bars register
// the real service at start-up.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TDoc;

// The hot-key manager's settings as the start-up reads them from the store: the override block,
// the texts of its four chord lists and of its symbol list (line breaks between entries).
struct THotKeySettings {
  std::vector<uint8_t> Overrides;
  std::array<std::string, 4> ChordLists;
  std::string SymbolList;
};

class TCommandBarServices {
 public:
  virtual ~TCommandBarServices() = default;

  // ---- Start-up and shutdown
  virtual void SetHotKeySettings(const THotKeySettings& /*settings*/) {}
  virtual void CreateToolbarManager() {}
  // The toolbar's drop-down menus, owned by the main window (made after it).
  virtual void CreateToolbarPopupMenus() {}
  // Button sizes and images from the current toolbar settings (after the options are loaded).
  virtual void ApplyToolbarMetrics() {}
  virtual void FreeToolbarManager() {}

  // ---- System-wide hot keys: the first key of each command, while the program is active
  virtual void RegisterGlobalHotKeys(const std::vector<int32_t>& /*commands*/) {}
  virtual void UnregisterGlobalHotKeys() {}
  // Forgets the first key of a two-key chord typed before the program lost the activation.
  virtual void ClearPendingChord() {}

  // ---- The interface update and idle work
  // The command bar band, its context bars and the document bar follow the active document.
  virtual void RefreshBars(TDoc* /*activeDoc*/) {}
  // The document bar's idle step and the customising dialog's.
  virtual void IdleStep() {}
  // The document whose document-bar button the mouse rests on during a drag; null for none.
  virtual TDoc* HoveredDocument() { return nullptr; }
  // The bars repaint with the final state once the start-up is done.
  virtual void InvalidateBars() {}
  // The first-run personalisation wizard.
  virtual void RunPersonalizeWizard(bool /*firstRun*/) {}
  // While toolbars are customised no window closes and no control board shows.
  virtual bool Customizing() { return false; }
  // The documents selected on the document bar, in its order (the status bar sums their
  // statistics).
  virtual std::vector<TDoc*> DocBarSelection() { return {}; }
  // The toolbar's language drop-down for the typing language, at a screen point.
  virtual void DropLanguageMenu(int32_t /*screenX*/, int32_t /*screenY*/) {}
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterCommandBarServices(std::unique_ptr<TCommandBarServices> services);
TCommandBarServices& CommandBarServices();

}  // namespace qv
