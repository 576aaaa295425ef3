#include "layout/layout_common.h"

#include <algorithm>

#include "document/section.h"
#include "layout/box.h"

namespace qv {

TSection* SectionOfParagraph(const TDoc& doc, int32_t par) {
  if (doc.Sections.empty()) return nullptr;
  if (par > doc.LastParagraphOfStory(stMain)) return doc.Sections.front().get();
  // Sections are in paragraph order: the first whose last paragraph is at or after the paragraph.
  const auto it = std::lower_bound(doc.Sections.begin(), doc.Sections.end(), par,
                                   [](const std::unique_ptr<TSection>& s, int32_t p) { return s->LastPar < p; });
  return it == doc.Sections.end() ? doc.Sections.back().get() : it->get();
}

TDocRange MainTextRange(const TDoc& doc) {
  const int32_t last = doc.LastParagraphOfStory(stMain);
  TDocRange r;
  MakeRange(0, 0, last, doc.Par(last)->CharCount(), r);
  return r;
}

TBox* ColumnOf(TBox* box) {
  for (; box != nullptr; box = box->Parent)
    if (box->HasFlag(TBox::ColumnBody)) return box;
  return nullptr;
}

}  // namespace qv
