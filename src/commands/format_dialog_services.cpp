#include "commands/format_dialog_services.h"

#include <utility>

#include "document/auto_list.h"
#include "document/number_formats.h"
#include "foundation/base/service_slot.h"

namespace qv {

namespace {

constexpr int16_t kListIndentStep = 360;

// One level hanging its mark a step left of its text, each level a step deeper.
void SetLevelIndents(TListLevel& level, int32_t index) {
  level.ParFormat.FirstIndent = -kListIndentStep;
  level.ParFormat.LeftIndent = static_cast<int16_t>(kListIndentStep * (index + 1));
}

// The built-in list of a gallery kind: a round bullet, "1." numbers, or an outline numbered
// "1.", "1.1." ... down nine levels.
std::unique_ptr<TAutoList> BuiltInGalleryList(int32_t kind) {
  auto list = std::make_unique<TAutoList>();
  if (kind == lkOutline) {
    std::u16string text;
    for (int32_t i = 0; i < ListLevelCount; ++i) {
      TListLevel& level = list->ListLevels[static_cast<size_t>(i)];
      text += static_cast<char16_t>(i);
      text += u'.';
      level.NumberFormat = nfArabic;
      level.LevelText = text;
      SetLevelIndents(level, i);
    }
    return list;
  }
  list->SingleLevel = 1;
  TListLevel& level = list->ListLevels[0];
  level.NumberFormat = kind == lkBulleted ? nfFirstBullet : nfArabic;
  level.LevelText = kind == lkBulleted ? std::u16string(1, u'\u2022') : std::u16string{char16_t{0}, u'.'};
  SetLevelIndents(level, 0);
  return list;
}

}  // namespace

void TFormatDialogServices::LoadListGallery(int32_t kind, std::vector<std::unique_ptr<TAutoList>>& gallery,
                                            int32_t& selected) {
  gallery.clear();
  gallery.push_back(BuiltInGalleryList(kind));
  selected = 0;
}

void RegisterFormatDialogServices(std::unique_ptr<TFormatDialogServices> services) { RegisterService(std::move(services)); }
TFormatDialogServices& FormatDialogServices() { return Service<TFormatDialogServices>(); }

}  // namespace qv
