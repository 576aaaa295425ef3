#include "foundation/ui/command_popup.h"

#include <memory>

#include "foundation/ui/command_services.h"

namespace qv {

namespace {

std::unique_ptr<plat::PopupMenu>& PopupSlot() {
  static std::unique_ptr<plat::PopupMenu> popup = std::make_unique<plat::PopupMenu>();
  return popup;
}

}  // namespace

void AppendMenuItemCopy(plat::MenuItem& menu, const plat::MenuItem& source) {
  auto copy = std::make_unique<plat::MenuItem>(source.Caption, source.Command);
  copy->SetChecked(source.Checked());
  copy->Enabled = source.Enabled;
  copy->Visible = source.Visible;
  copy->Default = source.Default;
  copy->OnClick = source.OnClick;
  copy->OnDrawItem = source.OnDrawItem;
  copy->OnMeasureItem = source.OnMeasureItem;
  copy->Tag = source.Tag;
  plat::MenuItem& added = menu.Add(std::move(copy));
  AppendMenuItemCopies(added, source);
}

void AppendMenuItemCopies(plat::MenuItem& menu, const plat::MenuItem& source) {
  for (int32_t i = 0; i < source.Count(); ++i) AppendMenuItemCopy(menu, source[i]);
}

void AddPopupSource(plat::PopupMenu& popup) {
  if (popup.OnPopup) popup.OnPopup(popup, popup.Items());
  AppendMenuItemCopies(CommandPopup().Items(), popup.Items());
}

plat::PopupMenu& CommandPopup() { return *PopupSlot(); }

plat::PopupMenu& BuildCommandPopup(const std::vector<plat::PopupMenu*>& list, int32_t lastIndex) {
  PopupSlot() = std::make_unique<plat::PopupMenu>();
  int32_t last = std::min<int32_t>(lastIndex, int32_t(list.size()) - 1);
  while (last >= 0 && !list[size_t(last)]) --last;
  for (int32_t i = 0; i <= last; ++i) {
    if (list[size_t(i)]) AddPopupSource(*list[size_t(i)]);
    else CommandPopup().Items().Add(u"-");
  }
  CommandService().UpdateMenuState(CommandPopup());
  return CommandPopup();
}

void TrackCommandPopup(int32_t x, int32_t y, const std::vector<plat::PopupMenu*>& list,
                       const plat::Rect* exclude, int32_t lastIndex) {
  plat::PopupMenu& menu = BuildCommandPopup(list, lastIndex);
  menu.Popup({x, y}, plat::TPM_VERTICAL, exclude);
}

}  // namespace qv
