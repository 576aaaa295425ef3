#include "document/page_numbering.h"

#include <algorithm>

#include "document/doc.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"

namespace qv {

namespace {

int32_t SectionIndex(const TDoc& doc, const TSection* section) {
  for (size_t i = 0; i < doc.Sections.size(); ++i)
    if (doc.Sections[i].get() == section) return static_cast<int32_t>(i);
  return 0;
}

int32_t SectionIndexOfPage(const TDoc& doc, int32_t page) {
  return SectionIndex(doc, doc.SectionOfPage(page));
}

}  // namespace

TPageNumber PageNumberOfPage(const TDoc& doc, int32_t page) {
  TPageNumber out;
  if (doc.Sections.empty()) return out;
  page = std::max(page, 0);
  const int32_t last = doc.PageCount() - 1;
  const int32_t own = SectionIndexOfPage(doc, std::min(page, std::max(last, 0)));
  out.PageStyle = doc.Sections[static_cast<size_t>(own)]->PageNumberFormat;
  int32_t start = -1;
  for (int32_t k = own; k >= 0; --k)
    if (doc.Sections[static_cast<size_t>(k)]->PageNumberStart != -1) {
      start = k;
      break;
    }
  if (start < 0) {
    out.StartStyle = doc.Sections.front()->PageNumberFormat;
    out.Number = page + 1;
    return out;
  }
  const TSection& first = *doc.Sections[static_cast<size_t>(start)];
  out.StartStyle = first.PageNumberFormat;
  // The first page of the numbering section: walk back while the pages belong to it or later.
  int32_t firstPage = std::min(page, std::max(last, 0));
  while (firstPage > 0 && SectionIndexOfPage(doc, firstPage - 1) >= start) --firstPage;
  out.Number = first.PageNumberStart + (page - firstPage);
  return out;
}

int32_t PageIndexOfLine(const TLine* line) {
  return line == nullptr ? -1 : DocLayoutServices().PageOfLine(*line);
}

int32_t PageIndexOfChar(const TDoc& doc, int32_t par, int32_t offset) {
  if (par < 0 || par >= doc.ParCount()) return -1;
  const TPar& p = *doc.Par(par);
  if (p.Lines.empty()) return -1;
  const int32_t line = p.LineIndexOfChar(offset, 0, false);
  if (line < 0 || line >= static_cast<int32_t>(p.Lines.size())) return -1;
  return PageIndexOfLine(p.Lines[static_cast<size_t>(line)]);
}

}  // namespace qv
