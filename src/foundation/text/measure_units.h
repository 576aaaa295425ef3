#pragma once
// Lengths as the user sees them, and the small tables that go with them.
//
// The document model measures in twips (1/1440 inch); the user chooses a measurement unit in the
// options ("Measurements": 0 centimetres, 1 inches, 2 points, 3 picas, anything else
// millimetres). The conversions between twips and hundredths of that unit are the units
// module's (foundation/base/units.h); here lengths are written as text in that unit.
//
// Besides: the table of paper and envelope sizes with their lookups, the 16 colours of the Word
// colour index with the nearest-colour mapping, and the supported underline codes with their
// descriptions.
#include <array>
#include <cstdint>
#include <string>

#include "foundation/base/units.h"

namespace qv {

// Measurement units.
enum : int32_t { muCentimetres = 0, muInches = 1, muPoints = 2, muPicas = 3, muMillimetres = 4 };

// " cm", the inch mark (a double quote, no space), " pt", " pi" or " mm".
const char* GetUnitSuffix(int32_t unit);
// A length with its suffix: centimetres, inches and picas with up to 15 significant digits and
// the given decimal separator ("1.27 cm", "0.5\"", "3 pi"); points and millimetres rounded to a
// whole number, halves to even ("36 pt", "13 mm").
std::string TwipsToUnitText(int32_t twips, int32_t unit, const std::string& decimalSeparator);
// The same in the user's unit (the "Measurements" option) with the locale's decimal separator.
std::string TwipsToUnitText(int32_t twips);
// A number in the general format ("%.15g") with the given decimal separator.
std::string FormatGeneralNumber(double value, const std::string& decimalSeparator);

// --- Paper and envelope sizes ---

struct TPaperSize {
  int32_t Width;       // twips; -1 for the custom size
  int32_t Height;
  int32_t PaperCode;   // the printer's paper code, 0 where there is none
  const char* Caption; // the two dimensions between "^" marks
};

inline constexpr int32_t PaperSizeCount = 36;
inline constexpr int32_t FirstEnvelopeSize = 13;
inline constexpr int32_t LastEnvelopeSize = 34;
inline constexpr int32_t CustomPaperSize = 35;
// Rows 0 to 12 are paper sizes, 13 to 34 envelopes, 35 the custom size.
extern const std::array<TPaperSize, PaperSizeCount> PaperSizes;

// The first of rows 0 to 34 whose size matches within 20 twips either way round; 35 when none.
int32_t FindPaperSize(int32_t width, int32_t height);
// The same over the envelope rows; -1 when none.
int32_t FindEnvelopeSize(int32_t width, int32_t height);
// The printer paper code of the FindPaperSize row (0 for the custom size).
int32_t PaperSizeCode(int32_t width, int32_t height);

// --- Word colour index ---

// Entry 0 is unused; entries 1 to 16 are the colours of the index (0x00BBGGRR).
extern const std::array<uint32_t, 17> IcoColors;
// The index (1 to 16) of the nearest colour by the sum of the channel differences, the lower
// index on a tie; an entry equal to `avoid` is skipped unless it is the colour itself. The
// automatic colour gives 0.
int32_t ColorToIco(uint32_t color, uint32_t avoid);
// The colour is not exactly the index colour that ColorToIco picks for it.
bool IsNonIcoColor(uint32_t color);

// --- Underlines ---

inline constexpr int32_t UnderlineStyleCount = 18;
extern const std::array<int32_t, UnderlineStyleCount> UnderlineCodes;
extern const std::array<const char*, UnderlineStyleCount> UnderlineWords;
// The index of the code in UnderlineCodes; -1 when the code is not supported.
int32_t UnderlineStyleIndex(int32_t code);

}  // namespace qv
