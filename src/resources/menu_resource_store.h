#pragma once
// The menu resources ("_MENU") the program carries, answered by name to the menu builder.
#include <memory>
#include <string>
#include <vector>

#include "foundation/ui/menu_resource_services.h"

namespace qv {

class TMenuResourceStore : public TMenuResourceService {
 public:
  // The bytes of the named menu; empty for a name the program does not carry.
  std::string MenuResource(const std::string& name) override;
};

std::unique_ptr<TMenuResourceService> MakeMenuResourceStore();

// The names of every menu the program carries, sorted.
std::vector<std::string> MenuResourceNames();

}  // namespace qv
