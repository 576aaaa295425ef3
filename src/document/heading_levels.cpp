// Giving paragraphs an outline level, preferring the heading styles ("Heading 1" to "Heading 9")
// and sibling styles to direct formatting, so that promoting and demoting keeps documents styled.
#include <string>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/styles.h"

namespace qv {

namespace {

constexpr int32_t kBodyText = 9;

int32_t OutlineLevelOf(const TParFormat& f) {
  return f.OutlineLevel == ParUnset8 ? ParUnset32 : f.OutlineLevel;
}

// The document's heading style of the built-in index, brought in from its template or the
// program's defaults when it has none; a list reference the imported style brought along from
// elsewhere is dropped. -1 when there is none to bring in.
int32_t ImportHeadingStyle(TDoc& doc, int32_t builtIn) {
  if (doc.Styles->IndexOfBuiltIn(builtIn) < 0) {
    doc.EnsureBuiltInStyle(builtIn);
    const int32_t added = doc.Styles->IndexOfBuiltIn(builtIn);
    if (added >= 0 && StyleHasListFormat((*doc.Styles)[added]) &&
        doc.ListByNumber((*doc.Styles)[added].ParFmt.List) == nullptr) {
      auto styles = std::make_unique<TStyleList>(&doc);
      styles->Assign(*doc.Styles);
      (*styles)[added].ParFmt.List = 0;
      ObjectEditServices().InstallStyles(doc, std::move(styles), {});
    }
  }
  return doc.Styles->IndexOfBuiltIn(builtIn);
}

void SetLevelDirectly(TDoc& doc, const TDocRange& range, int32_t level) {
  TParFormat f = UnsetParFormat;
  f.OutlineLevel = static_cast<int8_t>(level);
  EditServices().FormatParagraphRange(doc, range, f);
}

}  // namespace

void TDoc::SetParOutlineLevel(int32_t first, int32_t last, int32_t level) {
  if (first < 0 || last < first || last >= ParCount() || level < 0 || level > kBodyText) return;
  const TDocRange range{{first, 0}, {last, 1}};
  const TStyle* style = Par(first)->GetStyle();
  if (level == kBodyText) {
    if (style != nullptr) {
      const int32_t own = OutlineLevelOf(style->ParFmt);
      if (own != ParUnset32 && own != kBodyText && Styles->Count() > 0)
        ObjectEditServices().ApplyStyle(*this, range, 0);
    }
    if (OutlineLevelOf(Par(first)->Format) != kBodyText) SetLevelDirectly(*this, range, kBodyText);
    return;
  }
  if (style != nullptr && style->IsHeading()) {
    const int32_t index = ImportHeadingStyle(*this, level + 1);
    if (index >= 0) {
      ObjectEditServices().ApplyStyle(*this, range, index);
      return;
    }
  }
  const int32_t current = OutlineLevelOf(Par(first)->Format);
  if (style != nullptr && current != ParUnset32 && current != kBodyText && !style->Name.empty() &&
      style->Name.back() == static_cast<char>('1' + current)) {
    std::string sibling = style->Name;
    sibling.back() = static_cast<char>('1' + level);
    const int32_t index = Styles->IndexOfName(sibling);
    if (index >= 0 && OutlineLevelOf((*Styles)[index].ParFmt) == level) {
      ObjectEditServices().ApplyStyle(*this, range, index);
      return;
    }
  }
  SetLevelDirectly(*this, range, level);
}

}  // namespace qv
