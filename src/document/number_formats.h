#pragma once
// Numbers as field results, list numbers and note marks: arabic numerals, letters, roman numerals
// or note symbols, keyed by a number style (field switches, index page numbers) or by a
// number-format code (list levels, note settings), plus the recogniser of a list number typed at
// the start of a paragraph and the snapping of positions dragged on the ruler.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

// Number styles of field switches and index page numbers. Any value above 4 counts as upper-case
// roman.
enum : uint8_t {
  nsArabic = 0,
  nsLowerLetter = 1,
  nsUpperLetter = 2,
  nsLowerRoman = 3,
  nsUpperRoman = 4,
};

// Number-format codes stored in list levels and in the note settings of sections.
enum : int32_t {
  nfArabic = 0,
  nfUpperRoman = 1,
  nfLowerRoman = 2,
  nfUpperLetter = 3,
  nfLowerLetter = 4,
  nfOrdinal = 5,
  nfCardinalText = 6,
  nfOrdinalText = 7,
  nfNoteSymbols = 9,
  nfLeadingZero = 22,
  nfFirstBullet = 23,
  nfNone = 255,
};

// Asterisk, dagger, double dagger and section sign in code page 1252.
extern const std::string NoteSymbols;

// Numbers beyond what letters (6630), roman numerals (255999) or note symbols (1020) write
// readably come out in decimal digits.
std::string NumberToText(int32_t number, uint8_t style);

// Codes 0..4 go through NumberToText; every other code gives note symbols: symbol (n - 1) mod 4,
// written ceil(n / 4) times. Numbers below 1 count as 1, so a mark is never empty.
std::string FormatNumberByCode(int32_t number, int32_t code);

// 23 and above, except 255 (none), are bullets; negative codes and 255 count as numbering.
bool IsBulletNumberFormat(int32_t code);
inline bool IsNumberedFormat(int32_t code) { return !IsBulletNumberFormat(code); }

// For each level 0..8 whose placeholder character (U+0000..U+0008) occurs in the level text, the
// 1-based position of its first occurrence as one byte, in level order.
std::string LevelNumberPositions(const std::u16string& levelText);

// Recognises a typed list number such as "1.", "(iv)", "a)" or "01)". On success `text` is the
// token with the number replaced by the level placeholder U+0000, and `codes` and `starts` have
// received, in step, each reading of the number (format code and start number).
bool ParseTypedListNumber(const std::string& token, std::u16string& text,
                          std::vector<int32_t>& codes, std::vector<int32_t>& starts);

// The number text of a list level: codes 0..4 numerals and letters, 5 number with ordinal suffix,
// 6 cardinal and 7 ordinal in words (of the magnitude, in the given language), 22 at least two
// digits; any other code an empty text.
std::string FormatListNumber(int32_t number, int32_t code, int32_t language);

// What ruler snapping needs of the interface: the user's measurement unit (0 cm, 1 inch, 2 point,
// 3 pica, 4 mm) and whether Alt is held down. The default reads the "Measurements" option and
// never sees Alt; the document window registers one that reads the keyboard state.
class TRulerSnapServices {
 public:
  virtual ~TRulerSnapServices() = default;
  virtual int32_t MeasurementUnit() const;
  virtual bool AltKeyDown() const;
};
void RegisterRulerSnapServices(std::unique_ptr<TRulerSnapServices> services);
const TRulerSnapServices& RulerSnapServices();

// Snaps a dragged ruler position (twips) to the unit's grid, or to a candidate (the list, then
// `extra`; 0x80000000 entries are skipped) that lies within 96 twips or nearer than the grid.
// With `honourAlt` and Alt held down the position comes back unchanged.
int32_t SnapRulerPosition(int32_t position, int32_t extra, const std::vector<int32_t>* candidates,
                          bool honourAlt);
// The same for an explicit unit, without the Alt test.
int32_t SnapRulerPositionInUnit(int32_t position, int32_t extra,
                                const std::vector<int32_t>* candidates, int32_t unit);

}  // namespace qv
