#include "editing/ops/keyboard_layout_conversion.h"

#include "document/doc.h"
#include "editing/operation.h"
#include "editing/ops/text_edit_services.h"
#include "foundation/text/keyboard_layouts.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {
constexpr uint8_t kLayoutConversionName = 28;
}

bool ChooseConversionLayouts(TDoc& doc, const TKeyLayoutConversion* parameter, int32_t& source,
                             int32_t& target) {
  TLayoutManager& lm = GetLayoutManager();
  lm.Update();
  if (lm.Count() < 2) {
    ShowInfoFmt("The \"%s\" operation requires at least two keyboard layouts to be installed.",
                OperationName(kLayoutConversionName));
    return false;
  }
  const uint8_t sub = parameter ? parameter->SubMode : 0;
  const int32_t active = lm.CurrentIndex >= 0 && lm.CurrentIndex < lm.Count() ? lm.CurrentIndex : 0;
  if (sub == 2 && parameter->Source >= 0 && parameter->Source < lm.Count()) {
    source = parameter->Source;
  } else if (sub == 1 && doc.CurCharFormat.Language != CharUnset) {
    source = lm.IndexOfLang(doc.CurCharFormat.Language);
    if (source < 0 || source >= lm.Count()) source = active;
  } else {
    source = active;
  }
  if (sub == 2 && parameter->Target >= 0 && parameter->Target < lm.Count())
    target = parameter->Target;
  else
    target = source == 0 ? lm.Count() - 1 : source - 1;
  if (sub == 1) {
    if (!TextEditServices().ChooseKeyLayouts(source, target)) return false;
    if (source < 0 || source >= lm.Count() || target < 0 || target >= lm.Count()) return false;
  }
  return source != target;
}

uint8_t ConvertKeyByte(uint8_t byte, const TLayout& source, const TLayout& target) {
  const uint8_t c = TLayoutManager::KeyToChar(byte, source, target);
  return c < 32 ? 32 : c;
}

}  // namespace qv
