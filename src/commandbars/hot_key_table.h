#pragma once
// The program's default key table and the key codes the hot-key manager works with.
//
// A key code is 32 bits: byte 0 the shift byte (1 Shift, 2 Alt, 4 Ctrl, as a key message's shift
// state), byte 1 the virtual key, byte 2 the virtual key of the second key of a two-key chord (0
// for a single key), byte 3 zero. 0 means no key.
#include <cstdint>
#include <span>

namespace qv {

constexpr uint8_t hkShift = 1, hkAlt = 2, hkCtrl = 4;

constexpr uint32_t MakeHotKey(uint8_t shift, uint8_t key, uint8_t chordKey = 0) {
  return uint32_t(shift) | uint32_t(key) << 8 | uint32_t(chordKey) << 16;
}
constexpr uint8_t HotKeyShift(uint32_t code) { return uint8_t(code); }
constexpr uint8_t HotKeyKey(uint32_t code) { return uint8_t(code >> 8); }
constexpr uint8_t HotKeyChordKey(uint32_t code) { return uint8_t(code >> 16); }

// One binding of the default table: a command and one of its keys.
struct THotKeyBinding {
  int32_t Command;
  uint32_t Key;
};

// The default table: ascending by command, a command's keys in the order that makes the first
// one the key shown in menus. The first three records bind the chord prefixes (Ctrl+K,
// Ctrl+Shift+K, Shift+Alt+K) to command 0, which does nothing.
std::span<const THotKeyBinding> DefaultHotKeyTable();

}  // namespace qv
