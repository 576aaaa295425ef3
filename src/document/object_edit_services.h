#pragma once
// The undo records that the model's operations on shapes, notes and lists perform. The editing
// engine registers the real records (RegisterObjectEditServices); the stand-ins make the change
// directly, without a record, so the model works on its own.
#include <cstdint>
#include <memory>
#include <vector>

#include "document/char_format.h"

namespace qv {

class TAutoList;
class TDoc;
class TDocGraphic;
class TField;
class TShape;
class TShapeProps;
class TStyleList;
struct TDocRange;

class TObjectEditServices {
 public:
  virtual ~TObjectEditServices() = default;
  // The document's selected floating shapes become the list.
  virtual void SelectShapes(TDoc& doc, std::vector<TShape*> shapes);
  // The shape shows the picture (the old one is freed with the record).
  virtual void ChangeShapeGraphic(TDoc& doc, TShape& shape, std::unique_ptr<TDocGraphic> graphic);
  // The shape takes the properties; its anchor paragraph is laid out again.
  virtual void FormatShape(TDoc& doc, TShape& shape, const TShapeProps& props);
  // The other floating shapes of the layer above the shape move down by one.
  virtual void RemoveShapeFromZOrder(TDoc& doc, TShape& shape);
  // The shape gets the z-order number; the others between its old and new number close up.
  virtual void ChangeShapeZOrder(TDoc& doc, TShape& shape, int32_t zOrder);
  // Moves `count` paragraphs from `first` (story `fromStory`) to before paragraph `target` of
  // story `toStory` (indexes as before the move; the target may be the story's end).
  virtual void MoveParagraphs(TDoc& doc, int32_t first, int32_t count, int32_t target,
                              int32_t fromStory, int32_t toStory);
  // Flips the listed notes between footnotes and endnotes.
  virtual void ConvertNotes(TDoc& doc, std::vector<TField*> notes);
  // The level of the list takes the character format.
  virtual void FormatListLevel(TDoc& doc, TAutoList& list, int32_t level, const TCharFormat& format);
  // The list takes the definition's levels and single-level flag.
  virtual void FormatAutoList(TDoc& doc, TAutoList& list, const TAutoList& definition);
  // Styles whose list format is the list lose it (a document-styles edit).
  virtual void DetachListFromStyles(TDoc& doc, const TAutoList& list);
  // Applies the set properties of the character format to the range.
  virtual void FormatCharacters(TDoc& doc, const TDocRange& range, const TCharFormat& format);
  // Applies the style (with its formats) to the paragraphs of the range.
  virtual void ApplyStyle(TDoc& doc, const TDocRange& range, int32_t style);
  // The document takes the style list (a document-styles edit); `changed` names the styles of
  // the old list whose paragraphs take their new formats.
  virtual void InstallStyles(TDoc& doc, std::unique_ptr<TStyleList> styles,
                             std::vector<int32_t> changed);
};

void RegisterObjectEditServices(std::unique_ptr<TObjectEditServices> services);
TObjectEditServices& ObjectEditServices();

// The changes themselves, shared by the stand-ins and the records.
void SwapShapeZOrder(TDoc& doc, TShape& shape, int32_t& zOrder);
// Moves the block; returns the index of its first paragraph afterwards.
int32_t MoveParagraphBlock(TDoc& doc, int32_t first, int32_t count, int32_t target,
                           int32_t fromStory, int32_t toStory);

}  // namespace qv
