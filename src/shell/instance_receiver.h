#pragma once
// The main window as the receiver of the single-instance requests (registered at start-up); it
// answers 0 while there is no main window.
#include <cstdint>
#include <string>

#include "foundation/system/running_instance.h"

namespace qv {

class TMainFormInstanceReceiver : public TInstanceReceiver {
 public:
  uint8_t HandleInstanceRequest(uint8_t code, const std::string& path) override;
};

}  // namespace qv
