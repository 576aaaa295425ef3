#pragma once
// Edit action codes: the numbers by which callers name a change to TDoc::ExecuteEdit, and the
// operation-name index each one commits under.
#include <cstdint>

namespace qv {

enum : uint8_t {
  ecChangePageParams = 0,
  ecFormatParagraphs = 1,
  ecFormatFont = 2,
  ecStepFontProperty = 3,
  ecApplyFormatBrush = 4,
  ecShrinkPageCount = 5,
  ecFormatTabs = 6,
  ecResetToStyleFormat = 7,
  ecStepParagraphFormat = 8,
  ecApplyStyle = 9,
  ecFormatDocumentStyles = 10,
  ecUpdateStyle = 11,
  ecTypeFragment = 12,
  ecTypeText = 13,
  ecPaste = 14,
  ecPasteVadureVavi = 15,
  ecDeleteText = 16,
  ecReplaceWithText = 17,
  ecDropContent = 18,
  ecJoinParagraphs = 19,
  ecSplitParagraphs = 20,
  ecSortParagraphs = 21,
  ecMoveParagraphs = 22,
  ecChangeCase = 23,
  ecChangeDefaultLanguage = 24,
  ecAutoCorrectAfterKey = 25,
  ecAutoCorrectAt = 26,
  ecApplySectionFormat = 27,
  ecInsertTableOfContents = 37,
  ecInsertField = 40,
  ecUpdateFields = 41,
  ecChangeSectionBreak = 43,
  ecInsertSymbol = 46,
  ecPageNumbers = 47,
  ecToggleSameAsPrevious = 44,
  ecMergeSections = 45,
  ecChangeFieldTypes = 50,
  ecInsertTable = 61,
  ecGoToNextCell = 62,
  ecFormatTableRows = 63,
  ecMergeCells = 64,
  ecSplitCells = 65,
  ecSplitTable = 66,
  ecDeleteCells = 67,
  ecDistributeRows = 68,
  ecDistributeColumns = 69,
  ecPerformTableInsertion = 70,
  ecInsertRowsAbove = 71,
  ecInsertRowsBelow = 72,
  ecInsertColumnsLeft = 73,
  ecInsertColumnsRight = 74,
  ecInsertCells = 75,
  ecAlignTableWithPrevious = 76,
  ecConvertTableToText = 77,
  ecConvertTextToTable = 78,
  ecChangeDocProperties = 79,
  ecBuildIndex = 80,
  ecSetNoteSeparator = 82,
  ecFormatDropCaps = 86,
  EditCodeCount = 87,
};

// The operation-name index of a code (codes 7, 8, 10 and 23 depend on their arguments).
uint8_t EditCodeNameIndex(uint8_t code, void* const* args, int32_t lastIndex);

}  // namespace qv
