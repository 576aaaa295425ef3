#include "files/text/text_decoding.h"

namespace qv {
namespace {

bool InRange(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }
bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

TDecodedChar Replacement(size_t taken) {
  TDecodedChar out;
  out.Units[0] = kReplacementChar;
  out.Replaced = true;
  out.Taken = taken;
  return out;
}

TDecodedChar OneUnit(uint32_t unit, size_t taken) {
  TDecodedChar out;
  out.Units[0] = static_cast<char16_t>(unit);
  out.Taken = taken;
  return out;
}

TDecodedChar TwoUnits(uint32_t high, uint32_t low, size_t taken) {
  TDecodedChar out;
  out.Units[0] = static_cast<char16_t>(high);
  out.Units[1] = static_cast<char16_t>(low);
  out.UnitCount = 2;
  out.Taken = taken;
  return out;
}

}  // namespace

TDecodedChar DecodeUtf8Char(const uint8_t* data, size_t size, size_t at) {
  const uint8_t b = data[at];
  if (b < 0x80) return OneUnit(b, 1);
  size_t need = 0;
  uint8_t lo = 0x80, hi = 0xBF;
  uint32_t cp = 0;
  if (InRange(b, 0xC2, 0xDF)) {
    need = 1;
    cp = b & 0x1F;
  } else if (InRange(b, 0xE0, 0xEF)) {
    need = 2;
    cp = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
  } else if (InRange(b, 0xF0, 0xF4)) {
    need = 3;
    cp = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  }
  size_t k = 1;
  if (need > 0) {
    for (; k <= need && at + k < size; ++k) {
      const uint8_t c = data[at + k];
      if (k == 1 ? !InRange(c, lo, hi) : !InRange(c, 0x80, 0xBF)) break;
      cp = (cp << 6) | (c & 0x3F);
    }
  }
  // An invalid byte, or a sequence broken off: one replacement for what was read.
  if (need == 0 || k <= need) return Replacement(k);
  const size_t next = at + need + 1;
  if (IsHighSurrogate(cp)) {
    // A pair written as two 3-byte sequences (as files of older writers hold).
    if (next + 2 < size && data[next] == 0xED && InRange(data[next + 1], 0xB0, 0xBF) &&
        InRange(data[next + 2], 0x80, 0xBF))
      return TwoUnits(cp, 0xDC00 | ((data[next + 1] & 0x0F) << 6) | (data[next + 2] & 0x3F),
                      need + 4);
    return Replacement(need + 1);
  }
  if (IsLowSurrogate(cp)) return Replacement(need + 1);
  if (cp >= 0x10000) {
    cp -= 0x10000;
    return TwoUnits(0xD800 | (cp >> 10), 0xDC00 | (cp & 0x3FF), need + 1);
  }
  return OneUnit(cp, need + 1);
}

TDecodedChar DecodeUtf16Char(const uint8_t* data, size_t units, size_t at, bool bigEndian) {
  const char16_t u = Utf16UnitAt(data, at, bigEndian);
  if (IsHighSurrogate(u) && at + 1 < units) {
    const char16_t low = Utf16UnitAt(data, at + 1, bigEndian);
    if (IsLowSurrogate(low)) return TwoUnits(u, low, 2);
  }
  if (IsHighSurrogate(u) || IsLowSurrogate(u)) return Replacement(1);
  return OneUnit(u, 1);
}

std::u16string DecodeUtf8Text(const uint8_t* data, size_t size, int32_t* replacements) {
  std::u16string out;
  out.reserve(size);
  int32_t bad = 0;
  for (size_t i = 0; i < size;) {
    if (data[i] < 0x80) {
      out.push_back(data[i++]);
      continue;
    }
    const TDecodedChar c = DecodeUtf8Char(data, size, i);
    out.append(c.Units, c.UnitCount);
    bad += c.Replaced ? 1 : 0;
    i += c.Taken;
  }
  if (replacements != nullptr) *replacements += bad;
  return out;
}

std::u16string DecodeUtf16Text(const uint8_t* data, size_t size, bool bigEndian,
                               int32_t* replacements) {
  std::u16string out;
  const size_t units = size / 2;
  out.reserve(units + 1);
  int32_t bad = 0;
  for (size_t k = 0; k < units;) {
    const TDecodedChar c = DecodeUtf16Char(data, units, k, bigEndian);
    out.append(c.Units, c.UnitCount);
    bad += c.Replaced ? 1 : 0;
    k += c.Taken;
  }
  if (size % 2 != 0) {
    out.push_back(kReplacementChar);
    ++bad;
  }
  if (replacements != nullptr) *replacements += bad;
  return out;
}

}  // namespace qv
