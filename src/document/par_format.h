#pragma once
// TParFormat: the one record of paragraph formatting, 24 properties of different widths packed
// into 40 bytes without gaps (the layout that undo records, the clipboard fragment form and
// templates store). Every property may be unset; the unset value depends on the width: 0x80 for
// one byte, 0x8000 for two, 0x80000000 for four. Access by property number goes through the
// Get/Set/Copy/Clear accessors, so set operations can loop over the properties.
#include <bit>
#include <cstdint>

namespace qv {

static_assert(std::endian::native == std::endian::little,
              "TParFormat's packed layout is stored byte for byte and must be little-endian");

inline constexpr int8_t ParUnset8 = INT8_MIN;     // 0x80
inline constexpr int16_t ParUnset16 = INT16_MIN;  // 0x8000
inline constexpr int32_t ParUnset32 = INT32_MIN;  // 0x80000000; also what the accessors answer
                                                  // for an unset property of any width

#pragma pack(push, 1)
struct TParFormat {
  static constexpr int Count = 24;

  int16_t FirstIndent = ParUnset16;  // twips, relative to the left indent; negative hangs
  int16_t LeftIndent = ParUnset16;   // twips
  int16_t LineSpacing = ParUnset16;  // rule 1: 240ths of a line; rule 0: twips, <0 exactly
  int16_t LineRule = ParUnset16;     // 1 multiple, 0 at least or exactly
  int16_t RightIndent = ParUnset16;  // twips
  int8_t Alignment = ParUnset8;      // 0 left, 1 centred, 2 right, 3 justified
  int8_t KeepNext = ParUnset8;
  int8_t KeepLines = ParUnset8;
  int8_t PageBreakBefore = ParUnset8;
  int8_t WidowControl = ParUnset8;
  int8_t NoHyphenation = ParUnset8;
  int16_t SpaceBefore = ParUnset16;  // twips; -20 automatic
  int16_t SpaceAfter = ParUnset16;   // twips; -20 automatic
  int8_t Contextual = ParUnset8;     // no space between paragraphs of the same style
  int8_t NoLineNumbers = ParUnset8;
  int16_t Style = ParUnset16;        // paragraph style index
  int8_t OutlineLevel = ParUnset8;   // 0..8, 9 body text
  int16_t TabSet = ParUnset16;       // index into the tab manager's sets, 0 none
  int32_t List = ParUnset32;         // number of the paragraph's automatic list, 0 none
  int8_t ListLevel = ParUnset8;      // 0..8
  int8_t InTable = ParUnset8;
  int8_t Collapsed = ParUnset8;
  int16_t Borders = ParUnset16;      // index into the border-set table, 0 no borders
  int32_t Shading = ParUnset32;      // colour; any negative value means no shading
};
#pragma pack(pop)

static_assert(sizeof(TParFormat) == 40);

// Property numbers, in the record's order.
enum TParProp : int {
  ppFirstIndent, ppLeftIndent, ppLineSpacing, ppLineRule, ppRightIndent, ppAlignment,
  ppKeepNext, ppKeepLines, ppPageBreakBefore, ppWidowControl, ppNoHyphenation, ppSpaceBefore,
  ppSpaceAfter, ppContextual, ppNoLineNumbers, ppStyle, ppOutlineLevel, ppTabSet, ppList,
  ppListLevel, ppInTable, ppCollapsed, ppBorders, ppShading
};

int ParFormatPropWidth(int n);   // 1, 2 or 4 bytes
int ParFormatPropOffset(int n);  // byte offset in the record

// The value sign-extended to 32 bits; ParUnset32 when the property holds its width's unset value.
int32_t GetParFormatProp(const TParFormat& format, int n);
bool IsParFormatPropUnset(const TParFormat& format, int n);
// Stores the value truncated to the width; ParUnset32 stores the width's unset value.
void SetParFormatProp(TParFormat& format, int n, int32_t value);
void CopyParFormatProp(TParFormat& target, int n, const TParFormat& source);
void ClearParFormatProp(TParFormat& format, int n);

// Program-wide formats.
extern const TParFormat DefaultParFormat;
extern const TParFormat UnsetParFormat;
extern const TParFormat PlainParFormat;  // the base file writers subtract from a style's format
extern const TParFormat PlainParFormatWidow;
extern const TParFormat TableParFormat;  // row-end paragraphs made by table operations

bool IsParFormatEmpty(const TParFormat& format);
bool ParFormatsEqual(const TParFormat& a, const TParFormat& b);
void FillUnsetParFormat(TParFormat& format, const TParFormat& defaults);
void ApplyParFormat(TParFormat& target, const TParFormat& source);
// Unsets every property whose value differs from other's.
void IntersectParFormat(TParFormat& format, const TParFormat& other);
// Unsets what equals base; the indents and the line spacing are compared as pairs.
void SubtractParFormat(TParFormat& format, const TParFormat& base);

}  // namespace qv
