#pragma once
// The properties of a character format that decide which font draws it. Two formats give the
// same font when these are equal; colour, spacing and the other properties do not matter. The
// document model's character format supplies them (its Font, Size, Bold, Italic, Strike,
// DoubleStrike, Underline and Scale properties); Size is the pixel height the caller asks for.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace qv {

struct TFontKey {
  int32_t Font = 0;          // font number
  int32_t Size = 0;          // pixel height
  int32_t Bold = 0;
  int32_t Italic = 0;
  int32_t Strike = 0;
  int32_t DoubleStrike = 0;
  int32_t Underline = 0;
  int32_t Scale = 100;       // width scale in percent
  friend bool operator==(const TFontKey&, const TFontKey&) = default;
};

// The key of a format record with these property names (the document model's character format
// passes itself here), so that the two need not know each other's headers.
template <class Format>
TFontKey FontKeyOf(const Format& f) {
  return {f.Font, f.Size, f.Bold, f.Italic, f.Strike, f.DoubleStrike, f.Underline, f.Scale};
}

inline bool SameFontKey(const TFontKey& a, const TFontKey& b) { return a == b; }

struct TFontKeyHash {
  size_t operator()(const TFontKey& k) const {
    size_t h = 0;
    for (int32_t v : {k.Font, k.Size, k.Bold, k.Italic, k.Strike, k.DoubleStrike, k.Underline,
                      k.Scale})
      h = h * 1000003u ^ std::hash<int32_t>()(v);
    return h;
  }
};

}  // namespace qv
