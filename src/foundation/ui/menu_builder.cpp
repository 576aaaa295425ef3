#include "foundation/ui/menu_builder.h"

#include <memory>
#include <utility>
#include <vector>

#include "foundation/base/exceptions.h"
#include "foundation/ui/application.h"
#include "foundation/ui/menu_resource_services.h"
#include "foundation/ui/menu_resources.h"

namespace qv {
namespace {

struct TBuiltInSubmenu {
  int32_t Id;
  const char16_t* Caption;
  const char* Resource;
};
constexpr TBuiltInSubmenu kBuiltInSubmenus[] = {
    {kPasteOptionsCommand, u"Pa&ste Options", "PASTEOPTIONS"},
    {kCellAlignmentCommand, u"Cell Alignment", "CELLALIGN"},
};

const TBuiltInSubmenu* BuiltInSubmenu(int32_t id) {
  for (const TBuiltInSubmenu& b : kBuiltInSubmenus) {
    if (b.Id == id) return &b;
  }
  return nullptr;
}

std::vector<TMenuResourceItem> Parse(std::string_view data, const std::string& name) {
  try {
    return ParseMenuResource(data);
  } catch (const EConvertError& e) {
    throw EConvertError("The menu resource \"" + name + "\" is damaged: " + e.Message() + ".");
  }
}

class TMenuBuilder {
 public:
  bool dropped = false;

  std::unique_ptr<plat::MenuItem> Build(const TMenuResourceItem& res, bool builtIns) {
    auto item = std::make_unique<plat::MenuItem>(InterfaceText(res.Caption),
                                                 res.Id > 0 ? uint32_t(res.Id) : 0u);
    item->Tag = res.Id;
    const TBuiltInSubmenu* builtIn = builtIns ? BuiltInSubmenu(res.Id) : nullptr;
    if (!builtIn) {
      for (const TMenuResourceItem& sub : res.SubItems) item->Add(Build(sub, builtIns));
      return item;
    }
    item->Caption = builtIn->Caption;
    const std::string data = MenuResourceService().MenuResource(builtIn->Resource);
    for (const TMenuResourceItem& sub : Parse(data, builtIn->Resource)) item->Add(Build(sub, false));
    if (!res.SubItems.empty()) dropped = true;
    return item;
  }
};

plat::MenuItem* FindIn(plat::MenuItem& parent, int32_t id) {
  for (int32_t i = parent.Count() - 1; i >= 0; --i) {
    plat::MenuItem& item = parent[i];
    if (plat::MenuItem* found = FindIn(item, id)) return found;
    if (item.Tag == id) return &item;
  }
  return nullptr;
}

}  // namespace

bool BuildMenuItems(plat::MenuItem& parent, std::string_view data, const std::string& name) {
  // Everything is built before anything is added, so that damaged data leaves the menu as it was.
  TMenuBuilder builder;
  std::vector<std::unique_ptr<plat::MenuItem>> built;
  for (const TMenuResourceItem& res : Parse(data, name)) built.push_back(builder.Build(res, true));
  for (auto& item : built) parent.Add(std::move(item));
  return builder.dropped;
}

bool LoadMenuResource(plat::Menu& menu, const std::string& name) {
  const std::string data = MenuResourceService().MenuResource(name);
  if (data.empty()) return false;
  return BuildMenuItems(menu.Items(), data, name);
}

plat::MenuItem* FindMenuItem(plat::Menu& menu, int32_t commandId) { return FindIn(menu.Items(), commandId); }

}  // namespace qv
