#pragma once
// Virtual-key numbers and shift bits. Stored key codes, the default key table and every key
// message use these numbers, so their values are fixed.
#include <cstdint>

namespace plat {

constexpr uint8_t VK_LBUTTON = 0x01;
constexpr uint8_t VK_RBUTTON = 0x02;
constexpr uint8_t VK_CANCEL = 0x03;
constexpr uint8_t VK_MBUTTON = 0x04;
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_CLEAR = 0x0C;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12;  // Alt
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_PRIOR = 0x21;  // Page Up
constexpr uint8_t VK_NEXT = 0x22;   // Page Down
constexpr uint8_t VK_END = 0x23;
constexpr uint8_t VK_HOME = 0x24;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;
constexpr uint8_t VK_SELECT = 0x29;
constexpr uint8_t VK_PRINT = 0x2A;
constexpr uint8_t VK_EXECUTE = 0x2B;
constexpr uint8_t VK_SNAPSHOT = 0x2C;
constexpr uint8_t VK_INSERT = 0x2D;
constexpr uint8_t VK_DELETE = 0x2E;
constexpr uint8_t VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
constexpr uint8_t VK_LWIN = 0x5B;
constexpr uint8_t VK_RWIN = 0x5C;
constexpr uint8_t VK_APPS = 0x5D;
constexpr uint8_t VK_NUMPAD0 = 0x60;  // ..VK_NUMPAD9 = 0x69
constexpr uint8_t VK_MULTIPLY = 0x6A;
constexpr uint8_t VK_ADD = 0x6B;
constexpr uint8_t VK_SEPARATOR = 0x6C;
constexpr uint8_t VK_SUBTRACT = 0x6D;
constexpr uint8_t VK_DECIMAL = 0x6E;
constexpr uint8_t VK_DIVIDE = 0x6F;
constexpr uint8_t VK_F1 = 0x70;
constexpr uint8_t VK_F2 = 0x71;
constexpr uint8_t VK_F3 = 0x72;
constexpr uint8_t VK_F4 = 0x73;
constexpr uint8_t VK_F5 = 0x74;
constexpr uint8_t VK_F6 = 0x75;
constexpr uint8_t VK_F7 = 0x76;
constexpr uint8_t VK_F8 = 0x77;
constexpr uint8_t VK_F9 = 0x78;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_F11 = 0x7A;
constexpr uint8_t VK_F12 = 0x7B;
constexpr uint8_t VK_F24 = 0x87;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;
constexpr uint8_t VK_LSHIFT = 0xA0;
constexpr uint8_t VK_RSHIFT = 0xA1;
constexpr uint8_t VK_LCONTROL = 0xA2;
constexpr uint8_t VK_RCONTROL = 0xA3;
constexpr uint8_t VK_LMENU = 0xA4;
constexpr uint8_t VK_RMENU = 0xA5;
constexpr uint8_t VK_OEM_1 = 0xBA;       // ;:
constexpr uint8_t VK_OEM_PLUS = 0xBB;    // =+
constexpr uint8_t VK_OEM_COMMA = 0xBC;   // ,<
constexpr uint8_t VK_OEM_MINUS = 0xBD;   // -_
constexpr uint8_t VK_OEM_PERIOD = 0xBE;  // .>
constexpr uint8_t VK_OEM_2 = 0xBF;       // /?
constexpr uint8_t VK_OEM_3 = 0xC0;       // `~
constexpr uint8_t VK_OEM_4 = 0xDB;       // [{
constexpr uint8_t VK_OEM_5 = 0xDC;       // \|
constexpr uint8_t VK_OEM_6 = 0xDD;       // ]}
constexpr uint8_t VK_OEM_7 = 0xDE;       // '"
constexpr uint8_t VK_OEM_102 = 0xE2;     // the extra key beside left Shift

// Shift bits of a stored key code (shift byte, then the virtual key shifted left by 8).
constexpr uint8_t SHIFT_BIT_SHIFT = 1;
constexpr uint8_t SHIFT_BIT_ALT = 2;
constexpr uint8_t SHIFT_BIT_CTRL = 4;

}  // namespace plat
