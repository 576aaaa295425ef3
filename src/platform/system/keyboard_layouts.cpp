#include "platform/system/keyboard_layouts.h"

#include <cstddef>

namespace plat {

namespace {

struct KeyDef {
  uint8_t Vk;
  char16_t Normal;   // 0: the key gives nothing (or a dead key)
  char16_t Shifted;
};

// Keys every fixed layout shares.
constexpr KeyDef kCommonKeys[] = {
    {0x08, u'\b', u'\b'}, {0x09, u'\t', u'\t'}, {0x0D, u'\r', u'\r'},
    {0x1B, 0x1B, 0x1B},   {0x20, u' ', u' '},
};

constexpr KeyDef kUsKeys[] = {
    {0x30, u'0', u')'}, {0x31, u'1', u'!'}, {0x32, u'2', u'@'}, {0x33, u'3', u'#'},
    {0x34, u'4', u'$'}, {0x35, u'5', u'%'}, {0x36, u'6', u'^'}, {0x37, u'7', u'&'},
    {0x38, u'8', u'*'}, {0x39, u'9', u'('}, {0xBA, u';', u':'}, {0xBB, u'=', u'+'},
    {0xBC, u',', u'<'}, {0xBD, u'-', u'_'}, {0xBE, u'.', u'>'}, {0xBF, u'/', u'?'},
    {0xC0, u'`', u'~'}, {0xDB, u'[', u'{'}, {0xDC, u'\\', u'|'}, {0xDD, u']', u'}'},
    {0xDE, u'\'', u'"'},
};

constexpr KeyDef kGermanKeys[] = {
    {0x30, u'0', u'='}, {0x31, u'1', u'!'}, {0x32, u'2', u'"'}, {0x33, u'3', u'\u00a7'},
    {0x34, u'4', u'$'}, {0x35, u'5', u'%'}, {0x36, u'6', u'&'}, {0x37, u'7', u'/'},
    {0x38, u'8', u'('}, {0x39, u'9', u')'}, {0xBA, u'\u00fc', u'\u00dc'}, {0xBB, u'+', u'*'},
    {0xBC, u',', u';'}, {0xBD, u'-', u'_'}, {0xBE, u'.', u':'}, {0xBF, u'#', u'\''},
    {0xC0, u'\u00f6', u'\u00d6'}, {0xDB, u'\u00df', u'?'}, {0xDC, 0, u'\u00b0'},
    {0xDE, u'\u00e4', u'\u00c4'}, {0xE2, u'<', u'>'},
};

constexpr KeyDef kFrenchKeys[] = {
    {0x30, u'\u00e0', u'0'}, {0x31, u'&', u'1'}, {0x32, u'\u00e9', u'2'}, {0x33, u'"', u'3'},
    {0x34, u'\'', u'4'}, {0x35, u'(', u'5'}, {0x36, u'-', u'6'}, {0x37, u'\u00e8', u'7'},
    {0x38, u'_', u'8'}, {0x39, u'\u00e7', u'9'}, {0xBA, u'$', u'\u00a3'}, {0xBB, u'=', u'+'},
    {0xBC, u',', u'?'}, {0xBE, u';', u'.'}, {0xBF, u':', u'/'}, {0xC0, u'\u00f9', u'%'},
    {0xDB, u')', u'\u00b0'}, {0xDC, u'*', u'\u00b5'}, {0xDE, u'\u00b2', 0}, {0xDF, u'!', u'\u00a7'},
    {0xE2, u'<', u'>'},
};

// Russian: the keys of the US positions give Cyrillic letters.
constexpr KeyDef kRussianKeys[] = {
    {0x41, u'\u0444', u'\u0424'}, {0x42, u'\u0438', u'\u0418'}, {0x43, u'\u0441', u'\u0421'},
    {0x44, u'\u0432', u'\u0412'}, {0x45, u'\u0443', u'\u0423'}, {0x46, u'\u0430', u'\u0410'},
    {0x47, u'\u043f', u'\u041f'}, {0x48, u'\u0440', u'\u0420'}, {0x49, u'\u0448', u'\u0428'},
    {0x4A, u'\u043e', u'\u041e'}, {0x4B, u'\u043b', u'\u041b'}, {0x4C, u'\u0434', u'\u0414'},
    {0x4D, u'\u044c', u'\u042c'}, {0x4E, u'\u0442', u'\u0422'}, {0x4F, u'\u0449', u'\u0429'},
    {0x50, u'\u0437', u'\u0417'}, {0x51, u'\u0439', u'\u0419'}, {0x52, u'\u043a', u'\u041a'},
    {0x53, u'\u044b', u'\u042b'}, {0x54, u'\u0435', u'\u0415'}, {0x55, u'\u0433', u'\u0413'},
    {0x56, u'\u043c', u'\u041c'}, {0x57, u'\u0446', u'\u0426'}, {0x58, u'\u0447', u'\u0427'},
    {0x59, u'\u043d', u'\u041d'}, {0x5A, u'\u044f', u'\u042f'},
    {0x30, u'0', u')'}, {0x31, u'1', u'!'}, {0x32, u'2', u'"'}, {0x33, u'3', u'\u2116'},
    {0x34, u'4', u';'}, {0x35, u'5', u'%'}, {0x36, u'6', u':'}, {0x37, u'7', u'?'},
    {0x38, u'8', u'*'}, {0x39, u'9', u'('}, {0xBA, u'\u0436', u'\u0416'}, {0xBB, u'=', u'+'},
    {0xBC, u'\u0431', u'\u0411'}, {0xBD, u'-', u'_'}, {0xBE, u'\u044e', u'\u042e'},
    {0xBF, u'.', u','}, {0xC0, u'\u0451', u'\u0401'}, {0xDB, u'\u0445', u'\u0425'},
    {0xDC, u'\\', u'/'}, {0xDD, u'\u044a', u'\u042a'}, {0xDE, u'\u044d', u'\u042d'},
};

struct LayoutKeys {
  const KeyDef* Keys;
  size_t Count;
  bool LatinLetters;  // the letter keys give a..z and A..Z
};

bool KeysOf(uint32_t layout, LayoutKeys& out) {
  switch (layout & 0xFFFF) {
    case 0x0409: out = {kUsKeys, std::size(kUsKeys), true}; return true;
    case 0x0407: out = {kGermanKeys, std::size(kGermanKeys), true}; return true;
    case 0x040C: out = {kFrenchKeys, std::size(kFrenchKeys), true}; return true;
    case 0x0419: out = {kRussianKeys, std::size(kRussianKeys), false}; return true;
    default: return false;
  }
}

// Calls f(key) for every key of the layout, common keys and letters included.
template <class F>
void ForEachKey(const LayoutKeys& keys, F f) {
  for (const KeyDef& k : kCommonKeys) f(k);
  if (keys.LatinLetters)
    for (char16_t c = u'a'; c <= u'z'; ++c)
      f(KeyDef{static_cast<uint8_t>(c - u'a' + 0x41), c, static_cast<char16_t>(c - 32)});
  for (size_t i = 0; i < keys.Count; ++i) f(keys.Keys[i]);
}

std::unique_ptr<KeyboardLayoutSource>& SourceSlot() {
  static std::unique_ptr<KeyboardLayoutSource> source = std::make_unique<KeyboardLayoutSource>();
  return source;
}

}  // namespace

std::vector<uint32_t> KeyboardLayoutSource::InstalledLayouts() {
  return {kLayoutUS, kLayoutGerman, kLayoutFrench, kLayoutRussian};
}

uint32_t KeyboardLayoutSource::CurrentLayout() { return kLayoutUS; }

void SetKeyboardLayoutSource(std::unique_ptr<KeyboardLayoutSource> source) {
  SourceSlot() = source ? std::move(source) : std::make_unique<KeyboardLayoutSource>();
}

std::vector<uint32_t> GetKeyboardLayoutList() { return SourceSlot()->InstalledLayouts(); }

uint32_t GetKeyboardLayout() { return SourceSlot()->CurrentLayout(); }

uint16_t VkKeyScanEx(char16_t ch, uint32_t layout) {
  LayoutKeys keys;
  if (ch == 0 || !KeysOf(layout, keys)) return 0xFFFF;
  uint16_t found = 0xFFFF;
  ForEachKey(keys, [&](const KeyDef& k) {
    if (found != 0xFFFF) return;
    if (k.Normal == ch) found = k.Vk;
  });
  if (found != 0xFFFF) return found;
  ForEachKey(keys, [&](const KeyDef& k) {
    if (found != 0xFFFF) return;
    if (k.Shifted == ch) found = static_cast<uint16_t>(0x100 | k.Vk);
  });
  return found;
}

char16_t KeyToCharacter(uint8_t virtualKey, bool shift, uint32_t layout) {
  LayoutKeys keys;
  if (!KeysOf(layout, keys)) return 0;
  char16_t result = 0;
  ForEachKey(keys, [&](const KeyDef& k) {
    if (k.Vk == virtualKey) result = shift ? k.Shifted : k.Normal;
  });
  return result;
}

}  // namespace plat
