#pragma once
// What the interface toolkit asks of the hot-key manager and the toolbar manager, which live in a
// higher subsystem. The toolkit calls the registered service; until the hot-key manager registers
// itself, the default service binds no key and so takes none.
#include <cstdint>
#include <memory>

namespace qv {

class THotKeyService {
 public:
  virtual ~THotKeyService() = default;
  // A key-down (virtual key, key data): offered to the key tables; 1 when a bound key ran its
  // action, else 0.
  virtual intptr_t CNKeyDown(uint8_t key, intptr_t keyData) { return 0; }
  // A system key-down (Alt held); result is in-out: left at 1 for Shift, Ctrl and Alt alone and
  // while an Alt+keypad character code is being collected, else 1 when a bound key acted, else 0.
  virtual void WMSysKeyDown(uint8_t key, intptr_t keyData, intptr_t& result) { result = 0; }
  // A system character; result is in-out (unchanged while a hexadecimal code entry runs).
  virtual void WMSysChar(char16_t ch, intptr_t keyData, intptr_t& result) { result = 0; }
  // A system key-up; result 1 when the manager took it (the release of Alt ending a character
  // code entry, which inserts the character; other releases during the entry).
  virtual void WMSysKeyUp(uint8_t key, intptr_t keyData, intptr_t& result) { result = 0; }
  // The last system key was Alt with a numeric-keypad key (its character is not typed); cleared
  // by the reader after each character.
  virtual bool AltKeypadKey() { return false; }
  virtual void ClearAltKeypadKey() {}
  // A hexadecimal character code is being entered (Alt+X and its digits).
  virtual bool HexCodeEntry() { return false; }
  // True when the code (shift byte, key shifted left by 8) starts a two-key chord.
  virtual bool IsChordPrefix(int32_t code) { return false; }
};

// Registers the hot-key manager (null restores the default).
void RegisterHotKeyService(std::unique_ptr<THotKeyService> service);
THotKeyService& HotKeyService();

// True while the Customize Toolbars dialog is open; the application object then translates no
// document-frame accelerators.
extern bool ToolbarCustomizing;

}  // namespace qv
