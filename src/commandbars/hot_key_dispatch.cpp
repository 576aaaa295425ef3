// The keyboard road of the hot-key manager: a pressed key becomes a key code (a chord prefix
// waits for its second key), and the code runs its command, or else, in the active document, a
// style, a symbol or a font or size bound to it. Alt with keypad digits, or Alt+X with
// hexadecimal digits, enters a character by its code, inserted when Alt is released.
#include <memory>
#include <string>

#include "commandbars/hot_key_manager.h"
#include "commandbars/hot_key_table.h"
#include "commands/command_manager.h"
#include "document/doc.h"
#include "document/styles.h"
#include "docwindow/char_by_code.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_form_link.h"
#include "editing/edit_codes.h"
#include "files/crypt/encryption_manager.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"

namespace qv {

namespace {

constexpr int32_t kCmdFullScreen = 7000;
constexpr int32_t kCmdFontName = 212100;
constexpr int32_t kCmdFontSize = 212200;
// Commands whose key is taken silently while they cannot run (Close, Save, Save All, Undo, Redo
// and the browse buttons).
constexpr int32_t kQuietCommands[] = {140, 180, 220, 3840, 3860, 4225, 4226};
constexpr uint8_t kOptionalMsgUnavailable = 52;

bool IsModifier(uint8_t key) {
  return key == plat::VK_SHIFT || key == plat::VK_CONTROL || key == plat::VK_MENU;
}
bool IsKeypadDigit(uint8_t key) { return key >= plat::VK_NUMPAD0 && key <= plat::VK_NUMPAD0 + 9; }
bool NumLockOn() { return (plat::GetKeyState(plat::VK_NUMLOCK) & 1) != 0; }

// The active document when its window takes input now.
TDoc* DocumentTakingInput() {
  TDoc* doc = GetActiveDoc();
  if (doc == nullptr) return nullptr;
  auto* link = dynamic_cast<TDocFormLink*>(doc->EditorWindow.get());
  if (link == nullptr || link->Form() == nullptr || !link->Form()->IsReady()) return nullptr;
  return doc;
}

}  // namespace

bool THotKeyManager::KeyEvent(uint8_t shift, uint8_t key) {
  if (IsModifier(key)) return false;
  // AltGr characters are never hot keys.
  if ((plat::GetKeyState(plat::VK_RMENU) & 0x8000) != 0) return false;
  if (key == plat::VK_CLEAR && shift != hkAlt) key = plat::VK_NUMPAD0 + 5;
  if (IsChordPrefix(CurrentKey))
    CurrentKey |= uint32_t(key) << 16;
  else
    CurrentKey = MakeHotKey(shift, key);
  const bool consumed = Dispatch(CurrentKey);
  if (!IsChordPrefix(CurrentKey)) CurrentKey = 0;
  return consumed;
}

bool THotKeyManager::Dispatch(uint32_t key) {
  Flags |= hfDispatching;
  bool consumed = true;
  const int32_t command = FindCommand(key);
  if (command >= 0) {
    Flags |= hfKeyConsumed;
    RunCommand(command);
  } else {
    consumed = DispatchToDocument(key);
  }
  Flags &= ~hfDispatching;
  return consumed;
}

void THotKeyManager::RunCommand(int32_t command) {
  TCommandManager& manager = GetCommandManager();
  if (manager.IsEnabled(command)) {
    manager.Execute(command);
    return;
  }
  // The chord prefixes' command does nothing.
  if (command == 0) return;
  for (int32_t quiet : kQuietCommands)
    if (command == quiet) return;
  const std::string name = manager.GetCommandName(command);
  const std::string reason = manager.GetDisabledReasonText();
  const std::string text =
      name.empty() ? "This command is currently unavailable because " + reason + "."
                   : "The \"" + name + "\" command is currently unavailable because " + reason + ".";
  ShowOptionalMsg(text, mkInformation, kOptionalMsgUnavailable);
}

bool THotKeyManager::DispatchToDocument(uint32_t key) {
  TDoc* doc = DocumentTakingInput();
  if (doc == nullptr) return false;
  bool consumed = false;
  int32_t code = 0, list = 0, value = 0;
  std::string text;
  if (doc->Styles && doc->Styles->HasHotKey(key)) {
    consumed = true;
    Flags |= hfKeyConsumed;
    int32_t style = doc->Styles->IndexOfHotKey(key);
    uint8_t asTyped = 1;
    void* args[] = {&style, &asTyped};
    doc->ExecuteEdit(ecApplyStyle, args, 1);
  } else if (FindSymbolByKey(key, code, text) >= 0) {
    consumed = true;
    Flags |= hfKeyConsumed;
    uint8_t unicode = 2;
    void* args[] = {&code, &text, &unicode};
    doc->ExecuteEdit(ecInsertSymbol, args, 2);
  } else if (FindListEntryByKey(key, list, text, value) >= 0 && list <= 1) {
    consumed = true;
    Flags |= hfKeyConsumed;
    TVarCommand_Param param;
    param.Text = text;
    param.Value = value;
    GetCommandManager().ExecuteWithParam(list == 0 ? kCmdFontName : kCmdFontSize, &param);
  } else {
    // An unbound second key of a chord never reaches the window.
    consumed = HotKeyChordKey(key) != 0;
  }
  MarkUserActivity();
  return consumed;
}

intptr_t THotKeyManager::WMSysKeyDown(uint8_t key) {
  GetEncryptionManager().AddEntropy(key);
  Flags &= ~hfKeyConsumed;
  const uint8_t shift = plat::GetShiftState();
  const bool numLock = NumLockOn();
  AltKeypadKey = shift == hkAlt &&
                 (numLock ? IsKeypadDigit(key)
                          : (key >= plat::VK_PRIOR && key <= plat::VK_DOWN) ||
                                key == plat::VK_CLEAR || key == plat::VK_INSERT);
  if (shift == hkAlt && numLock) {
    if (!CodeEntryActive && GetActiveDoc() != nullptr) {
      if (IsKeypadDigit(key) || key == 'X') {
        CodeEntryActive = true;
        CodeEntryText = key == 'X' ? "X" : std::string(1, char('0' + key - plat::VK_NUMPAD0));
        if (key == 'X') Flags |= hfKeyConsumed;
        return 1;
      }
    } else if (CodeEntryActive) {
      if (IsKeypadDigit(key)) {
        CodeEntryText += char('0' + key - plat::VK_NUMPAD0);
        return 1;
      }
      if (CodeEntryText[0] == 'X' && key >= 'A' && key <= 'F') {
        CodeEntryText += char(key);
        Flags |= hfKeyConsumed;
        return 1;
      }
    }
  }
  // Alt itself repeats while it is held: only another key ends an entry.
  if (IsModifier(key)) return 0;
  CodeEntryActive = false;
  return KeyEvent(shift, key) ? 1 : 0;
}

intptr_t THotKeyManager::WMSysKeyUp(uint8_t key) {
  if (!CodeEntryActive) return 0;
  if (key != plat::VK_MENU) return 1;
  CodeEntryActive = false;
  const std::string text = CodeEntryText;
  CodeEntryText.clear();
  if (TDoc* doc = DocumentTakingInput()) InsertCharByCode(*doc, text);
  return 1;
}

intptr_t THotKeyManager::WMSysChar(char16_t ch) {
  GetEncryptionManager().AddEntropy(static_cast<uint8_t>(ch));
  // The key-down of the same key ran a binding or took a code letter.
  if ((Flags & hfKeyConsumed) != 0) return 1;
  // Characters beyond ASCII would need the keyboard layout's key for them: not bound here.
  if (ch >= 128) return 0;
  return KeyEvent(plat::GetShiftState(), static_cast<uint8_t>(ch)) ? 1 : 0;
}

namespace {

// A key that ran a binding types nothing: the character message the keyboard queued with it
// (the second key of a chord, a letter with Ctrl) is taken out of the queue.
void DropCharacterOfTakenKey() {
  plat::Msg next;
  if (plat::PeekMessage(next, false) && next.message == plat::WM_CHAR &&
      next.hwnd == plat::GetFocus())
    plat::PeekMessage(next, true);
}

// The manager in the toolkit's hot-key slot.
class THotKeyManagerService : public THotKeyService {
 public:
  intptr_t CNKeyDown(uint8_t key, intptr_t /*keyData*/) override {
    GetEncryptionManager().AddEntropy(key);
    TMainForm* main = GetMainForm();
    if (key == plat::VK_ESCAPE && main != nullptr && main->FullScreen) {
      GetCommandManager().Execute(kCmdFullScreen);
      return 1;
    }
    if (!GetHotKeyManager().KeyEvent(plat::GetShiftState(), key)) return 0;
    DropCharacterOfTakenKey();
    return 1;
  }
  void WMSysKeyDown(uint8_t key, intptr_t /*keyData*/, intptr_t& result) override {
    result = GetHotKeyManager().WMSysKeyDown(key);
  }
  void WMSysKeyUp(uint8_t key, intptr_t /*keyData*/, intptr_t& result) override {
    result = GetHotKeyManager().WMSysKeyUp(key);
  }
  void WMSysChar(char16_t ch, intptr_t /*keyData*/, intptr_t& result) override {
    result = GetHotKeyManager().WMSysChar(ch);
  }
  bool IsChordPrefix(int32_t code) override {
    return GetHotKeyManager().IsChordPrefix(static_cast<uint32_t>(code));
  }
  bool AltKeypadKey() override { return GetHotKeyManager().AltKeypadKey; }
  void ClearAltKeypadKey() override { GetHotKeyManager().AltKeypadKey = false; }
  bool HexCodeEntry() override {
    const THotKeyManager& m = GetHotKeyManager();
    return m.CodeEntryActive && !m.CodeEntryText.empty() && m.CodeEntryText[0] == 'X';
  }
};

}  // namespace

void RegisterHotKeyManager() {
  ResetHotKeyManager();
  RegisterHotKeyService(std::make_unique<THotKeyManagerService>());
  RegisterHotKeyCommandEnvironment();
}

}  // namespace qv
