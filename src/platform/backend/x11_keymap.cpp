#include "platform/backend/x11_keymap.h"

#include "platform/win/keys.h"

namespace plat {
namespace {

struct SymEntry {
  uint32_t keysym;
  uint8_t vk;
  bool extended;
};

// Key symbols of function, editing, keypad and modifier keys (the 0xFFxx and 0xFExx blocks).
constexpr SymEntry kSpecial[] = {
    {0xFF08, VK_BACK, false},     {0xFF09, VK_TAB, false},      {0xFE20, VK_TAB, false},
    {0xFF0B, VK_CLEAR, false},    {0xFF0D, VK_RETURN, false},   {0xFF13, VK_PAUSE, false},
    {0xFF14, VK_SCROLL, false},   {0xFF1B, VK_ESCAPE, false},   {0xFFFF, VK_DELETE, true},
    {0xFF50, VK_HOME, true},      {0xFF51, VK_LEFT, true},      {0xFF52, VK_UP, true},
    {0xFF53, VK_RIGHT, true},     {0xFF54, VK_DOWN, true},      {0xFF55, VK_PRIOR, true},
    {0xFF56, VK_NEXT, true},      {0xFF57, VK_END, true},       {0xFF58, VK_CLEAR, false},
    {0xFF60, VK_SELECT, false},   {0xFF61, VK_SNAPSHOT, true},  {0xFF62, VK_EXECUTE, false},
    {0xFF63, VK_INSERT, true},    {0xFF67, VK_APPS, true},      {0xFF69, VK_CANCEL, false},
    {0xFF6A, VK_HELP, false},     {0xFF6B, VK_CANCEL, true},    {0xFF7F, VK_NUMLOCK, true},
    // Keypad with Num Lock off: the navigation numbers of the keypad keys (not extended).
    {0xFF95, VK_HOME, false},     {0xFF96, VK_LEFT, false},     {0xFF97, VK_UP, false},
    {0xFF98, VK_RIGHT, false},    {0xFF99, VK_DOWN, false},     {0xFF9A, VK_PRIOR, false},
    {0xFF9B, VK_NEXT, false},     {0xFF9C, VK_END, false},      {0xFF9D, VK_CLEAR, false},
    {0xFF9E, VK_INSERT, false},   {0xFF9F, VK_DELETE, false},   {0xFF8D, VK_RETURN, true},
    {0xFF80, VK_SPACE, false},    {0xFF89, VK_TAB, false},      {0xFFBD, VK_OEM_PLUS, false},
    // Keypad operators.
    {0xFFAA, VK_MULTIPLY, false}, {0xFFAB, VK_ADD, false},      {0xFFAC, VK_SEPARATOR, false},
    {0xFFAD, VK_SUBTRACT, false}, {0xFFAE, VK_DECIMAL, false},  {0xFFAF, VK_DIVIDE, true},
    // Modifiers; AltGr (ISO level 3 shift) counts as the right Alt.
    {0xFFE1, VK_LSHIFT, false},   {0xFFE2, VK_RSHIFT, false},   {0xFFE3, VK_LCONTROL, false},
    {0xFFE4, VK_RCONTROL, true},  {0xFFE9, VK_LMENU, false},    {0xFFEA, VK_RMENU, true},
    {0xFE03, VK_RMENU, true},     {0xFFE7, VK_LMENU, false},    {0xFFE8, VK_RMENU, true},
    {0xFFE5, VK_CAPITAL, false},  {0xFFEB, VK_LWIN, true},      {0xFFEC, VK_RWIN, true},
};

// Printable ASCII punctuation, shifted and unshifted symbols of the same US key alike.
uint8_t PunctuationVk(uint32_t sym) {
  switch (sym) {
    case ';': case ':': return VK_OEM_1;
    case '=': case '+': return VK_OEM_PLUS;
    case ',': case '<': return VK_OEM_COMMA;
    case '-': case '_': return VK_OEM_MINUS;
    case '.': case '>': return VK_OEM_PERIOD;
    case '/': case '?': return VK_OEM_2;
    case '`': case '~': return VK_OEM_3;
    case '[': case '{': return VK_OEM_4;
    case '\\': case '|': return VK_OEM_5;
    case ']': case '}': return VK_OEM_6;
    case '\'': case '"': return VK_OEM_7;
    default: return 0;
  }
}

// The virtual key at a place of the US keyboard, by X key code (evdev code + 8).
uint8_t PositionVk(uint32_t kc) {
  static constexpr char kTopRow[] = "QWERTYUIOP";   // codes 24..33
  static constexpr char kHomeRow[] = "ASDFGHJKL";   // codes 38..46
  static constexpr char kBottomRow[] = "ZXCVBNM";   // codes 52..58
  if (kc >= 10 && kc <= 18) return uint8_t('1' + (kc - 10));
  if (kc == 19) return '0';
  if (kc >= 24 && kc <= 33) return uint8_t(kTopRow[kc - 24]);
  if (kc >= 38 && kc <= 46) return uint8_t(kHomeRow[kc - 38]);
  if (kc >= 52 && kc <= 58) return uint8_t(kBottomRow[kc - 52]);
  switch (kc) {
    case 20: return VK_OEM_MINUS;
    case 21: return VK_OEM_PLUS;
    case 34: return VK_OEM_4;
    case 35: return VK_OEM_6;
    case 47: return VK_OEM_1;
    case 48: return VK_OEM_7;
    case 49: return VK_OEM_3;
    case 51: return VK_OEM_5;
    case 59: return VK_OEM_COMMA;
    case 60: return VK_OEM_PERIOD;
    case 61: return VK_OEM_2;
    case 94: return VK_OEM_102;
    default: return 0;
  }
}

}  // namespace

KeyTranslation TranslateKeysym(uint32_t sym, uint32_t xkeycode) {
  // The key beside the left Shift has its own number whatever symbol the layout puts on it.
  if (xkeycode == 94) return {VK_OEM_102, false};
  if (sym >= 'a' && sym <= 'z') return {uint8_t(sym - 'a' + 'A'), false};
  if ((sym >= 'A' && sym <= 'Z') || (sym >= '0' && sym <= '9')) return {uint8_t(sym), false};
  if (sym == ' ') return {VK_SPACE, false};
  if (sym >= 0xFFBE && sym <= 0xFFD5) return {uint8_t(VK_F1 + (sym - 0xFFBE)), false};
  if (sym >= 0xFFB0 && sym <= 0xFFB9) return {uint8_t(VK_NUMPAD0 + (sym - 0xFFB0)), false};
  for (const SymEntry& e : kSpecial) {
    if (e.keysym == sym) return {e.vk, e.extended};
  }
  if (uint8_t vk = PunctuationVk(sym)) return {vk, false};
  return {PositionVk(xkeycode), false};
}

}  // namespace plat
