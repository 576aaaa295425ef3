#include "document/field_edit_services.h"

#include <utility>

#include "document/doc.h"
#include "document/par.h"
#include "document/styles.h"
#include "foundation/base/service_slot.h"

namespace qv {

void TFieldEditServices::FastReplaceText(TDoc& doc, const TDocPosition& at,
                                         const std::string& bytes) {
  if (at.Par < 0 || at.Par >= doc.ParCount()) return;
  TPar& p = *doc.Par(at.Par);
  NormalizeParagraphTags(p);
  int32_t index = at.Offset;
  for (char c : bytes) {
    if (index < 0 || index >= p.CharCount() - 1) break;
    const int32_t off = p.CharToStreamOffset(index);
    // Only text bytes are overwritten; a character tag keeps its place.
    if (off < p.Content.Length && p.Content.Data[off] >= 32 && static_cast<uint8_t>(c) >= 32)
      p.Content.Data[off] = static_cast<uint8_t>(c);
    ++index;
  }
  p.RebuildCodes();
  p.ContentChanged();
  p.ReleaseLines(0);
}

void TFieldEditServices::FormatDocumentStyles(TDoc& doc, std::unique_ptr<TStyleList> styles) {
  if (styles) doc.Styles->Assign(*styles);
}

void RegisterFieldEditServices(std::unique_ptr<TFieldEditServices> services) {
  RegisterService(std::move(services));
}
TFieldEditServices& FieldEditServices() { return Service<TFieldEditServices>(); }

}  // namespace qv
