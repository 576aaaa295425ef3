#include "layout/char_format_cache.h"

#include <cstring>

#include "document/doc.h"

namespace qv {

namespace {

constexpr int32_t kRecord = static_cast<int32_t>(sizeof(TCharFormat));

int32_t FromLayoutUnits(int32_t v) { return v >= 0 ? (v + 8) / 16 : -((-v + 8) / 16); }

}  // namespace

int32_t CachedCharFormatCount(const TDoc& doc) { return doc.Layout.LineFormats.Length / kRecord; }

int32_t CacheCharFormat(TDoc& doc, const TCharFormat& format) {
  TMemory& table = doc.Layout.LineFormats;
  for (int32_t i = CachedCharFormatCount(doc); i-- > 0;)
    if (std::memcmp(table.Data + static_cast<size_t>(i) * kRecord, &format, kRecord) == 0) return i;
  table.Append(&format, kRecord);
  return CachedCharFormatCount(doc) - 1;
}

void GetCachedCharFormat(const TDoc& doc, int32_t index, TCharFormat& out) {
  if (index < 0 || index >= CachedCharFormatCount(doc)) {
    out = DefaultCharFormat;
    return;
  }
  std::memcpy(&out, doc.Layout.LineFormats.Data + static_cast<size_t>(index) * kRecord, kRecord);
  if (out.Size != CharUnset) out.Size = FromLayoutUnits(out.Size);
  if (out.Kerning != CharUnset && out.Kerning > 0) out.Kerning = FromLayoutUnits(out.Kerning);
}

}  // namespace qv
