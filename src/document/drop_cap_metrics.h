#pragma once
// What a drop cap is sized by: the height of a line of its font and the extent of its letters'
// ink above and below the baseline, in sixteenths of a screen pixel (96 per inch). The stand-in
// measures with the program's font manager, and estimates from the size without one.
#include <cstdint>
#include <memory>
#include <string>

#include "document/char_format.h"

namespace qv {

class TDropCapMetrics {
 public:
  virtual ~TDropCapMetrics() = default;
  // The line height of the format's font at its own size.
  virtual int32_t LineHeight(const TCharFormat& format);
  // The largest ascent and the largest descent of the characters' ink at the size (half-points).
  virtual void GlyphExtent(const TCharFormat& format, int32_t halfPoints, const std::u16string& text,
                           int32_t& ascent, int32_t& descent);
};

// Registers the metrics (null restores the stand-in).
void RegisterDropCapMetrics(std::unique_ptr<TDropCapMetrics> metrics);
TDropCapMetrics& DropCapMetrics();

}  // namespace qv
