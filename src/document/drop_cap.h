#pragma once
// The record a drop cap keeps with its field (kind 8): how many lines it spans, whether it
// stands in the text or in the margin, the height of its line and its distance from the text.
#include <cstdint>

#include "document/field.h"

namespace qv {

class TDropCapRecord : public TFieldAttachment {
 public:
  int32_t LineCount = 3;
  int32_t Kind = 1;         // 1 dropped in the text, 2 in the margin
  int32_t LineHeight = 0;   // twips of the drop cap's line, 0 automatic
  int32_t Distance = 0;     // from the text, twips
};

}  // namespace qv
