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
class TTableRow;

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
// For a full document: a row whose cells no row-end paragraph closes gets one (a copy of the
// table's last row, with its own cell count), and a table without any row end leaves the table
// (its cell ends becoming paragraph marks). Then every table's rows are brought in line.
void FixTables(TDoc& doc, const TPostLoadInfo& info);
// Puts a row-end paragraph holding the row after the paragraph of a row's last cell and answers
// its index. When that ends the story, a paragraph outside the table follows it with the
// character format at the cell's end; field ends after the cell's end mark move behind the row
// end (into that paragraph, or to the start of the next one).
int32_t MakeRowEndParagraph(TDoc& doc, int32_t lastCellPar, TTableRow* row);
// A cell border without a style of its own takes the default; widths are kept between 10 and
// 120 twips and every drawn style becomes single.
void NormalizeCellBorder(TBorderLine& border, const TBorderLine* defaultBorder);
// Whether a picture, drawn on white, is blank outside the middle third of its height.
bool IsPictureBlank(const TDecodedPicture& picture);

}  // namespace qv
