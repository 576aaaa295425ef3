#pragma once
// Styles, paragraph steps and list levels (edit action codes 8 to 11): stepping indents,
// paragraph spacing and list levels, applying a style, replacing the document's styles and list
// definitions, and redefining a style from the selection.
#include <cstdint>
#include <memory>

#include "document/doc.h"

namespace qv {

class TAutoList;
class TCompoundFragment;
struct TFormatStyleListInfo;

// Step kinds of StepParagraphFormat.
enum : uint8_t {
  psLeftIndent = 0,
  psLeftIndentKeepFirstLine = 1,
  psLessSpaceBefore = 2,
  psMoreSpaceBefore = 3,
  psLessSpaceAfter = 4,
  psMoreSpaceAfter = 5,
  psListLevelDown = 6,
  psListLevelUp = 7,
};

void StepParagraphFormat(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                         int32_t step, uint8_t kind);
void ApplyStyle(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                const TParFormat* parOverride, const TCharFormat* charOverride, bool withFormats,
                int32_t styleIndex);
void FormatDocumentStyles(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                          std::unique_ptr<TFormatStyleListInfo> info);
// False (and the message shown) when the selection holds paragraphs of several styles.
bool UpdateStyle(TDoc& doc, int32_t styleIndex);
// Replaces a list's definition as an undoable step.
void ChangeListDefinition(TDoc& doc, TAutoList& list, const TAutoList& definition);

}  // namespace qv
