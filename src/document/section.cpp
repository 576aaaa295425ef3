#include "document/section.h"

#include "document/content_tags.h"
#include "document/doc_object_services.h"

namespace qv {

const TSectionFormat& DefaultSectionFormat() {
  static const TSectionFormat format;  // the record's own defaults are the program's
  return format;
}

TSection::~TSection() { ForgetTagRef(this); }

void TSection::SetDefaults() {
  Format = DefaultSectionFormat();
  InitPageParams(PageParams);
  PageNumberFormat = 0;
  PageNumberStart = -1;
  Footnotes = TNoteSettings{1, 0, 1, 0};
  Endnotes = TNoteSettings{3, 2, 1, 0};
}

void TSection::AssignFormat(const TSection& other) {
  Format = other.Format;
  PageParams = other.PageParams;
  PageNumberFormat = other.PageNumberFormat;
  PageNumberStart = other.PageNumberStart;
  Footnotes = other.Footnotes;
  Endnotes = other.Endnotes;
}

void TSection::GetColumnBounds(int32_t column, TColumnBounds& out) const {
  const TSection* pageSection = DocObjectServices().PageSectionOfParagraph(Doc, FirstPar);
  if (pageSection == nullptr) pageSection = this;
  ComputeColumnBounds(Format, pageSection->PageParams, column, out);
}

bool TSection::EndsBefore(const TDocPosition& position) const {
  if (LastPar < position.Par) return true;
  const TDocObjectServices& services = DocObjectServices();
  int32_t endPar = services.IsDocFlagSet(Doc, 62) ? LastPar - 1 : LastPar;
  if (position.Par != endPar) return false;
  int32_t length = services.ParLength(Doc, endPar);
  return length > 0 && position.Offset >= length - 1;
}

}  // namespace qv
