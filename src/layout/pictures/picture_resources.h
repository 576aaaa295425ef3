#pragma once
// The program's resources (pictures, glyph strips, packed text tables) as the picture utilities
// read them. The layout declares what it needs; the application registers the real resources at
// start-up. Until then there are none.
#include <cstdint>
#include <span>
#include <string>

#include "foundation/base/service_slot.h"

namespace qv {

class TResourceService {
 public:
  virtual ~TResourceService() = default;
  // The bytes of the resource of that name and type ("PNG", "JPEG", "RCDATA" ...); empty when
  // there is none. The bytes stay valid for the program's run.
  virtual std::span<const uint8_t> Find(const std::string& name, const std::string& type) {
    return {};
  }
};

inline TResourceService& Resources() { return *ServiceSlot<TResourceService>(); }

}  // namespace qv
