#pragma once
// Undo records of shapes: the selection of floating shapes, a shape's picture, its properties,
// its leaving the z-order and a change of its z-order number. Each holds the state that is not
// in the document and swaps it in on every run.
#include <cstdint>
#include <memory>
#include <vector>

#include "document/object_edit_services.h"
#include "document/shape.h"
#include "editing/undo_records.h"

namespace qv {

class TSelShapesOperation : public TSubOperation {
 public:
  TSelShapesOperation(TDoc& doc, std::vector<TShape*> shapes) : TSubOperation(doc), Shapes(std::move(shapes)) {}
  void Undo() override;
  const char* ClassName() const override { return "TSelShapesOperation"; }
  std::vector<TShape*> Shapes;
};

class TChangeShapeGraphicOperation : public TSubOperation {
 public:
  TChangeShapeGraphicOperation(TDoc& doc, TShape* shape, std::unique_ptr<TDocGraphic> graphic)
      : TSubOperation(doc), Shape(shape), Graphic(std::move(graphic)) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeShapeGraphicOperation"; }
  TShape* Shape;
  std::unique_ptr<TDocGraphic> Graphic;
};

class TFormatShapeOperation : public TSubOperation {
 public:
  TFormatShapeOperation(TDoc& doc, TShape* shape, const TShapeProps& props)
      : TSubOperation(doc), Shape(shape), Props(props) {}
  void Undo() override;
  const char* ClassName() const override { return "TFormatShapeOperation"; }
  TShape* Shape;
  TShapeProps Props;
};

// Redoing lowers the numbers above the shape's; undoing raises those at or above it again.
class TRemoveShapeFromZOrderOperation : public TSubOperation {
 public:
  TRemoveShapeFromZOrderOperation(TDoc& doc, TShape* shape) : TSubOperation(doc), Shape(shape) {}
  void Undo() override;
  const char* ClassName() const override { return "TRemoveShapeFromZOrderOperation"; }
  TShape* Shape;
};

class TChangeShapeZOrderOperation : public TSubOperation {
 public:
  TChangeShapeZOrderOperation(TDoc& doc, TShape* shape, int32_t zOrder)
      : TSubOperation(doc), Shape(shape), ZOrder(zOrder) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeShapeZOrderOperation"; }
  TShape* Shape;
  int32_t ZOrder;
};

// The real record services of shapes, notes and lists (document/object_edit_services.h).
std::unique_ptr<TObjectEditServices> MakeObjectEditServices();

}  // namespace qv
