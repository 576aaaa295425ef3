#pragma once
// What normalising a paragraph's stream tells the shapes it meets: an inline shape or a shape
// anchored by a field is bound to its paragraph and character. Shapes register the real binding
// (RegisterShapeBinding); the default binds nothing and knows no horizontal rules.
#include <cstdint>
#include <memory>

namespace qv {

class TField;
class TPar;
class TShape;

class TShapeBinding {
 public:
  virtual ~TShapeBinding() = default;
  virtual bool IsHorizontalRule(const TShape* /*shape*/) const { return false; }
  virtual void BindInlineShape(TShape* /*shape*/, TPar& /*par*/, int32_t /*charIndex*/) {}
  virtual void BindAnchoredShape(TShape* /*shape*/, TPar& /*par*/, int32_t /*charIndex*/,
                                 TField* /*anchor*/) {}
};

// Registers the binding (null restores the default).
void RegisterShapeBinding(std::unique_ptr<TShapeBinding> binding);
TShapeBinding& ShapeBinding();

}  // namespace qv
