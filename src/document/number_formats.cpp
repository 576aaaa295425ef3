#include "document/number_formats.h"

#include <cmath>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "foundation/base/number_words.h"
#include "foundation/base/units.h"
#include "foundation/settings/options_holder.h"
#include "foundation/base/service_slot.h"

namespace qv {

const std::string NoteSymbols = "\x2A\x86\x87\xA7";

namespace {

// The largest numbers written as letters (a letter at most 255 times), roman numerals (at most
// 255 "M") and note symbols (a symbol at most 255 times).
constexpr int32_t kLargestLetterNumber = 26 * 255;
constexpr int32_t kLargestRomanNumber = 256000 - 1;
constexpr int32_t kLargestSymbolNumber = 4 * 255;

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

std::string UpperAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return s;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A core of decimal digits that fits a 32-bit number.
bool ReadDecimal(const std::string& core, int32_t& value) {
  int64_t v = 0;
  for (char c : core) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > INT32_MAX) return false;
  }
  value = static_cast<int32_t>(v);
  return true;
}

// The readings of a core that is not a decimal number: roman numeral, then repeated letter.
void AddLetterReadings(const std::string& core, std::vector<int32_t>& codes,
                       std::vector<int32_t>& starts) {
  int32_t roman = RomanToInt(UpperAscii(core), 0);
  if (roman > 0) {
    bool anyUpper = false;
    for (char c : core) anyUpper = anyUpper || (c >= 'A' && c <= 'Z');
    codes.push_back(anyUpper ? nfUpperRoman : nfLowerRoman);
    starts.push_back(roman);
  }
  char first = core[0];
  if (!IsAsciiLetter(first) || core.find_first_not_of(first) != std::string::npos) return;
  int64_t start = (UpperAscii(std::string(1, first))[0] - 'A' + 1) +
                  static_cast<int64_t>(core.size() - 1) * 26;
  if (start > INT32_MAX) return;
  bool upper = first >= 'A' && first <= 'Z';
  codes.push_back(upper ? nfUpperLetter : nfLowerLetter);
  starts.push_back(static_cast<int32_t>(start));
}

struct TRulerStep {
  int32_t major;  // hundredths of the unit
  int32_t subdivisions;
};

TRulerStep RulerStepOfUnit(int32_t unit) {
  switch (unit) {
    case 0: return {100, 4};
    case 1: return {100, 8};
    case 2: return {3600, 6};
    case 3: return {600, 6};
    default: return {2000, 10};
  }
}

}  // namespace

std::string NumberToText(int32_t number, uint8_t style) {
  std::string text;
  bool letters = style == nsLowerLetter || style == nsUpperLetter;
  // Numbers too large for a readable numeral (a damaged start number, say) stay in digits rather
  // than becoming a text of megabytes.
  if (style == nsArabic || number > (letters ? kLargestLetterNumber : kLargestRomanNumber)) {
    return std::to_string(number);
  }
  text = letters ? IntToLetters(number) : IntToRoman(number);
  if (style == nsLowerLetter || style == nsLowerRoman) text = LowerAscii(text);
  return text;
}

std::string FormatNumberByCode(int32_t number, int32_t code) {
  static constexpr uint8_t kStyleOfCode[] = {nsArabic, nsUpperRoman, nsLowerRoman, nsUpperLetter,
                                             nsLowerLetter};
  if (code >= 0 && code <= 4) return NumberToText(number, kStyleOfCode[code]);
  int32_t n = number < 1 ? 1 : number;
  if (n > kLargestSymbolNumber) return std::to_string(n);
  return std::string(static_cast<size_t>((n - 1) / 4 + 1), NoteSymbols[(n - 1) % 4]);
}

bool IsBulletNumberFormat(int32_t code) { return code >= nfFirstBullet && code != nfNone; }

std::string LevelNumberPositions(const std::u16string& levelText) {
  std::string positions;
  for (char16_t level = 0; level <= 8; ++level) {
    size_t at = levelText.find(level);
    if (at != std::u16string::npos && at < 255) positions += static_cast<char>(at + 1);
  }
  return positions;
}

bool ParseTypedListNumber(const std::string& token, std::u16string& text,
                          std::vector<int32_t>& codes, std::vector<int32_t>& starts) {
  if (token.size() < 2) return false;
  char last = token.back();
  if (last != ')' && last != '.') return false;
  bool opened = token.front() == '(';
  if (opened && last != ')') return false;
  std::string core = token.substr(opened ? 1 : 0, token.size() - 1 - (opened ? 1 : 0));
  if (core.empty()) return false;

  size_t added = codes.size();
  int32_t n = 0;
  if (ReadDecimal(core, n)) {
    starts.push_back(n);
    if (core.size() == 2 && core[0] == '0') {
      codes.push_back(nfLeadingZero);
    } else {
      codes.push_back(nfArabic);
      if (core.size() > 1) {
        codes.push_back(nfLeadingZero);
        starts.push_back(n);
      }
    }
  } else {
    AddLetterReadings(core, codes, starts);
  }
  if (codes.size() == added) return false;

  // The core is digits or ASCII letters and the rest are brackets and stops, so the token widens
  // byte for byte.
  std::string marked = token;
  for (size_t at = marked.find(core); at != std::string::npos; at = marked.find(core, at + 1)) {
    marked.replace(at, core.size(), 1, '\0');
  }
  text.assign(marked.begin(), marked.end());
  return true;
}

std::string FormatListNumber(int32_t number, int32_t code, int32_t language) {
  switch (code) {
    case nfArabic: case nfUpperRoman: case nfLowerRoman: case nfUpperLetter: case nfLowerLetter:
      return FormatNumberByCode(number, code);
    case nfOrdinal: return FormatOrdinal(number == INT32_MIN ? INT32_MAX : std::abs(number), language);
    case nfCardinalText: return NumberToWords(number, language);
    case nfOrdinalText: return OrdinalToWords(number, language);
    case nfLeadingZero: {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%.2d", number);  // at least two digits, sign apart
      return digits;
    }
    default: return {};
  }
}

int32_t TRulerSnapServices::MeasurementUnit() const { return GetOptions().General.Measurements; }

bool TRulerSnapServices::AltKeyDown() const { return false; }

void RegisterRulerSnapServices(std::unique_ptr<TRulerSnapServices> services) {
  RegisterService(std::move(services));
}

const TRulerSnapServices& RulerSnapServices() { return *ServiceSlot<TRulerSnapServices>(); }

int32_t SnapRulerPosition(int32_t position, int32_t extra, const std::vector<int32_t>* candidates,
                          bool honourAlt) {
  const TRulerSnapServices& services = RulerSnapServices();
  if (honourAlt && services.AltKeyDown()) return position;
  return SnapRulerPositionInUnit(position, extra, candidates, services.MeasurementUnit());
}

int32_t SnapRulerPositionInUnit(int32_t position, int32_t extra,
                                const std::vector<int32_t>* candidates, int32_t unit) {
  TRulerStep ruler = RulerStepOfUnit(unit);
  double step = static_cast<double>(Units100ToTwips(ruler.major, unit)) / ruler.subdivisions / 2;
  // nearbyint rounds half to even in the default rounding mode.
  double gridTwips = std::nearbyint(std::nearbyint(position / step) * step);
  gridTwips = std::clamp(gridTwips, double(INT32_MIN), double(INT32_MAX));
  int32_t grid = Units100ToTwips(TwipsToUnits100(static_cast<int32_t>(gridTwips), unit), unit);

  std::vector<int32_t> all;
  if (candidates) all = *candidates;
  all.push_back(extra);
  int32_t result = grid;
  int64_t threshold = std::max<int64_t>(96, std::llabs(int64_t{position} - grid));
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (*it == static_cast<int32_t>(0x80000000u)) continue;
    int64_t distance = std::llabs(int64_t{*it} - position);
    if (distance < threshold) {
      result = *it;
      threshold = distance;
    }
  }
  return result;
}

}  // namespace qv
