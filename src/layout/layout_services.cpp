// The slots of the services the layout asks of the subsystems above it.
#include "layout/hyphenation_service.h"
#include "layout/paint/highlight_services.h"
#include "layout/inline_shape_service.h"

#include <utility>

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterHyphenationService(std::unique_ptr<THyphenationService> service) {
  RegisterService(std::move(service));
}

THyphenationService& HyphenationService() { return Service<THyphenationService>(); }

void RegisterHighlightServices(std::unique_ptr<THighlightServices> services) {
  RegisterService(std::move(services));
}
THighlightServices& HighlightServices() { return Service<THighlightServices>(); }

void RegisterInlineShapeService(std::unique_ptr<TInlineShapeService> service) {
  RegisterService(std::move(service));
}

TInlineShapeService& InlineShapeService() { return Service<TInlineShapeService>(); }

}  // namespace qv
