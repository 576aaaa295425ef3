#include "foundation/text/measure_units.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "foundation/base/string_utils.h"
#include "foundation/settings/options_holder.h"

namespace qv {

namespace {

constexpr uint32_t kAutomaticColour = 0xFF000000u;

// Hundredths to a whole number, halves to the even neighbour.
int64_t RoundHundredthsHalfEven(int64_t v) {
  int64_t q = v / 100;
  const int64_t r = v % 100;
  const int64_t twice = std::llabs(r) * 2;
  const int64_t away = v < 0 ? -1 : 1;
  if (twice > 100 || (twice == 100 && (q % 2) != 0)) q += away;
  return q;
}

}  // namespace

const char* GetUnitSuffix(int32_t unit) {
  switch (unit) {
    case muCentimetres: return " cm";
    case muInches: return "\"";
    case muPoints: return " pt";
    case muPicas: return " pi";
    default: return " mm";
  }
}

std::string FormatGeneralNumber(double value, const std::string& decimalSeparator) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string out;
  for (const char* p = buf; *p != 0; ++p) {
    if (*p == '.') out += decimalSeparator;
    else out += *p;
  }
  return out;
}

std::string TwipsToUnitText(int32_t twips, int32_t unit, const std::string& decimalSeparator) {
  const int32_t v = TwipsToUnits100(twips, unit);
  std::string text;
  if (unit == muCentimetres || unit == muInches || unit == muPicas)
    text = FormatGeneralNumber(v / 100.0, decimalSeparator);
  else  // points and millimetres (the fallback unit)
    text = std::to_string(RoundHundredthsHalfEven(v));
  return text + GetUnitSuffix(unit);
}

std::string TwipsToUnitText(int32_t twips) {
  return TwipsToUnitText(twips, GetOptions().General.Measurements, LocaleDecimalSeparator());
}

// --- Paper and envelope sizes ---

const std::array<TPaperSize, PaperSizeCount> PaperSizes = {{
    {12240, 15840, 1, "US Letter, ^8 1/2^ x ^11^ in"},
    {12240, 20160, 5, "US Legal, ^8 1/2^ x ^14^ in"},
    {24480, 31680, 0, "C sheet, ^17^ x ^22^ in"},
    {15840, 24480, 3, "Tabloid, ^11^ x ^17^ in"},
    {7920, 12240, 6, "Statement, ^5 1/2^ x ^8 1/2^ in"},
    {10440, 15120, 7, "Executive, ^7 1/4^ x ^10 1/2^ in"},
    {12240, 18720, 14, "Folio, ^8 1/2^ x ^13^ inch"},
    {12189, 15591, 15, "Quarto, ^215^ x ^275^ mm"},
    {16838, 23811, 8, "A3 sheet, ^297^ x ^420^ mm"},
    {11905, 16838, 9, "A4 sheet, ^210^ x ^297^ mm"},
    {8391, 11905, 11, "A5 sheet, ^148^ x ^210^ mm"},
    {14173, 20069, 12, "B4 sheet, ^250^ x ^354^ mm"},
    {10318, 14570, 13, "B5 (JIS) sheet, ^182^ x ^257^ mm"},
    {5580, 12780, 19, "#9 Envelope, ^3 7/8^ x ^8 7/8^ in"},
    {5940, 13680, 20, "#10 Envelope, ^4 1/8^ x ^9 1/2^ in"},
    {6480, 14940, 21, "#11 Envelope, ^4 1/2^ x ^10 3/8^ in"},
    {6840, 15840, 22, "#12 Envelope, ^4 3/4^ x ^11^ in"},
    {7200, 16560, 23, "#14 Envelope, ^5^ x ^11 1/2^ in"},
    {5220, 9360, 38, "6 3/4 Envelope, ^3 5/8^ x ^6 1/2^ in"},
    {5580, 10800, 37, "Monarch Envelope, ^3 7/8^ x ^7 1/2^ in"},
    {18369, 25965, 29, "C3 Envelope, ^324^ x ^458^ mm"},
    {12983, 18369, 30, "C4 Envelope, ^229^ x ^324^ mm"},
    {9184, 12983, 28, "C5 Envelope, ^162^ x ^229^ mm"},
    {6463, 9184, 31, "C6 Envelope, ^114^ x ^162^ mm"},
    {6463, 12983, 32, "C65 Envelope, ^114^ x ^229^ mm"},
    {14173, 20013, 33, "B4 Envelope, ^250^ x ^353^ mm"},
    {9978, 14173, 34, "B5 Envelope, ^176^ x ^250^ mm"},
    {7087, 9978, 35, "B6 Envelope, ^125^ x ^176^ mm"},
    {12472, 17575, 0, "E4 Envelope, ^220^ x ^310^ mm"},
    {8787, 12472, 0, "E5 Envelope, ^155^ x ^220^ mm"},
    {6236, 8787, 0, "E6 Envelope, ^110^ x ^155^ mm"},
    {6236, 12472, 27, "E65 (or DL) Envelope, ^110^ x ^220^ mm"},
    {8787, 12643, 0, "M5 Envelope, ^155^ x ^223^ mm"},
    {6350, 12643, 0, "M65 Envelope, ^112^ x ^223^ mm"},
    {6236, 13039, 36, "Italian Envelope, ^110^ x ^230^ mm"},
    {-1, -1, 0, "custom"},
}};

namespace {

bool Near(int64_t a, int64_t b) { return std::llabs(a - b) <= 20; }

int32_t FindSizeIn(int32_t first, int32_t last, int32_t width, int32_t height) {
  for (int32_t i = first; i <= last; ++i) {
    const TPaperSize& p = PaperSizes[static_cast<size_t>(i)];
    if ((Near(width, p.Width) && Near(height, p.Height)) ||
        (Near(width, p.Height) && Near(height, p.Width)))
      return i;
  }
  return -1;
}

}  // namespace

int32_t FindPaperSize(int32_t width, int32_t height) {
  const int32_t row = FindSizeIn(0, LastEnvelopeSize, width, height);
  return row < 0 ? CustomPaperSize : row;
}

int32_t FindEnvelopeSize(int32_t width, int32_t height) {
  return FindSizeIn(FirstEnvelopeSize, LastEnvelopeSize, width, height);
}

int32_t PaperSizeCode(int32_t width, int32_t height) {
  return PaperSizes[static_cast<size_t>(FindPaperSize(width, height))].PaperCode;
}

// --- Word colour index ---

const std::array<uint32_t, 17> IcoColors = {
    0x000000u,                                   // unused
    0x000000u, 0xFF0000u, 0xFFFF00u, 0x00FF00u,  // black, blue, cyan, green
    0xFF00FFu, 0x0000FFu, 0x00FFFFu, 0xFFFFFFu,  // magenta, red, yellow, white
    0x800000u, 0x808000u, 0x008000u, 0x800080u,  // dark blue, dark cyan, dark green, dark magenta
    0x000080u, 0x008080u, 0x808080u, 0xC0C0C0u,  // dark red, dark yellow, dark gray, light gray
};

int32_t ColorToIco(uint32_t color, uint32_t avoid) {
  if (color == kAutomaticColour) return 0;
  auto channel = [](uint32_t c, int shift) { return static_cast<int32_t>((c >> shift) & 0xFF); };
  int32_t best = 0;
  int32_t bestDistance = std::numeric_limits<int32_t>::max();
  for (int32_t i = 1; i <= 16; ++i) {
    const uint32_t entry = IcoColors[static_cast<size_t>(i)];
    if (entry == avoid && entry != color) continue;
    const int32_t d = std::abs(channel(color, 0) - channel(entry, 0)) +
                      std::abs(channel(color, 8) - channel(entry, 8)) +
                      std::abs(channel(color, 16) - channel(entry, 16));
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

bool IsNonIcoColor(uint32_t color) {
  const int32_t ico = ColorToIco(color, 0x80000000u);
  return ico == 0 || IcoColors[static_cast<size_t>(ico)] != color;
}

// --- Underlines ---

const std::array<int32_t, UnderlineStyleCount> UnderlineCodes = {
    0, 1, 2, 3, 4, 6, 7, 9, 10, 11, 20, 23, 25, 26, 27, 39, 43, 55};

const std::array<const char*, UnderlineStyleCount> UnderlineWords = {
    "not underline",          "single underline",           "word underline",
    "double underline",       "dotted underline",           "thick underline",
    "dash underline",         "dash-dot underline",         "dash-dot-dot underline",
    "wave underline",         "thick dotted underline",     "thick dash underline",
    "thick dash-dot underline", "thick dash-dot-dot underline", "heavy wave underline",
    "long dash underline",    "double wave underline",      "thick long dash underline"};

int32_t UnderlineStyleIndex(int32_t code) {
  for (int32_t i = 0; i < UnderlineStyleCount; ++i)
    if (UnderlineCodes[static_cast<size_t>(i)] == code) return i;
  return -1;
}

}  // namespace qv
