#pragma once
// What the picture utilities need of the program's resources (pictures, glyph strips, packed
// text tables): the bytes of a resource by name and type. The resources are registered at
// start-up; the stand-in has none.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace qv {

class TResourceService {
 public:
  virtual ~TResourceService() = default;
  // The bytes of the resource of that name and type ("PNG", "JPEG", "RCDATA" ...); empty when
  // there is none. The bytes stay valid for the program's run.
  virtual std::span<const uint8_t> Find(const std::string& /*name*/, const std::string& /*type*/) {
    return {};
  }
};

// Registers the service (null restores the stand-in); the registered one, never null.
void RegisterResourceService(std::unique_ptr<TResourceService> service);
TResourceService& ResourceService();

}  // namespace qv
