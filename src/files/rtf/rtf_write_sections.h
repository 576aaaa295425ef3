#pragma once
// Section-level and object-level RTF: a section's page, column, page-number, header and footer,
// note and line-numbering properties, section break kinds, floating shapes and pictures.
#include <cstdint>

namespace qv {

class TField;
class TRtfWriteState;
class TSection;
class TShape;

void WriteRtfSection(TRtfWriteState& w, const TSection& section);
void WriteRtfSectionBreakKind(TRtfWriteState& w, const TSection& section);
void WriteRtfHeaderFooter(TRtfWriteState& w, const TSection& section, TField* field,
                          int32_t word);
void WriteRtfShape(TRtfWriteState& w, TShape& shape, int32_t anchorPar);
void WriteRtfPicture(TRtfWriteState& w, TShape& shape);
// Whether the save's range runs to the end of the section's last paragraph.
bool RtfRangeCoversSectionEnd(const TRtfWriteState& w, const TSection& section);

}  // namespace qv
