#pragma once
// Where the menu builder finds the bytes of the menu resources ("_MENU") the program carries.
// The resource store registers the real service at start-up; the stand-in knows only the two
// submenus that the builder attaches by command id itself ("PASTEOPTIONS" and "CELLALIGN").
#include <memory>
#include <string>

namespace qv {

class TMenuResourceService {
 public:
  virtual ~TMenuResourceService() = default;
  // The bytes of the menu resource of that name; empty when there is none.
  virtual std::string MenuResource(const std::string& name);
};

// Registers the service (null restores the stand-in); the registered one, never null.
void RegisterMenuResourceService(std::unique_ptr<TMenuResourceService> service);
TMenuResourceService& MenuResourceService();

}  // namespace qv
