#pragma once
// The steps that bring what a reader produced into the document model's normal form: styles,
// lists, list levels, linked pictures, note marks, shapes and tables. The open road runs them
// in a fixed order after every successful read.
#include <cstdint>

namespace qv {

class TDoc;
class TPar;
struct TBorderLine;
class TDecodedPicture;
class TOpenContext;

// What the readers tell the steps.
struct TPostLoadInfo {
  int32_t Format = 0;
  bool OwnSettingsStyles = true;  // the styles hold only their own settings
  bool ListsFromTable = false;    // the lists were read from a list table
  bool FullDocument = true;       // tables get proper row ends
};

void ResolveStyles(TDoc& doc, const TPostLoadInfo& info);
void ResolveLists(TDoc& doc, const TPostLoadInfo& info);
void FixListLevels(TDoc& doc);
void RetrieveLinkedPictures(TDoc& doc);
void ResolveNoteReferenceMarks(TDoc& doc);
void FixShapes(TDoc& doc, const TPostLoadInfo& info);
void FixTables(TDoc& doc, const TPostLoadInfo& info);
// A cell border without a style of its own takes the default; widths are kept between 10 and
// 120 twips and every drawn style becomes single.
void NormalizeCellBorder(TBorderLine& border, const TBorderLine* defaultBorder);
// Whether a picture, drawn on white, is blank outside the middle third of its height.
bool IsPictureBlank(const TDecodedPicture& picture);

}  // namespace qv
