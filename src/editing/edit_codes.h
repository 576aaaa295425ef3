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
  ecInsertBookmark = 28,
  ecRemoveBookmark = 29,
  ecInsertIndexEntry = 30,
  ecMarkAllIndexEntries = 31,
  ecEditFieldInstruction = 32,
  ecDeactivateHyperlink = 33,
  ecDeactivateHyperlinks = 34,
  ecInsertHyperlink = 35,
  ecUpdateHyperlinkTexts = 36,
  ecInsertTableOfContents = 37,
  ecRemoveTableOfContents = 38,
  ecInsertFieldObject = 39,
  ecInsertField = 40,
  ecUpdateFields = 41,
  ecRemoveFields = 42,
  ecChangeSectionBreak = 43,
  ecInsertSymbol = 46,
  ecPageNumbers = 47,
  ecSplitCells = 65,
  ecDistributeRows = 68,
  ecBuildIndex = 80,
  ecFormatDropCaps = 86,
  EditCodeCount = 87,
};

// The operation-name index of a code (codes 7, 8, 10 and 23 depend on their arguments).
uint8_t EditCodeNameIndex(uint8_t code, void* const* args, int32_t lastIndex);

}  // namespace qv
