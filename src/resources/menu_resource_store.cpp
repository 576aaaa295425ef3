#include "resources/menu_resource_store.h"

#include <algorithm>
#include <array>
#include <span>

#include "foundation/ui/menu_resources.h"
#include "resources/menu_groups.h"

namespace qv {

namespace {

// The two submenus the menu builder attaches by command id keep their one definition beside the
// builder; the store answers them like its own.
constexpr std::array<const char*, 2> kBuiltInMenus = {"PASTEOPTIONS", "CELLALIGN"};

template <typename Visit>
void ForEachMenu(Visit&& visit) {
  for (auto group : {MainMenuResources(), ContextMenuResources(), ButtonMenuResources(),
                      PanelMenuResources()})
    for (const TMenuResourceData& menu : group) visit(menu);
}

}  // namespace

std::string TMenuResourceStore::MenuResource(const std::string& name) {
  std::string bytes;
  ForEachMenu([&](const TMenuResourceData& menu) {
    if (bytes.empty() && menu.Name == name) bytes.assign(menu.Bytes);
  });
  return bytes.empty() ? BuiltInMenuResource(name) : bytes;
}

std::unique_ptr<TMenuResourceService> MakeMenuResourceStore() {
  return std::make_unique<TMenuResourceStore>();
}

std::vector<std::string> MenuResourceNames() {
  std::vector<std::string> names(kBuiltInMenus.begin(), kBuiltInMenus.end());
  ForEachMenu([&](const TMenuResourceData& menu) { names.emplace_back(menu.Name); });
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace qv
