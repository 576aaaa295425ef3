#pragma once
// The hot-key manager: the one keeper of the program's key bindings (the default table, the
// user's changes to command keys, the keys bound to fonts, sizes and colours, and the symbol keys)
// and the keyboard road that turns a pressed key into the action bound to it.
//
// The user's command keys are override records in a byte block, little-endian: command id, count
// n, n key codes; the block ends with a 4-byte zero. A record with no keys hides the defaults.
// The newest record comes first. Keyed-list entries read "value TAB key"; symbol entries read
// "font TAB code TAB key" (all numbers in decimal).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class THotKeyManager {
 public:
  THotKeyManager();

  // ---- Bindings
  // The command's current keys: those of its override record when it has one, else its defaults.
  std::vector<uint32_t> GetCommandKeys(int32_t command) const;
  std::vector<uint32_t> GetDefaultKeys(int32_t command) const;
  // The command bound to the key; -1 when none.
  int32_t FindCommand(uint32_t key) const;
  void SetCommandKeys(int32_t command, const std::vector<uint32_t>& keys);
  void AddCommandKey(int32_t command, uint32_t key);
  void RemoveCommandKey(int32_t command, uint32_t key);
  void DeleteOverride(int32_t command);
  bool IsChordPrefix(uint32_t key) const;
  // The keyed lists (0 fonts, 1 sizes in half-points, 2 font colours, 3 highlight colours):
  // searching lists 0 to 3, each from its last entry, for the key; the entry index and its list
  // and value (the text for list 0), or -1.
  int32_t FindListEntryByKey(uint32_t key, int32_t& list, std::string& text, int32_t& value) const;
  // The symbol bound to the key, searched from the last entry; an entry that does not parse is
  // deleted on the way. The entry index, or -1.
  int32_t FindSymbolByKey(uint32_t key, int32_t& code, std::string& font);

  // ---- The keyboard road
  // A key-down with its shift state (1 Shift, 2 Alt, 4 Ctrl): builds the key code (two-key
  // chords included) and dispatches it; true when the key was consumed.
  bool KeyEvent(uint8_t shift, uint8_t key);
  // Runs the binding of a complete key code; true when the key was consumed.
  bool Dispatch(uint32_t key);
  // The system keys (Alt held, F10): Alt hot keys and the entry of a character by its code (Alt
  // with keypad digits, or Alt+X and hexadecimal digits, inserted when Alt is released).
  // Each returns the message result (1 when handled).
  intptr_t WMSysKeyDown(uint8_t key);
  intptr_t WMSysKeyUp(uint8_t key);
  intptr_t WMSysChar(char16_t ch);

  std::vector<uint8_t> Overrides;  // the override block
  std::array<std::vector<std::string>, 4> KeyedLists;
  std::vector<std::string> SymbolKeys;
  uint32_t CurrentKey = 0;  // the key code being assembled; 0 between keys
  static constexpr uint8_t hfKeyConsumed = 1, hfDispatching = 2;
  uint8_t Flags = 0;
  bool AltKeypadKey = false;  // the last system key was an Alt+keypad key
  bool CodeEntryActive = false;
  std::string CodeEntryText;

 private:
  // The offset of the command's override record, or -1.
  int32_t FindOverride(int32_t command) const;
  bool DispatchToDocument(uint32_t key);
  void RunCommand(int32_t command);

  std::vector<uint32_t> defaultKeys_;
  std::vector<int32_t> defaultCommands_;
};

THotKeyManager& GetHotKeyManager();
// A new manager with the defaults alone (at start-up).
void ResetHotKeyManager();

// Whether a key may not be given to a command by the user (caret keys and Escape without Alt,
// Alt+F4, Alt+Space, Ctrl+F4, Ctrl+F6, Shift+F10; a chord's second key counts as its key).
bool IsReservedHotKey(uint32_t key);

// The text of a key code ("Ctrl+B"; a chord as "Ctrl+K, Y").
std::string HotKeyToText(uint32_t key);

// Puts the manager into the toolkit's hot-key slot, and the command environment that names each
// command's first key (over the shell's) into its slot.
void RegisterHotKeyManager();
void RegisterHotKeyCommandEnvironment();

}  // namespace qv
