#pragma once
// The engine with the records and edit codes of shapes, notes and lists, and a dump of the
// document's shapes for comparing states before and after undo and redo.
#include <string>

#include "document/field_edit_services.h"
#include "document/object_edit_services.h"
#include "document/shape.h"
#include "document/shape_binding.h"
#include "edit_test_support.h"
#include "editing/field_edit_services.h"
#include "editing/object_edit_providers.h"
#include "editing/shape_records.h"

namespace qv {

struct TObjectEngineScope : TEngineScope {
  ScopedService<TObjectEditServices> Records{MakeObjectEditServices()};
  ScopedService<TEditOperationProviders> Providers{MakeObjectEditProviders()};
  ScopedService<TShapeBinding> Binding{MakeShapeBinding()};
  ScopedService<TFieldEditServices> FieldRecords{MakeFieldEditServices()};
};

// Every shape's removed flag, layer, z-order, wrap and rectangle, and the selected shapes.
inline std::string DumpShapes(const TDoc& doc) {
  std::string out;
  for (const auto& s : doc.Shapes) {
    out += "Z" + std::to_string(s->Layer) + "/" + std::to_string(s->Props.ZOrder) + " w" +
           std::to_string(static_cast<int>(s->Props.WrapStyle)) + " f" + std::to_string(s->Flags & 4) +
           " r" + std::to_string(s->Props.ShapeRect[0]) + "," + std::to_string(s->Props.ShapeRect[1]) +
           " " + s->Props.FormatRtfText() + "\n";
  }
  out += "sel";
  for (const TShape* s : doc.SelectedShapes) out += " " + std::to_string(TagRefOf(s));
  return out;
}

inline std::string DumpAll(TDoc& doc) { return DumpDoc(doc) + DumpShapes(doc); }

}  // namespace qv
