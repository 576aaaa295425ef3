#include "foundation/fonts/kerning_pairs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/gfx/font.h"

namespace qv {

TKerningPairs::TKerningPairs(const plat::Font& font, const TFontKey& key) : Key(key) {
  // The platform gives pairs of UTF-16 characters; the layout asks with the bytes of the font's
  // code page, so each character is mapped back to its byte.
  std::string bytes(256, '\0');
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
  const std::u16string chars = font.DecodeBytes(bytes);
  std::unordered_map<char16_t, uint16_t> byteOf;
  for (size_t i = 0; i < chars.size() && i < 256; ++i) byteOf.emplace(chars[i], uint16_t(i));
  std::vector<TKerningPair> pairs;
  for (const plat::KerningPair& p : font.KerningPairs()) {
    auto first = byteOf.find(p.First);
    auto second = byteOf.find(p.Second);
    if (first == byteOf.end() || second == byteOf.end() || p.Amount == 0) continue;
    pairs.push_back({first->second, second->second, p.Amount});
  }
  SetPairs(std::move(pairs));
}

void TKerningPairs::SetPairs(std::vector<TKerningPair> pairs) {
  // Lookups walk each first character's run backwards and stop at a smaller second character,
  // so the runs must be grouped and ascending whatever order the pairs came in.
  std::stable_sort(pairs.begin(), pairs.end(), [](const TKerningPair& a, const TKerningPair& b) {
    return a.First != b.First ? a.First < b.First : a.Second < b.Second;
  });
  SetLength(static_cast<int32_t>(pairs.size() * 8));
  index_ = {};
  for (size_t i = 0; i < pairs.size(); ++i) {
    const TKerningPair& p = pairs[i];
    std::memcpy(Data + i * 8, &p.First, 2);
    std::memcpy(Data + i * 8 + 2, &p.Second, 2);
    std::memcpy(Data + i * 8 + 4, &p.Amount, 4);
    if (p.First >= 256 || p.Second >= 256) continue;
    Slot& slot = index_[p.First];
    if (slot.Count == 0) slot.Start = static_cast<int32_t>(i);
    ++slot.Count;
  }
}

void TKerningPairs::Assign(const TMemory& source) {
  if (const auto* other = dynamic_cast<const TKerningPairs*>(&source)) {
    TMemory::Assign(source);
    Key = other->Key;
    index_ = other->index_;
    return;
  }
  std::vector<TKerningPair> pairs;
  for (int32_t i = 0; i + 8 <= source.Length; i += 8) {
    TKerningPair p;
    std::memcpy(&p.First, source.Data + i, 2);
    std::memcpy(&p.Second, source.Data + i + 2, 2);
    std::memcpy(&p.Amount, source.Data + i + 4, 4);
    pairs.push_back(p);
  }
  SetPairs(std::move(pairs));
}

TKerningPair TKerningPairs::Pair(int32_t index) const {
  TKerningPair p;
  std::memcpy(&p.First, Data + index * 8, 2);
  std::memcpy(&p.Second, Data + index * 8 + 2, 2);
  std::memcpy(&p.Amount, Data + index * 8 + 4, 4);
  return p;
}

int32_t TKerningPairs::GetKerning(uint8_t first, uint8_t second) const {
  const Slot& slot = index_[first];
  for (int32_t i = slot.Start + slot.Count - 1; i >= slot.Start; --i) {
    const TKerningPair p = Pair(i);
    if (p.Second < second) return 0;
    if (p.Second == second) return p.Amount;
  }
  return 0;
}

}  // namespace qv
