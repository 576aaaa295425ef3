#include "editing/field_edit_services.h"

#include <utility>

#include "document/doc.h"
#include "document/field_edit_services.h"
#include "document/styles.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/style_operations.h"
#include "editing/undo_records.h"

namespace qv {

namespace {

class TEngineFieldEditServices : public TFieldEditServices {
 public:
  void FormatFont(TDoc& doc, const TDocRange& range, const TCharFormat& format) override {
    if (IsRangeEmpty(range)) return;
    qv::FormatFont(doc, nullptr, &range, 0, format);
  }
  void FastReplaceText(TDoc& doc, const TDocPosition& at, const std::string& bytes) override {
    if (bytes.empty() || at.Par < 0 || at.Par >= doc.ParCount()) return;
    TSubOperation::Execute(
        std::make_unique<TFastReplaceTextOperation>(doc, at.Par, at.Offset, bytes));
  }
  void FormatDocumentStyles(TDoc& doc, std::unique_ptr<TStyleList> styles) override {
    if (!styles) return;
    auto info = std::make_unique<TFormatStyleListInfo>();
    info->NewStyles = std::move(styles);
    qv::FormatDocumentStyles(doc, nullptr, nullptr, std::move(info));
  }
  void ApplyStyleFormatsDirectly(TDoc& doc, const TDocRange& range, uint8_t mode) override {
    ResetToStyleFormat(doc, nullptr, &range, mode);
  }
  bool UpdateStyleFromSelection(TDoc& doc) override { return UpdateStyle(doc, -1); }
};

}  // namespace

std::unique_ptr<TFieldEditServices> MakeFieldEditServices() {
  return std::make_unique<TEngineFieldEditServices>();
}

}  // namespace qv
