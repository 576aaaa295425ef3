#pragma once
// What line fitting needs to know of an inline shape (the object an inline-shape content tag
// refers to): its size and how it sits in a line. The shapes of the document model register the
// real answers; the default knows no shape and gives it no size.
#include <cstdint>
#include <memory>

namespace qv {

struct TInlineShapeInfo {
  int32_t Width = 0;    // twips at 100%
  int32_t Height = 0;   // twips at 100%
  int32_t ScaleX = 100; // percent
  int32_t ScaleY = 100;
  bool HorizontalRule = false;  // the rule is the whole line; Width is then the line's share
  bool FitToTextArea = false;   // scaled to fit the available width
  int32_t RuleAlignment = 0;    // 0 left, 1 centre, 2 right (horizontal rules)
};

class TInlineShapeService {
 public:
  virtual ~TInlineShapeService() = default;
  // The shape of the tag's object reference. `availWidth` is the twips the line may fill after
  // its start (horizontal rules take their relative width from it). Implementations resolve the
  // reference with ShapeOfRef (document/content_tags.h) and describe a reference that names no
  // shape as the default does: no size.
  virtual TInlineShapeInfo Describe(int32_t /*shapeRef*/, int32_t /*availWidth*/) { return {}; }
  // Stores the scale the layout chose for a picture fitted to the text area.
  virtual void StoreFitScale(int32_t /*shapeRef*/, int32_t /*percent*/) {}
};

// Registers the service (null restores the default); the registered one, never null.
void RegisterInlineShapeService(std::unique_ptr<TInlineShapeService> service);
TInlineShapeService& InlineShapeService();

}  // namespace qv
