#include "document/par_format.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace qv {

namespace {

constexpr std::array<uint8_t, TParFormat::Count> kWidths = {2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 2,
                                                            2, 1, 1, 2, 1, 2, 4, 1, 1, 1, 2, 4};
constexpr std::array<uint8_t, TParFormat::Count> kOffsets = {
    0, 2, 4, 6, 8, 10, 11, 12, 13, 14, 15, 16, 18, 20, 21, 22, 24, 25, 27, 31, 32, 33, 34, 36};

void CheckProp(int n) {
  if (n < 0 || n >= TParFormat::Count) throw std::out_of_range("paragraph format property");
}

uint8_t* BytesOf(TParFormat& f) { return reinterpret_cast<uint8_t*>(&f); }
const uint8_t* BytesOf(const TParFormat& f) { return reinterpret_cast<const uint8_t*>(&f); }

constexpr TParFormat MakeDefault() {
  TParFormat f;
  f.FirstIndent = f.LeftIndent = 0;
  f.LineSpacing = 240;
  f.LineRule = 1;
  f.RightIndent = 0;
  f.Alignment = f.KeepNext = f.KeepLines = f.PageBreakBefore = f.WidowControl = 0;
  f.NoHyphenation = 0;
  f.SpaceBefore = f.SpaceAfter = 0;
  f.Contextual = f.NoLineNumbers = 0;
  f.Style = 0;
  f.OutlineLevel = 9;
  f.TabSet = 0;
  f.List = 0;
  f.ListLevel = f.InTable = f.Collapsed = 0;
  f.Borders = 0;
  f.Shading = static_cast<int32_t>(0xFF000000u);
  return f;
}

constexpr TParFormat MakePlain() {
  TParFormat f = MakeDefault();
  f.FirstIndent = f.LeftIndent = f.RightIndent = ParUnset16;
  f.Alignment = ParUnset8;
  f.Shading = 0;
  return f;
}

constexpr TParFormat MakePlainWidow() {
  TParFormat f = MakePlain();
  f.WidowControl = 1;
  return f;
}

constexpr TParFormat MakeTable() {
  TParFormat f = MakeDefault();
  f.InTable = 1;
  return f;
}

}  // namespace

constinit const TParFormat DefaultParFormat = MakeDefault();
constinit const TParFormat UnsetParFormat{};
constinit const TParFormat PlainParFormat = MakePlain();
constinit const TParFormat PlainParFormatWidow = MakePlainWidow();
constinit const TParFormat TableParFormat = MakeTable();

int ParFormatPropWidth(int n) {
  CheckProp(n);
  return kWidths[n];
}

int ParFormatPropOffset(int n) {
  CheckProp(n);
  return kOffsets[n];
}

int32_t GetParFormatProp(const TParFormat& format, int n) {
  CheckProp(n);
  const uint8_t* p = BytesOf(format) + kOffsets[n];
  switch (kWidths[n]) {
    case 1: {
      int8_t v;
      std::memcpy(&v, p, 1);
      return v == ParUnset8 ? ParUnset32 : v;
    }
    case 2: {
      int16_t v;
      std::memcpy(&v, p, 2);
      return v == ParUnset16 ? ParUnset32 : v;
    }
    default: {
      int32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

bool IsParFormatPropUnset(const TParFormat& format, int n) {
  return GetParFormatProp(format, n) == ParUnset32;
}

void SetParFormatProp(TParFormat& format, int n, int32_t value) {
  CheckProp(n);
  uint8_t* p = BytesOf(format) + kOffsets[n];
  switch (kWidths[n]) {
    case 1: {
      int8_t v = value == ParUnset32 ? ParUnset8 : static_cast<int8_t>(value);
      std::memcpy(p, &v, 1);
      break;
    }
    case 2: {
      int16_t v = value == ParUnset32 ? ParUnset16 : static_cast<int16_t>(value);
      std::memcpy(p, &v, 2);
      break;
    }
    default:
      std::memcpy(p, &value, 4);
  }
}

void CopyParFormatProp(TParFormat& target, int n, const TParFormat& source) {
  CheckProp(n);
  std::memcpy(BytesOf(target) + kOffsets[n], BytesOf(source) + kOffsets[n], kWidths[n]);
}

void ClearParFormatProp(TParFormat& format, int n) { SetParFormatProp(format, n, ParUnset32); }

bool IsParFormatEmpty(const TParFormat& format) { return ParFormatsEqual(format, UnsetParFormat); }

bool ParFormatsEqual(const TParFormat& a, const TParFormat& b) {
  return std::memcmp(&a, &b, sizeof(TParFormat)) == 0;
}

void FillUnsetParFormat(TParFormat& format, const TParFormat& defaults) {
  for (int n = TParFormat::Count - 1; n >= 0; --n) {
    if (IsParFormatPropUnset(format, n)) CopyParFormatProp(format, n, defaults);
  }
}

void ApplyParFormat(TParFormat& target, const TParFormat& source) {
  for (int n = 0; n < TParFormat::Count; ++n) {
    if (!IsParFormatPropUnset(source, n)) CopyParFormatProp(target, n, source);
  }
}

void IntersectParFormat(TParFormat& format, const TParFormat& other) {
  for (int n = 0; n < TParFormat::Count; ++n) {
    if (GetParFormatProp(format, n) != GetParFormatProp(other, n)) ClearParFormatProp(format, n);
  }
}

void SubtractParFormat(TParFormat& format, const TParFormat& base) {
  if (format.FirstIndent == base.FirstIndent && format.LeftIndent == base.LeftIndent) {
    format.FirstIndent = format.LeftIndent = ParUnset16;
  } else if (format.FirstIndent == 0 && base.FirstIndent == 0) {
    format.FirstIndent = ParUnset16;
  }
  if (format.LineSpacing == base.LineSpacing && format.LineRule == base.LineRule) {
    format.LineSpacing = format.LineRule = ParUnset16;
  }
  for (int n = ppRightIndent; n < TParFormat::Count; ++n) {
    if (GetParFormatProp(format, n) == GetParFormatProp(base, n)) ClearParFormatProp(format, n);
  }
}

}  // namespace qv
