#include "foundation/base/number_words.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace qv {

namespace {

// Windows-1252 texts: \xFC u-umlaut, \xF6 o-umlaut, \xDF sharp s, \xE9 e-acute, \xE8 e-grave,
// \xFA u-acute, \xF3 o-acute, \xBA masculine ordinal indicator.

constexpr std::array<const char*, 20> kGermanUnits = {
    "null", "eins", "zwei", "drei", "vier", "f\xFCnf", "sechs", "sieben", "acht", "neun",
    "zehn", "elf", "zw\xF6lf", "dreizehn", "vierzehn", "f\xFCnfzehn", "sechzehn", "siebzehn",
    "achtzehn", "neunzehn"};
constexpr std::array<const char*, 8> kGermanTens = {
    "zwanzig", "drei\xDFig", "vierzig", "f\xFCnfzig", "sechzig", "siebzig", "achtzig", "neunzig"};

constexpr std::array<const char*, 20> kEnglishUnits = {
    "zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
    "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen",
    "eighteen", "nineteen"};
constexpr std::array<const char*, 8> kEnglishTens = {
    "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

constexpr std::array<const char*, 30> kSpanishUnits = {
    "cero", "uno", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve",
    "diez", "once", "doce", "trece", "catorce", "quince", "diecis\xE9is", "diecisiete",
    "dieciocho", "diecinueve", "veinte", "veintiuno", "veintid\xF3s", "veintitr\xE9s",
    "veinticuatro", "veinticinco", "veintis\xE9is", "veintisiete", "veintiocho", "veintinueve"};
constexpr std::array<const char*, 7> kSpanishTens = {
    "treinta", "cuarenta", "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};

constexpr std::array<const char*, 20> kFrenchUnits = {
    "z\xE9ro", "un", "deux", "trois", "quatre", "cinq", "six", "sept", "huit", "neuf",
    "dix", "onze", "douze", "treize", "quatorze", "quinze", "seize", "dix-sept", "dix-huit",
    "dix-neuf"};

struct TWordPair {
  std::string_view from;
  std::string_view to;
};

// Endings of German cardinal words and their ordinal forms; the first that fits wins.
constexpr std::array<TWordPair, 7> kGermanOrdinalEndings = {{{"null", "nullste"},
                                                             {"eins", "erste"},
                                                             {"drei", "dritte"},
                                                             {"acht", "achte"},
                                                             {"ig", "igste"},
                                                             {"hundert", "hundertste"},
                                                             {"tausend", "tausendste"}}};

// English words whose ordinal is not the word + "th".
constexpr std::array<TWordPair, 15> kEnglishOrdinalWords = {{{"one", "first"},
                                                             {"two", "second"},
                                                             {"three", "third"},
                                                             {"five", "fifth"},
                                                             {"eight", "eighth"},
                                                             {"nine", "ninth"},
                                                             {"twelve", "twelfth"},
                                                             {"twenty", "twentieth"},
                                                             {"thirty", "thirtieth"},
                                                             {"forty", "fortieth"},
                                                             {"fifty", "fiftieth"},
                                                             {"sixty", "sixtieth"},
                                                             {"seventy", "seventieth"},
                                                             {"eighty", "eightieth"},
                                                             {"ninety", "ninetieth"}}};

constexpr int32_t kGerman = 7;
constexpr int32_t kEnglish = 9;
constexpr int32_t kSpanish = 10;
constexpr int32_t kFrench = 12;
constexpr uint32_t kOneMillion = 1000000;

int32_t PrimaryLanguage(int32_t language) { return language & 0x3FF; }

// Magnitude of a signed number without overflow for INT32_MIN.
uint32_t Magnitude(int32_t n) {
  return n < 0 ? uint32_t{0} - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
}

char LowerCp1252(char c) {
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) b += 0x20;
  return static_cast<char>(b);
}

char UpperCp1252(char c) {
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) b -= 0x20;
  return static_cast<char>(b);
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void AppendWithSpace(std::string& s, const std::string& part) {
  if (!s.empty()) s += ' ';
  s += part;
}

// --- English ---

std::string EnglishBelowHundred(uint32_t m) {
  if (m < 20) return kEnglishUnits[m];
  std::string s = kEnglishTens[m / 10 - 2];
  if (m % 10 != 0) s += std::string("-") + kEnglishUnits[m % 10];
  return s;
}

std::string EnglishBelowThousand(uint32_t m) {
  std::string s;
  if (m >= 100) s = std::string(kEnglishUnits[m / 100]) + " hundred";
  if (m % 100 != 0 || s.empty()) AppendWithSpace(s, EnglishBelowHundred(m % 100));
  return s;
}

std::string EnglishCardinal(uint32_t n) {
  if (n == 0) return kEnglishUnits[0];
  static constexpr std::array<std::pair<uint32_t, const char*>, 3> kGroups = {
      {{1000000000u, " billion"}, {1000000u, " million"}, {1000u, " thousand"}}};
  std::string s;
  for (const auto& [scale, name] : kGroups) {
    uint32_t group = (n / scale) % 1000;
    if (scale == 1000000000u) group = n / scale;  // at most 4 for 32-bit numbers
    if (group != 0) AppendWithSpace(s, EnglishBelowThousand(group) + name);
  }
  if (n % 1000 != 0) AppendWithSpace(s, EnglishBelowThousand(n % 1000));
  return s;
}

std::string EnglishOrdinal(uint32_t n) {
  std::string s = EnglishCardinal(n);
  size_t start = s.size();
  while (start > 0 && static_cast<unsigned char>(s[start - 1]) > 64) --start;
  std::string last = s.substr(start);
  if (!last.empty()) last[0] = LowerCp1252(last[0]);
  for (const auto& pair : kEnglishOrdinalWords) {
    if (last == pair.from) return s.substr(0, start) + std::string(pair.to);
  }
  return s + "th";
}

// --- German ---

// "eins" becomes "ein" whenever another part follows it (einundzwanzig, eintausend).
std::string GermanUnit(uint32_t u, bool followed) {
  return (u == 1 && followed) ? std::string("ein") : std::string(kGermanUnits[u]);
}

std::string GermanBelowHundred(uint32_t m, bool followed) {
  if (m < 20) return GermanUnit(m, followed);
  std::string tens = kGermanTens[m / 10 - 2];
  if (m % 10 == 0) return tens;
  return GermanUnit(m % 10, true) + "und" + tens;
}

// Words of 1..999; `followed` when "tausend" comes after them.
std::string GermanBelowThousand(uint32_t m, bool followed) {
  std::string s;
  uint32_t h = m / 100;
  if (h != 0) s = (h > 1 ? GermanUnit(h, true) : std::string()) + "hundert";
  if (m % 100 != 0) s += GermanBelowHundred(m % 100, followed);
  return s;
}

std::string GermanCardinal(uint32_t n) {
  if (n == 0) return kGermanUnits[0];
  std::string s;
  if (n / 1000 != 0) s = GermanBelowThousand(n / 1000, true) + "tausend";
  uint32_t rest = n % 1000;
  if (rest / 100 != 0) s += (n / 100 > 1 ? GermanUnit(rest / 100, true) : std::string()) + "hundert";
  if (rest % 100 != 0) s += GermanBelowHundred(rest % 100, false);
  return s;
}

std::string GermanOrdinal(uint32_t n) {
  std::string s = GermanCardinal(n);
  s[0] = LowerCp1252(s[0]);
  for (const auto& pair : kGermanOrdinalEndings) {
    if (EndsWith(s, pair.from)) return s.substr(0, s.size() - pair.from.size()) + std::string(pair.to);
  }
  return s + "te";
}

// --- Spanish ---

// `beforeMil`: "mil" follows, so "uno" is shortened (un mil, veinti\xFAn mil).
std::string SpanishBelowHundred(uint32_t m, bool beforeMil) {
  if (m < 30) {
    if (beforeMil && m == 1) return "un";
    if (beforeMil && m == 21) return "veinti\xFAn";
    return kSpanishUnits[m];
  }
  std::string s = kSpanishTens[m / 10 - 3];
  uint32_t u = m % 10;
  if (u != 0) s += std::string(" y ") + ((beforeMil && u == 1) ? "un" : kSpanishUnits[u]);
  return s;
}

std::string SpanishHundreds(uint32_t h, bool restIsZero) {
  switch (h) {
    case 1: return restIsZero ? "cien" : "ciento";
    case 5: return "quinientos";
    case 7: return "setecientos";
    case 9: return "novecientos";
    default: return std::string(kSpanishUnits[h]) + "cientos";
  }
}

std::string SpanishBelowThousand(uint32_t m, bool beforeMil) {
  std::string s;
  if (m / 100 != 0) s = SpanishHundreds(m / 100, m % 100 == 0);
  if (m % 100 != 0) AppendWithSpace(s, SpanishBelowHundred(m % 100, beforeMil));
  return s;
}

std::string SpanishCardinal(uint32_t n) {
  if (n == 0) return kSpanishUnits[0];
  std::string s;
  uint32_t thousands = n / 1000;
  if (thousands > 1) s = SpanishBelowThousand(thousands, true) + " ";
  if (thousands != 0) s += "mil";
  if (n % 1000 != 0) AppendWithSpace(s, SpanishBelowThousand(n % 1000, false));
  return s;
}

// --- French ---

// `plural`: "vingts" and "cents" take their s when nothing follows them in the number; inside
// the thousands (before "mille") and in ordinals they stay singular.
std::string FrenchBelowHundred(uint32_t m, bool plural) {
  if (m < 20) return kFrenchUnits[m];
  uint32_t t = m / 10;
  if (t >= 8) {
    if (m == 80) return plural ? "quatre-vingts" : "quatre-vingt";
    return std::string("quatre-vingt-") + kFrenchUnits[m - 80];
  }
  static constexpr std::array<const char*, 6> kTens = {"vingt", "trente", "quarante",
                                                       "cinquante", "soixante", "soixante"};
  std::string s = kTens[t - 2];
  uint32_t u = (t >= 6) ? m - 60 : m % 10;
  if (u == 0) return s;
  if (u == 1 || u == 11) return s + " et " + kFrenchUnits[u];
  return s + "-" + kFrenchUnits[u];
}

std::string FrenchBelowThousand(uint32_t m, bool plural) {
  std::string s;
  uint32_t h = m / 100;
  uint32_t rest = m % 100;
  if (h == 1) s = "cent";
  if (h > 1) s = std::string(kFrenchUnits[h]) + " cent" + ((plural && rest == 0) ? "s" : "");
  if (rest != 0) AppendWithSpace(s, FrenchBelowHundred(rest, plural));
  return s;
}

std::string FrenchCardinal(uint32_t n, bool plural) {
  if (n == 0) return kFrenchUnits[0];
  std::string s;
  if (n >= 1000) {
    if (n / 1000 != 1) s = FrenchBelowThousand(n / 1000, false) + " ";
    s += "mille";
  }
  if (n % 1000 != 0) AppendWithSpace(s, FrenchBelowThousand(n % 1000, plural));
  return s;
}

std::string FrenchOrdinal(uint32_t n) {
  if (n == 0) return kFrenchUnits[0];
  if (n == 1) return "premier";
  std::string s = FrenchCardinal(n, false);
  if (s.back() == 'e') s.pop_back();
  if (s.back() == 'f') s.back() = 'v';
  if (s.back() == 'q') s += 'u';
  return s + "i\xE8me";
}

// Cardinal words in the given primary language, lower case.
std::string CardinalWords(uint32_t n, int32_t primary) {
  switch (primary) {
    case kGerman: return n < kOneMillion ? GermanCardinal(n) : std::to_string(n);
    case kSpanish: return n < kOneMillion ? SpanishCardinal(n) : std::to_string(n);
    case kFrench: return n < kOneMillion ? FrenchCardinal(n, true) : std::to_string(n);
    default: return EnglishCardinal(n);
  }
}

std::string OrdinalWords(uint32_t n, int32_t primary) {
  switch (primary) {
    case kGerman: return n < kOneMillion ? GermanOrdinal(n) : std::to_string(n);
    case kSpanish: return CardinalWords(n, primary);
    case kFrench: return n < kOneMillion ? FrenchOrdinal(n) : std::to_string(n);
    default: return EnglishOrdinal(n);
  }
}

std::string DanishSuffix(uint32_t m) {
  switch (m % 100) {
    case 0: return "ende";
    case 1: return "ste";
    case 2: return "nden";
    case 3: return "dje";
    case 4: return "rde";
    case 5: case 6: case 11: case 12: case 30: return "te";
    default: return "nde";
  }
}

std::string CatalanSuffix(uint32_t m) {
  switch (m) {
    case 1: return ".";
    case 2: return "n";
    case 3: return "r";
    case 4: return "t";
    case 14: return "\xE8h";
    default: return "\xE8";
  }
}

std::string EnglishSuffix(uint32_t m) {
  uint32_t lastTwo = m % 100;
  if (lastTwo >= 11 && lastTwo <= 13) return "th";
  switch (m % 10) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

std::string OrdinalSuffix(uint32_t m, int32_t primary) {
  switch (primary) {
    case 3: return CatalanSuffix(m);
    case 5: case 7: case 11: case 20: return ".";
    case 6: return DanishSuffix(m);
    case 10: case 16: case 22: return "\xBA";
    case 12: return m == 1 ? "er" : "e";
    case 19: return "e";
    case 29: return ((m % 10 == 1 || m % 10 == 2) && m % 100 != 11 && m % 100 != 12) ? ":a" : ":e";
    default: return EnglishSuffix(m);
  }
}

int32_t RomanLetterValue(char c) {
  switch (c) {
    case 'C': return 100;
    case 'D': return 500;
    case 'I': return 1;
    case 'L': return 50;
    case 'M': return 1000;
    case 'V': return 5;
    case 'X': return 10;
    default: return 0;
  }
}

void AppendRomanDigit(std::string& s, uint32_t digit, char one, char five, char ten) {
  if (digit == 9) {
    s += one;
    s += ten;
  } else if (digit >= 5) {
    s += five;
    s.append(digit - 5, one);
  } else if (digit == 4) {
    s += one;
    s += five;
  } else {
    s.append(digit, one);
  }
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string UpperFirstCp1252(std::string text) {
  if (!text.empty()) text[0] = UpperCp1252(text[0]);
  return text;
}

std::string IntToLetters(int32_t n) {
  if (n <= 0) return {};
  return std::string(static_cast<size_t>((n - 1) / 26 + 1), static_cast<char>('A' + (n - 1) % 26));
}

std::string IntToRoman(int32_t n) {
  if (n <= 0) return {};
  auto v = static_cast<uint32_t>(n);
  std::string s(v / 1000, 'M');
  AppendRomanDigit(s, v / 100 % 10, 'C', 'D', 'M');
  AppendRomanDigit(s, v / 10 % 10, 'X', 'L', 'C');
  AppendRomanDigit(s, v % 10, 'I', 'V', 'X');
  return s;
}

int32_t RomanToInt(const std::string& text, int32_t fallback) {
  int64_t total = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    int32_t value = RomanLetterValue(text[i]);
    if (value == 0) return fallback;
    if (i + 1 < text.size()) {
      int32_t next = RomanLetterValue(text[i + 1]);
      if (next == 0) return fallback;
      if (next > value) {
        value = next - value;
        ++i;
      }
    }
    total += value;
    if (total > INT32_MAX) total = INT32_MAX;  // absurdly long numerals saturate
  }
  return static_cast<int32_t>(total);
}

std::string FormatOrdinal(int32_t n, int32_t language) {
  return std::to_string(n) + OrdinalSuffix(Magnitude(n), PrimaryLanguage(language));
}

std::string NumberToWords(int32_t n, int32_t language) {
  return UpperFirstCp1252(CardinalWords(Magnitude(n), PrimaryLanguage(language)));
}

std::string OrdinalToWords(int32_t n, int32_t language) {
  return UpperFirstCp1252(OrdinalWords(Magnitude(n), PrimaryLanguage(language)));
}

void DecodeBase64InPlace(std::string& text) {
  if (text.size() % 4 != 0) {
    text.clear();
    return;
  }
  size_t out = 0;
  for (size_t group = 0; group < text.size(); group += 4) {
    uint32_t bits = 0;
    int complete = 0;
    for (int k = 0; k < 4; ++k) {
      char c = text[group + k];
      if (c == '=') break;
      int value = Base64Value(c);
      if (value < 0) {
        text.clear();
        return;
      }
      bits |= static_cast<uint32_t>(value) << (18 - 6 * k);
      ++complete;
    }
    bool padded = complete < 4;
    // "=" is allowed only to end the last group, and only after at least two characters.
    if (padded && (group + 4 != text.size() || complete < 2)) {
      text.clear();
      return;
    }
    for (int k = complete; k < 4; ++k) {
      if (text[group + k] != '=') {
        text.clear();
        return;
      }
    }
    int bytes = complete - 1;
    for (int k = 0; k < bytes; ++k) text[out++] = static_cast<char>((bits >> (16 - 8 * k)) & 0xFF);
  }
  text.resize(out);
}

}  // namespace qv
