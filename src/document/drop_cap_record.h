#pragma once
// The record a drop cap (a field of kind 8 around the paragraph's first characters) owns.
#include <cstdint>

#include "document/field.h"

namespace qv {

class TDropCapRecord : public TFieldAttachment {
 public:
  uint8_t Kind = 1;       // 1 dropped into the text, 2 in the margin
  uint8_t Lines = 3;      // lines it spans
  int16_t Distance = 0;   // from the text, twips
  int32_t Height = 0;     // exact line height in twips when the paragraph had one; layout writes
                          // the height it finds back here
};

}  // namespace qv
