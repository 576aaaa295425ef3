#include "foundation/text/code_pages.h"

#include <algorithm>
#include <array>

#include "platform/system/code_page_conv.h"
#include "platform/system/text_services.h"

namespace qv {

uint32_t DefaultCodePage = 1252;
int32_t DefaultCharset = ANSI_CHARSET;
bool ReaderCodePageSwitch = false;

namespace {

int32_t PrimaryLanguage(int32_t id) { return id & 0x3FF; }

// Language ids whose language writes in Cyrillic though its primary language does not.
bool IsCyrillicVariant(int32_t id) {
  switch (id) {
    case 2092:   // Azeri (Cyrillic)
    case 2115:   // Uzbek (Cyrillic)
    case 3098:   // Serbian (Cyrillic)
    case 7194:   // Serbian (Cyrillic, Bosnia)
    case 8218:   // Bosnian (Cyrillic)
    case 10266:  // Serbian (Cyrillic, Serbia)
    case 12314:  // Serbian (Cyrillic, Montenegro)
      return true;
    default:
      return false;
  }
}

uint32_t CodePageOfPrimary(int32_t primary, int32_t id) {
  switch (primary) {
    case 5: case 14: case 21: case 24: case 27: case 28: case 36: case 66:
      return 1250;
    case 26:
      return IsCyrillicVariant(id) ? 1251 : 1250;
    case 2: case 25: case 34: case 35: case 40: case 47: case 63: case 64: case 68: case 80:
    case 109: case 133:
      return 1251;
    case 8:
      return 1253;
    case 31: case 44: case 67:
      return IsCyrillicVariant(id) ? 1251 : 1254;
    case 13: case 61:
      return 1255;
    case 1: case 32: case 41: case 89: case 99: case 128: case 140: case 146:
      return 1256;
    case 37: case 38: case 39:
      return 1257;
    case 42:
      return 1258;
    case 30:
      return 874;
    case 17:
      return 932;
    case 4: {
      const int32_t sub = id >> 10;
      return sub == 2 || sub == 4 ? 936 : 950;
    }
    case 18:
      return 949;
    // Languages written only in Unicode.
    case 43: case 55: case 57: case 69: case 70: case 71: case 72: case 73: case 74: case 75:
    case 76: case 77: case 78: case 79: case 81: case 83: case 84: case 87: case 90: case 91:
    case 93: case 94: case 97: case 101: case 120:
      return 0;
    default:
      return 1252;
  }
}

struct CharsetPage {
  int32_t charset;
  uint32_t codePage;
};

const CharsetPage kCharsetPages[] = {
    {ANSI_CHARSET, 1252},        {EASTEUROPE_CHARSET, 1250}, {RUSSIAN_CHARSET, 1251},
    {GREEK_CHARSET, 1253},       {TURKISH_CHARSET, 1254},    {HEBREW_CHARSET, 1255},
    {ARABIC_CHARSET, 1256},      {BALTIC_CHARSET, 1257},     {VIETNAMESE_CHARSET, 1258},
    {THAI_CHARSET, 874},         {SHIFTJIS_CHARSET, 932},    {GB2312_CHARSET, 936},
    {HANGEUL_CHARSET, 949},      {CHINESEBIG5_CHARSET, 950}, {JOHAB_CHARSET, 1361},
    {MAC_CHARSET, 10000},        {OEM_CHARSET, 437},         {SYMBOL_CHARSET, 42},
};

struct Range {
  uint16_t from, to;
  uint16_t codePage;
};

// The code page each character is taken to belong to when text is split by code page.
const Range kCharPages[] = {
    {258, 263, 1250}, {268, 271, 1250}, {273, 273, 1250}, {280, 283, 1250}, {313, 314, 1250},
    {317, 318, 1250}, {321, 324, 1250}, {327, 328, 1250}, {336, 337, 1250}, {340, 341, 1250},
    {344, 347, 1250}, {350, 351, 1250}, {354, 357, 1250}, {366, 369, 1250}, {377, 380, 1250},
    {699, 699, 1250}, {711, 711, 1250}, {728, 729, 1250}, {731, 731, 1250}, {733, 733, 1250},
    {774, 775, 1250}, {780, 780, 1250},
    {1025, 1036, 1251}, {1038, 1103, 1251}, {1105, 1116, 1251}, {1118, 1119, 1251},
    {1168, 1169, 1251},
    {0, 255, 1252}, {272, 272, 1252}, {338, 339, 1252}, {352, 353, 1252}, {376, 376, 1252},
    {381, 382, 1252}, {393, 393, 1252}, {401, 402, 1252}, {710, 710, 1252}, {713, 714, 1252},
    {730, 730, 1252}, {732, 732, 1252}, {769, 769, 1252}, {772, 773, 1252}, {776, 776, 1252},
    {778, 778, 1252}, {807, 807, 1252}, {8216, 8217, 1252}, {8220, 8222, 1252},
    {8230, 8230, 1252}, {8364, 8364, 1252},
    {781, 781, 1253}, {900, 902, 1253}, {904, 906, 1253}, {908, 908, 1253}, {910, 974, 1253},
    {286, 287, 1254}, {304, 305, 1254}, {771, 771, 1254}, {782, 782, 1254},
    {1456, 1475, 1255}, {1488, 1514, 1255}, {1520, 1524, 1255},
    {1548, 1548, 1256}, {1563, 1563, 1256}, {1567, 1567, 1256}, {1569, 1594, 1256},
    {1600, 1618, 1256}, {1657, 1657, 1256}, {1662, 1662, 1256}, {1670, 1670, 1256},
    {1672, 1672, 1256}, {1681, 1681, 1256}, {1688, 1688, 1256}, {1705, 1705, 1256},
    {1711, 1711, 1256}, {1722, 1722, 1256}, {1726, 1726, 1256}, {1729, 1729, 1256},
    {1740, 1740, 1256}, {1746, 1746, 1256},
    {256, 257, 1257}, {274, 275, 1257}, {278, 279, 1257}, {290, 291, 1257}, {298, 299, 1257},
    {302, 303, 1257}, {310, 311, 1257}, {315, 316, 1257}, {325, 326, 1257}, {332, 333, 1257},
    {342, 343, 1257}, {362, 363, 1257}, {370, 371, 1257},
};

// A lookup table over the characters below 8448 plus the euro sign, built once.
const std::array<uint16_t, 8448>& CharPageTable() {
  static const auto* table = [] {
    auto* t = new std::array<uint16_t, 8448>();
    t->fill(0);
    for (const auto& r : kCharPages)
      for (uint32_t c = r.from; c <= r.to && c < t->size(); ++c) (*t)[c] = r.codePage;
    return t;
  }();
  return *table;
}

// Converts one byte per code unit, whatever the page; a character that has no single byte in
// the page becomes "?".
std::string OneBytePerUnit(const std::u16string& text, uint32_t codePage) {
  if (!plat::IsMultiByteCodePage(codePage)) return plat::Utf16ToCodePage(codePage, text);
  std::string out(text.size(), '?');
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] < 0x80) out[i] = static_cast<char>(text[i]);
  return out;
}

void PutUtf8(char*& out, uint32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsCont(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

int32_t UserLocaleLanguageId() {
  const int32_t id = LanguageIdFromName(plat::UserLocaleName());
  return id ? id : 1033;
}

uint32_t GetLocaleCodePage(int32_t languageId) {
  // The neutral, user-default and system-default ids stand for the user's own language.
  if (languageId == 0 || languageId == 0x400 || languageId == 0x800)
    languageId = UserLocaleLanguageId();
  if (languageId <= 0 || languageId > 0xFFFF) return 0;
  return CodePageOfPrimary(PrimaryLanguage(languageId), languageId);
}

int32_t GetLanguageCharset(int32_t languageId, bool fallback) {
  int32_t charset = 0;
  const uint32_t cp = GetLocaleCodePage(languageId);
  for (const auto& e : kCharsetPages)
    if (cp != 0 && e.codePage == cp) charset = e.charset;
  if (charset == 0 && fallback) {
    uint32_t systemPage = GetLocaleCodePage(UserLocaleLanguageId());
    if (systemPage == 0) systemPage = 1252;
    for (const auto& e : kCharsetPages)
      if (e.codePage == systemPage) charset = e.charset;
  }
  return charset;
}

uint32_t CharsetToCodePage(int32_t charset) {
  for (const auto& e : kCharsetPages)
    if (e.charset == charset) return e.codePage;
  return DefaultCodePage;
}

int32_t CodePageToCharset(uint32_t codePage) {
  for (const auto& e : kCharsetPages)
    if (e.codePage == codePage) return e.charset;
  return DefaultCharset;
}

uint32_t CodePageOfChar(char16_t ch, uint32_t defaultCodePage) {
  if (ReaderCodePageSwitch && (ch == 150 || ch == 151 || ch == 160)) return defaultCodePage;
  if (ch == 8364) return 1252;
  const auto& table = CharPageTable();
  if (ch >= table.size()) return defaultCodePage;
  return table[ch] ? table[ch] : defaultCodePage;
}

uint32_t GuessCodePage(const char16_t* text, int32_t count, uint32_t defaultCodePage) {
  std::array<int32_t, 2049> counts{};
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t cp = text[i] <= 126 ? 1252 : CodePageOfChar(text[i], NO_CODE_PAGE);
    if (cp < counts.size()) ++counts[cp];
  }
  uint32_t best = 0;
  for (uint32_t cp = 0; cp < counts.size(); ++cp)
    if (cp != 1252 && counts[cp] > 0 && (best == 0 || counts[cp] > counts[best])) best = cp;
  if (best != 0) return best;
  return counts[1252] > 0 ? 1252 : defaultCodePage;
}

void SplitTextByCodePage(const char16_t* text, std::string& bytes, int32_t count,
                         std::vector<int32_t>& ends, std::vector<uint32_t>& codePages) {
  ends.clear();
  codePages.clear();
  bytes.assign(static_cast<size_t>(std::max(count, 0)), '\0');
  int32_t start = 0;
  while (start < count) {
    const uint32_t cp = CodePageOfChar(text[start], NO_CODE_PAGE);
    int32_t end = start + 1;
    while (end < count && CodePageOfChar(text[end], NO_CODE_PAGE) == cp) ++end;
    const std::u16string run(text + start, text + end);
    const std::string converted = OneBytePerUnit(run, cp == NO_CODE_PAGE ? DefaultCodePage : cp);
    std::copy(converted.begin(), converted.end(), bytes.begin() + start);
    ends.push_back(end);
    codePages.push_back(cp);
    start = end;
  }
}

std::string GetLanguageDisplayName(int32_t languageId) {
  const std::string name = LanguageIdToName(languageId);
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return std::string();
  const std::u16string display = plat::LanguageDisplayName(name, plat::UserLocaleName());
  return display.empty() ? std::string() : WideToCodePage(display, DefaultCodePage);
}

std::string WideToCodePage(const std::u16string& text, uint32_t codePage) {
  return OneBytePerUnit(text, codePage);
}

std::u16string CodePageToWide(const std::string& bytes, uint32_t codePage) {
  return plat::CodePageToUtf16(codePage, bytes);
}

uint32_t WideToAnsiGuessed(const char16_t* text, char* bytes, int32_t count) {
  const uint32_t cp = GuessCodePage(text, count, DefaultCodePage);
  if (count <= 0) return cp;
  const std::string converted = OneBytePerUnit(std::u16string(text, text + count), cp);
  std::copy(converted.begin(), converted.end(), bytes);
  return cp;
}

int32_t Utf16ToUtf8Buffer(const char16_t* source, int32_t count, char* destination) {
  char* out = destination;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t cp = source[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && source[i + 1] >= 0xDC00 &&
        source[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (source[i + 1] - 0xDC00u);
      ++i;
    }
    PutUtf8(out, cp);  // a lone surrogate keeps its three-byte form, so it is not lost
  }
  return static_cast<int32_t>(out - destination);
}

std::string WideToUtf8(const std::u16string& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<size_t>(
      Utf16ToUtf8Buffer(text.data(), static_cast<int32_t>(text.size()), out.data())));
  return out;
}

std::u16string Utf8ToWide(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  const size_t n = text.size();
  size_t i = 0;
  auto at = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  while (i < n) {
    const uint8_t b = at(i);
    size_t len = 0;
    uint32_t cp = 0, min = 0;
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, cp = b & 0x07, min = 0x10000;
    }
    if (len == 0) {  // a stray continuation byte or an impossible lead byte
      out += u'\uFFFD';
      ++i;
      continue;
    }
    size_t k = 1;
    while (k < len && i + k < n && IsCont(at(i + k))) cp = (cp << 6) | (at(i + k++) & 0x3F);
    if (k < len) {
      if (i + k >= n) break;  // cut off by the end of the text: nothing for it
      out += u'\uFFFD';       // broken by a byte that is no continuation: resume there
      i += k;
      continue;
    }
    if (cp < min || cp > 0x10FFFF) {  // overlong or beyond Unicode
      out += u'\uFFFD';
      i += len;
      continue;
    }
    // Three-byte surrogates (pairs written one unit at a time) pass through as the units they are.
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

void MacRomanToAnsi(const char* source, char* destination, int32_t count) {
  // Upper bytes with no Western equivalent keep their value.
  static const std::array<uint8_t, 128> listed = [] {
    std::array<uint8_t, 128> map{};
    const uint8_t pairs[][2] = {
        {0x80, 0xC4}, {0x81, 0xC5}, {0x82, 0xC7}, {0x83, 0xC9}, {0x84, 0xD1}, {0x85, 0xD6},
        {0x86, 0xDC}, {0x87, 0xE1}, {0x88, 0xE0}, {0x89, 0xE2}, {0x8A, 0xE4}, {0x8B, 0xE3},
        {0x8C, 0xE5}, {0x8D, 0xE7}, {0x8E, 0xE9}, {0x8F, 0xE8}, {0x90, 0xEA}, {0x91, 0xEB},
        {0x92, 0xED}, {0x93, 0xEC}, {0x94, 0xEE}, {0x95, 0xEF}, {0x96, 0xF1}, {0x97, 0xF3},
        {0x98, 0xF2}, {0x99, 0xF4}, {0x9A, 0xF6}, {0x9B, 0xF5}, {0x9C, 0xFA}, {0x9D, 0xF9},
        {0x9E, 0xFB}, {0x9F, 0xFC}, {0xA1, 0xB0}, {0xA4, 0xA7}, {0xA6, 0xB6}, {0xA7, 0xDF},
        {0xA8, 0xAE}, {0xAB, 0xB4}, {0xAC, 0xA8}, {0xAE, 0xC6}, {0xAF, 0xD8}, {0xB4, 0xA5},
        {0xBB, 0xAA}, {0xBC, 0xBA}, {0xBE, 0xE6}, {0xBF, 0xF8}, {0xC0, 0xBF}, {0xC1, 0xA1},
        {0xC2, 0xAC}, {0xC7, 0xAB}, {0xC8, 0xBB}, {0xCA, 0xA0}, {0xCB, 0xC0}, {0xCC, 0xC3},
        {0xCD, 0xD5}, {0xD6, 0xF7}, {0xD8, 0xFF}, {0xDB, 0xA4}, {0xE1, 0xB7}, {0xE5, 0xC2},
        {0xE6, 0xCA}, {0xE7, 0xC1}, {0xE8, 0xCB}, {0xE9, 0xC8}, {0xEA, 0xCD}, {0xEB, 0xCE},
        {0xEC, 0xCF}, {0xED, 0xCC}, {0xEE, 0xD3}, {0xEF, 0xD4}, {0xF1, 0xD2}, {0xF2, 0xDA},
        {0xF3, 0xDB}, {0xF4, 0xD9}, {0xF8, 0xAF}, {0xFC, 0xB8},
    };
    for (int b = 0; b < 128; ++b) map[b] = static_cast<uint8_t>(0x80 + b);
    for (const auto& p : pairs) map[p[0] - 0x80] = p[1];
    return map;
  }();
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t b = static_cast<uint8_t>(source[i]);
    destination[i] = static_cast<char>(b < 0x80 ? b : listed[b - 0x80]);
  }
}

}  // namespace qv
